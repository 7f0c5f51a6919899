#include "tests/convlib/ConvTestText.h"

#include <cstdio>

#include "convlib/KVCnv.h"
#include "platform/text/Cp932Lead.h"
#include "tests/support/TestText.h"

namespace tavo::test {

std::string cell(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < 0x20 || u > 0x5F) {
    ADD_FAILURE() << "no cell character for byte " << static_cast<int>(u);
    return {};
  }
  return {'\xF0', static_cast<char>(u == '_' ? 0x80 : u + 0x20)};
}

std::string cells(std::string_view nabcc) {
  std::string out;
  for (char c : nabcc) out += cell(c);
  return out;
}

std::string Out(std::u8string_view text) {
  const std::string_view utf8(reinterpret_cast<const char*>(text.data()), text.size());
  std::string out;
  size_t done = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '{' && i + 2 < utf8.size() && utf8[i + 2] == '}') {
      out += sj(utf8.substr(done, i - done));
      out += cell(utf8[i + 1]);
      i += 2;
      done = i + 1;
    }
  }
  out += sj(utf8.substr(done));
  return out;
}

std::string Printable(std::string_view bytes) {
  std::string out;
  char buf[8];
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out;
}

std::string OptionName(const testing::TestParamInfo<uint16_t>& info) {
  char name[16];
  std::snprintf(name, sizeof name, "Option%04X", info.param);
  return name;
}

std::string Convert(std::string_view line, uint16_t option) {
  tavolib::TTavoCnv converter;
  std::string out;
  converter.CnvText(line, out, option);
  return out;
}

testing::AssertionResult Converts(std::string_view line, uint16_t option, std::string_view want) {
  tavolib::TTavoCnv converter;
  std::string got;
  const int32_t length = converter.CnvText(line, got, option);
  if (got == want && length == static_cast<int32_t>(got.size())) return testing::AssertionSuccess();
  char opt[8];
  std::snprintf(opt, sizeof opt, "%04X", option);
  return testing::AssertionFailure() << "line \"" << Printable(line) << "\" option " << opt
                                     << "\n  got:  " << hex(got) << " (returned length " << length
                                     << ")\n  want: " << hex(want);
}

testing::AssertionResult Converts(const LineCase& c, uint16_t option) {
  return Converts(c.line, option, Out(KeepsCells(option) && c.kept ? *c.kept : c.composed));
}

size_t CharCount(std::string_view cp932) {
  size_t n = 0;
  for (size_t i = 0; i < cp932.size(); ++n) {
    i += IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
  }
  return n;
}

}  // namespace tavo::test

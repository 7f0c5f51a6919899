#include "platform/text/Cp932Name.h"

#include "platform/text/Cp932.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

constexpr unsigned char kEscapeLead = 0xF9;
// Trail bytes of the 128 escapes: 40-7E for bytes 80-BE, 80-C0 for BF-FF.
constexpr unsigned char kLowTrails = 0x7F - 0x40;

bool IsEscapeTrail(unsigned char t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xC0); }

void AppendEscape(std::string& out, unsigned char byte) {
  const int k = byte - 0x80;
  out += static_cast<char>(kEscapeLead);
  out += static_cast<char>(k < kLowTrails ? 0x40 + k : 0x80 + (k - kLowTrails));
}

bool HoldsEscapeRow(std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (b == kEscapeLead) return true;
    if (IsLeadByte(b)) ++i;
  }
  return false;
}

// The CP932 form of UTF-8 text when it reads back to the same bytes and
// stays out of the escape row.
std::optional<std::string> ExactCp932(std::string_view utf8) {
  std::optional<std::string> c = Utf8ToCp932(utf8);
  if (!c || HoldsEscapeRow(*c)) return std::nullopt;
  const std::optional<std::string> back = Cp932ToUtf8(*c);
  if (!back || *back != utf8) return std::nullopt;
  return c;
}

bool IsAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string Cp932FormOfOsBytes(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (std::optional<std::string> whole = ExactCp932(bytes)) return std::move(*whole);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const std::size_t len = Utf8CharLength(bytes, i);
    if (len > 0) {
      if (std::optional<std::string> c = ExactCp932(bytes.substr(i, len))) {
        out += *c;
      } else {
        for (std::size_t k = 0; k < len; ++k) AppendEscape(out, static_cast<unsigned char>(bytes[i + k]));
      }
      i += len;
    } else {
      AppendEscape(out, b);
      ++i;
    }
  }
  return out;
}

void SplitCp932Form(std::string_view cp932, const std::function<void(std::string_view)>& plain,
                    const std::function<void(std::string_view)>& escaped) {
  std::size_t runStart = 0;
  std::string bytes;
  for (std::size_t i = 0; i < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (!IsLeadByte(b) || i + 1 >= cp932.size()) {
      ++i;
      continue;
    }
    if (b != kEscapeLead || !IsEscapeTrail(static_cast<unsigned char>(cp932[i + 1]))) {
      i += 2;
      continue;
    }
    if (i > runStart) plain(cp932.substr(runStart, i - runStart));
    bytes.clear();
    while (i + 1 < cp932.size() && static_cast<unsigned char>(cp932[i]) == kEscapeLead &&
           IsEscapeTrail(static_cast<unsigned char>(cp932[i + 1]))) {
      const auto t = static_cast<unsigned char>(cp932[i + 1]);
      bytes += static_cast<char>(0x80 + (t <= 0x7E ? t - 0x40 : kLowTrails + (t - 0x80)));
      i += 2;
    }
    escaped(bytes);
    runStart = i;
  }
  if (runStart < cp932.size()) plain(cp932.substr(runStart));
}

bool IsPlainCp932Name(std::string_view cp932) {
  bool plain = true;
  SplitCp932Form(cp932, [](std::string_view) {}, [&](std::string_view) { plain = false; });
  return plain;
}

std::optional<std::string> OsBytesOfCp932Form(std::string_view cp932) {
  std::string out;
  bool ok = true;
  SplitCp932Form(
      cp932,
      [&](std::string_view run) {
        // The rest of the escape row is no form of any name.
        std::optional<std::string> u = ok && !HoldsEscapeRow(run) ? Cp932ToUtf8(run) : std::nullopt;
        if (u) out += *u;
        else ok = false;
      },
      [&](std::string_view bytes) { out += bytes; });
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace tavo

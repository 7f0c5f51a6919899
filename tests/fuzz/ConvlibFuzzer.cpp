// Fuzz target: arbitrary bytes through the converter class and through the
// library's C functions. Besides the sanitizers' findings it checks what
// every result must be: the bytes of the frozen converter of
// tests/convlib/reference/, two-byte CP932 characters, no more characters
// than input bytes with a reading, the same text through both ways in, and
// the last result accepted back as the source.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "convlib/KVCnv.h"
#include "convlib/Tavo32Lib.h"
#include "platform/text/Cp932Lead.h"
#include "tests/convlib/reference/KVCnv.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "convlib fuzzer: %s\n", what);
  std::abort();
}


void RequireCp932(std::string_view text) {
  Require(text.size() % 2 == 0, "odd result length");
  for (size_t i = 0; i < text.size(); i += 2) {
    Require(tavo::IsLeadByte(static_cast<unsigned char>(text[i])), "character without a lead byte");
    Require(tavo::IsTrailByte(static_cast<unsigned char>(text[i + 1])), "character without a trail byte");
  }
}

// Bytes with a reading of their own, up to the first NUL (the input's end).
size_t ReadableBytes(std::string_view line) {
  size_t n = 0;
  for (unsigned char c : line) {
    if (c == 0) break;
    n += (c >= 0x20 && c <= 0x5F) || c == 0xDE || c == 0xDF;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool initialized = TavoLibInitialize() != 0;
  Require(initialized, "TavoLibInitialize failed");
  static tavolib::TTavoCnv converter;
  static tavo::reference::TTavoCnv frozen;

  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t readable = ReadableBytes(input);
  const std::string source(input.substr(0, input.find('\0')));  // what a C caller can pass

  for (uint16_t option : {uint16_t{0x0000}, uint16_t{0x0001}, uint16_t{0x0100}}) {
    std::string core;
    const int32_t length = converter.CnvText(input, core, option);
    Require(length == static_cast<int32_t>(core.size()), "length is not the result's size");
    std::string want;
    frozen.CnvText(input, want, option);
    Require(core == want, "differs from the frozen converter");
    RequireCp932(core);
    Require(core.size() / 2 <= readable, "more characters than bytes with a reading");

    char* result = nullptr;
    const int32_t apiLength = CnvNABCCtoKANA(source.c_str(), &result, option);
    Require(result != nullptr, "no result text");
    Require(static_cast<size_t>(apiLength) == std::strlen(result), "length is not strlen");
    Require(std::string_view(result) == core, "C functions and class disagree");

    // The last result straight back in as the source.
    std::string again;
    converter.CnvText(core, again, option);
    char* second = nullptr;
    const int32_t secondLength = CnvNABCCtoKANA(result, &second, option);
    Require(std::string_view(second, static_cast<size_t>(secondLength)) == again,
            "last result as the source converts differently");
  }
  return 0;
}

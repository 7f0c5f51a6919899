// The one test of a CP932 (Shift-JIS) lead byte: 0x81-0x9F or 0xE0-0xFC
// begins a two-byte character, every other byte stands alone; and of the
// bytes that may follow a lead byte: 0x40-0xFC without 0x7F.
//
// Header only, constexpr, with no dependencies, so that every layer can use it:
// the standard-library-only generator in tools/ and the tests included.
#pragma once

namespace tavo {

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace tavo

// Braille cells of the North American Braille Computer Code (NABCC) and the
// CP932 "cell characters" that stand for raw cells in converted text.
//
// A cell is a set of dot bits: dot 1 = 0x01, dot 2 = 0x02, dot 3 = 0x04,
// dot 4 = 0x08, dot 5 = 0x10, dot 6 = 0x20. The NABCC bytes are 0x20..0x5F.
// A cell character is the two-byte CP932 user-defined character F0 xx: NABCC
// byte c in 0x20..0x5E is F0 (c + 0x20), that is F0 40..F0 7E, and '_' (0x5F)
// is F0 80; F0 7F does not exist (0x7F is no CP932 trail byte).
// Pure functions over constant data; thread-safe.
#pragma once

namespace tavo {

// Dot bits of a NABCC byte; -1 outside 0x20..0x5F. Space is 0 (no dots).
int NabccDots(unsigned char cell);

// The NABCC byte that the cell character F0 `trail` stands for; -1 when
// `trail` is not 0x40..0x7E or 0x80.
int CellCharTrailToNabcc(unsigned char trail);

// The Unicode braille pattern (U+2800 + dot bits) that draws the cell
// character F0 `trail`; 0 when F0 `trail` is no cell character.
char32_t CellCharToBraillePattern(unsigned char trail);

}  // namespace tavo

#include "platform/text/BrailleGlyph.h"

#include <array>
#include <cstdint>

namespace tavo {
namespace {

// Written as dot numbers, the way braille tables are read and checked.
constexpr const char* kNabccDotNumbers[64] = {
    "",      "2346",  "5",     "3456",  "1246",  "146",   "12346", "3",       // space ! " # $ % & '
    "12356", "23456", "16",    "346",   "6",     "36",    "46",    "34",      // ( ) * + , - . /
    "356",   "2",     "23",    "25",    "256",   "26",    "235",   "2356",    // 0 1 2 3 4 5 6 7
    "236",   "35",    "156",   "56",    "126",   "123456", "345",  "1456",    // 8 9 : ; < = > ?
    "4",     "1",     "12",    "14",    "145",   "15",    "124",   "1245",    // @ A B C D E F G
    "125",   "24",    "245",   "13",    "123",   "134",   "1345",  "135",     // H I J K L M N O
    "1234",  "12345", "1235",  "234",   "2345",  "136",   "1236",  "2456",    // P Q R S T U V W
    "1346",  "13456", "1356",  "246",   "1256",  "12456", "45",    "456",     // X Y Z [ \ ] ^ _
};

constexpr std::array<uint8_t, 64> MakeDotBits() {
  std::array<uint8_t, 64> bits{};
  for (int i = 0; i < 64; ++i)
    for (const char* p = kNabccDotNumbers[i]; *p != '\0'; ++p)
      bits[i] = static_cast<uint8_t>(bits[i] | (1u << (*p - '1')));
  return bits;
}

constexpr std::array<uint8_t, 64> kDotBits = MakeDotBits();

}  // namespace

int NabccDots(unsigned char cell) {
  if (cell < 0x20 || cell > 0x5F) return -1;
  return kDotBits[cell - 0x20];
}

int CellCharTrailToNabcc(unsigned char trail) {
  if (trail >= 0x40 && trail <= 0x7E) return trail - 0x20;
  if (trail == 0x80) return 0x5F;
  return -1;
}

char32_t CellCharToBraillePattern(unsigned char trail) {
  int cell = CellCharTrailToNabcc(trail);
  if (cell < 0) return 0;
  return static_cast<char32_t>(0x2800 + NabccDots(static_cast<unsigned char>(cell)));
}

}  // namespace tavo

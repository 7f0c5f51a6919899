// The library's exports and its one converter.
#include "convlib/Tavo32Lib.h"

#include <new>
#include <string_view>

#include "convlib/KVCnv.h"

namespace tavolib {
namespace {

// The converter between TavoLibInitialize and TavoLibTerminate; it holds the
// text handed out by the last conversion. The pointer is constant-initialised
// to null, so loading the library runs no code of its own.
TTavoCnv* Instance = nullptr;

char* EmptyText() {
  static char empty[1] = {0};
  empty[0] = 0;
  return empty;
}

}  // namespace
}  // namespace tavolib

using tavolib::Instance;

extern "C" int32_t CnvNABCCtoKANA(const char* source, char** result, uint16_t option) {
  char* text = tavolib::EmptyText();
  int32_t length = 0;
  if (Instance != nullptr) {
    try {
      const std::string_view converted = Instance->ConvertCString(source != nullptr ? source : "", option);
      // Handed out as char* by the C interface; callers never change it.
      text = const_cast<char*>(converted.data());
      length = static_cast<int32_t>(converted.size());
    } catch (...) {
      text = tavolib::EmptyText();
      length = 0;
    }
  }
  if (result != nullptr) *result = text;
  return length;
}

extern "C" int32_t CnvSourceCells(const char* character, uint8_t* cells, uint16_t option) {
  if (cells == nullptr) return 0;
  return tavolib::SourceCells(character != nullptr ? character : "", tavolib::KeepCells(option), cells) ? 1 : 0;
}

extern "C" void CnvInit(void) {
  if (Instance != nullptr) Instance->ClearState();
}

extern "C" int TavoLibTerminate(void) {
  delete Instance;
  Instance = nullptr;
  return 1;
}

extern "C" int TavoLibInitialize(void) {
  if (Instance == nullptr) Instance = new (std::nothrow) tavolib::TTavoCnv();
  return 1;
}

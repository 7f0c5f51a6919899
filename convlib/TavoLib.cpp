// The library's exports and its one converter.
#include "convlib/Tavo32Lib.h"

#include <cstring>
#include <new>
#include <string>

#include "convlib/KVCnv.h"

namespace tavolib {
namespace {

// Everything the library holds between TavoLibInitialize and
// TavoLibTerminate. The pointer is constant-initialised to null, so loading
// the library runs no code of its own.
struct Library {
  TTavoCnv Converter;
  std::string Result;  // the text handed out by the last conversion
  std::string Work;    // the next result is built here, so the source may be the last result
};

Library* Instance = nullptr;

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
      const std::string_view s = source != nullptr ? std::string_view(source) : std::string_view();
      Instance->Converter.CnvText(s, Instance->Work, option);
      Instance->Result.swap(Instance->Work);
      text = Instance->Result.data();
      length = static_cast<int32_t>(Instance->Result.size());
    } catch (...) {
      Instance->Result.clear();
      text = tavolib::EmptyText();
      length = 0;
    }
  }
  if (result != nullptr) *result = text;
  return length;
}

extern "C" void CnvInit(void) {
  if (Instance != nullptr) Instance->Converter.ClearState();
}

extern "C" int TavoLibTerminate(void) {
  delete Instance;
  Instance = nullptr;
  return 1;
}

extern "C" int TavoLibInitialize(void) {
  if (Instance == nullptr) Instance = new (std::nothrow) tavolib::Library();
  return 1;
}

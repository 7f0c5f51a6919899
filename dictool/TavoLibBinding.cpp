#include "dictool/TavoLibBinding.h"

#include "convlib/Tavo32Lib.h"
#include "platform/files/Files.h"
#include "platform/system/SharedLibrary.h"

namespace tavo {
namespace {

struct Binding {
  SharedLibrary library;
  TTavoLibInitialize initialize = nullptr;
  TTavoLibTerminate terminate = nullptr;
  TCnvNABCCtoKANA convert = nullptr;
  TCnvSourceCells sourceCells = nullptr;  // optional: an older library lacks it
};

Binding* g_binding = nullptr;

}  // namespace

bool BindTavoLib(std::string& error) {
  if (g_binding != nullptr) return true;
  auto* b = new Binding;
  // Beside the built program, or in the library folder of an installed one.
  // Named by path: a bare name would be looked up in the run path of
  // whoever calls dlopen, which a sanitizer's interceptor is, not the
  // program.
  std::string path = "libTavo32Lib.so";
  for (const std::string& folder : {ProgramFolder(), ProgramFolder() + "/" + TAVO_BIN_TO_LIB})
    if (FileExists(folder + "/libTavo32Lib.so")) {
      path = ExpandFileName(folder + "/libTavo32Lib.so");
      break;
    }
  if (!b->library.Load(path)) {
    error = "libTavo32Lib.so: " + b->library.Error();
    delete b;
    return false;
  }
  b->initialize = reinterpret_cast<TTavoLibInitialize>(b->library.Symbol("TavoLibInitialize"));
  b->terminate = reinterpret_cast<TTavoLibTerminate>(b->library.Symbol("TavoLibTerminate"));
  b->convert = reinterpret_cast<TCnvNABCCtoKANA>(b->library.Symbol("CnvNABCCtoKANA"));
  if (b->initialize == nullptr || b->terminate == nullptr || b->convert == nullptr) {
    error = "libTavo32Lib.so: " + b->library.Error();
    delete b;
    return false;
  }
  b->sourceCells = reinterpret_cast<TCnvSourceCells>(b->library.Symbol("CnvSourceCells"));
  g_binding = b;  // bound for the life of the program
  return true;
}

bool TavoLibInitialize() { return g_binding != nullptr && g_binding->initialize() != 0; }

bool TavoLibTerminate() { return g_binding != nullptr && g_binding->terminate() != 0; }

LineConverter BoundLineConverter() {
  if (g_binding == nullptr) return LineConverter(nullptr, kCnvOption);
  return LineConverter(g_binding->convert, kCnvOption, g_binding->sourceCells);
}

}  // namespace tavo

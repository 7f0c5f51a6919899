// Loads the built libTavo32Lib.so the way a caller does, by name at run time,
// and converts one line through the four functions it finds.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "convlib/Tavo32Lib.h"
#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

template <typename Function>
Function Find(void* library, const char* name) {
  return reinterpret_cast<Function>(dlsym(library, name));
}

TEST(LibraryLoadTest, FindsTheFourFunctionsAndConverts) {
  void* library = dlopen(TAVO32LIB_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto convert = Find<TCnvNABCCtoKANA>(library, "CnvNABCCtoKANA");
  const auto init = Find<TCnvInit>(library, "CnvInit");
  const auto terminate = Find<TTavoLibTerminate>(library, "TavoLibTerminate");
  const auto initialize = Find<TTavoLibInitialize>(library, "TavoLibInitialize");
  ASSERT_NE(convert, nullptr);
  ASSERT_NE(init, nullptr);
  ASSERT_NE(terminate, nullptr);
  ASSERT_NE(initialize, nullptr);

  EXPECT_NE(initialize(), 0);
  init();
  char* result = nullptr;
  EXPECT_EQ(convert("\"*@* #AB", &result, 0x0100), 14);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(hex(result), hex(Out(u8"がきゃ□{#}１２")));
  EXPECT_NE(terminate(), 0);
  EXPECT_EQ(dlclose(library), 0);
}

}  // namespace
}  // namespace tavo::test

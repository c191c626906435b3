#include "zebevi/server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/test_support.h"

namespace zebevi {
namespace {

using testing::ReadWhole;

TEST(Server, HandsOutTheFactoryOfEviOnly) {
  const void* factory = reinterpret_cast<const void*>(1);
  EXPECT_EQ(DllGetClassObject("{00000000-0000-0000-0000-000000000000}", &factory),
            kClassNotAvailable);
  EXPECT_EQ(factory, nullptr);
  ASSERT_EQ(DllGetClassObject(kClassId, &factory), kOk);
  const auto* classes = static_cast<const ClassFactory*>(factory);

  EXPECT_EQ(DllCanUnloadNow(), kOk);
  {
    std::shared_ptr<_EVI> evi = classes->CreateInstance();
    ASSERT_NE(evi, nullptr);
    EXPECT_EQ(LiveObjectCount(), 1);
    EXPECT_EQ(DllCanUnloadNow(), kFalse);
  }
  EXPECT_EQ(DllCanUnloadNow(), kOk);
}

TEST(Server, RegistersIntoTheHostsRegistryAndCleansUp) {
  testing::TempDir dir;
  const auto registry = dir / "classes.reg";
  ::setenv("ZEBEVI_REGISTRY", registry.c_str(), 1);
  std::ofstream(registry) << "CLSID\\{OTHER}=Another\n";
  ASSERT_EQ(DllRegisterServer(), kOk);
  ASSERT_EQ(DllRegisterServer(), kOk);  // registering twice keeps one set
  const std::string text = ReadWhole(registry);
  EXPECT_NE(text.find("CLSID\\{OTHER}=Another"), std::string::npos);
  const std::string server = std::string("CLSID\\") + kClassId + "\\InprocServer32=";
  EXPECT_EQ(text.find(server), text.rfind(server));
  EXPECT_NE(text.find("ZebEVI37.EVI\\CLSID="), std::string::npos);

  ASSERT_EQ(DllUnregisterServer(), kOk);
  EXPECT_EQ(ReadWhole(registry), "CLSID\\{OTHER}=Another\n");
  ::unsetenv("ZEBEVI_REGISTRY");
  EXPECT_EQ(DllRegisterServer(), kFail);
}

}  // namespace
}  // namespace zebevi

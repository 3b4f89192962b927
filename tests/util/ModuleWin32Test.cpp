// The module's start-up on the Windows registry itself: HKEY_LOCAL_MACHINE first, then
// HKEY_CURRENT_USER, where the key is made when neither root has it. The test owns the
// "Software\Vedo" keys of the registry it runs with (Wine's prefix in the build folder).
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "Platform.h"
#include "TempDir.h"
#include "Util.h"

namespace {

constexpr const char* kVedoKey = "Software\\Vedo";

bool KeyExists(HKEY root) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, kVedoKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

void SetValue(HKEY root, const std::string& name, DWORD type, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(
      ::RegCreateKeyExA(root, kVedoKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  ::RegCloseKey(key);
}

void SetText(HKEY root, const std::string& name, const std::string& text) {
  SetValue(root, name, REG_SZ, text + std::string(1, '\0'));
}

class ModuleOnTheRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override {
    util::StopModule();
    RemoveKeys();
  }
  static void RemoveKeys() {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVedoKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kVedoKey);
  }
  // The program's own value is named after its file without the extension.
  static std::string ProgramValue() {
    const std::string path = platform::ProgramPath();
    const std::string name = path.substr(path.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
  }
  testsupport::TempDir dir_;
};

TEST_F(ModuleOnTheRegistry, NoKeyAnywhereMakesAnEmptyOneForTheUser) {
  util::ResolvePaths();
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE));
  EXPECT_EQ(util::IniFile(), "C:\\Vedo\\Vedo.ini");
  EXPECT_EQ(util::ExeDir(), util::UpperText(platform::ProgramDirectory()));
  EXPECT_EQ(util::DataDir(), util::ExeDir());
}

TEST_F(ModuleOnTheRegistry, UserValuesSetPathsAndDirectories) {
  const std::string shared = dir_.Write("shared.ini", "[Program]\r\nSysExt=nc\r\n");
  SetText(HKEY_CURRENT_USER, "INI-Fil", shared);
  SetText(HKEY_CURRENT_USER, "ExeKatalog", "d:\\prog");
  SetText(HKEY_CURRENT_USER, "DataKatalog", "d:\\data");
  util::StartModule();
  EXPECT_EQ(util::IniFile(), shared);
  EXPECT_EQ(util::ExeDir(), "D:\\PROG\\");
  EXPECT_EQ(util::DataDir(), "d:\\data\\");
  EXPECT_EQ(util::SysExt(), "NC");
}

TEST_F(ModuleOnTheRegistry, TheProgramsOwnValueWinsOverTheSharedOne) {
  const std::string own = dir_.Write("own.ini", "");
  SetText(HKEY_CURRENT_USER, ProgramValue(), own);
  SetText(HKEY_CURRENT_USER, "INI-Fil", dir_ / "shared.ini");
  util::ResolvePaths();
  EXPECT_EQ(util::IniFile(), own);
}

TEST_F(ModuleOnTheRegistry, AMachineKeyIsUsedEvenWhenEmpty) {
  SetText(HKEY_CURRENT_USER, "INI-Fil", dir_ / "user.ini");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVedoKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
  util::ResolvePaths();
  EXPECT_EQ(util::IniFile(), "C:\\Vedo\\Vedo.ini") << "the user's key is not consulted";
}

TEST_F(ModuleOnTheRegistry, ANonTextValueStopsTheStartUp) {
  SetValue(HKEY_CURRENT_USER, "INI-Fil", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  try {
    util::StartModule();
    ADD_FAILURE() << "the start-up went on";
  } catch (const platform::RegistryError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'INI-Fil'");
  }
}

}  // namespace

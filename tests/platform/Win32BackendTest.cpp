// The Windows backend on the system's own calls (run under Wine in the cross build). The
// registry values are made with RegSetValueExA, which the program itself never needs.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "Platform.h"
#include "TempDir.h"

namespace {

using platform::RegistryOpen;
using platform::RegistryRoot;

// A key of the test's own under HKEY_CURRENT_USER, removed with its values.
class TestKey {
 public:
  TestKey()
      : path_("Software\\VedoTest\\" +
              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())) {
    EXPECT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  ~TestKey() {
    ::RegCloseKey(key_);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
  }
  void Set(const std::string& name, DWORD type, const std::string& data) {
    ASSERT_EQ(
        ::RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size())),
        ERROR_SUCCESS);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  HKEY key_ = nullptr;
};

TEST(Win32Registry, ReadsTextValuesAndRefusesOtherTypes) {
  TestKey key;
  key.Set("Plain", REG_SZ, std::string("C:\\Vedo\\Vedo.ini\0", 17));
  key.Set("Expandable", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11));
  key.Set("Cut", REG_SZ, std::string("before\0after\0", 13));
  key.Set("Letters", REG_SZ, std::string("\xC6\xD8\xC5\0", 4));
  key.Set("Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  key.Set("Binary", REG_BINARY, "ab");
  key.Set("NoData", REG_BINARY, "");
  key.Set("List", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  const auto opened =
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, key.Path(), RegistryOpen::ReadOnly);
  ASSERT_NE(opened, nullptr);

  const struct {
    const char* name;
    const char* value;
    std::string expected;
  } texts[] = {
      {"plain string", "Plain", "C:\\Vedo\\Vedo.ini"},
      {"expandable string taken literally", "Expandable", "%WINDIR%\\x"},
      {"text ends at its first NUL", "Cut", "before"},
      {"cp1252 letters", "Letters", "\xC6\xD8\xC5"},
      {"names ignore case", "pLAIN", "C:\\Vedo\\Vedo.ini"},
      {"a value without data, of any type", "NoData", ""},
      {"missing value", "Missing", ""},
  };
  for (const auto& row : texts) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(opened->ReadText(row.value), row.expected);
  }
  for (const char* name : {"Number", "Binary", "List"}) {
    SCOPED_TRACE(name);
    try {
      opened->ReadText(name);
      ADD_FAILURE() << "no error";
    } catch (const platform::RegistryError& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Invalid data type for '") + name + "'");
    }
  }
}

TEST(Win32Registry, OpenModes) {
  TestKey key;
  const std::string missing = key.Path() + "\\Missing";
  EXPECT_NE(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, key.Path(), RegistryOpen::ReadWrite),
      nullptr);
  EXPECT_EQ(platform::OpenRegistryKey(RegistryRoot::CurrentUser, missing, RegistryOpen::ReadWrite),
            nullptr);
  EXPECT_EQ(platform::OpenRegistryKey(RegistryRoot::CurrentUser, missing, RegistryOpen::ReadOnly),
            nullptr);
  EXPECT_NE(platform::OpenRegistryKey(RegistryRoot::CurrentUser, missing, RegistryOpen::Create),
            nullptr);
  EXPECT_NE(platform::OpenRegistryKey(RegistryRoot::CurrentUser, missing, RegistryOpen::ReadOnly),
            nullptr)
      << "created by the open";
  ::RegDeleteKeyA(HKEY_CURRENT_USER, missing.c_str());
}

TEST(Win32Files, ProgramPathAndFileTest) {
  const std::string program = platform::ProgramPath();
  EXPECT_TRUE(platform::IsFullPath(program)) << program;
  EXPECT_EQ(program.substr(program.size() - 4), ".exe");
  EXPECT_EQ(platform::ProgramDirectory(), program.substr(0, program.rfind('\\') + 1));
  EXPECT_TRUE(platform::FileExists(program));
  EXPECT_FALSE(platform::FileExists(platform::ProgramDirectory())) << "a folder is no file";
  EXPECT_FALSE(platform::FileExists(program + ".missing"));
  EXPECT_FALSE(platform::FileExists(""));
  testsupport::TempDir dir;
  EXPECT_EQ(platform::FileSize(dir.Write("P1.NC", std::string(70000, 'x'))), 70000u);
  EXPECT_EQ(platform::FileSize(dir.Path()), std::nullopt) << "a folder has no size";
  EXPECT_EQ(platform::FileSize(dir / "missing"), std::nullopt);
}

TEST(Win32Files, FullPathsNameADriveOrAShare) {
  const struct {
    const char* name;
    bool full;
  } rows[] = {{"C:\\Vedo\\Vedo.ini", true}, {"\\\\server\\share\\x", true}, {"d:x", true},
              {"conf\\Vedo.ini", false},    {"\\Vedo\\Vedo.ini", false},    {"Vedo.ini", false},
              {"/etc/vedo", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::IsFullPath(row.name), row.full);
  }
}

TEST(Win32Files, AppendToFileCreatesFoldersAndAppends) {
  testsupport::TempDir dir;
  const std::string log = dir.Path() + "\\state\\vedo\\calls.log";
  EXPECT_TRUE(platform::AppendToFile(log, "one\r\n"));
  EXPECT_TRUE(platform::AppendToFile(log, "two\r\n"));
  EXPECT_EQ(testsupport::ReadFile(log), "one\r\ntwo\r\n");
  EXPECT_FALSE(platform::AppendToFile(dir.Path(), "a folder")) << "a folder cannot be appended to";
}

TEST(Win32Files, UserStateDirectoryIsLocalAppData) {
  const char* local = std::getenv("LOCALAPPDATA");
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(platform::UserStateDirectory(), local);
}

TEST(Win32Termination, ACtrlCCallsTheWatcherOnceOnAThreadOfItsOwn) {
  std::mutex mutex;
  std::condition_variable called;
  int calls = 0;
  std::thread::id caller;
  platform::WatchTermination([&] {
    std::lock_guard lock(mutex);
    ++calls;
    caller = std::this_thread::get_id();
    called.notify_all();
  });
  // A test run has no console of its own; one is made for the test alone.
  const bool ownConsole = ::GetConsoleWindow() == nullptr && ::AllocConsole();
  const bool sent =
      ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) && ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  if (!sent) {
    if (ownConsole) ::FreeConsole();
    platform::WatchTermination({});
    GTEST_SKIP() << "no console to send Ctrl+C to";
  }
  std::unique_lock lock(mutex);
  EXPECT_TRUE(called.wait_for(lock, std::chrono::seconds(10), [&] { return calls > 0; }));
  lock.unlock();
  platform::WatchTermination({});
  if (ownConsole) ::FreeConsole();
  lock.lock();
  EXPECT_EQ(calls, 1) << "a second request is not passed on";
  EXPECT_NE(caller, std::this_thread::get_id());
}

TEST(Win32Launch, ShellOpenStartsTheProgramWithParametersAndFolder) {
  testsupport::TempDir dir;
  const std::string record = dir / "argv.txt";
  ::SetEnvironmentVariableA("ARGV_RECORD_FILE", record.c_str());
  ASSERT_TRUE(
      platform::ShellOpen(ARGV_RECORDER, "one \"two words\" M\xE6L", dir.Path(), SW_SHOWNORMAL));
  // The started program is outside the test's reach; its file is the condition. Under Wine a
  // file that has just been renamed into place can be seen before it can be opened.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  std::string lines = testsupport::ReadFile(record);
  while (lines == "<missing>" && std::chrono::steady_clock::now() < deadline) {
    ::Sleep(20);
    lines = testsupport::ReadFile(record);
  }
  ::SetEnvironmentVariableA("ARGV_RECORD_FILE", nullptr);
  // The recorder writes text lines, which end in CR LF here.
  std::erase(lines, '\r');
  EXPECT_EQ(lines.substr(lines.find('\n') + 1), "one\ntwo words\nM\xE6L\n");
  EXPECT_TRUE(std::filesystem::equivalent(lines.substr(0, lines.find('\n')), dir.Path())) << lines;
}

TEST(Win32Launch, ShellOpenReportsAProgramThatIsNotThere) {
  testsupport::TempDir dir;
  EXPECT_FALSE(platform::ShellOpen(dir.Path() + "\\missing.exe", "", "", SW_SHOWNORMAL));
  EXPECT_FALSE(platform::ShellOpen("", "", "", SW_SHOWNORMAL));
}

}  // namespace

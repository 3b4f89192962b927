#include "ModuleState.h"
#include "Platform.h"
#include "Util.h"

namespace util {
namespace detail {

ModuleState& State() {
  static ModuleState state;
  return state;
}

}  // namespace detail

namespace {

constexpr const char* kRegistryKey = "Software\\Vedo";

std::string ProgramFileName() {
  const std::string path = platform::ProgramPath();
  return path.substr(path.rfind(platform::kPathSeparator) + 1);
}

std::unique_ptr<platform::RegistryKey> OpenVedoKey() {
  using platform::RegistryOpen;
  using platform::RegistryRoot;
  auto key =
      platform::OpenRegistryKey(RegistryRoot::LocalMachine, kRegistryKey, RegistryOpen::ReadWrite);
  if (!key) {
    key =
        platform::OpenRegistryKey(RegistryRoot::LocalMachine, kRegistryKey, RegistryOpen::ReadOnly);
  }
  if (!key) {
    key = platform::OpenRegistryKey(RegistryRoot::CurrentUser, kRegistryKey, RegistryOpen::Create);
  }
  if (!key) {
    key =
        platform::OpenRegistryKey(RegistryRoot::CurrentUser, kRegistryKey, RegistryOpen::ReadOnly);
  }
  return key;
}

void EnsureTrailingSeparator(std::string& directory) {
  if (!directory.empty() && directory.back() != platform::kPathSeparator) {
    directory += platform::kPathSeparator;
  }
}

}  // namespace

const std::string& IniFile() { return detail::State().iniFile; }
const std::string& ToolsIni() { return detail::State().toolsIni; }
const std::string& ExeDir() { return detail::State().exeDir; }
const std::string& DataDir() { return detail::State().dataDir; }

void ReadRegistrySettings() {
  auto& state = detail::State();
  const auto key = OpenVedoKey();
  if (!key) {
    state.iniFile.clear();
    state.exeDir.clear();
    state.dataDir.clear();
    return;
  }
  std::string programName = ProgramFileName();
  if (ExtPos(programName) > 0) programName.resize(ExtPos(programName) - 1);
  state.iniFile = key->ReadText(programName);
  if (state.iniFile.empty()) state.iniFile = key->ReadText("INI-Fil");
  state.exeDir = key->ReadText("ExeKatalog");
  state.dataDir = key->ReadText("DataKatalog");
}

void ResolvePaths() {
  auto& state = detail::State();
  const std::string programDirectory = platform::ProgramDirectory();

  ReadRegistrySettings();
  if (state.iniFile.empty()) state.iniFile = platform::kDefaultIniFile;
  if (state.iniFile.find(platform::kPathSeparator) == std::string::npos) {
    state.iniFile = programDirectory + state.iniFile;
  }
  if (!platform::FileExists(state.iniFile) && platform::FileExists(programDirectory + "Vedo.ini")) {
    state.iniFile = programDirectory + "Vedo.ini";
  }

  state.toolsIni = programDirectory + "Tools.ini";
  if (!platform::FileExists(state.toolsIni)) state.toolsIni = state.iniFile;

  if (state.exeDir.empty()) state.exeDir = programDirectory;
  // Where file names ignore case the directory is kept in capitals, as every source of it is.
  state.exeDir = platform::kFileNamesIgnoreCase
                     ? ReadIniUpper("Program", "ExeKatalog", state.exeDir)
                     : ReadIni("Program", "ExeKatalog", state.exeDir);
  EnsureTrailingSeparator(state.exeDir);

  if (state.dataDir.empty()) state.dataDir = state.exeDir;
  EnsureTrailingSeparator(state.dataDir);
}

}  // namespace util

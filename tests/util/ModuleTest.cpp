// The module's start-up run for real: a copy of the probe program in a folder of the test's
// own, with its own registry files, next to its own Vedo.ini and Tools.ini where wanted.
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "Platform.h"
#include "Processes.h"
#include "TempDir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

std::string Reg(const std::string& root, const std::string& values) {
  return "REGEDIT4\r\n\r\n[" + root + "\\Software\\Vedo]\r\n" + values;
}

std::string Value(const std::string& name, const std::string& path) {
  std::string escaped;
  for (const char c : path) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return "\"" + name + "\"=\"" + escaped + "\"\r\n";
}

class Module : public ::testing::Test {
 protected:
  Module() {
    std::filesystem::create_directories(bin());
    std::filesystem::copy_file(MODULE_PROBE, program());
    ::chmod(program().c_str(), 0755);
  }
  std::string bin() const { return dir_ / "bin"; }
  std::string program() const { return bin() + "/VedoProbe"; }
  void Hklm(const std::string& values) {
    dir_.Write("reg/HKEY_LOCAL_MACHINE.reg", Reg("HKEY_LOCAL_MACHINE", values));
  }
  void Hkcu(const std::string& values) {
    dir_.Write("reg/HKEY_CURRENT_USER.reg", Reg("HKEY_CURRENT_USER", values));
  }
  // Runs the probe (or a copy elsewhere) from the test's folder; the settled values by name,
  // or "error".
  std::map<std::string, std::string> Run(const std::string& probe = "") {
    const auto result = testsupport::RunProgram(
        "/bin/sh",
        {"-c", "cd \"$0\" && exec \"$1\"", dir_.Path(), probe.empty() ? program() : probe},
        {"VEDO_REGISTRY_DIR=" + (dir_ / "reg"), "HOME=" + (dir_ / "home"),
         "XDG_CONFIG_HOME=" + (dir_ / "home/.config")});
    std::map<std::string, std::string> values;
    std::size_t begin = 0;
    while (begin < result.output.size()) {
      const auto end = result.output.find('\n', begin);
      const std::string line = result.output.substr(begin, end - begin);
      const auto split = line.find(line.rfind("error: ", 0) == 0 ? ' ' : '=');
      values[line.substr(0, split)] = line.substr(split + 1);
      begin = end + 1;
    }
    values["status"] = std::to_string(result.status);
    return values;
  }
  TempDir dir_;
};

TEST_F(Module, LocalMachineKeyWinsOverCurrentUser) {
  dir_.Write("a.ini", "");
  Hklm(Value("INI-Fil", dir_ / "a.ini"));
  Hkcu(Value("INI-Fil", dir_ / "b.ini"));
  EXPECT_EQ(Run()["IniFile"], dir_ / "a.ini");
}

TEST_F(Module, EmptyLocalMachineKeyStillHidesCurrentUser) {
  Hklm("");
  Hkcu(Value("INI-Fil", dir_ / "b.ini"));
  dir_.Write("bin/Vedo.ini", "");
  EXPECT_EQ(Run()["IniFile"], bin() + "/Vedo.ini");
}

TEST_F(Module, ProgramsOwnValueBeforeTheSharedOne) {
  Hkcu(Value("VedoProbe", dir_ / "own.ini") + Value("INI-Fil", dir_ / "shared.ini"));
  EXPECT_EQ(Run()["IniFile"], dir_ / "own.ini");
  Hkcu(Value("VedoProbe", "") + Value("INI-Fil", dir_ / "shared.ini"));
  EXPECT_EQ(Run()["IniFile"], dir_ / "shared.ini") << "an empty own value counts as missing";
}

TEST_F(Module, BareNameLivesBesideTheProgramAndRelativePathStays) {
  Hkcu(Value("INI-Fil", "My.ini"));
  EXPECT_EQ(Run()["IniFile"], bin() + "/My.ini");
  Hkcu(Value("INI-Fil", "conf/Vedo.ini"));
  EXPECT_EQ(Run()["IniFile"], "conf/Vedo.ini");
}

TEST_F(Module, FallsBackToVedoIniBesideTheProgram) {
  Hkcu(Value("INI-Fil", dir_ / "missing.ini"));
  dir_.Write("bin/Vedo.ini", "");
  EXPECT_EQ(Run()["IniFile"], bin() + "/Vedo.ini");
  std::filesystem::remove(bin() + "/Vedo.ini");
  EXPECT_EQ(Run()["IniFile"], dir_ / "missing.ini") << "kept, though it names no file";
}

TEST_F(Module, DefaultIniFileWhenTheRegistryNamesNone) {
  if (platform::FileExists(platform::kDefaultIniFile)) GTEST_SKIP() << "machine has one";
  const auto values = Run();
  EXPECT_EQ(values.at("IniFile"), platform::kDefaultIniFile);
  EXPECT_EQ(values.at("ToolsIni"), platform::kDefaultIniFile);
  EXPECT_EQ(values.at("ExeDir"), bin() + "/");
  EXPECT_EQ(values.at("DataDir"), bin() + "/");
  // Neither root had the key: it is created, empty, for the current user.
  EXPECT_EQ(ReadFile(dir_ / "reg/HKEY_CURRENT_USER.reg"),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n");
}

TEST_F(Module, ToolsIniBesideTheProgram) {
  Hkcu(Value("INI-Fil", dir_ / "v.ini"));
  dir_.Write("v.ini", "");
  EXPECT_EQ(Run()["ToolsIni"], dir_ / "v.ini");
  dir_.Write("bin/Tools.ini", "");
  EXPECT_EQ(Run()["ToolsIni"], bin() + "/Tools.ini");
}

TEST_F(Module, ProgramAndDataDirectories) {
  const struct {
    const char* name;
    std::string registry;
    std::string ini;
    std::string exeDir;
    std::string dataDir;
  } rows[] = {
      {"registry directory keeps its case", Value("ExeKatalog", "/opt/Prog"), "", "/opt/Prog/",
       "/opt/Prog/"},
      {"INI overrides the registry", Value("ExeKatalog", "/opt/Prog"),
       "[Program]\r\nExeKatalog=/srv/vedo/\r\n", "/srv/vedo/", "/srv/vedo/"},
      {"INI overrides the program path", "", "[Program]\r\nExeKatalog=/srv/x\r\n", "/srv/x/",
       "/srv/x/"},
      {"INI present but empty", Value("ExeKatalog", "/opt/Prog"), "[Program]\r\nExeKatalog=\r\n",
       "", ""},
      {"data directory from the registry", Value("DataKatalog", "/Data/Nc"),
       "[Program]\r\nExeKatalog=\r\n", "", "/Data/Nc/"},
      {"data directory with its separator", Value("DataKatalog", "/data/"), "", bin() + "/",
       "/data/"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    dir_.Write("v.ini", row.ini);
    Hkcu(Value("INI-Fil", dir_ / "v.ini") + row.registry);
    const auto values = Run();
    EXPECT_EQ(values.at("ExeDir"), row.exeDir);
    EXPECT_EQ(values.at("DataDir"), row.dataDir);
  }
}

TEST_F(Module, RegistryValueOfAnotherTypeStopsTheStartUp) {
  const struct {
    const char* name;
    std::string values;
    std::string outcome;  // the error, or "" for a normal start
  } rows[] = {
      {"INI-Fil read only when the own value is missing",
       Value("VedoProbe", dir_ / "v.ini") + "\"INI-Fil\"=dword:00000001\r\n", ""},
      {"INI-Fil of another type", "\"INI-Fil\"=dword:00000001\r\n",
       "Invalid data type for 'INI-Fil'"},
      {"ExeKatalog of another type", Value("VedoProbe", "v.ini") + "\"ExeKatalog\"=hex:00\r\n",
       "Invalid data type for 'ExeKatalog'"},
      {"DataKatalog of another type", "\"DataKatalog\"=hex(7):41,00,00\r\n",
       "Invalid data type for 'DataKatalog'"},
      {"own value without data", "\"VedoProbe\"=hex:\r\n" + Value("INI-Fil", "v.ini"), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Hklm(row.values);
    const auto values = Run();
    if (row.outcome.empty()) {
      EXPECT_EQ(values.at("status"), "0");
    } else {
      EXPECT_EQ(values.at("status"), "2");
      EXPECT_EQ(values.at("error:"), row.outcome);
    }
  }
}

struct SettingsRow {
  const char* name;
  std::string ini;  // "<missing>": no file at all
  std::map<std::string, std::string> expected;
  std::string fileAfter;  // "" means unchanged
};

TEST_F(Module, ModuleSettingsAndTheCompanyNameCorrection) {
  const std::map<std::string, std::string> defaults = {
      {"TestModus", "0"}, {"SysExt", ".SPR"}, {"ForInst", "0"}, {"Firma", "FENRAK"}};
  const SettingsRow rows[] = {
      {"missing file", "<missing>", defaults, ""},
      {"empty file", "", defaults, ""},
      {"filled",
       "[Program]\r\nTestModus=1\r\nSysExt=spr\r\nForInst=$20\r\nFirma=Orvi \xe6s\r\n",
       {{"TestModus", "1"}, {"SysExt", "SPR"}, {"ForInst", "32"}, {"Firma", "ORVI \xC6S"}},
       ""},
      {"unconvertible values fall back", "[Program]\r\nTestModus=ja\r\nForInst=abc\r\n", defaults,
       ""},
      {"marker at the seventh character",
       "[Program]\r\nFirma=abcdeftramvold\r\n",
       {{"Firma", "TARVELMEK"}},
       "[Program]\r\nFirma=Tarvelmek\r\n"},
      {"marker in other case with a tail",
       ";c\n[program]\nfirma = ABCDEFTramvold AS\nx=1\n",
       {{"Firma", "TARVELMEK"}},
       ";c\n[program]\nfirma = Tarvelmek\r\nx=1\n"},
      {"marker at the first character",
       "[Program]\r\nFirma=TRAMVOLD\r\n",
       {{"Firma", "TRAMVOLD"}},
       ""},
      {"marker at the eighth character",
       "[Program]\r\nFirma=abcdefgTRAMVOLD\r\n",
       {{"Firma", "ABCDEFGTRAMVOLD"}},
       ""},
      {"first occurrence decides",
       "[Program]\r\nFirma=TRAMVOLDTRAMVOLD\r\n",
       {{"Firma", "TRAMVOLDTRAMVOLD"}},
       ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string ini = dir_ / "v.ini";
    std::filesystem::remove(ini);
    if (row.ini != "<missing>") dir_.Write("v.ini", row.ini);
    Hkcu(Value("INI-Fil", ini));
    const auto values = Run();
    for (const auto& [name, value] : row.expected) EXPECT_EQ(values.at(name), value) << name;
    EXPECT_EQ(ReadFile(ini), row.fileAfter.empty() ? row.ini : row.fileAfter);
  }
}

// The registry file is cp1252, its own encoding; the folder on disk has its UTF-8 name.
TEST_F(Module, IniFileInANorwegianFolderIsFound) {
  dir_.Write("cfg\xC3\xB8/Vedo.ini", "[Program]\r\nFirma=Fj\xE6r\r\n");  // "cfgø"
  Hkcu(Value("INI-Fil", dir_ / "cfg\xF8/Vedo.ini"));
  const auto values = Run();
  EXPECT_EQ(values.at("IniFile"), dir_ / "cfg\xF8/Vedo.ini");
  EXPECT_EQ(values.at("Firma"), "FJ\xC6R");
}

TEST_F(Module, ProgramInANorwegianFolderFindsItsVedoIni) {
  const std::string folder = dir_ / "bin\xC3\xA6";  // "binæ"
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(MODULE_PROBE, folder + "/VedoProbe");
  dir_.Write("bin\xC3\xA6/Vedo.ini", "[Program]\r\nFirma=Ved siden av\r\n");
  const auto values = Run(folder + "/VedoProbe");
  EXPECT_EQ(values.at("IniFile"), dir_ / "bin\xE6/Vedo.ini");
  EXPECT_EQ(values.at("ExeDir"), dir_ / "bin\xE6/");
  EXPECT_EQ(values.at("Firma"), "VED SIDEN AV");
}

// Every path beside the program would be wrong, so it stops with a message instead.
TEST_F(Module, ProgramInAFolderThatCp1252CannotNameStops) {
  const std::string folder = dir_ / "bin\xE6\xBC\xA2";  // "bin" and a Chinese character
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(MODULE_PROBE, folder + "/VedoProbe");
  const auto values = Run(folder + "/VedoProbe");
  EXPECT_EQ(values.at("status"), "2");
  EXPECT_EQ(values.at("error:"), "Programmets filsti har tegn som ikke finnes i Windows-1252: " +
                                     dir_ / "bin?/VedoProbe");
}

TEST_F(Module, ReadOnlyIniFileStillCorrectsInMemory) {
  const std::string ini = dir_.Write("v.ini", "[Program]\r\nFirma=123456Tramvold\r\n");
  ::chmod(ini.c_str(), 0444);
  Hkcu(Value("INI-Fil", ini));
  EXPECT_EQ(Run()["Firma"], "TARVELMEK");
  EXPECT_EQ(ReadFile(ini), "[Program]\r\nFirma=123456Tramvold\r\n");
}

}  // namespace

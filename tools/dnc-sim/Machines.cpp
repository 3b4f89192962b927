#include "Machines.h"

#include <filesystem>
#include <fstream>

#include "Util.h"

namespace dncsim {
namespace {

std::string MachineDirectory(const std::string& dataDirectory, int number) {
  return dataDirectory + "/M" + std::to_string(number) + "/";
}

// A small but plausible milling program.
std::string SampleProgram(const std::string& name, int holes) {
  std::string program = "%\n(" + name + " - boring av " + std::to_string(holes) + " hull)\n";
  program += "N10 G90 G21 G17\nN20 T1 M6\nN30 S1200 M3\nN40 G0 X0 Y0 Z5\n";
  int line = 50;
  for (int hole = 0; hole < holes; ++hole, line += 10) {
    program +=
        "N" + std::to_string(line) + " G81 X" + std::to_string(20 * hole) + " Y15 Z-8 R2 F120\n";
  }
  program +=
      "N" + std::to_string(line) + " G80 G0 Z50\nN" + std::to_string(line + 10) + " M30\n%\n";
  return program;
}

}  // namespace

std::vector<Machine> DefaultMachines(const std::string& dataDirectory) {
  return {
      {1, "Fres 1", ";SEND;HENT;RESTART;", "Heidenhain", 9600, MachineDirectory(dataDirectory, 1)},
      {2, "Dreie 2", ";SEND;HENT;AUTO;", "Fanuc", 19200, MachineDirectory(dataDirectory, 2)},
      {3, "Fres 3", ";SEND;HENT;SLETT;RESTART;", "Siemens", 4800,
       MachineDirectory(dataDirectory, 3)},
      {4, "WinTool 4", ";SEND;HENT;AUTO;RESTART;", "WinTool", 38400,
       MachineDirectory(dataDirectory, 4)},
  };
}

std::vector<Machine> MachinesFromIni(const std::string& file, const std::string& dataDirectory) {
  std::vector<Machine> machines;
  int32_t count = 0;
  if (!util::TryTextToInt(util::ReadIniFile(file, "Maskiner", "Antall", "0"), count)) return {};
  for (int number = 1; number <= count; ++number) {
    const std::string section = "Maskin" + std::to_string(number);
    Machine machine;
    machine.number = number;
    machine.name = util::ReadIniFile(file, section, "Navn", "Maskin " + std::to_string(number));
    machine.buttons = util::ReadIniFile(file, section, "Knapper", ";SEND;HENT;");
    machine.protocol = util::ReadIniFile(file, section, "Protokoll", "");
    int32_t baud = 0;
    machine.baud =
        util::TryTextToInt(util::ReadIniFile(file, section, "Baud", "9600"), baud) && baud > 0
            ? baud
            : 9600;
    machine.directory = util::ReadIniFile(file, section, "Katalog", "");
    if (machine.directory.empty()) machine.directory = MachineDirectory(dataDirectory, number);
    if (machine.directory.back() != '/') machine.directory += '/';
    machines.push_back(machine);
  }
  return machines;
}

void PrepareDirectories(const std::vector<Machine>& machines) {
  for (const auto& machine : machines) {
    std::filesystem::create_directories(machine.directory);
    if (!std::filesystem::is_empty(machine.directory)) continue;
    for (const auto& [name, holes] : {std::pair{"P100.NC", 4}, {"P200.NC", 12}, {"P300.NC", 40}}) {
      std::ofstream(machine.directory + name) << SampleProgram(name, holes);
    }
  }
}

}  // namespace dncsim

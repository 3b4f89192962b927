// The simulated shop floor: machines with their button lists, protocols, line speeds and
// program directories.
#pragma once

#include <string>
#include <vector>

namespace dncsim {

struct Machine {
  int number = 0;
  std::string name;
  std::string buttons;    // the reply to "Knapper;": markers such as ";SEND;"
  std::string protocol;   // "WinTool" makes the client use bare program names
  int baud = 9600;        // ten bits a character on the line
  std::string directory;  // program directory, ending with "/"
};

// The built-in machines, whose directories lie under the data folder; together they cover
// every marker and the "WinTool" protocol.
std::vector<Machine> DefaultMachines(const std::string& dataDirectory);

// Machines described by an INI file:
//   [Maskiner]  Antall=2
//   [Maskin1]   Navn=Fres 1  Knapper=;SEND;HENT;  Protokoll=Heidenhain  Baud=9600  Katalog=/nc/m1
// A machine without "Katalog" gets a folder under the data folder. Empty when none is given.
std::vector<Machine> MachinesFromIni(const std::string& file, const std::string& dataDirectory);

// Creates the directories and writes a few sample NC programs into each that has none.
void PrepareDirectories(const std::vector<Machine>& machines);

}  // namespace dncsim

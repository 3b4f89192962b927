// vedo-journal: prints the transfer journal of the Orvi-Vedo client as a table, newest first.
// Without --journal it reads the journal where the client's INI file places it.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "JournalTable.h"
#include "Platform.h"
#include "TransferJournal.h"
#include "Util.h"

namespace {

constexpr const char* kUsage =
    "usage: vedo-journal [--journal FILE] [--machine M] [--since DATE] [--file F]\n"
    "  --journal   the journal to read; without it the client's, as its INI file places it\n"
    "              ([VedoTcp] Journal=, else ${XDG_STATE_HOME:-~/.local/state}/vedo/journal.tsv)\n"
    "  --machine   only the lines of machine M (its number, as the client sends it)\n"
    "  --since     only lines from DATE on, in local time: YYYY-MM-DD, YYYY-MM-DD HH:MM or\n"
    "              YYYY-MM-DD HH:MM:SS; each line's own UTC offset counts\n"
    "  --file      only the lines of file F (the whole name, or its last part)\n"
    "exit status: 0 the journal was read, 1 it cannot be read or is no journal, 2 wrong use\n";

struct Options {
  std::string journal;  // in the system's form
  journal::Filter filter;
};

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (option == "--journal") {
      options.journal = value;
    } else if (option == "--machine") {
      options.filter.machine = value;
    } else if (option == "--since") {
      options.filter.since = journal::SinceInstant(value);
      if (!options.filter.since) return false;  // another form, or no such day or time
    } else if (option == "--file") {
      options.filter.file = value;
    } else {
      return false;
    }
  }
  return true;
}

// The client's journal; an error text when it has none.
bool ClientJournal(std::string& path, std::string& error) {
  util::StartModule();
  const auto place = client::JournalPath();
  if (!place) {
    error = "the journal is switched off: \"Journal=\" is empty in [VedoTcp] of " +
            platform::ToSystemName(util::IniFile());
    return false;
  }
  if (place->empty()) {
    error = "no folder for the journal: neither XDG_STATE_HOME nor HOME is set";
    return false;
  }
  path = platform::ToSystemName(*place);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    std::string error;
    if (options.journal.empty() && !ClientJournal(options.journal, error)) {
      std::cerr << "vedo-journal: " << error << "\n";
      return 1;
    }
    std::ifstream file(options.journal, std::ios::binary);
    const std::string why = !file                                            ? std::strerror(errno)
                            : std::filesystem::is_directory(options.journal) ? "it is a folder"
                                                                             : "";
    if (!why.empty()) {
      std::cerr << "vedo-journal: cannot read the journal " << options.journal << ": " << why
                << "\n";
      return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const auto journal = journal::ParseJournal(text.str());
    if (!journal) {
      std::cerr << "vedo-journal: " << options.journal
                << " is no transfer journal: its first line is not the header\n";
      return 1;
    }
    for (const auto& skipped : journal->skipped) {
      std::cerr << "vedo-journal: " << options.journal << ", " << skipped << "; left out\n";
    }
    std::cout << journal::FormatTable(*journal, options.filter);
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "vedo-journal: " << failure.what() << "\n";
    return 1;
  }
}

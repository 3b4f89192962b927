#include "Protocol.h"

#include "Util.h"

namespace client {
namespace {

std::string FileRequest(const char* name, const std::string& machine, const std::string& file) {
  return std::string(name) + ";" + machine + ";" + file;
}

}  // namespace

std::string NextField(std::string& text) { return util::SplitFirst(';', text); }

bool HasMarker(const std::string& buttonList, const char* marker) {
  return buttonList.find(marker) != std::string::npos;
}

CommandParts SplitCommand(const std::string& command) {
  std::string rest = command;
  CommandParts parts;
  parts.typedWord = NextField(rest);
  parts.word = parts.typedWord;
  for (char& c : parts.word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  parts.machine = NextField(rest);
  parts.file = NextField(rest);
  return parts;
}

std::string MachineNumberRequest(const std::string& name) { return "Maskin;" + name; }
std::string ButtonsRequest(const std::string& machine) { return "Knapper;" + machine; }
std::string StatusRequest(const std::string& machine) { return "Status;" + machine; }
std::string DirectoryRequest(const std::string& machine) {
  return "Maskin-Les;" + machine + ";Katalog;";
}
std::string ProtocolRequest(const std::string& machine) {
  return "Maskin-Les;" + machine + ";Protokoll;";
}
std::string FileNameRequest(const std::string& machine, const std::string& file) {
  return FileRequest("Filnavn", machine, file);
}
std::string SendRequest(const std::string& machine, const std::string& file) {
  return FileRequest("Send", machine, file);
}
std::string HentRequest(const std::string& machine, const std::string& file) {
  return FileRequest("Hent", machine, file);
}
std::string SlettRequest(const std::string& machine, const std::string& file) {
  return FileRequest("Slett", machine, file);
}
std::string RestartRequest(const std::string& machine) { return "Restart;" + machine; }

}  // namespace client

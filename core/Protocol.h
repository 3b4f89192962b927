// The line protocol's vocabulary: the requests the client sends, the one reply that means
// success, the button list's markers, and how a command text splits into its fields. Every
// request and every look at a reply's fields goes through here.
#pragma once

#include <string>

namespace client {

// A command has succeeded only when its reply is exactly this.
inline constexpr const char* kOk = "OK";
inline bool IsOk(const std::string& reply) { return reply == kOk; }

// The field before the first ";" (the whole text when there is none); the text keeps what
// follows.
std::string NextField(std::string& text);

// The button list's markers, each with its ";" on both sides.
inline constexpr const char* kSendMarker = ";SEND;";
inline constexpr const char* kHentMarker = ";HENT;";
inline constexpr const char* kRestartMarker = ";RESTART;";
inline constexpr const char* kAutoMarker = ";AUTO;";
inline constexpr const char* kSlettMarker = ";SLETT;";
bool HasMarker(const std::string& buttonList, const char* marker);

// A command text ("Send;3;P1.NC", a command line's "get;3;P1.NC") in its fields: the word in
// capitals of the letters a to z only, as the dispatcher reads it; machine and file as given.
struct CommandParts {
  std::string typedWord;  // the first field as given
  std::string word;
  std::string machine;
  std::string file;
};
CommandParts SplitCommand(const std::string& command);

// The requests, each the literals and values joined with nothing in between.
std::string MachineNumberRequest(const std::string& name);  // "Maskin;" + name
std::string ButtonsRequest(const std::string& machine);     // "Knapper;" + machine
std::string StatusRequest(const std::string& machine);      // "Status;" + machine
inline constexpr const char* kMachinesRequest = "Maskiner";
std::string DirectoryRequest(const std::string& machine);  // "Maskin-Les;" + m + ";Katalog;"
std::string ProtocolRequest(const std::string& machine);   // "Maskin-Les;" + m + ";Protokoll;"
std::string FileNameRequest(const std::string& machine, const std::string& file);
std::string SendRequest(const std::string& machine, const std::string& file);
std::string HentRequest(const std::string& machine, const std::string& file);
std::string SlettRequest(const std::string& machine, const std::string& file);
std::string RestartRequest(const std::string& machine);  // "Restart;" + machine

}  // namespace client

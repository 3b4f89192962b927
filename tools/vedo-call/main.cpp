// vedo-call: sends one request to the DNC server and prints the reply, to check a server
// from the command line. The address comes from --server or, like the client's, from the
// "VedoIP" setting of the INI file.
#include <iostream>
#include <string>

#include "Connection.h"
#include "Cp1252.h"
#include "Platform.h"
#include "ServerLink.h"
#include "Util.h"

namespace {

constexpr const char* kUsage =
    "usage: vedo-call [--server HOST:PORT] REQUEST\n"
    "  for example: vedo-call \"Status;1\"    vedo-call --server 10.0.0.5:50000 Maskiner\n"
    "exit status: 0 the server answered with a line, 1 it could not be reached, did not\n"
    "             answer in time or sent a line too long, 2 wrong use or an unusable address\n";

}  // namespace

int main(int argc, char** argv) {
  std::string address;
  std::string request;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--server" && i + 1 < argc) {
      address = argv[++i];
    } else if (argument == "--help" || argument == "-h" || !request.empty()) {
      std::cerr << kUsage;
      return 2;
    } else if (const auto text = platform::FromSystemName(argument)) {
      request = *text;
    } else {
      std::cerr << "vedo-call: the request has characters that Windows-1252 lacks: " << argument
                << "\n";
      return 2;
    }
  }
  if (request.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    platform::StartSocketLayer();
    if (address.empty()) {
      util::StartModule();
      address = util::ReadIni("VedoTcp", "VedoIP", "localhost");
    }
    client::ServerLink link;
    link.SetAddress(address);
    const platform::CancelSignal never;
    const client::CallResult result = link.Exchange(request, never);
    if (result.outcome == client::CallOutcome::InvalidPort) throw client::InvalidPort(result.line);
    std::cout << platform::Cp1252ToUtf8(link.ReplyText(result)) << std::endl;
    return result.outcome == client::CallOutcome::Answered ? 0 : 1;
  } catch (const std::exception& failure) {
    std::cerr << "vedo-call: " << failure.what() << "\n";
    return 2;
  }
}

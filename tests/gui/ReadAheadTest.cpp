// The start-up's first calls read ahead while the window is built: the server sees the same
// requests, and the window shows the same, as when the start-up makes them itself.
#include <QTimer>

#include "FormFixture.h"
#include "Guard.h"

namespace {

using testsupport::FirstCalls;
using testsupport::FormTest;
using testsupport::Machine3;
using testsupport::ScriptedReply;
using Requests = std::vector<std::string>;

using ReadAhead = FormTest;

// What a start-up left: the requests made and what the window shows.
struct Started {
  Requests requests;
  std::string title, status;
  bool send = false, fetch = false, restart = false;
  std::vector<std::string> prompts;
  bool operator==(const Started&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Started& started) {
  out << started.title << " / " << started.status << " /";
  for (const auto& request : started.requests) out << " " << request;
  return out;
}

TEST_F(ReadAhead, TheStartUpIsTheSameAsWhenItMakesTheCalls) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    const char* vedoIp;  // nullptr: the server's address
    bool readAhead;      // whether the start-up's first calls can be known ahead
  } rows[] = {
      {"no machine", {}, nullptr, true},
      {"machine by number", {"3"}, nullptr, true},
      {"command", {"SEND", "3", "P1.NC"}, nullptr, true},
      {"machine by name", {"Fres 3"}, nullptr, false},
      {"a port that is no number", {"3"}, "127.0.0.1:nonsense", true},
  };
  auto table = Machine3(";SEND;AUTO;RESTART;");
  table["Knapper;1"] = ";HENT;";
  table["Status;1"] = "Fres 1;P9.NC;Klar;;0;;0";
  table["SEND;3;P1.NC"] = "Maskinen er opptatt";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto start = [&](FirstCalls first) {
      server_.SetTable(table, "OK");
      server_.ClearRequests();
      prompts_.shown.clear();
      testsupport::Window window(row.arguments, prompts_, testsupport::kTestLimits, nullptr, first);
      if (first == FirstCalls::ReadAhead) {
        EXPECT_EQ(window.ReadAheadStarted(), row.readAhead);
        if (row.readAhead && row.vedoIp == nullptr) {
          EXPECT_TRUE(server_.WaitForRequests(2)) << "asked before the start-up runs";
        }
      }
      // As the window runs it: a port that is no number ends in the error box.
      client::RunGuarded(prompts_, [&] { window.Form().FormShow(); });
      const testsupport::FormControls ui(window.Form());
      return Started{server_.Requests(),
                     ui.MaskinNavn->title().toStdString(),
                     ui.Status->text().toStdString(),
                     ui.SendButton->isEnabled(),
                     ui.HentButton->isEnabled(),
                     ui.RestartButton->isEnabled(),
                     prompts_.shown};
    };
    WriteIni(row.vedoIp != nullptr ? row.vedoIp : server_.Address());
    const Started made = start(FirstCalls::WhenMade);
    const Started readAhead = start(FirstCalls::ReadAhead);
    EXPECT_EQ(readAhead, made);
    util::StopModule();
  }
}

// A call other than the next one read ahead waits for those under way, and is then made as
// usual; so is one to another server.
TEST_F(ReadAhead, AnotherCallIsMadeAfterTheOnesReadAhead) {
  testsupport::ScriptedServer other(std::map<std::string, std::string>{{"Knapper;1", ";HENT;"}});
  const struct {
    const char* name;
    std::vector<std::pair<bool, std::string>> calls;  // to the other server?, request
    Requests seen;                                    // by the server read ahead from
    Requests replies;
  } rows[] = {
      {"the ones read ahead",
       {{false, "Knapper;1"}, {false, "Status;1"}},
       {"Knapper;1", "Status;1"},
       {";SEND;", "Fres 1"}},
      {"another first",
       {{false, "Maskiner"}, {false, "Status;1"}},
       {"Knapper;1", "Status;1", "Maskiner", "Status;1"},
       {"Fres 1;Dreie 2", "Fres 1"}},
      {"another between",
       {{false, "Knapper;1"}, {false, "Maskiner"}, {false, "Status;1"}},
       {"Knapper;1", "Status;1", "Maskiner", "Status;1"},
       {";SEND;", "Fres 1;Dreie 2", "Fres 1"}},
      {"the same request to another server",
       {{true, "Knapper;1"}, {false, "Status;1"}},
       {"Knapper;1", "Status;1", "Status;1"},
       {";HENT;", "Fres 1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    server_.SetTable(
        {{"Knapper;1", ";SEND;"}, {"Status;1", "Fres 1"}, {"Maskiner", "Fres 1;Dreie 2"}});
    server_.ClearRequests();
    client::ServerLink link, otherLink;
    link.SetAddress(server_.Address());
    otherLink.SetAddress(other.Address());
    client::QtCallRunner runner;
    runner.ReadAhead(link, {"Knapper;1", "Status;1"});
    Requests replies;
    for (const auto& [toOther, request] : row.calls) {
      replies.push_back(runner.Run(toOther ? otherLink : link, request).line);
    }
    EXPECT_EQ(replies, row.replies);
    EXPECT_EQ(server_.Requests(), row.seen);
  }
}

// Closing the window while a call read ahead waits ends it; nothing of the start-up follows.
TEST_F(ReadAhead, ClosingWhileACallReadAheadWaitsEndsTheStartUp) {
  WriteIni(server_.Address());
  server_.SetScript([](const std::string&) { return ScriptedReply{{}, true}; });
  testsupport::Window window({}, prompts_, testsupport::kTestLimits, nullptr,
                             FirstCalls::ReadAhead);
  client::TVedoForm& form = window.Form();
  form.OpenWindow();
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (!server_.Requests().empty()) form.close();
  });
  closer.start(5);
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return form.IsClosed(); }));
  EXPECT_FALSE(form.CallUnderWay());
  EXPECT_EQ(server_.Requests(), Requests{"Knapper;1"});
  EXPECT_TRUE(prompts_.shown.empty());
}

}  // namespace

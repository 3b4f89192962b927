#include "TransferJournal.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "ModuleState.h"
#include "TempDir.h"
#include "Util.h"

namespace {

using client::StatusRecord;
using client::TransferJournal;
using testsupport::ReadFile;
using testsupport::TempDir;
using namespace std::chrono_literals;

// Sets environment variables for the length of a test, and puts the old values back.
class Environment {
 public:
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    ::tzset();
  }
  void Set(const std::string& name, const char* value) {
    if (saved_.find(name) == saved_.end()) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value, 1);
    } else {
      ::unsetenv(name.c_str());
    }
    ::tzset();
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

StatusRecord Status(const std::string& status, const std::string& message, const std::string& bytes,
                    const std::string& result, const std::string& done) {
  StatusRecord record;
  record.status = status;
  record.message = message;
  record.bytes = bytes;
  record.result = result;
  record.doneFlag = done;
  return record;
}

const StatusRecord kRunning = Status("Sender", "Overf\xF8rer P1.NC", "960", "", "0");
const StatusRecord kDone = Status("Klar", "Overf\xF8ring ferdig", "2400", "OK", "1");

// A journal in a folder of the test's own, on a clock in UTC that the test moves by hand.
class Journal : public ::testing::Test {
 protected:
  Journal() { environment_.Set("TZ", "UTC"); }

  TransferJournal Make(std::optional<std::string> path) {
    return TransferJournal(
        std::move(path),
        [this](const std::string& caption, const std::string& text) {
          notices_.push_back(caption + "|" + text);
        },
        [this] { return now_; });
  }
  std::vector<std::string> Lines() const {
    std::istringstream text(ReadFile(path_));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  Environment environment_;
  TempDir dir_;
  std::string path_ = dir_ / "state/vedo/journal.tsv";
  // 2026-12-09 14:00:00 UTC
  TransferJournal::Clock::time_point now_ = TransferJournal::Clock::from_time_t(1796824800);
  std::vector<std::string> notices_;
};

const std::string kHeader =
    "Tid\tHendelse\tKommando\tMaskin\tFil\tSvar\tStatus\tMelding\tResultat\tBytes\tSekunder";

TEST_F(Journal, SendAndItsEndMakeTwoLinesUnderAHeader) {
  auto journal = Make(path_);
  journal.CommandGiven("Send;2;P1.NC", "OK");
  now_ += 1s;
  journal.StatusSeen("2", kRunning);
  now_ += 124s;
  journal.StatusSeen("2", kDone);
  journal.StatusSeen("2", kDone);  // the flag stays up; the transfer ended once
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{
                kHeader,
                "2026-12-09T14:00:00+00:00\tKommando\tSend\t2\tP1.NC\tOK\t\t\t\t\t",
                "2026-12-09T14:02:05+00:00\tFerdig\tSend\t2\tP1.NC\t\tKlar\tOverf\xC3\xB8ring "
                "ferdig\tOK\t2400\t125",
            }));
  EXPECT_TRUE(notices_.empty());
}

TEST_F(Journal, WhichRepliesEndATransfer) {
  const struct {
    const char* name;
    std::string command;
    std::string reply;
    std::vector<std::pair<std::string, StatusRecord>> statuses;  // machine, reply
    std::size_t lines;                                           // header included
  } rows[] = {
      {"accepted fetch", "Hent;2;P1.NC", "OK", {{"2", kRunning}, {"2", kDone}}, 3},
      {"command line's own word", "get;2;P1.NC", "OK", {{"2", kRunning}, {"2", kDone}}, 3},
      {"refused send", "Send;2;P1.NC", "Maskinen er opptatt", {{"2", kRunning}, {"2", kDone}}, 2},
      {"no reply at all", "Send;2;P1.NC", "", {{"2", kRunning}, {"2", kDone}}, 2},
      {"done flag left from before", "Send;2;P1.NC", "OK", {{"2", kDone}}, 2},
      {"stale flag, then the real end",
       "Send;2;P1.NC",
       "OK",
       {{"2", kDone}, {"2", kRunning}, {"2", kDone}},
       3},
      {"another machine's end", "Send;2;P1.NC", "OK", {{"3", kRunning}, {"3", kDone}}, 2},
      {"restart has no done flag", "Restart;2", "OK", {{"2", kRunning}, {"2", kDone}}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(path_);
    auto journal = Make(path_);
    journal.CommandGiven(row.command, row.reply);
    for (const auto& [machine, status] : row.statuses) journal.StatusSeen(machine, status);
    EXPECT_EQ(Lines().size(), row.lines);
  }
}

TEST_F(Journal, RestartLineHasNoFile) {
  auto journal = Make(path_);
  journal.CommandGiven("Restart;4", "OK");
  EXPECT_EQ(Lines().at(1), "2026-12-09T14:00:00+00:00\tKommando\tRestart\t4\t\tOK\t\t\t\t\t");
}

TEST_F(Journal, FieldsNeverBreakTheLineFormat) {
  auto journal = Make(path_);
  journal.CommandGiven("Send;2;A\tB.NC", "Feil:\r\nlinje\t2");
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{
                kHeader,
                "2026-12-09T14:00:00+00:00\tKommando\tSend\t2\tA B.NC\tFeil:  linje 2\t\t\t\t\t",
            }));
}

TEST_F(Journal, HeaderOnlyAtTheTopOfANewFile) {
  dir_.Write("state/vedo/journal.tsv", kHeader + "\nearlier line\n");
  auto journal = Make(path_);
  journal.CommandGiven("Send;2;P1.NC", "OK");
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "earlier line");
  EXPECT_NE(lines[2].find("\tKommando\t"), std::string::npos);
}

TEST_F(Journal, OffWritesNothing) {
  auto journal = Make(std::nullopt);
  journal.CommandGiven("Send;2;P1.NC", "OK");
  journal.StatusSeen("2", kRunning);
  journal.StatusSeen("2", kDone);
  EXPECT_EQ(ReadFile(path_), "<missing>");
  EXPECT_TRUE(notices_.empty());
}

TEST_F(Journal, UnwritableJournalGivesOneNoticeAndNoFailure) {
  dir_.Write("blocker", "a file where the journal's folder should be");
  const std::string path = dir_ / "blocker/journal.tsv";
  auto journal = Make(path);
  journal.CommandGiven("Send;2;P1.NC", "OK");
  journal.StatusSeen("2", kRunning);
  journal.StatusSeen("2", kDone);
  journal.CommandGiven("Hent;2;P1.NC", "OK");
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_EQ(notices_[0], "Overf\xF8ringsjournal|Kan ikke skrive i journalen " + path +
                             ".\rOverf\xF8ringene g\xE5r som f\xF8r, men blir ikke f\xF8rt i "
                             "journalen.");
}

TEST_F(Journal, NowhereToPutItIsAlsoUnwritable) {
  auto journal = Make(std::string());
  journal.CommandGiven("Send;2;P1.NC", "OK");
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_NE(notices_[0].find("(ingen mappe for programtilstand)"), std::string::npos);
}

TEST_F(Journal, TwoWritersAtOnceNeverTearALine) {
  constexpr int kLinesEach = 400;
  const auto write = [this](const std::string& machine) {
    auto journal = Make(path_);
    for (int i = 0; i < kLinesEach; ++i) {
      journal.CommandGiven("Send;" + machine + ";" + std::string(300, 'x') + std::to_string(i),
                           "OK");
    }
  };
  std::thread first(write, "1");
  std::thread second(write, "2");
  first.join();
  second.join();
  int commandLines = 0;
  for (const auto& line : Lines()) {
    if (line == kHeader) continue;
    ++commandLines;
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 10) << line;
    ASSERT_TRUE(line.starts_with("2026-12-09T14:00:00+00:00\tKommando\tSend\t")) << line;
    ASSERT_NE(line.find(std::string(300, 'x')), std::string::npos) << line;
  }
  EXPECT_EQ(commandLines, 2 * kLinesEach);
}

// Where the journal goes, from the INI file and the environment.
class JournalPlace : public ::testing::Test {
 protected:
  void TearDown() override { util::StopModule(); }
  Environment environment_;
  TempDir dir_;
};

TEST_F(JournalPlace, FromTheIniFileElseTheStateFolder) {
  const std::string state = dir_ / "state";
  const std::string home = dir_ / "home";
  const struct {
    const char* name;
    std::string ini;
    const char* xdgState;
    const char* home;
    std::optional<std::string> path;
  } rows[] = {
      {"no key: the state folder", "[VedoTcp]\r\nVedoIP=x\r\n", state.c_str(), home.c_str(),
       state + "/vedo/journal.tsv"},
      {"no key, no XDG_STATE_HOME: the home's", "", nullptr, home.c_str(),
       home + "/.local/state/vedo/journal.tsv"},
      {"relative XDG_STATE_HOME is passed over", "", "rel/state", home.c_str(),
       home + "/.local/state/vedo/journal.tsv"},
      {"neither: nowhere", "", nullptr, nullptr, std::string()},
      {"empty key: off", "[VedoTcp]\r\nJournal=\r\n", state.c_str(), home.c_str(), std::nullopt},
      {"full path", "[VedoTcp]\r\nJournal=/var/log/vedo.tsv\r\n", state.c_str(), home.c_str(),
       "/var/log/vedo.tsv"},
      {"relative: beside the INI file", "[VedoTcp]\r\nJournal=logg/j.tsv\r\n", state.c_str(),
       home.c_str(), dir_ / "logg/j.tsv"},
      {"key of another section", "[Program]\r\nJournal=\r\n", state.c_str(), home.c_str(),
       state + "/vedo/journal.tsv"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    util::detail::State().iniFile = dir_.Write("Vedo.ini", row.ini);
    environment_.Set("XDG_STATE_HOME", row.xdgState);
    environment_.Set("HOME", row.home);
    EXPECT_EQ(client::JournalPath(), row.path);
  }
}

}  // namespace

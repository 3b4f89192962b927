// vedo-journal run for real on journals that the client's own writer made.
#include <sstream>

#include <gtest/gtest.h>

#include "Processes.h"
#include "TempDir.h"
#include "TransferJournal.h"

namespace {

using client::StatusRecord;
using client::TransferJournal;
using testsupport::RunProgram;
using testsupport::TempDir;
using namespace std::chrono_literals;

StatusRecord Status(const std::string& bytes, const std::string& done) {
  StatusRecord record;
  record.status = done == "1" ? "Klar" : "Sender";
  record.message = done == "1" ? "Overf\xF8ring ferdig" : "Overf\xF8rer";
  record.bytes = bytes;
  record.result = done == "1" ? "OK" : "";
  record.doneFlag = done;
  return record;
}

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// A journal of three days' transfers on machines 1 and 2, in UTC.
class JournalTool : public ::testing::Test {
 protected:
  JournalTool() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2026-12-07 08:00:00 UTC, then a day later each time.
    auto now = TransferJournal::Clock::from_time_t(1796630400);
    TransferJournal journal(
        path_, [](const std::string&, const std::string&) {}, [&] { return now; });
    const auto transfer = [&](const std::string& command, const std::string& machine) {
      journal.CommandGiven(command, "OK");
      now += 2s;
      journal.StatusSeen(machine, Status("480", "0"));
      now += 60s;
      journal.StatusSeen(machine, Status("2400", "1"));
      now += 24h - 62s;
    };
    transfer("Send;2;SUB/P100.NC", "2");
    transfer("Send;1;P100.NC", "1");
    transfer("Hent;2;P300.NC", "2");
    journal.CommandGiven("Send;2;P9.NC", "Finner ikke filen P9.NC");
  }
  ~JournalTool() override { ::unsetenv("TZ"); }

  // The environment of a run: nothing of the real home or registry.
  std::vector<std::string> Environment() const {
    return {"HOME=" + dir_ / "home", "XDG_STATE_HOME=" + dir_ / "state",
            "VEDO_REGISTRY_DIR=" + dir_ / "registry", "TZ=UTC"};
  }
  testsupport::RunResult Run(std::vector<std::string> arguments) const {
    return RunProgram(VEDO_JOURNAL, arguments, Environment());
  }
  // The client's INI file, found through the registry as every program of the family finds it.
  void UseIni(const std::string& content) const {
    const std::string ini = dir_.Write("Vedo.ini", content);
    dir_.Write(
        "registry/HKEY_CURRENT_USER.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n\"INI-Fil\"=\"" + ini + "\"\r\n");
  }

  TempDir dir_;
  std::string path_ = dir_ / "journal.tsv";
};

TEST_F(JournalTool, PrintsOneMachinesLinesNewestFirstInColumns) {
  const auto run = Run({"--journal", path_, "--machine", "2"});
  ASSERT_EQ(run.status, 0) << run.output;
  const auto lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 6u) << run.output;
  EXPECT_TRUE(lines[0].starts_with("Tid ")) << lines[0];
  const char* expectedStarts[] = {
      "2026-12-10T08:00:00+00:00  Kommando  Send", "2026-12-09T08:01:02+00:00  Ferdig    Hent",
      "2026-12-09T08:00:00+00:00  Kommando  Hent", "2026-12-07T08:01:02+00:00  Ferdig    Send",
      "2026-12-07T08:00:00+00:00  Kommando  Send",
  };
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(lines[i + 1].starts_with(expectedStarts[i])) << lines[i + 1];
  }
  // Every column starts where its name does, "ø" counted as one character.
  const std::size_t fileColumn = lines[0].find("Fil ");
  const std::size_t replyColumn = lines[0].find("Svar");
  EXPECT_EQ(lines[1].substr(fileColumn, 6), "P9.NC ");
  EXPECT_EQ(lines[1].substr(replyColumn), "Finner ikke filen P9.NC");
  EXPECT_EQ(lines[4].find("Overf\xC3\xB8ring ferdig"), lines[0].find("Melding"));
  EXPECT_EQ(lines[4].find("OK", lines[4].find("ferdig")) - 1, lines[0].find("Resultat"))
      << "the two bytes of \"\xC3\xB8\" before it take one column";
}

TEST_F(JournalTool, Filters) {
  const struct {
    const char* name;
    std::vector<std::string> filter;
    std::size_t rows;
  } rows[] = {
      {"everything", {}, 7},
      {"machine 1", {"--machine", "1"}, 2},
      {"unknown machine", {"--machine", "7"}, 0},
      {"since a day", {"--since", "2026-12-09"}, 3},
      {"since a minute", {"--since", "2026-12-09 08:01"}, 2},
      {"since a second, with T", {"--since", "2026-12-09T08:01:03"}, 1},
      {"file by its last part", {"--file", "P100.NC"}, 4},
      {"file by its whole name", {"--file", "SUB/P100.NC"}, 2},
      {"no part of a name", {"--file", "100.NC"}, 0},
      {"all together", {"--machine", "2", "--file", "P300.NC", "--since", "2026-12-08"}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> arguments{"--journal", path_};
    arguments.insert(arguments.end(), row.filter.begin(), row.filter.end());
    const auto run = Run(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.output).size(), row.rows + 1) << run.output;
  }
}

// Times are compared as instants: each line's offset counts, as on the night the clocks go back.
TEST_F(JournalTool, SinceComparesInstants) {
  const std::string header = client::JournalHeader();
  const std::string tail = "\tKommando\tSend\t2\tP1.NC\tOK\t\t\t\t\t\n";
  dir_.Write("autumn.tsv", header + "\n2026-10-25T02:50:00+02:00" + tail +  // 00:50 UTC
                               "2026-10-25T02:10:00+01:00" + tail);         // 01:10 UTC, later
  const struct {
    const char* name;
    std::string since;  // UTC
    std::size_t rows;
  } rows[] = {
      {"between the two", "2026-10-25 01:00", 1},
      {"after both, before the earlier one's clock text", "2026-10-25 02:30", 0},
      {"before both", "2026-10-25 00:50", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto run = Run({"--journal", dir_ / "autumn.tsv", "--since", row.since});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.output).size(), row.rows + 1) << run.output;
  }
}

TEST_F(JournalTool, UnreadableJournalIsExitOneWithItsReason) {
  dir_.Write("other.txt", "just some text\nnot a journal\n");
  dir_.Write("folder/x", "");
  const struct {
    const char* name;
    std::string path;
    std::string message;
  } rows[] = {
      {"missing", dir_ / "missing.tsv",
       "vedo-journal: cannot read the journal " + dir_ / "missing.tsv" +
           ": No such file or directory\n"},
      {"a folder", dir_ / "folder",
       "vedo-journal: cannot read the journal " + dir_ / "folder" + ": it is a folder\n"},
      {"no header", dir_ / "other.txt",
       "vedo-journal: " + dir_ / "other.txt" +
           " is no transfer journal: its first line is not the header\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto run = Run({"--journal", row.path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, row.message);
  }
}

TEST_F(JournalTool, TornLinesAreNamedAndRepeatedHeadersPassedOver) {
  const std::string header = client::JournalHeader();
  const std::string text = testsupport::ReadFile(path_);
  dir_.Write("mixed.tsv", text + header + "\n2026-12-11T09:00:00+00:00\tKommando\tSend\n");
  const auto run = Run({"--journal", dir_ / "mixed.tsv"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("vedo-journal: " + dir_ / "mixed.tsv" +
                            ", line 10: 3 fields instead of 11; left out\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(Lines(run.output).size(), 1u + 1u + 7u);
}

TEST_F(JournalTool, WrongUseIsExitTwo) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--since", "yesterday"},
        {"--since", "2026-12-9"},
        {"--since", "2026-13-40"},
        {"--since", "2026-12-09 25:61"},
        {"--since", "2027-02-29"},
        {"--machine"},
        {"--colour", "red"},
        {"--help"}}) {
    SCOPED_TRACE(arguments[0]);
    const auto run = Run(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.output.starts_with("usage: vedo-journal")) << run.output;
  }
}

TEST_F(JournalTool, WithoutJournalOptionReadsTheClientsJournal) {
  const std::string journal = testsupport::ReadFile(path_);
  dir_.Write("logs/j.tsv", journal);
  dir_.Write("state/vedo/journal.tsv", journal);
  const struct {
    const char* name;
    std::string ini;
    int status;
    std::string output;  // its start
  } rows[] = {
      {"placed by the INI file", "[VedoTcp]\r\nJournal=logs/j.tsv\r\n", 0, "Tid "},
      {"in the state folder", "[VedoTcp]\r\nVedoIP=127.0.0.1\r\n", 0, "Tid "},
      {"switched off", "[VedoTcp]\r\nJournal=\r\n", 1,
       "vedo-journal: the journal is switched off: \"Journal=\" is empty in [VedoTcp] of " +
           dir_ / "Vedo.ini"},
      {"placed where there is none", "[VedoTcp]\r\nJournal=nowhere.tsv\r\n", 1,
       "vedo-journal: cannot read the journal " + dir_ / "nowhere.tsv"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    UseIni(row.ini);
    const auto run = Run({"--machine", "1"});
    EXPECT_EQ(run.status, row.status);
    EXPECT_TRUE(run.output.starts_with(row.output)) << run.output;
    if (row.status == 0) {
      EXPECT_EQ(Lines(run.output).size(), 3u);
    }
  }
}

}  // namespace

#include "Dnc.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "Machines.h"
#include "TempDir.h"

namespace {

using dncsim::Dnc;
using namespace std::chrono_literals;

// The simulator on a clock that the test moves by hand.
class Simulator : public ::testing::Test {
 protected:
  Simulator() {
    machines_ = dncsim::DefaultMachines(dir_.Path());
    dncsim::PrepareDirectories(machines_);
    dnc_ = std::make_unique<Dnc>(machines_, 1.0, [this] { return now_; });
  }
  std::string Ask(const std::string& request) { return dnc_->Answer(request); }

  testsupport::TempDir dir_;
  std::vector<dncsim::Machine> machines_;
  Dnc::Clock::time_point now_{};
  std::unique_ptr<Dnc> dnc_;
};

TEST_F(Simulator, AnswersEveryRequestOfTheProtocol) {
  const std::string m3 = dir_ / "M3/";
  const struct {
    std::string request;
    std::string reply;
  } rows[] = {
      {"Maskiner", "Fres 1;Dreie 2;Fres 3;WinTool 4"},
      {"Maskin;Fres 3", "3"},
      {"Maskin;fres 3", "3"},
      {"Maskin;Boremaskin", "Ukjent maskin: Boremaskin"},
      {"Knapper;3", ";SEND;HENT;SLETT;RESTART;"},
      {"Knapper;2", ";SEND;HENT;AUTO;"},
      {"Knapper;9", "Ukjent maskin: 9"},
      {"Status;3", "Fres 3;;Klar;;0;;0"},
      {"Maskin-Les;3;Katalog;", m3},
      {"Maskin-Les;4;Protokoll;", "WinTool"},
      {"Maskin-Les;3;Farge;", "Ukjent innstilling: Farge"},
      {"Filnavn;3;P100.NC", "OK"},
      {"Filnavn;3;", "Filnavn mangler"},
      {"Status;3", "Fres 3;P100.NC;Klar;;0;;0"},
      {"Send;3;MISSING.NC", "Finner ikke filen MISSING.NC"},
      {"Send;3;../../etc/passwd", "Ugyldig filnavn: ../../etc/passwd"},
      {"Hent;3;/tmp/x.nc", "Kan bare hente til maskinens katalog"},
      {"Slett;3;../x", "Ugyldig filnavn: ../x"},
      {"Tull;3", "Ukjent foresp\xF8rsel: Tull;3"},
      {"", "Ukjent foresp\xF8rsel: "},
      {"Status", "Ukjent foresp\xF8rsel: Status"},
      {"Status;3", "Fres 3;P100.NC;Klar;;0;;0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request);
    EXPECT_EQ(Ask(row.request), row.reply);
  }
}

TEST_F(Simulator, SendCountsBytesAtTheLineSpeedThenReportsDone) {
  const auto size = std::filesystem::file_size(dir_ / "M1/P300.NC");
  ASSERT_GT(size, 480u) << "the sample must outlast half a second on the line";
  ASSERT_EQ(Ask("Send;1;P300.NC"), "OK");
  EXPECT_EQ(Ask("Send;1;P100.NC"), "Maskinen er opptatt");
  EXPECT_EQ(Ask("Status;1"), "Fres 1;P300.NC;Sender;Overf\xF8rer P300.NC;0;;0");
  // 9600 baud, ten bits a character: 960 characters a second.
  now_ += std::chrono::milliseconds(500);
  EXPECT_EQ(Ask("Status;1"), "Fres 1;P300.NC;Sender;Overf\xF8rer P300.NC;480;;0");
  now_ += std::chrono::seconds(60);
  EXPECT_EQ(Ask("Status;1"),
            "Fres 1;P300.NC;Klar;Overf\xF8ring ferdig;" + std::to_string(size) + ";OK;1");
  EXPECT_EQ(Ask("Send;1;P100.NC"), "OK") << "free again";
}

TEST_F(Simulator, FetchWritesTheFileAndDeleteRemovesIt) {
  EXPECT_EQ(Ask("Slett;3;P100.NC"), "OK");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "M3/P100.NC"));
  EXPECT_EQ(Ask("GET;3;NEW.NC"), "OK");
  EXPECT_EQ(Ask("Slett;3;NEW.NC"), "Maskinen er opptatt");
  now_ += std::chrono::seconds(10);
  EXPECT_EQ(Ask("Status;3").substr(0, 20), "Fres 3;NEW.NC;Klar;O");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "M3/NEW.NC"));
}

TEST_F(Simulator, RestartTakesAMomentAndSetsNoDoneFlag) {
  EXPECT_EQ(Ask("restart;1"), "OK");
  EXPECT_EQ(Ask("Status;1"), "Fres 1;;Restarter;Maskinen startes p\xE5 nytt;0;;0");
  now_ += std::chrono::seconds(5);
  EXPECT_EQ(Ask("Status;1"), "Fres 1;;Klar;Maskinen er startet p\xE5 nytt;0;OK;0");
}

TEST_F(Simulator, MachineWithoutTheMarkerRefuses) {
  std::vector<dncsim::Machine> machines = {{1, "Les", ";HENT;", "", 9600, dir_ / "L/"}};
  dncsim::PrepareDirectories(machines);
  Dnc dnc(machines, 1.0);
  EXPECT_EQ(dnc.Answer("Send;1;P100.NC"), "Maskinen kan ikke motta programmer");
}

TEST_F(Simulator, MachinesFromAnIniFile) {
  const std::string ini = dir_.Write("sim.ini",
                                     "[Maskiner]\nAntall=2\n[Maskin1]\nNavn=Bor 1\nKnapper=;SEND;\n"
                                     "Baud=1200\n[Maskin2]\nKatalog=" +
                                         (dir_ / "custom") + "\n");
  const auto machines = dncsim::MachinesFromIni(ini, dir_ / "data");
  ASSERT_EQ(machines.size(), 2u);
  EXPECT_EQ(machines[0].name, "Bor 1");
  EXPECT_EQ(machines[0].baud, 1200);
  EXPECT_EQ(machines[0].directory, dir_ / "data/M1/");
  EXPECT_EQ(machines[1].name, "Maskin 2");
  EXPECT_EQ(machines[1].buttons, ";SEND;HENT;");
  EXPECT_EQ(machines[1].directory, dir_ / "custom/");
  EXPECT_TRUE(dncsim::MachinesFromIni(dir_ / "none.ini", dir_.Path()).empty());
}

}  // namespace

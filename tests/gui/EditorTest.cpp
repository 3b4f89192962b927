// The edit button starts "VedoEdit" beside the program: here the test program's own folder,
// where the build puts a stand-in that records the arguments it received.
#include <filesystem>

#include "FormFixture.h"
#include "Platform.h"
#include "WaitUntil.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;
using Requests = std::vector<std::string>;

using Editor = FormTest;

// The arguments the editor was started with; nothing when it did not record them in time.
// (A started program can take long under Wine while other Wine programs run beside it.)
std::vector<std::string> RecordedArguments(const std::string& file) {
  // Under Wine a file just renamed into place can be seen before it can be opened.
  std::string text;
  if (!testsupport::WaitUntil(
          [&] {
            text = testsupport::ReadFile(file);
            return text != "<missing>";
          },
          std::chrono::seconds(60))) {
    return {};
  }
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const auto end = text.find('\n', begin);
    if (end == std::string::npos) break;  // the recorder ends every line
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  if (!lines.empty()) lines.erase(lines.begin());  // the working directory
  return lines;
}

TEST_F(Editor, OpensTheShownProgram) {
  const struct {
    const char* name;
    std::string shown;  // the Filnavn label, field 2 of the status
    Requests requests;
    std::string path;
  } rows[] = {
      {"short name joins the directory", "P1.NC", {"Maskin-Les;3;Katalog;"}, "/nc/m3/P1.NC"},
#ifndef _WIN32
      // On Windows a name is full only with a drive or two backslashes, as the rows below show.
      {"full path", "/nc/m3/P1.NC", {}, "/nc/m3/P1.NC"},
#endif
      {"UNC-style name", "\\\\srv\\nc\\P1.NC", {}, "\\\\srv\\nc\\P1.NC"},
      {"drive letter", "D:\\NC\\M3\\P1.NC", {}, "D:\\NC\\M3\\P1.NC"},
      {"name with blanks", "SUB DIR/P 1.NC", {"Maskin-Les;3;Katalog;"}, "/nc/m3/SUB DIR/P 1.NC"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string record = dir_ / "argv.txt";
    std::filesystem::remove(record);
    qputenv("ARGV_RECORD_FILE", QByteArray::fromStdString(record));
    auto table = Machine3(";SEND;");
    table["Status;3"] = "Fres 3;" + row.shown + ";Klar;;0;;0";
    auto& form = Start({"3"}, table);
    TakeRequests();
    form.RedigerClick();
    EXPECT_EQ(TakeRequests(), row.requests);
    EXPECT_EQ(RecordedArguments(record), (Requests{row.path, "3"}));
  }
  qunsetenv("ARGV_RECORD_FILE");
}

// Answers through the server until it goes down.
class FailingRunner : public client::DirectCallRunner {
 public:
  client::CallResult Run(const client::ServerLink& link, const std::string& request) override {
    if (down) return {client::CallOutcome::NoContact, {}};
    return DirectCallRunner::Run(link, request);
  }
  bool down = false;
};

TEST_F(Editor, ServerDownGivesTheNoContactTextAsDirectory) {
  const std::string record = dir_ / "argv.txt";
  qputenv("ARGV_RECORD_FILE", QByteArray::fromStdString(record));
  FailingRunner runner;
  auto& form = Start({"3"}, Machine3(";SEND;"), "OK", testsupport::kTestLimits, &runner);
  runner.down = true;  // down after the status showed "P1.NC"
  form.RedigerClick();
  EXPECT_EQ(RecordedArguments(record),
            (Requests{"Ingen kontakt med Orvi-Vedo-server (" + server_.Address() + ")P1.NC", "3"}));
  qunsetenv("ARGV_RECORD_FILE");
}

// The server speaks cp1252; the file on disk has its name in the system's form (UTF-8 on Linux,
// the ANSI code page on Windows), and that is what the editor must be given to find it.
TEST_F(Editor, GetsTheNameOnDiskOfANorwegianNamedProgram) {
  const std::string onDisk =
      dir_.Write(platform::ToSystemName("M\xE6/PR\xD8VE.NC"), "%\r\n");  // "Mæ/PRØVE.NC"
  const std::string record = dir_ / "argv.txt";
  qputenv("ARGV_RECORD_FILE", QByteArray::fromStdString(record));
  auto table = Machine3(";SEND;");
  table["Status;3"] = "Fres 3;PR\xD8VE.NC;Klar;;0;;0";
  table["Maskin-Les;3;Katalog;"] = dir_ / "M\xE6/";
  auto& form = Start({"3"}, table);
  form.RedigerClick();
  const auto arguments = RecordedArguments(record);
  EXPECT_EQ(arguments, (Requests{onDisk, "3"}));
  ASSERT_FALSE(arguments.empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(arguments.front()));
  qunsetenv("ARGV_RECORD_FILE");
}

}  // namespace

#include "ModuleState.h"
#include "Platform.h"
#include "Util.h"

namespace util {
namespace {

constexpr const char* kSection = "Program";

// A company name written wrongly by old installations: the marker at the seventh character
// is replaced by the right name, which is also written back.
constexpr const char* kWrongName = "TRAMVOLD";
constexpr std::size_t kWrongNamePosition = 6;
constexpr const char* kRightName = "Tarvelmek";

}  // namespace

bool TestModus() { return detail::State().testModus; }
const std::string& SysExt() { return detail::State().sysExt; }
int32_t ForInst() { return detail::State().forInst; }
const std::string& Firma() { return detail::State().firma; }

void StartModule() {
  auto& state = detail::State();
  ResolvePaths();
  state.testModus = ReadIniBool(kSection, "TestModus", false);
  state.sysExt = ReadIniUpper(kSection, "SysExt", ".SPR");
  state.forInst = ReadIniInt(kSection, "ForInst", 0);
  state.firma = ReadIniUpper(kSection, "Firma", "FENRAK");
  if (state.firma.find(kWrongName) == kWrongNamePosition) {
    state.firma = kRightName;
    WriteIni(kSection, "Firma", kRightName);
    state.firma = UpperText(state.firma);
  }
}

void StopModule() { detail::State() = detail::ModuleState{}; }

void StartProgram(const std::string& file, const std::string& parameters,
                  const std::string& workingDirectory, int showCode) {
  // The texts are passed whole: there is no fixed buffer to overrun here, and a cut path would
  // open the wrong file. Whether the start succeeded is not examined.
  (void)platform::ShellOpen(file, parameters, workingDirectory, showCode);
}

}  // namespace util

// Orvi-Vedo fjernstyring: the program's entry.
#include <QApplication>
#include <string>
#include <vector>

#include "ApplicationTitle.h"
#include "Guard.h"
#include "Platform.h"
#include "Prompts.h"
#include "QtText.h"
#include "Util.h"
#include "VedoTcpU.h"
#include "VelgDlg.h"

namespace {

// Returned when the start-up fails, before any window exists.
constexpr int kStartUpFailed = 2;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(client::kApplicationTitle);
  client::QtPrompts prompts;
  platform::SetNoticeHandlers({[&prompts](const std::string& caption, const std::string& text) {
                                 prompts.Notice(caption, text);
                               },
                               [&prompts](const std::string& text) { prompts.Message(text); }});
  try {
    platform::StartSocketLayer();
    util::StartModule();
  } catch (const std::exception& failure) {
    prompts.Error(client::WithFullStop(failure.what()));
    return kStartUpFailed;
  }

  std::vector<std::string> arguments;
  const QStringList given = QApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i) arguments.push_back(client::FromQt(given[i]));

  int status = 0;
  {
    client::TVedoForm form(arguments, prompts);
    prompts.SetOwner(&form);
    client::TSelectForm selectForm;
    prompts.SetSelectForm(&selectForm);
    form.OpenWindow();
    if (!form.IsClosed()) QApplication::exec();
    status = static_cast<int>(form.Outcome());
    prompts.SetSelectForm(nullptr);
    prompts.SetOwner(nullptr);
  }
  util::StopModule();
  platform::StopSocketLayer();
  platform::SetNoticeHandlers({});
  return status;
}

// Orvi-Vedo fjernstyring: the program's entry.
#include <QApplication>
#include <memory>
#include <string>

#include "ApplicationTitle.h"
#include "Guard.h"
#include "MachineSession.h"
#include "Platform.h"
#include "ProgramArguments.h"
#include "QtCallRunner.h"
#include "QtPrompts.h"
#include "TransferJournal.h"
#include "Translations.h"
#include "Util.h"
#include "VedoTcpU.h"
#include "VelgDlg.h"

namespace {

// Returned when the start-up fails, before any window exists.
constexpr int kStartUpFailed = 2;

}  // namespace

int main(int argc, char** argv) {
  // Every argument is the command's own: the toolkit is given only the program's name, and
  // takes its options from the environment (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, ...).
  const client::ProgramArguments arguments = client::ReadProgramArguments(argc, argv);
  char programName[] = "VedoTcp";
  char* toolkitArgv[] = {argc > 0 ? argv[0] : programName, nullptr};
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, toolkitArgv);
  QApplication::setApplicationName(client::kApplicationTitle);
  const client::ToolkitTranslation translation;
  client::QtPrompts prompts;
  platform::SetNoticeHandlers({[&prompts](const std::string& caption, const std::string& text) {
                                 prompts.Notice(caption, text);
                               },
                               [&prompts](const std::string& text) { prompts.Message(text); }});
  if (arguments.unnamable) {
    prompts.Error(client::WithFullStop(client::UnnamableMessage(*arguments.unnamable)));
    return kStartUpFailed;
  }
  try {
    platform::StartSocketLayer();
    util::StartModule();
  } catch (const std::exception& failure) {
    prompts.Error(client::WithFullStop(failure.what()));
    return kStartUpFailed;
  }

  int status = 0;
  {
    // The server calls run on the call thread; the window shows the session and forwards to it.
    // Files named by the server or the INI file are looked at off the window's thread.
    client::FileWorker files;
    client::QtCallRunner calls;
    client::MachineSession session(arguments.texts, prompts, calls, {}, &files);
    session.KeepJournal(std::make_unique<client::TransferJournal>(
        client::JournalPath(), util::Notice, client::TransferJournal::Clock::now, &files));
    client::TVedoForm form(session, prompts);
    prompts.SetOwner(&form);
    client::TSelectForm selectForm;
    prompts.SetSelectForm(&selectForm);
    // Asked to end by the system, the program closes as if the operator had closed it.
    platform::WatchTermination([&form] {
      QMetaObject::invokeMethod(
          &form, [&form] { form.close(); }, Qt::QueuedConnection);
    });
    form.OpenWindow();
    if (!form.IsClosed()) QApplication::exec();
    platform::WatchTermination({});
    status = static_cast<int>(form.Outcome());
    prompts.SetSelectForm(nullptr);
    prompts.SetOwner(nullptr);
  }
  util::StopModule();
  platform::StopSocketLayer();
  platform::SetNoticeHandlers({});
  return status;
}

// Orvi-Vedo fjernstyring: the program's entry.
#include <QApplication>
#include <QDialog>
#include <memory>
#include <string>

#include "ApplicationTitle.h"
#include "Guard.h"
#include "MachineSession.h"
#include "Platform.h"
#include "ProgramArguments.h"
#include "QtCallRunner.h"
#include "QtPrompts.h"
#include "QtText.h"
#include "TransferJournal.h"
#include "Translations.h"
#include "Util.h"
#include "VedoTcpU.h"
#include "VelgDlg.h"

namespace {

// Returned when the start-up fails, before any window exists.
constexpr int kStartUpFailed = 2;

// What the system's request to end does: every window closes as if the operator had closed it,
// the main window or a start-up failure's box alike.
void CloseEveryWindow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    // The main window closes also while a program-started start-up runs before it shows.
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
      if (dialog->isVisible()) dialog->reject();
    } else {
      window->close();
    }
  }
}

// Watches for the system's request to end while the toolkit lives.
struct TerminationWatch {
  TerminationWatch() {
    platform::WatchTermination(
        [] { QMetaObject::invokeMethod(qApp, CloseEveryWindow, Qt::QueuedConnection); });
  }
  ~TerminationWatch() { platform::WatchTermination({}); }
  TerminationWatch(const TerminationWatch&) = delete;
  TerminationWatch& operator=(const TerminationWatch&) = delete;
};

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
  const TerminationWatch terminationWatch;
  // A name that cp1252 cannot hold is shown as the system gave it, its odd character in sight.
  if (arguments.unnamable) {
    prompts.Error(
        client::WithFullStop(client::ToQt(client::UnnamableMessage(*arguments.unnamable)) +
                             QString::fromLocal8Bit(arguments.unnamable->typed)));
    return kStartUpFailed;
  }
  try {
    platform::StartSocketLayer();
    util::StartModule();
  } catch (const platform::UnnamableName& failure) {
    prompts.Error(client::WithFullStop(client::ToQt(failure.Message()) +
                                       QString::fromLocal8Bit(failure.SystemName())));
    return kStartUpFailed;
  } catch (const std::exception& failure) {
    prompts.Error(client::WithFullStop(std::string(failure.what())));
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
    // The start-up's first questions are on their way while the window is built.
    if (const auto first = session.FirstCalls()) calls.ReadAhead(first->link, first->requests);
    client::TVedoForm form(session, prompts);
    prompts.SetOwner(&form, form.StatusPanel());
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

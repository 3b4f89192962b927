// A program-started run whose server is slow shows a sign of life with a way out; a fast one
// shows nothing but its prompts.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "FormFixture.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;
using testsupport::ScriptedReply;

using ConnectingSign = FormTest;

QWidget* VisibleSign() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == "ConnectingSign" && window->isVisible()) return window;
  }
  return nullptr;
}

TEST_F(ConnectingSign, ShowsOnlyForASlowServerAndEndsTheRun) {
  const struct {
    const char* name;
    bool slow;
  } rows[] = {{"a slow server", true}, {"a fast server", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteIni(server_.Address());
    auto table = Machine3(";SEND;AUTO;");
    server_.SetScript([table, slow = row.slow](const std::string& request) mutable {
      if (slow && request == "Knapper;3") return ScriptedReply{{}, true};  // never answers
      return ScriptedReply::Line(table.count(request) ? table[request] : "OK");
    });
    testsupport::Window window({"SEND", "3", "P1.NC"}, prompts_);
    client::TVedoForm& form = window.Form();

    QString shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      QWidget* sign = VisibleSign();
      if (sign == nullptr || !shown.isEmpty()) return;
      shown = sign->findChild<QLabel*>()->text();
      sign->findChild<QPushButton*>("ConnectingSignQuit")->click();
    });
    watch.start(50);
    form.OpenWindow();
    watch.stop();

    if (row.slow) {
      EXPECT_EQ(shown, QString::fromStdString("Kobler til Orvi-Vedo-server (" + server_.Address() +
                                              ") \xE2\x80\xA6"));
      EXPECT_TRUE(form.IsClosed());
      EXPECT_FALSE(form.isVisible());
      EXPECT_EQ(form.Outcome(), client::ExitStatus::CommandFailed);
    } else {
      EXPECT_TRUE(shown.isEmpty());
      EXPECT_TRUE(form.isVisible());
      form.close();
    }
    EXPECT_EQ(VisibleSign(), nullptr);
  }
}

}  // namespace

// The row below "Resultat": the target at rest, a short bar and its own text while a transfer
// is under way, its end in a full bar; in no control's way.
#include <QLabel>
#include <QProgressBar>

#include "Colours.h"
#include "FormFixture.h"
#include "StatusRow.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;

using ProgressBar = FormTest;

std::map<std::string, std::string> WithStatus(const std::string& status) {
  auto table = Machine3(";SEND;HENT;");
  table["Status;3"] = status;
  return table;
}

QLabel* RowText(QWidget& form) { return testsupport::Child<QLabel>(form, "FremdriftTekst"); }

TEST_F(ProgressBar, AtRestMovingAndDone) {
  auto& form = Start({"3"}, WithStatus("Fres 3;P1.NC;Klar;;0;;0"));
  EXPECT_TRUE(ui().FremdriftBar->isHidden());
  EXPECT_EQ(RowText(form)->text(), QString::fromUtf8("Intet program valgt → maskin 3"));

  server_.SetTable(WithStatus("Fres 3;P1.NC;Sender;Overf\xF8rer;1200;;0"), "OK");
  form.OppfriskTimerTimer();
  ASSERT_FALSE(ui().FremdriftBar->isHidden());
  EXPECT_EQ(ui().FremdriftBar->maximum(), 0) << "busy while the size is not known";
  EXPECT_EQ(RowText(form)->text(), QString::fromUtf8("1\u00A0200 bytes – beregner hastighet"));
  EXPECT_EQ(RowText(form)->accessibleDescription(), RowText(form)->text());

  server_.SetTable(WithStatus("Fres 3;P1.NC;Klar;Overf\xF8ring ferdig;2400;OK;1"), "OK");
  form.OppfriskTimerTimer();
  EXPECT_FALSE(ui().FremdriftBar->isHidden());
  EXPECT_EQ(ui().FremdriftBar->value(), ui().FremdriftBar->maximum());
  EXPECT_TRUE(
      RowText(form)->text().startsWith(QString::fromUtf8("Ferdig – 2\u00A0400 bytes på 0:")))
      << RowText(form)->text().toStdString();

  // Until the next command.
  form.RestartButtonClick();
  EXPECT_TRUE(ui().FremdriftBar->isHidden());
  EXPECT_TRUE(RowText(form)->text().startsWith("Intet program valgt"));
}

// A program-started run closes at the done flag, once its window has shown the end a moment.
TEST_F(ProgressBar, AProgramStartedWindowShowsTheEndBeforeItCloses) {
  auto& form = Start({"SEND", "3", "P1.NC"}, WithStatus("Fres 3;P1.NC;Sender;;600;;0"));
  form.show();
  form.OppfriskTimerTimer();
  server_.SetTable(WithStatus("Fres 3;P1.NC;Klar;Overf\xF8ring ferdig;2400;OK;1"), "OK");
  form.OppfriskTimerTimer();
  EXPECT_FALSE(form.IsClosed());
  EXPECT_TRUE(RowText(form)->text().startsWith("Ferdig"));
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return form.IsClosed(); }));
  EXPECT_EQ(form.Outcome(), client::ExitStatus::Success);
}

TEST(ProgressRow, ColourFollowsTheTransfer) {
  const struct {
    const char* name;
    bool stalled;
    QColor colour;  // invalid: the window's own text colour
  } rows[] = {{"moving", false, {}}, {"stalled is amber", true, client::colours::kStalled}};
  QWidget window;
  auto* bar = new QProgressBar(&window);
  auto* label = new QLabel(&window);
  client::StatusRow row(*bar, *label);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    client::ProgressView view;
    view.bytes = 100;
    view.stalled = r.stalled;
    row.ShowProgress(view, QTime::currentTime());
    const QColor shown = label->palette().color(QPalette::Active, label->foregroundRole());
    EXPECT_EQ(shown, r.colour.isValid()
                         ? r.colour
                         : window.palette().color(QPalette::Active, QPalette::WindowText));
  }
}

TEST_F(ProgressBar, TakesNoRoomFromTheGroupBoxControls) {
  auto& form = Start({"3"}, WithStatus("Fres 3;P1.NC;Sender;;0;;0"));
  const QWidget* rowControls[] = {ui().FremdriftBar, RowText(form)};
  for (const QWidget* row : rowControls) {
    SCOPED_TRACE(row->objectName().toStdString());
    EXPECT_TRUE(ui().MaskinNavn->contentsRect().contains(row->geometry()));
    for (const QLabel* label : ui().MaskinNavn->findChildren<QLabel*>()) {
      if (label == RowText(form)) continue;
      SCOPED_TRACE(label->objectName().toStdString());
      EXPECT_LT(label->geometry().bottom(), row->geometry().top()) << "below the \"Resultat\" row";
    }
  }
}

}  // namespace

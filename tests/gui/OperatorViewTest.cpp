// What the operator sees of the window beyond the status fields: the target of Send and Hent,
// a refusal that stays, readable colours, keys that press the focused button, and long or
// broken texts that still read whole.
#include <QFocusFrame>
#include <QLabel>
#include <QTest>

#include "Colours.h"
#include "FormFixture.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;

using OperatorView = FormTest;

QLabel* RowText(QWidget& form) { return testsupport::Child<QLabel>(form, "FremdriftTekst"); }

// The colour the widget's text is drawn in.
QColor TextColour(const QWidget& widget) {
  return widget.palette().color(QPalette::Active, widget.foregroundRole());
}

QColor Background(const QWidget& form) { return form.palette().color(form.backgroundRole()); }

TEST_F(OperatorView, TargetNamesTheProgramAndMachineOfSendAndHent) {
  auto& form = Start({"3"}, Machine3(";SEND;HENT;AUTO;"));
  const QString none = QString::fromUtf8("Intet program valgt → maskin 3");
  EXPECT_EQ(RowText(form)->text(), none);
  EXPECT_EQ(ui().SendButton->toolTip(), none);

  prompts_.fileAnswers.push_back(client::FilePick{"/nc/m3/BIG.NC", 0});
  form.FilnavnButtonClick();
  const QString big = QString::fromUtf8("Valgt program: BIG.NC → maskin 3");
  EXPECT_EQ(RowText(form)->text(), big);
  EXPECT_EQ(ui().HentButton->toolTip(), big);
  EXPECT_EQ(ui().HentButton->accessibleDescription(), big);
  EXPECT_GE(client::colours::Contrast(TextColour(*RowText(form)), Background(form)), 4.5);

  TakeRequests();
  form.SendButtonClick();
  EXPECT_EQ(TakeRequests().front(), "Send;3;BIG.NC") << "the target is what is sent";
}

TEST_F(OperatorView, RefusalStaysInRedUntilTheNextCommand) {
  auto table = Machine3(";SEND;HENT;RESTART;AUTO;");
  table["Send;3;"] = "Finner ikke filen NOPE.NC";
  auto& form = Start({"3"}, table);
  form.SendButtonClick();
  form.OppfriskTimerTimer();  // the status that follows does not wipe it
  const QString shown = RowText(form)->text();
  EXPECT_TRUE(shown.startsWith("Avvist ")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QString::fromUtf8(" – Finner ikke filen NOPE.NC")));
  EXPECT_EQ(TextColour(*RowText(form)), client::colours::kRefused);

  form.RestartButtonClick();  // answered "OK"
  EXPECT_TRUE(RowText(form)->text().startsWith("Intet program valgt"));
}

TEST_F(OperatorView, ColoursOfResultAndCaptionAreReadable) {
  const struct {
    const char* name;
    std::string status;
    QColor result;
  } rows[] = {
      {"OK is green", "Fres 3;P1.NC;Klar;;10;OK;1", client::colours::kOk},
      {"anything else is red", "Fres 3;P1.NC;Klar;;10;Feil 12;1", client::colours::kRefused},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto table = Machine3(";SEND;");
    table["Status;3"] = row.status;
    auto& form = Start({"3"}, table);
    EXPECT_EQ(TextColour(*ui().Resultat), row.result);
    EXPECT_GE(client::colours::Contrast(TextColour(*ui().Resultat), Background(form)), 4.5);
  }
  // Disabled buttons still read.
  const QPalette buttons = ui().SendButton->palette();
  EXPECT_GE(client::colours::Contrast(buttons.color(QPalette::Disabled, QPalette::ButtonText),
                                      buttons.color(QPalette::Disabled, QPalette::Button)),
            4.5);
}

TEST_F(OperatorView, NoContactCaptionIsRed) {
  WriteIni("127.0.0.1:1");  // nothing listens on port 1 of the loopback
  testsupport::Window window({}, prompts_);
  window.Form().FormShow();
  const QGroupBox& box = *testsupport::FormControls(window.Form()).MaskinNavn;
  EXPECT_EQ(box.palette().color(QPalette::Active, QPalette::Text), client::colours::kRefused);
}

TEST_F(OperatorView, ReturnAndEnterPressTheFocusedButton) {
  for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
    SCOPED_TRACE(key == Qt::Key_Return ? "Return" : "keypad Enter");
    Start({"3"}, Machine3(";SEND;RESTART;"));
    TakeRequests();
    ui().RestartButton->setFocus();
    QTest::keyClick(ui().RestartButton, key,
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    const auto requests = TakeRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), "Restart;3");
  }
}

TEST_F(OperatorView, TheFocusShowsFromTheStart) {
  auto& form = Start({"3"}, Machine3(";SEND;"));
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  ui().FilnavnButton->setFocus();
  auto* ring = form.findChild<QFocusFrame*>();
  ASSERT_NE(ring, nullptr);
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return ring->isVisible(); }));
  EXPECT_TRUE(ring->geometry().contains(ui().FilnavnButton->geometry()));
}

TEST_F(OperatorView, LongAndBrokenTextsReadWhole) {
  const std::string path = "/srv/nc/" + std::string(120, 'k') + "/DEL-4711.NC";
  const std::string name = "Fres " + std::string(200, 'x');
  auto table = Machine3(";SEND;");
  table["Status;3"] = name + ";" + path + ";Klar;linje 1\nlinje 2;0;;0";
  auto& form = Start({"3"}, table);
  (void)form;
  const QString ellipsis = QString::fromUtf8("…");

  EXPECT_TRUE(ui().Filnavn->text().startsWith(ellipsis)) << "paths lose their folders first";
  EXPECT_TRUE(ui().Filnavn->text().endsWith("/DEL-4711.NC"));
  EXPECT_EQ(client::FromQt(ui().Filnavn->toolTip()), path);
  EXPECT_TRUE(ui().MaskinNavn->title().endsWith(ellipsis));
  EXPECT_EQ(client::FromQt(ui().MaskinNavn->toolTip()), name);
  EXPECT_EQ(ui().Melding->text(), "linje 1 linje 2") << "a line feed shows as a space";
}

}  // namespace

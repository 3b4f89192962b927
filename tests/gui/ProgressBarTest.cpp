// The progress bar in the machine's group box: there while a transfer is under way, gone
// otherwise, and in no control's way.
#include <QLabel>
#include <QProgressBar>

#include "FormFixture.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;

using ProgressBar = FormTest;

std::map<std::string, std::string> WithStatus(const std::string& status) {
  auto table = Machine3(";SEND;HENT;");
  table["Status;3"] = status;
  return table;
}

TEST_F(ProgressBar, ShowsOnlyWhileATransferIsUnderWay) {
  auto& form = Start({"3"}, WithStatus("Fres 3;P1.NC;Klar;;0;;0"));
  EXPECT_TRUE(ui().FremdriftBar->isHidden());

  server_.SetTable(WithStatus("Fres 3;P1.NC;Sender;Overf\xF8rer;0;;0"), "OK");
  form.OppfriskTimerTimer();
  ASSERT_FALSE(ui().FremdriftBar->isHidden());
  EXPECT_EQ(ui().FremdriftBar->text(), "beregner hastighet");
  EXPECT_EQ(ui().FremdriftBar->value(), 0);

  server_.SetTable(WithStatus("Fres 3;P1.NC;Klar;Overf\xF8ring ferdig;2400;OK;1"), "OK");
  form.OppfriskTimerTimer();
  EXPECT_TRUE(ui().FremdriftBar->isHidden());
}

TEST_F(ProgressBar, TakesNoRoomFromTheGroupBoxControls) {
  Start({"3"}, WithStatus("Fres 3;P1.NC;Sender;;0;;0"));
  const QRect bar = ui().FremdriftBar->geometry();
  EXPECT_TRUE(ui().MaskinNavn->contentsRect().contains(bar));
  for (const QLabel* label : ui().MaskinNavn->findChildren<QLabel*>()) {
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_FALSE(label->geometry().intersects(bar));
    EXPECT_LT(label->geometry().bottom(), bar.top()) << "below the \"Resultat\" row";
  }
}

}  // namespace

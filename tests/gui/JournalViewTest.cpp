// The journal in the window: opened by its short-cut or the context menu, it lists what the
// session wrote, the delete before a fetch among it, newest first, refusals in red.
#include <QAction>
#include <QComboBox>
#include <QTableWidget>
#include <QTest>

#include "Colours.h"
#include "FormFixture.h"
#include "JournalView.h"
#include "TransferJournal.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;

class JournalViewTest : public FormTest {
 protected:
  // A window whose session keeps its journal where the INI file places it.
  client::TVedoForm& StartWithJournal(const std::map<std::string, std::string>& table) {
    util::detail::State().iniFile = dir_.Write(
        "Vedo.ini", "[VedoTcp]\r\nVedoIP=" + server_.Address() + "\r\nJournal=" + path_ + "\r\n");
    auto& form = Start({"3"}, table);
    window_->Session().KeepJournal(std::make_unique<client::TransferJournal>(
        path_, [](const std::string&, const std::string&) {}));
    return form;
  }

  // The rows of the open view: each its Hendelse, Kommando and Fil.
  std::vector<std::string> Rows(QTableWidget& table) {
    std::vector<std::string> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
      rows.push_back(table.item(r, 1)->text().toStdString() + " " +
                     table.item(r, 2)->text().toStdString() + " " +
                     table.item(r, 4)->text().toStdString());
    }
    return rows;
  }

  std::string path_ = dir_ / "journal.tsv";
};

TEST_F(JournalViewTest, ListsTheLinesOfAFetchNewestFirstWithTheDelete) {
  auto table = Machine3(";SEND;HENT;SLETT;AUTO;");
  table["Send;3;P1.NC"] = "Finner ikke filen P1.NC";
  auto& form = StartWithJournal(table);
  form.SelectMachine("", "3", "P1.NC");
  form.HentButtonClick();
  form.SendButtonClick();

  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_J, Qt::ControlModifier);
  auto* view = form.findChild<client::JournalView*>("JournalView");
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isVisible());
  auto* rows = view->findChild<QTableWidget*>("JournalTabell");
  EXPECT_EQ(Rows(*rows), (std::vector<std::string>{"Kommando Send P1.NC", "Kommando Hent P1.NC",
                                                   "Kommando Slett P1.NC"}));
  EXPECT_EQ(rows->item(0, 0)->foreground().color(), client::colours::kRefused);
  EXPECT_NE(rows->item(1, 0)->foreground().color(), client::colours::kRefused);

  // Filtered by machine: no line of machine 4.
  auto* machine = view->findChild<QComboBox*>("JournalMaskin");
  EXPECT_EQ(machine->findText("4"), -1);
  machine->setCurrentText("3");
  EXPECT_EQ(rows->rowCount(), 3);
}

TEST_F(JournalViewTest, TheContextMenuOpensItToo) {
  auto& form = StartWithJournal(Machine3(";SEND;AUTO;"));
  QAction* action = form.findChild<QAction*>("JournalAction");
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(form.actions().contains(action));
  EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
  action->trigger();
  auto* view = form.findChild<client::JournalView*>("JournalView");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->findChild<QTableWidget*>("JournalTabell")->rowCount(), 0)
      << "no line before the first command";
}

}  // namespace

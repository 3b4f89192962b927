// The toolkit's stock texts in Bokmål; the program's own texts stay exactly as they are given.
#include "Translations.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include "VelgDlg.h"

namespace {

struct TextRow {
  const char* name;
  QString shown;
  const char* expected;
};

void ExpectTexts(const std::vector<TextRow>& rows) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.shown.toStdString(), row.expected);
  }
}

QString Child(QFileDialog& dialog, const char* name) {
  if (auto* label = dialog.findChild<QLabel*>(name)) return label->text();
  if (auto* button = dialog.findChild<QToolButton*>(name)) return button->toolTip();
  return "<missing>";
}

void OpenLikeThePrompt(QFileDialog& dialog) {
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
}

TEST(ToolkitTranslation, FileDialogSpeaksBokmal) {
  const client::ToolkitTranslation translation;
  ASSERT_TRUE(translation.Installed());
  QFileDialog dialog;
  OpenLikeThePrompt(dialog);
  auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
  auto* header = dialog.findChild<QTreeView*>("treeView")->header()->model();
  const auto column = [header](int section) {
    return header->headerData(section, Qt::Horizontal).toString();
  };
  ExpectTexts({
      {"title", dialog.windowTitle(), "\xC3\x85pne"},
      {"look in", Child(dialog, "lookInLabel"), "S\xC3\xB8k i:"},
      {"file name", Child(dialog, "fileNameLabel"), "Fil&navn:"},
      {"files of type", Child(dialog, "fileTypeLabel"), "Filtype:"},
      {"back", Child(dialog, "backButton"), "Tilbake"},
      {"forward", Child(dialog, "forwardButton"), "Fremover"},
      {"parent", Child(dialog, "toParentButton"), "Overordnet mappe"},
      {"new folder", Child(dialog, "newFolderButton"), "Opprett ny mappe"},
      {"list view", Child(dialog, "listModeButton"), "Listevisning"},
      {"detail view", Child(dialog, "detailModeButton"), "Detaljvisning"},
      {"open", buttons->button(QDialogButtonBox::Open)->text(), "&\xC3\x85pne"},
      {"cancel", buttons->button(QDialogButtonBox::Cancel)->text(), "Avbryt"},
      {"name column", column(0), "Navn"},
      {"size column", column(1), "St\xC3\xB8rrelse"},
      {"type column", column(2), "Type"},
      {"date column", column(3), "Endret"},
  });
}

TEST(ToolkitTranslation, EnglishAgainOnceRemoved) {
  { const client::ToolkitTranslation translation; }
  QFileDialog dialog;
  OpenLikeThePrompt(dialog);
  EXPECT_EQ(dialog.findChild<QLabel*>("lookInLabel")->text(), "Look in:");
}

TEST(ToolkitTranslation, StandardButtonsSpeakBokmal) {
  const client::ToolkitTranslation translation;
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes |
                         QMessageBox::No);
  ExpectTexts({{"OK", box.button(QMessageBox::Ok)->text(), "OK"},
               {"Cancel", box.button(QMessageBox::Cancel)->text(), "Avbryt"},
               {"Yes", box.button(QMessageBox::Yes)->text(), "&Ja"},
               {"No", box.button(QMessageBox::No)->text(), "&Nei"}});
}

// The selection dialog's buttons carry the captions they are given, in English as given.
TEST(ToolkitTranslation, OwnCaptionsStayAsGiven) {
  const client::ToolkitTranslation translation;
  client::TSelectForm form;
  ExpectTexts({{"OK button", form.findChild<QPushButton*>("OKBtn")->text(), "OK"},
               {"cancel button", form.findChild<QPushButton*>("Avbryt")->text(), "Cancel"},
               {"caption", form.windowTitle(), "Velg en post"}});
}

}  // namespace

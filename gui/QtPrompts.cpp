#include "QtPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "QtText.h"
#include "VelgDlg.h"

namespace client {
namespace {

void CentreOnScreen(QWidget& widget) {
  widget.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = widget.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    widget.move(frame.topLeft());
  }
}

// A box with one OK button that both Enter and Esc press. Texts are shown as they are, never
// as markup: a server reply cannot change how a dialog looks.
void ShowBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
             bool inFront) {
  // Texts break lines with a lone CR, as Windows boxes do; the toolkit breaks at LF.
  QString shown = text;
  shown.replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox box(icon, caption, shown, QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  if (inFront) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  if (owner == nullptr) CentreOnScreen(box);
  box.exec();
}

const QStringList kFileFilters = {"NC-filer (*.nc)", "Alle filer (*.*)"};
constexpr int kAllFilesFilter = 1;

// "*.*" means every file, as on Windows, not only names with a dot. The dialog sets its
// model's patterns when a filter is chosen; this runs after it and widens the last one.
void LetAllFilesMeanAll(QFileDialog& dialog) {
  auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
  auto* model = dialog.findChild<QFileSystemModel*>();
  if (combo == nullptr || model == nullptr) return;
  auto widen = [model](int index) {
    if (index == kAllFilesFilter) model->setNameFilters({"*"});
  };
  QObject::connect(combo, &QComboBox::currentIndexChanged, &dialog, widen, Qt::QueuedConnection);
  QTimer::singleShot(0, &dialog, [combo, widen] { widen(combo->currentIndex()); });
}

QString ApplicationTitle() { return QApplication::applicationName(); }

}  // namespace

void QtPrompts::Message(const std::string& text) {
  ShowBox(nullptr, QMessageBox::NoIcon, ApplicationTitle(), ToQt(text), false);
}

void QtPrompts::Warning(const std::string& caption, const std::string& text) {
  ShowBox(owner_, QMessageBox::Warning, ToQt(caption), ToQt(text), false);
}

void QtPrompts::Error(const std::string& text) {
  ShowBox(owner_, QMessageBox::Critical, ApplicationTitle(), ToQt(text), false);
}

void QtPrompts::Notice(const std::string& caption, const std::string& text) {
  ShowBox(nullptr, QMessageBox::NoIcon, ToQt(caption), ToQt(text), true);
}

std::optional<FilePick> QtPrompts::PickFile(const FileRequest& request) {
  QFileDialog dialog(owner_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's own dialog, not the desktop's: its filter ignores letter case on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(kFileFilters);
  dialog.selectNameFilter(kFileFilters.value(request.filterIndex, kFileFilters.first()));
  LetAllFilesMeanAll(dialog);
  dialog.setDirectory(ToQt(request.directory));
  dialog.selectFile(ToQt(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString picked = dialog.selectedFiles().first();
  const auto path = FromQtName(picked);
  if (!path) {
    // The server would be given another name, or none: the operator is told, nothing is sent.
    ShowBox(owner_, QMessageBox::Warning, ApplicationTitle(),
            QString::fromUtf8("Filnavnet har tegn som ikke finnes i tegnsettet Windows-1252, og "
                              "kan ikke sendes til serveren:\r%1\rGi filen et navn uten slike "
                              "tegn, eller velg en annen fil.")
                .arg(picked),
            false);
    return std::nullopt;
  }
  return FilePick{*path, static_cast<int>(kFileFilters.indexOf(dialog.selectedNameFilter()))};
}

Choice QtPrompts::Choose(const std::string& caption, const std::string& items) {
  if (selectForm_ == nullptr) return {};
  return selectForm_->Choose(caption, items);
}

}  // namespace client

#include "QtPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "FileDialogColumns.h"
#include "QtText.h"
#include "VelgDlg.h"

namespace client {
namespace {

// Where a box stands: over a window (over the screen without one), clear of a part of it that
// the operator should keep in sight while the box is open; `parent` is the box's owner.
struct Placement {
  QWidget* parent = nullptr;
  const QWidget* over = nullptr;
  const QWidget* inSight = nullptr;
};

const QWidget* IfVisible(const QWidget* widget) {
  return widget != nullptr && widget->isVisible() ? widget : nullptr;
}

QRect KeptOn(QRect frame, const QRect& available) {
  frame.moveLeft(std::clamp(frame.left(), available.left(),
                            std::max(available.left(), available.right() - frame.width())));
  frame.moveTop(std::clamp(frame.top(), available.top(),
                           std::max(available.top(), available.bottom() - frame.height())));
  return frame;
}

// Centred over the window, or the screen, and kept on the screen; moved below or else above
// the part to keep in sight when it would cover it and the screen has room.
void Place(QWidget& widget, const Placement& place) {
  const QWidget* over = IfVisible(place.over);
  const QScreen* screen = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  QRect frame = widget.frameGeometry();
  frame.moveCenter(over != nullptr ? over->frameGeometry().center() : available.center());
  frame = KeptOn(frame, available);
  if (const QWidget* inSight = over != nullptr ? IfVisible(place.inSight) : nullptr) {
    constexpr int kGap = 8;
    const QRect kept(inSight->mapToGlobal(QPoint(0, 0)), inSight->size());
    if (frame.intersects(kept)) {
      QRect below = frame, above = frame;
      below.moveTop(kept.bottom() + kGap);
      above.moveBottom(kept.top() - kGap);
      if (available.contains(below)) {
        frame = below;
      } else if (available.contains(above)) {
        frame = above;
      }
    }
  }
  widget.move(frame.topLeft());
}

// A message box placed once it has its final size, which it takes only as it shows.
class PlacedBox : public QMessageBox {
 public:
  PlacedBox(Icon icon, const QString& caption, const QString& text, const Placement& place)
      : QMessageBox(icon, caption, text, QMessageBox::NoButton, place.parent), place_(place) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    Place(*this, place_);
  }

 private:
  Placement place_;
};

// Beyond this share of the screen's height a text scrolls inside the box.
constexpr double kTextShare = 0.5;
// A run of this many characters without a blank gets places to break.
constexpr int kLongestRun = 60;

// The toolkit breaks lines only at blanks: a long run is broken into lines of its own. (A
// zero-width space would do it more quietly, but makes the toolkit load fallback fonts.)
QString Breakable(const QString& text) {
  QString shown;
  int run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kLongestRun) {
      shown += QLatin1Char('\n');
      run = 1;
    }
    shown += c;
  }
  return shown;
}

// A text taller than a share of the screen goes into a read-only text field in place of the
// box's own label, so that the box and its OK button stay on the screen; the wheel and the
// keys scroll it. (The field shows no scroll bar: drawing one makes the toolkit start pooled
// threads that stay for half a minute.)
void ScrollIfTall(QMessageBox& box, const QString& text) {
  auto* label = box.findChild<QLabel*>("qt_msgbox_label");
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  const QScreen* screen = box.screen();
  if (label == nullptr || grid == nullptr || screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  const int width = std::min(560, available.width() * 2 / 3);
  QLabel probe(text);
  probe.setWordWrap(true);
  probe.setFont(label->font());
  const int height = probe.heightForWidth(width);
  const int highest = static_cast<int>(available.height() * kTextShare);
  if (height <= highest) return;

  int row = 0, column = 0, rows = 0, columns = 0;
  grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
  grid->removeWidget(label);
  label->hide();
  auto* area = new QPlainTextEdit(text, &box);
  area->setObjectName("ScrolledText");
  area->setReadOnly(true);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setFixedSize(width, highest);
  grid->addWidget(area, row, column, rows, columns);
}

// A box with one OK button that both Enter and Esc press. Texts are shown as they are, never
// as markup: a server reply cannot change how a dialog looks.
void ShowBox(const Placement& place, QMessageBox::Icon icon, const QString& caption,
             const QString& text, bool inFront) {
  // Texts break lines with a lone CR, as Windows boxes do; the toolkit breaks at LF.
  QString shown = text;
  shown.replace("\r\n", "\n").replace('\r', '\n');
  shown = Breakable(shown);
  PlacedBox box(icon, caption, shown, place);
  box.setTextFormat(Qt::PlainText);
  ScrollIfTall(box, shown);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  if (inFront) box.setWindowFlag(Qt::WindowStaysOnTopHint);
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
  // Owned by no window, as the box of a command's reply is, but over the main window and clear
  // of its status, so that the transfer stays in sight while the operator reads.
  ShowBox({nullptr, owner_, inSight_}, QMessageBox::NoIcon, ApplicationTitle(), ToQt(text), false);
}

void QtPrompts::Warning(const std::string& caption, const std::string& text) {
  ShowBox({owner_, owner_, inSight_}, QMessageBox::Warning, ToQt(caption), ToQt(text), false);
}

void QtPrompts::Error(const std::string& text) { Error(ToQt(text)); }

void QtPrompts::Error(const QString& text) {
  ShowBox({owner_, owner_, inSight_}, QMessageBox::Critical, ApplicationTitle(), text, false);
}

void QtPrompts::Notice(const std::string& caption, const std::string& text) {
  ShowBox({}, QMessageBox::NoIcon, ToQt(caption), ToQt(text), true);
}

std::optional<FilePick> QtPrompts::PickFile(const FileRequest& request) {
  QFileDialog dialog(owner_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's own dialog, not the desktop's: its filter ignores letter case on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(kFileFilters);
  dialog.selectNameFilter(kFileFilters.value(request.filterIndex, kFileFilters.first()));
  ShowColumnsInBokmal(dialog);
  LetAllFilesMeanAll(dialog);
  dialog.setDirectory(ToQt(request.directory));
  dialog.selectFile(ToQt(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // The system's own separators: on Windows a path of the family has "\", never "/".
  const QString picked = QDir::toNativeSeparators(dialog.selectedFiles().first());
  const auto path = FromQtName(picked);
  if (!path) {
    // The server would be given another name, or none: the operator is told, nothing is sent.
    ShowBox({owner_, owner_, inSight_}, QMessageBox::Warning, ApplicationTitle(),
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

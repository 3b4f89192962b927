#include "VelgDlg.h"

#include <QEvent>

#include "ButtonGlyphs.h"
#include "QtText.h"
#include "Util.h"
#include "ui_VelgDlg.h"

namespace client {
namespace {

constexpr int kItemHeight = 13;

}  // namespace

TSelectForm::TSelectForm(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SelectForm>()) {
  ui->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  ui->OKBtn->setIcon(glyphs::Ok());
  ui->Avbryt->setIcon(glyphs::Cancel());
  connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->Avbryt, &QPushButton::clicked, this, &QDialog::reject);
  // A double-click anywhere in the list counts, on an item or on the space below them.
  ui->Liste->viewport()->installEventFilter(this);
}

bool TSelectForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->Liste->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    ListeDblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

TSelectForm::~TSelectForm() = default;

Choice TSelectForm::Choose(const std::string& caption, const std::string& items) {
  setWindowTitle(ToQt(caption));
  ui->Liste->clear();
  std::string rest = items;
  while (!rest.empty()) {
    auto* item = new QListWidgetItem(ToQt(util::SplitFirst(';', rest)), ui->Liste);
    item->setSizeHint(QSize(0, kItemHeight));
  }
  pickedByDoubleClick_ = false;
  ui->OKBtn->setFocus();
  const bool ok = exec() == QDialog::Accepted || pickedByDoubleClick_;
  const auto selected = ui->Liste->selectedItems();
  return {ok, selected.isEmpty() ? std::string() : FromQt(selected.first()->text())};
}

void TSelectForm::ListeDblClick() {
  pickedByDoubleClick_ = true;
  close();
}

}  // namespace client

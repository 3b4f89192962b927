#include "FileDialogColumns.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace client {
namespace {

// The columns of the toolkit's file model.
constexpr int kNameColumn = 0;
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

// The toolkit's model formats sizes and dates in the system's locale; this one in Bokmål.
class BokmalColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr ||
        (index.column() != kSizeColumn && index.column() != kDateColumn)) {
      return QIdentityProxyModel::data(index, role);
    }
    const QModelIndex source = mapToSource(index);
    const QLocale bokmal(QLocale::NorwegianBokmal, QLocale::Norway);
    if (index.column() == kSizeColumn) {
      return files->isDir(source) ? QString() : bokmal.formattedDataSize(files->size(source), 1);
    }
    return bokmal.toString(files->lastModified(source), "dd.MM.yyyy HH:mm");
  }
};

}  // namespace

void ShowColumnsInBokmal(QFileDialog& dialog) {
  dialog.setProxyModel(new BokmalColumns(&dialog));
  auto* view = dialog.findChild<QTreeView*>("treeView");
  if (view == nullptr) return;
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  for (int column = 0; column < header->count(); ++column) {
    header->setSectionResizeMode(
        column, column == kNameColumn ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
  }
}

}  // namespace client

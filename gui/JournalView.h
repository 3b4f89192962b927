// The transfer journal in a window of its own, read-only: newest first, filtered by machine and
// by a first day, refusals in red. It reads the file through the same reader as vedo-journal.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;

namespace client {

class JournalView : public QDialog {
  Q_OBJECT

 public:
  // `path` is the journal's file; nothing when the journal is switched off.
  JournalView(const QString& path, QWidget* owner);

  // Reads the file again and shows what passes the filters.
  void Reload();

 private:
  void Show();

  QString path_;
  QComboBox* machine_;
  QCheckBox* sinceOn_;
  QDateEdit* since_;
  QTableWidget* table_;
  QLabel* note_;
  std::string text_;  // the file as last read
};

}  // namespace client

#include "JournalView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "Colours.h"
#include "JournalReader.h"

namespace client {
namespace {

const QString kAllMachines = "Alle maskiner";

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

JournalView::JournalView(const QString& path, QWidget* owner)
    : QDialog(owner),
      path_(path),
      machine_(new QComboBox),
      sinceOn_(new QCheckBox("Fra dato:")),
      since_(new QDateEdit(QDate::currentDate())),
      table_(new QTableWidget),
      note_(new QLabel) {
  setObjectName("JournalView");
  setWindowTitle(QString::fromUtf8("Overføringsjournal"));
  setAccessibleName(windowTitle());
  machine_->setObjectName("JournalMaskin");
  machine_->setAccessibleName("Maskin");
  sinceOn_->setObjectName("JournalFraPaa");
  since_->setObjectName("JournalFra");
  since_->setAccessibleName("Fra dato");
  since_->setDisplayFormat("dd.MM.yyyy");
  since_->setCalendarPopup(true);
  since_->setEnabled(false);
  table_->setObjectName("JournalTabell");
  table_->setAccessibleName(windowTitle());
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  note_->setObjectName("JournalMerknad");
  note_->setTextFormat(Qt::PlainText);
  colours::PaintText(*note_, colours::kRefused);

  auto* filters = new QHBoxLayout;
  filters->addWidget(new QLabel("Maskin:"));
  filters->addWidget(machine_);
  filters->addSpacing(16);
  filters->addWidget(sinceOn_);
  filters->addWidget(since_);
  filters->addStretch();
  auto* update = new QPushButton("Oppdater");
  auto* close = new QPushButton("Lukk");
  filters->addWidget(update);
  filters->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(table_);
  layout->addWidget(note_);
  resize(900, 420);

  connect(machine_, &QComboBox::currentIndexChanged, this, &JournalView::Show);
  connect(sinceOn_, &QCheckBox::toggled, since_, &QWidget::setEnabled);
  connect(sinceOn_, &QCheckBox::toggled, this, &JournalView::Show);
  connect(since_, &QDateEdit::dateChanged, this, &JournalView::Show);
  connect(update, &QPushButton::clicked, this, &JournalView::Reload);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  Reload();
}

void JournalView::Reload() {
  text_.clear();
  note_->clear();
  if (path_.isEmpty()) {
    note_->setText("Journalen er skrudd av.");
  } else if (QFile file(path_); file.open(QIODevice::ReadOnly)) {
    text_ = file.readAll().toStdString();
  } else if (file.exists()) {
    note_->setText("Kan ikke lese journalen " + path_ + ": " + file.errorString());
  }
  // The machines of the file, to choose from; the choice holds while it is among them.
  const QString chosen = machine_->currentText();
  const QSignalBlocker quiet(machine_);
  machine_->clear();
  machine_->addItem(kAllMachines);
  if (const auto journal = journal::ParseJournal(text_)) {
    std::set<std::string> machines;
    const std::size_t column = journal->Column("Maskin");
    for (const auto& row : journal->rows) machines.insert(row[column]);
    for (const auto& machine : machines) machine_->addItem(FromUtf8(machine));
  }
  machine_->setCurrentIndex(std::max(0, machine_->findText(chosen)));
  Show();
}

void JournalView::Show() {
  const auto journal = journal::ParseJournal(text_);
  table_->clear();
  table_->setRowCount(0);
  if (!journal) {
    table_->setColumnCount(0);
    note_->setText(path_ + " er ingen overføringsjournal.");
    return;
  }
  journal::Filter filter;
  if (machine_->currentIndex() > 0) filter.machine = machine_->currentText().toStdString();
  if (sinceOn_->isChecked()) {
    filter.since = journal::SinceInstant(since_->date().toString("yyyy-MM-dd").toStdString());
  }
  const auto rows = journal::Selected(*journal, filter);
  QStringList headers;
  for (const auto& column : journal->columns) headers << FromUtf8(column);
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(rows.size()));
  const std::size_t reply = journal->Column("Svar");
  const std::size_t result = journal->Column("Resultat");
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& fields = *rows[static_cast<std::size_t>(r)];
    // A command answered with anything but "OK", or a transfer that ended without it.
    const auto refused = [&](std::size_t column) {
      return column < fields.size() && !fields[column].empty() && fields[column] != "OK";
    };
    const bool red = refused(reply) || refused(result);
    for (int c = 0; c < static_cast<int>(fields.size()); ++c) {
      auto* item = new QTableWidgetItem(FromUtf8(fields[static_cast<std::size_t>(c)]));
      item->setToolTip(item->text());
      if (red) item->setForeground(colours::kRefused);
      table_->setItem(r, c, item);
    }
  }
  table_->resizeColumnsToContents();
}

}  // namespace client

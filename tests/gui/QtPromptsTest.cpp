// The real dialogs, driven as an operator would, with the event loop running under them.
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <optional>

#include "FormFixture.h"
#include "QtPrompts.h"

namespace {

using testsupport::Machine3;

// Runs the action on the first modal dialog once it is open.
template <typename Dialog>
void WhenModalOpens(std::function<void(Dialog&)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      act(*dialog);
    }
  });
  poll->start(20);
}

TEST(QtPrompts, PlainMessageClosesWithEnterAndWithEsc) {
  client::QtPrompts prompts;
  for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      title = box.windowTitle();
      text = box.text();
      icon = box.icon();
      QTest::keyClick(&box, key);
    });
    prompts.Message("Trykk \"Read\" p\xE5 styringen!\rNeste linje");
    EXPECT_EQ(title, "Orvi-Vedo fjernstyring");
    EXPECT_EQ(text, QString::fromUtf8("Trykk \"Read\" på styringen!\nNeste linje"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
  }
}

TEST(QtPrompts, FileDialogFilterIgnoresCaseAndAllFilesMeansAll) {
  testsupport::TempDir dir;
  for (const char* name : {"P100.NC", "p2.nc", "readme", "x.txt"}) dir.Write(name, "");
  client::QtPrompts prompts;
  const auto visibleNames = [](QFileDialog& dialog) {
    QStringList names;
    auto* view = dialog.findChild<QListView*>("listView");
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
      if (!view->isRowHidden(row)) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
      }
    }
    names.sort();
    return names;
  };
  const struct {
    int filter;
    QStringList names;
  } rows[] = {{0, {"P100.NC", "p2.nc"}}, {1, {"P100.NC", "p2.nc", "readme", "x.txt"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.filter);
    QStringList names;
    WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
      QTimer::singleShot(700, &dialog, [&] {
        names = visibleNames(dialog);
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        name->clear();
        QTest::keyClicks(name, "P100.NC");
        QTest::keyClick(name, Qt::Key_Return);
      });
    });
    const auto pick = prompts.PickFile({dir.Path(), dir.Path() + "/*.*", row.filter});
    EXPECT_EQ(names, row.names);
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->path, dir / "P100.NC");
    EXPECT_EQ(pick->filterIndex, row.filter);
  }
}

// A reply of many kilobytes, with or without blanks, opens a box that stays on the screen with
// its OK button, centred on its owner.
TEST(QtPrompts, LongTextsFitTheScreenCentredOnTheOwner) {
  std::string words;
  while (words.size() < 6600) words += "Maskinen svarer med en lang tekst ";
  const struct {
    const char* name;
    std::string text;
  } rows[] = {
      {"6.6 KB of words", words},
      {"3000 characters without a blank", std::string(3000, 'X')},
      {"a short text", "Finner ikke filen NOPE.NC"},
  };
  QWidget owner;
  owner.setGeometry(300, 200, 521, 361);
  owner.show();
  client::QtPrompts prompts;
  prompts.SetOwner(&owner);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QRect frame, okButton, screen;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      frame = box.frameGeometry();
      QAbstractButton* ok = box.button(QMessageBox::Ok);
      okButton = QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size());
      screen = box.screen()->availableGeometry();
      QTest::keyClick(&box, Qt::Key_Return);
    });
    prompts.Warning("Svar", row.text);
    EXPECT_TRUE(screen.contains(frame)) << frame.height() << " of " << screen.height();
    EXPECT_TRUE(screen.contains(okButton));
    QRect centred = frame;
    centred.moveCenter(owner.frameGeometry().center());
    if (screen.contains(centred)) {
      EXPECT_LE((frame.center() - centred.center()).manhattanLength(), 1);
    }
  }
}

// Sizes and dates in Bokmål whatever the system's locale, in columns wide enough to show them.
TEST(QtPrompts, FileDialogColumnsShowWholeBokmalValues) {
  testsupport::TempDir dir;
  dir.Write("BIG.NC", std::string(250008, 'N'));
  client::QtPrompts prompts;
  QString size, date;
  bool fits = false;
  WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>("treeView");
    QModelIndex file;
    testsupport::RunEventLoopUntil([&] {
      const auto found = view->model()->match(view->rootIndex().isValid()
                                                  ? view->model()->index(0, 0, view->rootIndex())
                                                  : QModelIndex(),
                                              Qt::DisplayRole, "BIG.NC");
      if (!found.isEmpty()) file = found.first();
      return file.isValid();
    });
    size = file.siblingAtColumn(1).data().toString();
    date = file.siblingAtColumn(3).data().toString();
    view->header()->resizeSections(QHeaderView::ResizeToContents);
    fits = view->fontMetrics().horizontalAdvance(size) < view->columnWidth(1) &&
           view->fontMetrics().horizontalAdvance(date) < view->columnWidth(3);
    dialog.reject();
  });
  prompts.PickFile({dir.Path(), dir.Path() + "/*.*", 1});
  EXPECT_EQ(size, "244,1 KiB");
  EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$").match(date).hasMatch())
      << date.toStdString();
  EXPECT_TRUE(fits);
}

// A picked name goes to the server in cp1252: one that cp1252 cannot hold is not picked, and
// the operator is told why instead of a name full of '?' reaching the server.
TEST(QtPrompts, PickedNameMustHaveACp1252Form) {
  const struct {
    const char* name;
    std::string onDisk;                 // UTF-8
    std::optional<std::string> picked;  // cp1252 name in the folder; nothing: not picked
  } rows[] = {
      {"Norwegian name", "PR\xC3\x98VE \xC3\xA6\xC3\xA5\xE2\x82\xAC.NC",
       "PR\xD8VE \xE6\xE5\x80.NC"},
      {"Chinese name", "\xE6\xBC\xA2\xE5\xAD\x97.NC", std::nullopt},
      {"emoji", "P\xF0\x9F\x98\x80.NC", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::TempDir dir;
    // Under its Unicode name on every system (Windows's narrow calls could not make the Chinese
    // one at all).
    std::ofstream(std::filesystem::path(dir.Path()) /
                  std::u8string(row.onDisk.begin(), row.onDisk.end()));
    client::QtPrompts prompts;
    QString notice;
    WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
      auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
      name->setText(QString::fromStdString(row.onDisk));
      QTest::keyClick(name, Qt::Key_Return);
      if (!row.picked) {
        WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
          notice = box.text();
          QTest::keyClick(&box, Qt::Key_Return);
        });
      }
    });
    const auto pick = prompts.PickFile({dir.Path(), dir.Path() + "/*.*", 1});
    if (row.picked) {
      ASSERT_TRUE(pick.has_value());
      EXPECT_EQ(pick->path, dir / *row.picked);
      EXPECT_TRUE(notice.isEmpty());
    } else {
      EXPECT_FALSE(pick.has_value());
      EXPECT_TRUE(notice.startsWith("Filnavnet har tegn som ikke finnes i tegnsettet Windows-1252"))
          << notice.toStdString();
      EXPECT_TRUE(notice.contains(QString::fromStdString(dir / row.onDisk)))
          << "the name as it is on disk";
    }
  }
}

class RealPrompts : public testsupport::FormTest {};

TEST_F(RealPrompts, StatusRefreshesWhileARealMessageBoxIsOpen) {
  client::QtPrompts prompts;
  WriteIni(server_.Address());
  server_.SetTable(Machine3(";SEND;"), "OK");
  testsupport::Window window({"3"}, prompts);
  client::TVedoForm& form = window.Form();
  form.FormShow();
  server_.ClearRequests();
  // Acknowledged once two ticks have come after the status that followed "Filnavn".
  WhenModalOpens<QMessageBox>([this](QMessageBox& box) {
    auto* poll = new QTimer(&box);
    QObject::connect(poll, &QTimer::timeout, &box, [this, &box] {
      const auto requests = server_.Requests();
      if (std::count(requests.begin(), requests.end(), "Status;3") >= 3) {
        QTest::keyClick(&box, Qt::Key_Return);
      }
    });
    poll->start(20);
  });
  form.SendButtonClick();
  const auto requests = server_.Requests();
  const auto send = std::find(requests.begin(), requests.end(), "Send;3;");
  ASSERT_NE(send, requests.end());
  EXPECT_GE(std::count(requests.begin() + 2, send, "Status;3"), 2);
}

}  // namespace

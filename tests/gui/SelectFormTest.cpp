#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "VelgDlg.h"

namespace {

using client::TSelectForm;

// Acts on the dialog once it is open, as the operator would.
void WhenOpen(TSelectForm& form, std::function<void(TSelectForm&)> act) {
  QTimer::singleShot(0, &form, [&form, act] {
    if (!QTest::qWaitForWindowExposed(&form)) return form.reject();
    act(form);
  });
}

QListWidget& List(TSelectForm& form) { return *form.findChild<QListWidget*>("Liste"); }

TEST(SelectForm, ItemsKeepEmptyOnesButNoFinalOne) {
  const struct {
    std::string items;
    QStringList shown;
  } rows[] = {
      {"A;;B;", {"A", "", "B"}},
      {"Fres1;Dreie2;Fres3", {"Fres1", "Dreie2", "Fres3"}},
      {";x", {"", "x"}},
      {"", {}},
      {";", {""}},
  };
  TSelectForm form;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.items);
    QStringList shown;
    WhenOpen(form, [&](TSelectForm& f) {
      for (int i = 0; i < List(f).count(); ++i) shown << List(f).item(i)->text();
      f.reject();
    });
    form.Choose("Velg Maskin", row.items);
    EXPECT_EQ(shown, row.shown);
  }
  EXPECT_EQ(form.windowTitle(), "Velg Maskin");
}

TEST(SelectForm, OperatorActions) {
  const struct {
    const char* name;
    std::function<void(TSelectForm&)> act;
    bool ok;
    std::string selected;
  } rows[] = {
      {"Enter at once: OK with nothing selected",
       [](TSelectForm&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, true,
       ""},
      {"select then OK",
       [](TSelectForm& f) {
         List(f).setCurrentRow(1);
         f.findChild<QPushButton*>("OKBtn")->click();
       },
       true, "Dreie2"},
      {"double-click an item",
       [](TSelectForm& f) {
         const QRect rect = List(f).visualItemRect(List(f).item(2));
         QTest::mouseClick(List(f).viewport(), Qt::LeftButton, {}, rect.center());
         QTest::mouseDClick(List(f).viewport(), Qt::LeftButton, {}, rect.center());
       },
       true, "Fres3"},
      {"double-click below the items keeps the selection",
       [](TSelectForm& f) {
         List(f).setCurrentRow(1);
         QTest::mouseDClick(List(f).viewport(), Qt::LeftButton, {}, QPoint(20, 400));
       },
       true, "Dreie2"},
      {"select then Esc",
       [](TSelectForm& f) {
         List(f).setCurrentRow(0);
         QTest::keyClick(&f, Qt::Key_Escape);
       },
       false, "Fres1"},
      {"Cancel", [](TSelectForm& f) { f.findChild<QPushButton*>("Avbryt")->click(); }, false, ""},
  };
  TSelectForm form;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WhenOpen(form, row.act);
    const client::Choice choice = form.Choose("Velg Maskin", "Fres1;Dreie2;Fres3");
    EXPECT_EQ(choice.ok, row.ok);
    EXPECT_EQ(choice.selected, row.selected);
  }
}

TEST(SelectForm, LayoutAndFocus) {
  TSelectForm form;
  bool okHasFocus = false;
  WhenOpen(form, [&](TSelectForm& f) {
    okHasFocus = QApplication::focusWidget() == f.findChild<QPushButton*>("OKBtn");
    f.reject();
  });
  form.Choose("x", "a");
  EXPECT_TRUE(okHasFocus);
  EXPECT_EQ(form.size(), QSize(359, 502));
  EXPECT_EQ(List(form).geometry(), QRect(0, 0, 359, 461));
  EXPECT_EQ(form.findChild<QPushButton*>("OKBtn")->geometry(), QRect(16, 8, 75, 25));
  EXPECT_EQ(form.findChild<QPushButton*>("Avbryt")->geometry(), QRect(272, 8, 75, 25));
  EXPECT_EQ(form.findChild<QPushButton*>("Avbryt")->text(), "Cancel");
  EXPECT_TRUE(form.findChild<QPushButton*>("OKBtn")->isDefault());
}

}  // namespace

// Where the operator's boxes stand: over the main window, leaving its status and the transfer's
// row in sight.
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "FormFixture.h"
#include "QtPrompts.h"

namespace {

class BoxPlacement : public testsupport::FormTest {};

TEST_F(BoxPlacement, BoxesStandOverTheWindowClearOfItsStatus) {
  client::QtPrompts prompts;
  testsupport::Window window({"3"}, prompts);
  client::TVedoForm& form = window.Form();
  prompts.SetOwner(&form, form.StatusPanel());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QRect status(form.StatusPanel()->mapToGlobal(QPoint(0, 0)), form.StatusPanel()->size());
  const struct {
    const char* name;
    std::function<void()> show;
  } rows[] = {
      {"a command's reply", [&] { prompts.Message("Maskinen er opptatt"); }},
      {"a warning", [&] { prompts.Warning("Vedo.ini eksisterer ikke", "/etc/vedo/Vedo.ini"); }},
      {"an error", [&] { prompts.Error(std::string("'x' is not a valid integer value.")); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QRect frame;
    QTimer::singleShot(0, [&frame] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      frame = box->frameGeometry();
      box->accept();
    });
    row.show();
    EXPECT_FALSE(frame.intersects(status)) << "the status stays in sight";
    EXPECT_TRUE(form.frameGeometry().intersects(frame)) << "over the window";
    EXPECT_NEAR(frame.center().x(), form.frameGeometry().center().x(), 1);
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/Controls.h"
#include "ui/ExtEdit.h"

namespace {

// A window with an ordinary edit box, a value field and another edit box, shown and active.
struct tFocusWindow {
  QWidget window;
  QLineEdit* before = new QLineEdit(&window);
  TExtEdit* field = PlaceValue(&window, "FieldV", 10, 40, 100, QStringLiteral("Yes"));
  QLineEdit* after = new QLineEdit(&window);

  tFocusWindow() {
    before->setGeometry(10, 10, 100, 21);
    after->setGeometry(10, 70, 100, 21);
    window.resize(200, 120);
    window.show();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    before->setFocus();
  }
};

}  // namespace

TEST(ExtEditTest, NeverTakesTheFocus) {
  tFocusWindow w;
  ASSERT_TRUE(w.before->hasFocus());

  QTest::keyClick(w.before, Qt::Key_Tab);
  EXPECT_TRUE(w.after->hasFocus()) << "tabbing skips the field";

  QTest::mouseClick(w.field, Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_FALSE(w.field->hasFocus());
  EXPECT_TRUE(w.after->hasFocus()) << "a click leaves the focus where it was";

  w.field->setFocus();
  EXPECT_FALSE(w.field->hasFocus());
  EXPECT_NE(QApplication::focusWidget(), w.field);
}

TEST(ExtEditTest, NeitherTypingNorTheMouseChangesOrSelectsTheText) {
  tFocusWindow w;
  QTest::keyClicks(w.field, QStringLiteral("No"));
  QTest::mouseDClick(w.field, Qt::LeftButton, {}, QPoint(50, 10));
  EXPECT_EQ(w.field->text(), QStringLiteral("Yes"));
  EXPECT_FALSE(w.field->hasSelectedText());
}

TEST(ExtEditTest, ShowsNoContextMenu) {
  tFocusWindow w;
  QWidget* popup = nullptr;
  // Were a menu opened, it would run modally; close it from the event loop and remember it.
  QTimer::singleShot(0, [&popup] {
    popup = QApplication::activePopupWidget();
    if (popup != nullptr) popup->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 10),
                          w.field->mapToGlobal(QPoint(20, 10)));
  QApplication::sendEvent(w.field, &event);
  QTest::qWait(20);
  EXPECT_EQ(popup, nullptr);
  EXPECT_TRUE(event.isAccepted());
}

TEST(ExtEditTest, CentresItsTextAndKeepsThePointer) {
  QWidget page;
  page.setCursor(Qt::PointingHandCursor);
  auto* field = new TExtEdit(&page);
  EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(field->cursor().shape(), Qt::PointingHandCursor);
}

TEST(ExtEditTest, DisabledFieldKeepsItsTextAndIsGreyed) {
  QWidget page;
  QLabel* caption = PlaceLabel(&page, "Field", QStringLiteral("Field"), 5, 5);
  TExtEdit* field = PlaceValue(&page, "FieldV", 60, 2, 80);

  ShowField(caption, field, QStringLiteral("1000 MHz"), true);
  EXPECT_TRUE(field->isEnabled());
  ShowField(caption, field, QStringLiteral("unused"), false);
  EXPECT_FALSE(field->isEnabled());
  EXPECT_FALSE(caption->isEnabled());
  EXPECT_EQ(field->text(), QStringLiteral("1000 MHz"));
  EXPECT_NE(field->palette().color(QPalette::Disabled, QPalette::Text), Navy());
  EXPECT_EQ(field->palette().color(QPalette::Active, QPalette::Text), Navy());
}

TEST(ExtEditTest, BufferedPaintingDrawsTheSamePixels) {
  QWidget page;
  TExtEdit* field = PlaceValue(&page, "FieldV", 0, 0, 120, QStringLiteral("Intel"));
  page.resize(130, 30);
  const QImage direct = field->grab().toImage();
  field->SetBuffered(true);
  ASSERT_TRUE(field->Buffered());
  const QImage buffered = field->grab().toImage();
  ASSERT_FALSE(direct.isNull());
  EXPECT_TRUE(direct == buffered);
  field->setEnabled(false);
  EXPECT_TRUE(field->grab().toImage() != direct) << "a disabled field is drawn greyed";
}

// The read-only value field every page shows its values in.
#include "ui/ExtEdit.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The edit control leaves this much room at either side of its text.
constexpr int kSideMargin = 2;
// Below this the text would no longer be legible; a text still too wide scrolls, as before.
constexpr int kSmallestPixels = 7;

}  // namespace

TExtEdit::TExtEdit(QWidget* owner) : QLineEdit(owner) {
  setAlignment(Qt::AlignCenter);
  setReadOnly(true);
  setFocusPolicy(Qt::NoFocus);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  // The edit control's text cursor would replace the pointer; keep the owner's instead.
  unsetCursor();
  ownFont_ = font();
  connect(this, &QLineEdit::textChanged, this, &TExtEdit::FitText);
}

TExtEdit::~TExtEdit() = default;

void TExtEdit::SetBuffered(bool on) {
  if (buffered_ == on) return;
  buffered_ = on;
  update();
}

void TExtEdit::focusInEvent(QFocusEvent* event) {
  // The field never holds the focus: no caret, no selection, no typing. Handing the focus
  // straight back also keeps it from being the window's focus widget.
  event->accept();
  clearFocus();
}

void TExtEdit::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

void TExtEdit::mousePressEvent(QMouseEvent* event) {
  event->ignore();
}
void TExtEdit::mouseMoveEvent(QMouseEvent* event) {
  event->ignore();
}
void TExtEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  event->ignore();
}

void TExtEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  FitText();
}

void TExtEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() != QEvent::FontChange || fitting_) return;
  ownFont_ = font();
  FitText();
}

void TExtEdit::FitText() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()
                             ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                             .marginsRemoved(textMargins());
  const int room = contents.width() - 2 * kSideMargin;
  QFont fitted = ownFont_;
  // The edit control centres a text that, with a pixel for its caret and the overhang of its
  // glyphs, fits its room; it scrolls a longer one, cutting off its start.
  auto fits = [&](const QFont& candidate) {
    const QFontMetrics metrics(candidate);
    return std::max(0, -metrics.minLeftBearing()) + metrics.horizontalAdvance(text()) + 1 +
               std::max(0, -metrics.minRightBearing()) <=
           room;
  };
  const int own = ownFont_.pixelSize();
  for (int pixels = own - 1; own > 0 && pixels >= kSmallestPixels && !fits(fitted); --pixels)
    fitted.setPixelSize(pixels);
  if (fitted == font()) return;
  fitting_ = true;
  setFont(fitted);
  fitting_ = false;
}

void TExtEdit::paintEvent(QPaintEvent* event) {
  if (!buffered_) {
    QLineEdit::paintEvent(event);
    return;
  }
  // Draw the whole field, background first, into a bitmap and copy it to the screen in one
  // go. A widget cannot render itself from inside its own paint, so a hidden twin with the
  // same text, look and state does the drawing.
  if (!twin_) twin_ = std::make_unique<QLineEdit>();
  twin_->setFrame(hasFrame());
  twin_->setReadOnly(true);
  twin_->setAlignment(alignment());
  twin_->setFont(font());
  twin_->setPalette(palette());
  twin_->setEnabled(isEnabled());
  twin_->setText(text());
  twin_->resize(size());
  const qreal ratio = devicePixelRatioF();
  QPixmap buffer(size() * ratio);
  buffer.setDevicePixelRatio(ratio);
  buffer.fill(palette().color(backgroundRole()));
  twin_->render(&buffer);
  QPainter painter(this);
  painter.drawPixmap(0, 0, buffer);
}

// The read-only value field every page shows its values in.
#include "ui/ExtEdit.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

TExtEdit::TExtEdit(QWidget* owner) : QLineEdit(owner) {
  setAlignment(Qt::AlignCenter);
  setReadOnly(true);
  setFocusPolicy(Qt::NoFocus);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  // The edit control's text cursor would replace the pointer; keep the owner's instead.
  unsetCursor();
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

// The read-only value field every page shows its values in: a single-line edit box with
// centred text that never takes the focus, never shows a caret or a context menu, and leaves
// the mouse pointer as it was. A disabled field keeps its text and is drawn greyed. A text
// wider than the field is drawn in a smaller size of the field's font, so it stays whole.
#pragma once

#include <QLineEdit>
#include <memory>

class TExtEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TExtEdit(QWidget* owner = nullptr);
  ~TExtEdit() override;

  // Paints through an off-screen buffer (for fields whose text changes often). Off unless
  // the owner turns it on.
  void SetBuffered(bool on);
  bool Buffered() const { return buffered_; }

  // The font its owner gave it, which a text that fits is drawn in.
  const QFont& OwnFont() const { return ownFont_; }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // The mouse neither places a caret nor selects text.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Takes the largest size of the own font, down to a floor, in which the text fits.
  void FitText();

  bool buffered_ = false;
  QFont ownFont_;
  bool fitting_ = false;  // the font changes because FitText changes it
  // Never shown: draws this field's look into the off-screen buffer.
  std::unique_ptr<QLineEdit> twin_;
};

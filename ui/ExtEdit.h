// The read-only value field every page shows its values in: a single-line edit box with
// centred text that never takes the focus, never shows a caret or a context menu, and leaves
// the mouse pointer as it was. A disabled field keeps its text and is drawn greyed.
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

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // The mouse neither places a caret nor selects text.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool buffered_ = false;
  // Never shown: draws this field's look into the off-screen buffer.
  std::unique_ptr<QLineEdit> twin_;
};

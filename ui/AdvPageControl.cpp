// The window's tab control: stacked pages and the coloured tabs along the bottom edge.
#include "ui/AdvPageControl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "ui/Controls.h"

namespace {

constexpr int kBorder = 4;       // between the control's edge and a page
constexpr int kTabPadding = 16;  // around a tab's caption, both sides together
constexpr int kTabFontPixels = 11;

QFont TabFont(bool active) {
  return TahomaFont(kTabFontPixels, !active);
}

}  // namespace

TAdvTabSheet::TAdvTabSheet(QWidget* owner, const QString& caption)
    : QWidget(owner), caption_(caption), tabTextColour_(Blue()) {
  FillWithButtonFace(this);
}

void TAdvTabSheet::SetTabTextColour(const QColor& colour) {
  tabTextColour_ = colour;
  if (parentWidget() != nullptr) parentWidget()->update();
}

TAdvPageControl::TAdvPageControl(QWidget* owner) : QWidget(owner) {
  setFont(TabFont(false));
}

TAdvTabSheet* TAdvPageControl::AddPage(const char* name, const QString& caption) {
  auto* page = new TAdvTabSheet(this, caption);
  page->setObjectName(QString::fromLatin1(name));
  pages_.push_back(page);
  LayOut();
  if (active_ < 0) {
    SetActivePageIndex(0);
  } else {
    page->hide();
  }
  return page;
}

TAdvTabSheet* TAdvPageControl::Page(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[static_cast<std::size_t>(index)];
}

void TAdvPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) index = -1;
  if (index == active_) return;
  active_ = index;
  for (int i = 0; i < PageCount(); ++i)
    pages_[static_cast<std::size_t>(i)]->setVisible(i == index);
  update();
  emit ActivePageChanged(active_);
}

QRect TAdvPageControl::TabRect(int index) const {
  if (index < 0 || index >= PageCount()) return {};
  return tabs_[static_cast<std::size_t>(index)];
}

int TAdvPageControl::TabWidth(int index) const {
  const QString& caption = pages_[static_cast<std::size_t>(index)]->Caption();
  const int bold = QFontMetrics(TabFont(false)).horizontalAdvance(caption);
  const int regular = QFontMetrics(TabFont(true)).horizontalAdvance(caption);
  return std::max(bold, regular) + kTabPadding;
}

int TAdvPageControl::TabRowHeight() const {
  return QFontMetrics(TabFont(false)).height() + 8;
}

void TAdvPageControl::LayOut() {
  // Tabs run left to right and wrap into further rows; the first row touches the pages.
  const int rowHeight = TabRowHeight();
  const int usable = std::max(1, width() - 2 * kBorder);
  // First each tab's place with the rows counted from the top, then moved down to the bottom
  // edge once the number of rows is known.
  tabs_.resize(pages_.size());
  int row = 0;
  int left = 0;
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    const int w = TabWidth(static_cast<int>(i));
    if (left > 0 && left + w > usable) {
      ++row;
      left = 0;
    }
    tabs_[i] = QRect(kBorder + left, row * rowHeight, w, rowHeight);
    left += w;
  }
  const int rows = pages_.empty() ? 0 : row + 1;
  const int tabsTop = height() - rows * rowHeight;
  sheetArea_ = QRect(0, 0, width(), std::max(0, tabsTop));
  for (QRect& tab : tabs_)
    tab.translate(0, tabsTop);
  const QRect inside = sheetArea_.adjusted(kBorder, kBorder, -kBorder, -kBorder);
  for (TAdvTabSheet* page : pages_)
    page->setGeometry(inside);
  update();
}

void TAdvPageControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void TAdvPageControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    for (int i = 0; i < PageCount(); ++i) {
      if (TabRect(i).contains(event->position().toPoint())) {
        SetActivePageIndex(i);
        event->accept();
        return;
      }
    }
  }
  QWidget::mousePressEvent(event);
}

void TAdvPageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face = palette().color(QPalette::Button);
  painter.fillRect(rect(), face);
  painter.setPen(Silver());
  painter.drawRect(sheetArea_.adjusted(0, 0, -1, -1));
  for (int i = 0; i < PageCount(); ++i) {
    const QRect tab = tabs_[static_cast<std::size_t>(i)];
    const bool active = i == active_;
    painter.fillRect(tab, face);
    painter.setPen(Silver());
    painter.drawLine(tab.topLeft(), tab.bottomLeft());
    painter.drawLine(tab.bottomLeft(), tab.bottomRight());
    painter.drawLine(tab.topRight(), tab.bottomRight());
    if (active) {
      // The active tab opens into its page: no line between them.
      painter.setPen(face);
      painter.drawLine(tab.topLeft() + QPoint(1, -1), tab.topRight() + QPoint(-1, -1));
    }
    painter.setFont(TabFont(active));
    painter.setPen(active ? palette().color(QPalette::WindowText)
                          : pages_[static_cast<std::size_t>(i)]->TabTextColour());
    painter.drawText(tab, Qt::AlignCenter, pages_[static_cast<std::size_t>(i)]->Caption());
  }
}

// The tabbed page container of the window: pages stacked one over the other, one visible at a
// time, chosen by coloured tabs drawn along the bottom edge (in as many rows as they need).
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

// One page. Its tab shows Caption in TabTextColour while the page is not the active one.
class TAdvTabSheet : public QWidget {
  Q_OBJECT

 public:
  TAdvTabSheet(QWidget* owner, const QString& caption);

  const QString& Caption() const { return caption_; }
  QColor TabTextColour() const { return tabTextColour_; }
  void SetTabTextColour(const QColor& colour);

 private:
  QString caption_;
  QColor tabTextColour_;
};

class TAdvPageControl : public QWidget {
  Q_OBJECT

 public:
  explicit TAdvPageControl(QWidget* owner);

  // Appends a page named `name` with this tab caption. The first page becomes the active one.
  TAdvTabSheet* AddPage(const char* name, const QString& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TAdvTabSheet* Page(int index) const;

  // -1 when no page is active. Setting an index outside the pages leaves none active.
  int ActivePageIndex() const { return active_; }
  void SetActivePageIndex(int index);

  // Where the tab of page `index` is drawn; empty for an index outside the pages.
  QRect TabRect(int index) const;

 signals:
  void ActivePageChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOut();
  int TabWidth(int index) const;
  int TabRowHeight() const;

  std::vector<TAdvTabSheet*> pages_;
  std::vector<QRect> tabs_;  // one per page
  QRect sheetArea_;          // the border around the pages
  int active_ = -1;
};

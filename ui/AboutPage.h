// The About page: the program's version line, its picture and credits, the link to the
// forum, and the Tools group with the buttons that save the CPUID dump of the shown processor
// and the full dump of every processor.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QPushButton;

class TAboutPage : public QWidget {
  Q_OBJECT

 public:
  explicit TAboutPage(QWidget* parent);

  void SetSignature(const QString& text);
  // The address the forum link opens.
  static QUrl ForumAddress();

 signals:
  void ForumClicked();
  void SaveFlagsClicked();
  void SaveFullDumpClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPicture(QLabel* picture);

  QLabel* signature_ = nullptr;
  QLabel* forum_ = nullptr;
};

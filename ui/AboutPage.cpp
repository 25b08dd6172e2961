#include "ui/AboutPage.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <string>

#include "images/AboutPicture.h"
#include "images/Jpeg.h"
#include "ui/Controls.h"

namespace {

constexpr int kLineWidth = 283;
constexpr int kThanksWidth = 153;

struct tLine {
  const char* Name;
  const char* Text;
  int Top;
};

constexpr tLine kCredits[] = {
    {"Credit1", "Lumarian team, team@quorvane.example - engine", 178},
    {"Credit2", "Quorvane Labs, labs@quorvane.example - processor tables", 194},
    {"Credit3", "Quorvane Design, design@quorvane.example - window", 210},
    {"Credit4", "Quorvane QA, qa@quorvane.example - testing", 226},
};

constexpr tLine kThanks[] = {
    {"ThLb2", "Everyone who sent a dump", 290},
    {"ThLb3", "Every tester on the forum", 313},
};

// A button of the Tools group, on its first row, `left` pixels from its edge.
QPushButton* PlaceToolButton(QWidget* tools, const char* name, const QString& caption, int left) {
  auto* button = new QPushButton(caption, tools);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(TahomaFont());
  SetEnabledColour(button, QPalette::ButtonText, Blue());
  button->setGeometry(left, 24, 145, 25);
  return button;
}

}  // namespace

TAboutPage::TAboutPage(QWidget* parent) : QWidget(parent) {
  QGroupBox* about = PlaceGroup(this, "AboutGB", QStringLiteral("About Program"), 4, 3, 425, 334);
  signature_ = PlaceLabel(about, "PrSignature", QStringLiteral("Quorvane CPU Lumarian version"), 68,
                          22, kLineWidth, Qt::AlignHCenter);
  PlaceLabel(about, "Notice", QStringLiteral("Identifies the x86 processors of this machine"), 68,
             40, kLineWidth, Qt::AlignHCenter);

  auto* picture = new QLabel(about);
  picture->setObjectName(QStringLiteral("AboutPicture"));
  picture->setGeometry(38, 69, 350, 100);
  ShowPicture(picture);

  for (const tLine& line : kCredits) {
    PlaceLabel(about, line.Name, QString::fromLatin1(line.Text), 44, line.Top);
  }
  QLabel* thanks =
      PlaceLabel(about, "ThanksTo", QStringLiteral("Thanks To:"), 35, 243, 349, Qt::AlignHCenter);
  thanks->setFont(TahomaFont(11, true));

  forum_ = PlaceLabel(about, "ThLb1", QStringLiteral("forum.quorvane.example"), 135, 265,
                      kThanksWidth, Qt::AlignHCenter);
  SetEnabledColour(forum_, QPalette::WindowText, Navy());
  forum_->setCursor(Qt::PointingHandCursor);
  forum_->installEventFilter(this);
  for (const tLine& line : kThanks) {
    PlaceLabel(about, line.Name, QString::fromLatin1(line.Text), 135, line.Top, kThanksWidth,
               Qt::AlignHCenter)
        ->setCursor(Qt::ArrowCursor);
  }

  QGroupBox* tools = PlaceGroup(this, "ToolsGB", QStringLiteral("Tools"), 4, 341, 425, 123);
  connect(PlaceToolButton(tools, "SaveFlagsBT", QStringLiteral("Save CPUid Flags"), 16),
          &QPushButton::clicked, this, &TAboutPage::SaveFlagsClicked);
  connect(PlaceToolButton(tools, "SaveFullDumpBT", QStringLiteral("Save Full CPUid Dump"), 171),
          &QPushButton::clicked, this, &TAboutPage::SaveFullDumpClicked);
}

void TAboutPage::SetSignature(const QString& text) {
  signature_->setText(text);
}

QUrl TAboutPage::ForumAddress() {
  return QUrl(QStringLiteral("https://forum.quorvane.example/"));
}

void TAboutPage::ShowPicture(QLabel* picture) {
  tImage image;
  std::string error;
  if (!DecodeJpeg(AboutPictureJpeg(), image, error)) return;  // the area stays empty
  picture->setPixmap(PixmapOf(image));
  picture->resize(image.Width, image.Height);
}

bool TAboutPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == forum_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit ForumClicked();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

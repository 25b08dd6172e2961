#include "ui/ViewButtons.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>

#include "ui/Controls.h"

namespace {

constexpr int kBarTop = 426;
constexpr int kBarHeight = 25;
constexpr int kBarPitch = 31;  // from a bar to the one above it
constexpr int kButtonTop = 428;
constexpr int kButtonHeight = 22;

}  // namespace

QColor ButtonTextColour() {
  return QGuiApplication::palette().color(QPalette::Active, QPalette::ButtonText);
}

QColor SkyBlue() {
  return QColor(166, 202, 240);
}

void SetCaptionColour(QPushButton* button, const QColor& colour) {
  SetEnabledColour(button, QPalette::ButtonText, colour);
}

void MarkChosenButton(std::span<QPushButton* const> buttons, std::size_t chosen) {
  for (std::size_t k = 0; k < buttons.size(); ++k)
    SetCaptionColour(buttons[k], k == chosen ? ButtonTextColour() : SkyBlue());
}

int ViewBarControlTop(int rowsAbove) {
  return kButtonTop - kBarPitch * rowsAbove;
}

void PlaceViewBar(QWidget* page, const char* name, int left, int width, int rowsAbove) {
  auto* bar = new QFrame(page);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setFrameShape(QFrame::Box);
  bar->setFrameShadow(QFrame::Sunken);
  bar->setGeometry(left, kBarTop - kBarPitch * rowsAbove, width, kBarHeight);
}

QPushButton* PlaceViewButton(QWidget* page, const char* name, const QString& caption, int left,
                             int width) {
  return PlaceButton(page, name, caption, left, kButtonTop, width, kButtonHeight);
}

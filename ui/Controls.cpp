#include "ui/Controls.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <string>

#include "data/Icon/ProgramIcon.h"
#include "engine/store/Windows1252.h"
#include "images/Png.h"
#include "ui/ExtEdit.h"

namespace {

void PlaceAt(QWidget* widget, int left, int top, int width, int height) {
  const QSize natural = widget->sizeHint();
  widget->setGeometry(left, top, width < 0 ? natural.width() : width,
                      height < 0 ? natural.height() : height);
}

constexpr int kCaptionGap = 4;
constexpr int kCaptionDrop = 4;  // captions sit this much lower than their fields

}  // namespace

QFont TahomaFont(int pixelHeight, bool bold) {
  // Where Tahoma is missing, narrow sans fonts keep the captions inside the places laid out
  // for Tahoma's widths.
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                    QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

QColor Navy() {
  return QColor(0, 0, 128);
}
QColor Blue() {
  return QColor(0, 0, 255);
}
QColor Silver() {
  return QColor(192, 192, 192);
}

void SetEnabledColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Active, role, colour);
  palette.setColor(QPalette::Inactive, role, colour);
  widget->setPalette(palette);
}

void FillWithButtonFace(QWidget* widget) {
  QPalette colours = widget->palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  widget->setPalette(colours);
  widget->setAutoFillBackground(true);
}

QString FromText(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  // A control shows its text up to the first NUL, like any C string.
  text = text.substr(0, text.find('\0'));
  for (const char byte : text) {
    const char32_t cp = CodePointOf1252(static_cast<unsigned char>(byte));
    out.append(QChar(static_cast<char16_t>(cp)));  // every Windows-1252 character is in the BMP
  }
  return out;
}

QPixmap PixmapOf(const tImage& image) {
  const QImage shown(image.Rgba.data(), image.Width, image.Height, image.Width * 4,
                     QImage::Format_RGBA8888);
  return QPixmap::fromImage(shown);  // copies the pixels
}

QIcon ProgramIcon() {
  tImage image;
  std::string error;
  if (!DecodePng(ProgramIconPng(), image, error)) return {};
  return QIcon(PixmapOf(image));
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                   int width, Qt::Alignment align) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(TahomaFont());
  label->setAlignment(align | Qt::AlignVCenter);
  SetEnabledColour(label, QPalette::WindowText, Qt::black);
  PlaceAt(label, left, top, width, -1);
  return label;
}

QLabel* PlaceFieldCaption(QWidget* parent, const char* name, const QString& caption, int left,
                          int fieldLeft, int fieldTop) {
  return PlaceLabel(parent, name, caption, left, fieldTop + kCaptionDrop,
                    fieldLeft - kCaptionGap - left, Qt::AlignRight);
}

TExtEdit* PlaceValue(QWidget* parent, const char* name, int left, int top, int width,
                     const QString& text) {
  auto* value = new TExtEdit(parent);
  value->setObjectName(QString::fromLatin1(name));
  value->setFont(TahomaFont());
  QPalette palette = value->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  value->setPalette(palette);
  SetEnabledColour(value, QPalette::Text, Navy());
  value->setText(text);
  PlaceAt(value, left, top, width, 21);
  return value;
}

QGroupBox* PlaceGroup(QWidget* parent, const char* name, const QString& caption, int left, int top,
                      int width, int height) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(QString::fromLatin1(name));
  group->setFont(TahomaFont(11, true));
  SetEnabledColour(group, QPalette::WindowText, Blue());
  PlaceAt(group, left, top, width, height);
  return group;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& caption, int left,
                         int top, int width, int height) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(TahomaFont(11, true));
  button->setFlat(true);
  button->setFocusPolicy(Qt::NoFocus);
  SetEnabledColour(button, QPalette::ButtonText, Blue());
  PlaceAt(button, left, top, width, height);
  return button;
}

void ShowField(QLabel* caption, TExtEdit* value, const QString& text, bool enabled) {
  if (enabled) value->setText(text);
  value->setEnabled(enabled);
  if (caption != nullptr) caption->setEnabled(enabled);
}

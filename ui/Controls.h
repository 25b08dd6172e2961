// The look every page shares, and the placing of controls at their pixel positions: Tahoma
// (or a sans font of the same pixel height), navy values on button face, bold blue group
// captions, black field captions.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <Qt>
#include <string_view>

#include "images/Image.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;
class TExtEdit;

// Tahoma of `pixelHeight` pixels (11 is 8 point at 96 pixels per inch).
QFont TahomaFont(int pixelHeight = 11, bool bold = false);

QColor Navy();
QColor Blue();
QColor Silver();

// Sets the colour of `role` for the active and inactive states only, so that a disabled
// control keeps the style's greyed colour.
void SetEnabledColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// Fills the background of `widget` with the button face, the colour of the window and its pages.
void FillWithButtonFace(QWidget* widget);

// A Windows-1252 text of the engine as the window shows it: up to its first NUL.
QString FromText(std::string_view text);

// A decoded picture as the window shows it.
QPixmap PixmapOf(const tImage& image);
// The program's icon; empty if its picture does not decode.
QIcon ProgramIcon();

// Each control is created as a child of `parent`, named `name` (the name tests find it by),
// at left/top with the size given; a width or height of -1 sizes it to its content.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                   int width = -1, Qt::Alignment align = Qt::AlignLeft);
// The right-aligned caption of the field at fieldLeft/fieldTop: from `left` to 4 pixels before
// the field, 4 pixels lower than the field's top.
QLabel* PlaceFieldCaption(QWidget* parent, const char* name, const QString& caption, int left,
                          int fieldLeft, int fieldTop);
TExtEdit* PlaceValue(QWidget* parent, const char* name, int left, int top, int width,
                     const QString& text = {});
QGroupBox* PlaceGroup(QWidget* parent, const char* name, const QString& caption, int left, int top,
                      int width, int height);
// A flat view button with a blue caption.
QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& caption, int left,
                         int top, int width, int height);

// Shows a field with its caption label, or greys both and keeps the field's text.
void ShowField(QLabel* caption, TExtEdit* value, const QString& text, bool enabled);

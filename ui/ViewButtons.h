// The view buttons of the Feature Flags and Cache pages: flat buttons in a sunken bar along
// the page's bottom edge. The chosen view's button shows its caption in the system's button
// text colour, the others in sky blue.
#pragma once

#include <QColor>
#include <QString>
#include <cstddef>
#include <span>

class QPushButton;
class QWidget;

QColor ButtonTextColour();
QColor SkyBlue();
// Sets the caption colour a view button shows while enabled; disabled, it stays greyed.
void SetCaptionColour(QPushButton* button, const QColor& colour);
// Gives the chosen view button the system's button-text colour and the others sky blue.
void MarkChosenButton(std::span<QPushButton* const> buttons, std::size_t chosen);

// The sunken bar `name` of `page`, from `left` and `width` pixels wide, along the page's bottom
// edge or `rowsAbove` bar heights above it.
void PlaceViewBar(QWidget* page, const char* name, int left, int width, int rowsAbove = 0);
// The top of the controls on a bar `rowsAbove` bar heights above the bottom one.
int ViewBarControlTop(int rowsAbove);
// A view button of `page`, on the bar's row.
QPushButton* PlaceViewButton(QWidget* page, const char* name, const QString& caption, int left,
                             int width);

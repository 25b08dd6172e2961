// Where the program finds the data it ships with: beside it in the build tree, under share/
// once installed, relative to the program file either way so that any prefix works.
#pragma once

#include <QString>

// The folder of the logo pictures, with a trailing slash: "Logo" beside the program where
// there is one, else the installed data folder's "Logo".
QString LogoFolder(const QString& programFolder);

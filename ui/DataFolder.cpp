#include "ui/DataFolder.h"

#include <QDir>
#include <QFileInfo>

QString LogoFolder(const QString& programFolder) {
  const QString beside = programFolder + QStringLiteral("/Logo/");
  if (QFileInfo(beside).isDir()) return beside;
  // LUMARIAN_DATA_FROM_PROGRAM: the installed data folder, relative to the program's folder.
  return QDir::cleanPath(programFolder + QStringLiteral("/" LUMARIAN_DATA_FROM_PROGRAM "/Logo")) +
         QLatin1Char('/');
}

#include "ui/Exports.h"

#include <QFile>
#include <array>
#include <cstring>
#include <span>
#include <string>

#include "engine/listings/CpuidDump.h"
#include "engine/listings/FullDump.h"
#include "images/FileBytes.h"
#include "images/Png.h"

namespace {

constexpr std::array<const char*, 6> kSnapshotNames{"ZEPHProc",  "ZEPHFlags",    "ZEPHCache",
                                                    "ZEPHManag", "ZEPHTopology", "ZEPHAbout"};

QString CannotWrite(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason);
}

// Writes `text` as the file at `path`, whole or not at all.
std::optional<QString> WriteText(const QString& path, const std::string& text) {
  std::string error;
  if (!WriteFileBytes(QFile::encodeName(path).toStdString(),
                      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                      error)) {
    return CannotWrite(path, QString::fromStdString(error));
  }
  return std::nullopt;
}

}  // namespace

std::optional<QString> WriteCpuidDump(const QString& path, const tCPUdata& data) {
  return WriteText(path, FormatCpuidDump(data));
}

std::optional<QString> WriteFullDump(const QString& path, std::span<const tCpuidStore> processors) {
  return WriteText(path, FormatFullDump(processors));
}

QString SnapshotName(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= static_cast<int>(kSnapshotNames.size())) return {};
  return QString::fromLatin1(kSnapshotNames[static_cast<std::size_t>(pageIndex)]);
}

tImage ImageOf(const QImage& picture) {
  const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  tImage image;
  image.Width = rgba.width();
  image.Height = rgba.height();
  const std::size_t rowBytes = static_cast<std::size_t>(image.Width) * 4;
  image.Rgba.resize(rowBytes * static_cast<std::size_t>(image.Height));
  for (int y = 0; y < image.Height; ++y) {
    std::memcpy(image.Rgba.data() + rowBytes * static_cast<std::size_t>(y), rgba.constScanLine(y),
                rowBytes);
  }
  return image;
}

std::optional<QString> SaveSnapshot(const QString& path, const QImage& picture) {
  if (picture.isNull()) return CannotWrite(path, QStringLiteral("there is no picture to save"));
  std::string error;
  if (!SavePng(QFile::encodeName(path).toStdString(), ImageOf(picture), error)) {
    return CannotWrite(path, QString::fromStdString(error));
  }
  return std::nullopt;
}

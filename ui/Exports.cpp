#include "ui/Exports.h"

#include <QFile>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/CpuidDump.h"
#include "ui/images/Png.h"

namespace {

constexpr std::array<const char*, 5> kSnapshotNames{"ZEPHProc", "ZEPHFlags", "ZEPHCache",
                                                    "ZEPHManag", "ZEPHAbout"};

QString CannotWrite(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason);
}

}  // namespace

std::optional<QString> WriteCpuidDump(const QString& path, const tCPUdata& data) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    return CannotWrite(path, file.errorString());
  }
  const std::string text = FormatCpuidDump(data);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end == std::string_view::npos ? end : end + 1);
    if (file.write(line.data(), static_cast<qint64>(line.size())) !=
        static_cast<qint64>(line.size())) {
      return CannotWrite(path, file.errorString());
    }
    rest.remove_prefix(line.size());
  }
  return std::nullopt;
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

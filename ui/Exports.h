// The window's exports: the CPUID dump of one processor and the full dump of every processor
// as text files, and the snapshot of the window as a PNG file.
#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <span>

#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"
#include "images/Image.h"

// Writes the dump of `data` as the file at `path`, whole or not at all (see WriteFileBytes).
// Nothing on success; otherwise the error to show.
std::optional<QString> WriteCpuidDump(const QString& path, const tCPUdata& data);

// Writes the full dump of `processors` (every captured answer) as the file at `path`, whole or
// not at all. Nothing on success; otherwise the error to show.
std::optional<QString> WriteFullDump(const QString& path, std::span<const tCpuidStore> processors);

// The default snapshot name of the page at `pageIndex` ("ZEPHProc" for page 0 ...); empty for
// an index outside the five pages.
QString SnapshotName(int pageIndex);

// The pixels of `picture` as 8-bit RGBA rows.
tImage ImageOf(const QImage& picture);

// Writes `picture` as a PNG file, whole or not at all (see WriteFileBytes). Nothing on success;
// otherwise the error to show.
std::optional<QString> SaveSnapshot(const QString& path, const QImage& picture);

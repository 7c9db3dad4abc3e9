#pragma once
// Loading the picture file for the preview.

#include <QImage>
#include <QString>
#include <optional>

namespace zolvu {

// The decoded picture at full size, 32 bits per pixel; nullopt when no file
// is at the path (nothing there, or a folder) or it does not decode. A file
// that exists but cannot be opened raises EFOpenError with
// "Cannot open file "%s". %s".
std::optional<QImage> LoadBitmapFromFile(const QString& path);

}  // namespace zolvu

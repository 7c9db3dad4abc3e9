#pragma once
// Loading the picture file for the preview.

#include <QImage>
#include <QString>
#include <optional>

namespace zolvu {

// Pictures above this many pixels are refused from their header, before any
// pixel is decoded: a full decode of one costs more memory than a desktop
// can spare, and a forged header can claim any size.
inline constexpr qint64 PreviewMaxPixels = 250'000'000;

// The decoded picture at full size, 32 bits per pixel, turned upright by its
// EXIF orientation (as the detector sees it). nullopt, silently, when no
// file is at the path (nothing there, or a folder), when it is not a
// regular file (a FIFO or a device, never read, so never blocking), or when
// it does not decode or is larger than PreviewMaxPixels. A file that exists
// but cannot be opened raises EFOpenError with "Cannot open file "%s". %s":
// the path made absolute and the system's text for the error. The path goes
// to the system through SystemBytes; a relative one is resolved against the
// current folder.
std::optional<QImage> LoadBitmapFromFile(const QString& path);

}  // namespace zolvu

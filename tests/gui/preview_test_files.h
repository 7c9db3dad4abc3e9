#pragma once
// Picture files for the preview tests, made in the test: real JPEGs from
// Qt's own encoder, with an EXIF orientation or a forged size patched in.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zolvu::test {

// Left half red, right half blue: shows both the size and which way is up.
QImage TwoColour(int width, int height);

QByteArray Encode(const QImage& picture, const char* format, bool progressive = false);

// The JPEG with an EXIF block holding only the orientation tag (1..8).
QByteArray WithExifOrientation(const QByteArray& jpeg, quint16 orientation);

// The JPEG whose frame header claims width x height; the data stay as they are.
QByteArray WithClaimedSize(const QByteArray& jpeg, quint16 width, quint16 height);

// Writes the bytes to the file named by the system's bytes of path.
void WriteFile(const QString& path, const QByteArray& bytes);

// The process's peak resident memory in KiB (VmHWM), and its reset to now.
long PeakResidentKiB();
bool ResetPeakResident();

}  // namespace zolvu::test

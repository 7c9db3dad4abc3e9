#include "preview_test_files.h"

#include "platform/path_text.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <fstream>
#include <stdexcept>
#include <string>

namespace zolvu::test {

QImage TwoColour(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, width / 2, height, Qt::red);
    return picture;
}

QByteArray Encode(const QImage& picture, const char* format, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(picture)) throw std::runtime_error(writer.errorString().toStdString());
    return bytes;
}

QByteArray WithExifOrientation(const QByteArray& jpeg, quint16 orientation) {
    // APP1 "Exif": a big-endian TIFF header and one IFD with tag 0x0112
    // (SHORT, count 1) and no next IFD.
    QByteArray exif = QByteArrayLiteral(
        "\xFF\xE1\x00\x22"
        "Exif\x00\x00"
        "MM\x00\x2A\x00\x00\x00\x08"
        "\x00\x01"
        "\x01\x12\x00\x03\x00\x00\x00\x01");
    exif += char(orientation >> 8);
    exif += char(orientation & 0xFF);
    exif += QByteArray(2, '\0');  // the rest of the value field
    exif += QByteArray(4, '\0');  // no next IFD
    return jpeg.left(2) + exif + jpeg.mid(2);
}

QByteArray WithClaimedSize(const QByteArray& jpeg, quint16 width, quint16 height) {
    QByteArray patched = jpeg;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(patched[i]); };
    for (qsizetype i = 2; i + 9 < patched.size();) {
        if (byte(i) != 0xFF) break;
        const unsigned char marker = byte(i + 1);
        if (marker >= 0xC0 && marker <= 0xC2) {  // baseline, extended or progressive frame
            patched[i + 5] = char(height >> 8);
            patched[i + 6] = char(height & 0xFF);
            patched[i + 7] = char(width >> 8);
            patched[i + 8] = char(width & 0xFF);
            return patched;
        }
        i += 2 + (byte(i + 2) << 8 | byte(i + 3));
    }
    throw std::runtime_error("no frame header");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    std::ofstream out(SystemBytes(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
    if (!out) throw std::runtime_error("cannot write " + SystemBytes(path));
}

long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

}  // namespace zolvu::test

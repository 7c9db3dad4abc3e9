#include "app/preview_load.h"

#include "platform/error_text.h"
#include "platform/exceptions.h"
#include "platform/path_text.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zolvu {

namespace {

// Qt's reader refuses any image over 128 MB by default, which is every photo
// over 32 megapixels; the preview allows what the pixel ceiling allows.
constexpr int AllocationLimitMegabytes = int((PreviewMaxPixels * 4 + (1 << 20) - 1) >> 20);

// The path made absolute against the current folder, with "." and ".."
// resolved as text; links are not followed.
QString ExpandFileName(const QString& path) {
    if (path.startsWith(PathDelim)) return QDir::cleanPath(path);
    const std::unique_ptr<char, decltype(&std::free)> folder(getcwd(nullptr, 0), &std::free);
    const QString base = folder ? TextFromSystem(folder.get()) : QString();
    return QDir::cleanPath(IncludeTrailingPathDelimiter(base) + path);
}

[[noreturn]] void RaiseOpenError(const QString& path, int error) {
    Raise(EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                          .arg(ExpandFileName(path), StripSystemText(QString::fromLocal8Bit(std::strerror(error))))));
}

}  // namespace

std::optional<QImage> LoadBitmapFromFile(const QString& path) {
    const std::string bytes = SystemBytes(path);
    struct stat st {};
    if (stat(bytes.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    } else if (S_ISDIR(st.st_mode)) {
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO or a device opens at once; only a regular
    // file is ever read.
    const int fd = open(bytes.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) RaiseOpenError(path, errno);
    QFile file;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        close(fd);
        return std::nullopt;
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(AllocationLimitMegabytes);
    if (const QSize size = reader.size(); qint64(size.width()) * size.height() > PreviewMaxPixels) return std::nullopt;
    QImage picture = reader.read();
    if (picture.isNull()) return std::nullopt;
    // A colour JPEG decodes to opaque 32-bit pixels already; converting those
    // would walk every pixel once more for nothing.
    if (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture;
    return std::move(picture).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace zolvu

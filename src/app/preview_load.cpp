#include "app/preview_load.h"

#include "platform/error_text.h"
#include "platform/exceptions.h"
#include "platform/path_text.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zolvu {

std::optional<QImage> LoadBitmapFromFile(const QString& path) {
    const std::string bytes = SystemBytes(path);
    struct stat st {};
    if (stat(bytes.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    const int fd = open(bytes.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        Raise(EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::cleanPath(QDir::current().absoluteFilePath(path)),
                                   StripSystemText(QString::fromLocal8Bit(std::strerror(error))))));
    }
    QFile file;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        close(fd);
        return std::nullopt;
    }
    QImageReader reader(&file);
    QImage picture = reader.read();
    if (picture.isNull()) return std::nullopt;
    return picture.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace zolvu

#include "image_file.h"

#include "zolvulib.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zolvu {
namespace {

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

ImageFile readImageFile(const std::string& path) {
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        // open() of a socket fails with ENXIO: it is there, but no file.
        return {errno == ENXIO ? ZOLVU_NOT_REGULAR_FILE : ZOLVU_CANNOT_OPEN, {}};
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return {ZOLVU_CANNOT_OPEN, {}};
    if (!S_ISREG(info.st_mode)) return {ZOLVU_NOT_REGULAR_FILE, {}};
    if (info.st_size > kMaxImageFileBytes) return {ZOLVU_TOO_LARGE, {}};
    if (info.st_size == 0) return {ZOLVU_CANNOT_DECODE, {}};

    ImageFile image;
    image.bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < image.bytes.size()) {
        const ssize_t n = ::read(file.fd, image.bytes.data() + filled, image.bytes.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {ZOLVU_CANNOT_OPEN, {}};
        if (n == 0) break;  // shrank while we read: decode what is there
        filled += static_cast<std::size_t>(n);
    }
    image.bytes.resize(filled);
    return image;
}

}  // namespace zolvu

// zolvu-detect: the helper process of zolvulib.so. It answers one request
// at a time on descriptor 3 until the module closes the channel.
#include "analysis.h"
#include "cascade_store.h"
#include "wire.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kChannelFd = 3;

// Room for the largest accepted frame decoded progressively, with OpenCV's
// worker threads; a decoder that asks for more gets std::bad_alloc.
constexpr rlim_t kAddressSpaceLimit = 3ULL << 30;

bool readAll(int fd, char* out, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, out, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ownFolder() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string self(path, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/'));
}

void limitAddressSpace() {
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of shadow memory up front.
    const rlimit limit{kAddressSpaceLimit, kAddressSpaceLimit};
    ::setrlimit(RLIMIT_AS, &limit);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // Die with the program that started us, even if it never closes the channel.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc < 2 || std::to_string(::getppid()) != argv[1]) return EXIT_FAILURE;
    limitAddressSpace();

    zolvu::CascadeStore cascades(zolvu::trustedCascadeFolders(ownFolder()));
    for (;;) {
        char header[zolvu::kFrameHeaderBytes];
        if (!readAll(kChannelFd, header, sizeof header)) return EXIT_SUCCESS;  // channel closed
        const uint32_t length = zolvu::frameLength(header);
        if (length > zolvu::kMaxFramePayload) return EXIT_FAILURE;
        std::string payload(length, '\0');
        if (!readAll(kChannelFd, payload.data(), payload.size())) return EXIT_FAILURE;
        const auto request = zolvu::decodeRequest(payload);
        if (!request) return EXIT_FAILURE;
        if (!writeAll(kChannelFd, zolvu::frame(zolvu::encodeAnswer(zolvu::analyseFile(*request, cascades)))))
            return EXIT_FAILURE;
    }
}

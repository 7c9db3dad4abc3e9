// A stand-in for zolvu-detect that misbehaves on request, to drive the
// module's handling of crashes, hangs and garbled answers. The request's
// image name says what to do; any other name is answered with 42.
#include "wire.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

bool readAll(char* out, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(3, out, size);
        if (n <= 0) return false;
        out += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void send(const std::string& payload) {
    const std::string bytes = zolvu::frame(payload);
    if (::write(3, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::exit(EXIT_FAILURE);
}

}  // namespace

int main() {
    for (;;) {
        char header[zolvu::kFrameHeaderBytes];
        if (!readAll(header, sizeof header)) return EXIT_SUCCESS;
        std::string payload(zolvu::frameLength(header), '\0');
        if (!readAll(payload.data(), payload.size())) return EXIT_FAILURE;
        const auto request = zolvu::decodeRequest(payload);
        if (!request) return EXIT_FAILURE;
        if (request->image == "crash") std::abort();
        if (request->image == "hang") ::pause();
        if (request->image == "exit") return EXIT_SUCCESS;
        if (request->image == "short answer")
            send("abc");
        else if (request->image == "oversized answer")
            send(std::string(zolvu::kMaxFramePayload + 1, 'x'));
        else
            send(zolvu::encodeAnswer(42));
    }
}

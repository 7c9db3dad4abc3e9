#include "helper_process.h"

#include "zolvulib.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zolvu {
namespace {

using Clock = std::chrono::steady_clock;

// The helper finds its end of the channel here.
constexpr int kHelperChannelFd = 3;

enum class Io { Done, Broken, Late };

// Waits until fd is ready for `events` or the deadline passes.
Io waitReady(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return Io::Late;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n > 0) return (p.revents & events) ? Io::Done : Io::Broken;
        if (n < 0 && errno != EINTR) return Io::Broken;
    }
}

Io sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (const Io r = waitReady(fd, POLLOUT, deadline); r != Io::Done) return r;
        } else {
            return Io::Broken;
        }
    }
    return Io::Done;
}

Io receiveAll(int fd, char* out, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (const Io r = waitReady(fd, POLLIN, deadline); r != Io::Done) return r;
        const ssize_t n = ::recv(fd, out, size, MSG_DONTWAIT);
        if (n > 0) {
            out += n;
            size -= static_cast<std::size_t>(n);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            return Io::Broken;
        }
    }
    return Io::Done;
}

int32_t failure(Io io) { return io == Io::Late ? ZOLVU_TIME_LIMIT : ZOLVU_HELPER_CRASHED; }

}  // namespace

HelperProcess::HelperProcess(std::string executable, std::chrono::milliseconds timeLimit,
                             std::chrono::milliseconds startupAllowance)
    : executable_(std::move(executable)), timeLimit_(timeLimit), startupAllowance_(startupAllowance) {}

HelperProcess::~HelperProcess() { stop(); }

int32_t HelperProcess::call(const DetectRequest& request) {
    // A helper that died between calls (killed from outside, say) is not this
    // image's fault: replace it silently.
    if (pid_ > 0) forgetIfGone();
    auto deadline = Clock::now() + timeLimit_;
    if (pid_ <= 0) {
        if (!start()) return ZOLVU_HELPER_UNAVAILABLE;
        deadline += startupAllowance_;
    }

    Io io = sendAll(channel_, frame(encodeRequest(request)), deadline);
    char header[kFrameHeaderBytes];
    if (io == Io::Done) io = receiveAll(channel_, header, sizeof header, deadline);
    if (io != Io::Done) {
        stop();
        return failure(io);
    }
    std::string payload(frameLength(header), '\0');
    if (payload.size() > kMaxFramePayload) {
        stop();
        return ZOLVU_HELPER_CRASHED;
    }
    io = receiveAll(channel_, payload.data(), payload.size(), deadline);
    if (io != Io::Done) {
        stop();
        return failure(io);
    }
    const auto answer = decodeAnswer(payload);
    if (!answer) {
        stop();
        return ZOLVU_HELPER_CRASHED;
    }
    return *answer;
}

bool HelperProcess::start() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
    // Keep the helper's end clear of the descriptors it is given below, so
    // dup2 always clears its close-on-exec flag.
    const int helperEnd = ::fcntl(pair[1], F_DUPFD_CLOEXEC, 10);
    ::close(pair[1]);
    if (helperEnd < 0) {
        ::close(pair[0]);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, helperEnd, kHelperChannelFd);
    // Descriptors the host program left inheritable stay out of the helper.
    posix_spawn_file_actions_addclosefrom_np(&actions, kHelperChannelFd + 1);

    // The helper starts with default signal handling and nothing blocked,
    // whatever the host program set up for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    // The helper checks this against getppid() after arming PR_SET_PDEATHSIG,
    // which closes the race of a parent dying before the helper got there.
    std::string parent = std::to_string(::getpid());
    char* argv[] = {executable_.data(), parent.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, executable_.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(helperEnd);
    if (spawned != 0) {
        ::close(pair[0]);
        return false;
    }
    pid_ = pid;
    channel_ = pair[0];
    return true;
}

void HelperProcess::stop() {
    if (channel_ >= 0) ::close(channel_);
    channel_ = -1;
    if (pid_ > 0) {
        // The helper keeps no state worth a graceful end; killing it bounds the
        // wait even when it is stuck in a decoder.
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
    }
    pid_ = -1;
}

void HelperProcess::forgetIfGone() {
    siginfo_t info{};
    const int waited = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG);
    // Reaped here, or already reaped by the host program: either way the pid is
    // no longer ours to signal.
    if ((waited == 0 && info.si_pid == pid_) || (waited != 0 && errno == ECHILD)) {
        pid_ = -1;
        stop();
    }
}

}  // namespace zolvu

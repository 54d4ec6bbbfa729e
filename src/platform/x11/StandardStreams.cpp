#include "platform/x11/StandardStreams.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace beamlet::platform::x11 {
namespace {

// Whether a read or write that failed with this error is to be tried again. A
// descriptor handed over non-blocking says EAGAIN when it has nothing yet: wait
// for it rather than take that for the end or for a fault.
bool tryAgain(int fd, short events)
{
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    pollfd wanted{fd, events, 0};
    return ::poll(&wanted, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

qsizetype readStandardInput(char* into, qsizetype size, QString& error)
{
    for (;;) {
        const ssize_t read = ::read(STDIN_FILENO, into, size_t(size));
        if (read >= 0)
            return read;
        if (!tryAgain(STDIN_FILENO, POLLIN)) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            return -1;
        }
    }
}

bool writeStandardOutput(std::string_view bytes, QString& error)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && tryAgain(STDOUT_FILENO, POLLOUT))
            continue;
        if (written < 0) {
            error = errno == EPIPE ? QString() : QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

}  // namespace beamlet::platform::x11

#include "platform/x11/EndSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace beamlet::platform::x11 {

namespace {

constexpr int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

void onSignal(int number)
{
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::drain);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : endingSignals)
        ::sigaction(number, &action, nullptr);
}

EndSignals::~EndSignals()
{
    if (!notifier_)
        return;
    for (int number : endingSignals)
        ::signal(number, SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

bool EndSignals::pending() const
{
    pollfd pipe{pipeFds[0], POLLIN, 0};
    return notifier_ && ::poll(&pipe, 1, 0) > 0;
}

void EndSignals::drain()
{
    char bytes[16];
    bool any = false;
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit endRequested();
}

}  // namespace beamlet::platform::x11

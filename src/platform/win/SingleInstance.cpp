#include "platform/win/SingleInstance.h"

#include "platform/win/Account.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <QWinEventNotifier>

#include <qt_windows.h>

#include <cstdio>

namespace beamlet::platform::win {
namespace {

// How long a start waits for a running program that neither answers nor ends.
constexpr int giveUpMs = 30'000;
// How long a knock waits for its answer before it is tried again.
constexpr int knockWaitMs = 1'000;
// How long the running program waits for a start to read its answer and go.
constexpr int drainMs = 2'000;
constexpr int pollIntervalMs = 20;
constexpr char kAnswer = '!';

void say(const char* what)
{
    std::fprintf(stderr, "beamlet: %s\n", what);
}

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

enum class Knock {
    Answered,
    Busy,
    Nobody,
    Stranger
};

// Connects, and waits for the running program's answer. A pipe closed without
// one belongs to a program on its way out: nobody to hand over to.
Knock knock(const QString& pipeName)
{
    // Identification only: a program at the other end may learn who knocked, not act as them.
    HANDLE pipe = CreateFileW(wide(pipeName), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_PIPE_BUSY:
            return Knock::Busy;  // it is there, serving an earlier start
        case ERROR_ACCESS_DENIED:
            return Knock::Stranger;
        default:
            return Knock::Nobody;
        }
    }
    ULONG server = 0;
    if (!GetNamedPipeServerProcessId(pipe, &server) || !processIsUsers(server)) {
        CloseHandle(pipe);
        return Knock::Stranger;
    }
    // The running program may take the foreground from this start, which has it.
    AllowSetForegroundWindow(server);
    Knock result = Knock::Busy;
    const QDeadlineTimer deadline(knockWaitMs);
    while (!deadline.hasExpired()) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            result = Knock::Nobody;
            break;
        }
        if (available > 0) {
            result = Knock::Answered;
            break;
        }
        Sleep(pollIntervalMs);
    }
    CloseHandle(pipe);
    return result;
}

}  // namespace

struct SingleInstance::Handles {
    OwnerOnly security;
    HANDLE mutex = nullptr;
    bool owner = false;
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;
    OVERLAPPED overlapped{};
    char buffer = 0;
    bool draining = false;  // the answer is written; waiting for the start to go
    QWinEventNotifier* notifier = nullptr;
    QTimer* drainTimer = nullptr;
};

SingleInstance::SingleInstance(QObject* parent)
    : platform::SingleInstance(parent),
      handles_(std::make_unique<Handles>())
{
    const QString sid = userSid();
    if (sid.isEmpty())
        return;
    mutexName_ = QStringLiteral("Local\\Orvane.Beamlet.%1").arg(sid);
    pipeName_ = QStringLiteral("\\\\.\\pipe\\Orvane.Beamlet.%1.%2").arg(sessionId()).arg(sid);
}

SingleInstance::~SingleInstance()
{
    stopListening();
    // The mutex goes last: whoever takes it next finds no pipe of ours.
    if (handles_->mutex) {
        if (handles_->owner)
            ReleaseMutex(handles_->mutex);
        CloseHandle(handles_->mutex);
    }
}

SingleInstance::Start SingleInstance::start(const std::function<bool()>& toldToEnd)
{
    if (pipeName_.isEmpty() || !handles_->security.attributes()) {
        say("the account cannot be named; this start runs on its own");
        return Start::Run;
    }
    handles_->mutex = CreateMutexW(handles_->security.attributes(), FALSE, wide(mutexName_));
    if (!handles_->mutex) {
        // Made first by another account, which denies this one.
        say("the session's program name is taken by another account; this start runs on its own");
        return Start::Run;
    }
    const QDeadlineTimer deadline(giveUpMs);
    bool saidWaiting = false;
    while (true) {
        // Abandoned: its program died holding it. Taking it over is safe, the
        // dead program's pipe went with it.
        const DWORD waited = WaitForSingleObject(handles_->mutex, 0);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            handles_->owner = true;
            listen();
            return Start::Run;
        }
        if (toldToEnd && toldToEnd())
            return Start::Abandoned;
        // Another program holds the session. It may still be starting, on its way
        // out, or too busy to take the knock: wait for it, within a bound.
        switch (knock(pipeName_)) {
        case Knock::Answered:
            return Start::HandedOver;
        case Knock::Stranger:
            say("the session's pipe is not this user's; this start runs on its own");
            return Start::Run;
        case Knock::Busy:
            if (!saidWaiting)
                say("the program running in this session is busy; waiting for it");
            saidWaiting = true;
            break;
        case Knock::Nobody:
            break;
        }
        if (deadline.hasExpired()) {
            say("the program running in this session does not answer; this start runs on its own");
            return Start::Run;
        }
        // Wakes at once when the running program ends.
        const DWORD ended = WaitForSingleObject(handles_->mutex, pollIntervalMs * 2);
        if (ended == WAIT_OBJECT_0 || ended == WAIT_ABANDONED) {
            handles_->owner = true;
            listen();
            return Start::Run;
        }
    }
}

void SingleInstance::stopListening()
{
    if (handles_->pipe == INVALID_HANDLE_VALUE)
        return;
    delete handles_->notifier;
    handles_->notifier = nullptr;
    delete handles_->drainTimer;
    handles_->drainTimer = nullptr;
    CancelIo(handles_->pipe);
    // A start connected but not yet answered finds the pipe closed, and waits for the mutex.
    CloseHandle(handles_->pipe);
    handles_->pipe = INVALID_HANDLE_VALUE;
    CloseHandle(handles_->event);
    handles_->event = nullptr;
}

bool SingleInstance::listen()
{
    // Holding the mutex, this program owns the name. The first instance, so a
    // pipe someone else made first is never shared; one instance, so none can be
    // added; local callers only.
    handles_->pipe = CreateNamedPipeW(
        wide(pipeName_), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 64, 64, 0, handles_->security.attributes());
    handles_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (handles_->pipe == INVALID_HANDLE_VALUE || !handles_->event) {
        say("cannot listen on the session's pipe; later starts will not find this program");
        return false;
    }
    handles_->notifier = new QWinEventNotifier(handles_->event, this);
    connect(handles_->notifier, &QWinEventNotifier::activated, this, &SingleInstance::onEvent);
    // A start that never reads its answer and goes is let go of.
    handles_->drainTimer = new QTimer(this);
    handles_->drainTimer->setSingleShot(true);
    handles_->drainTimer->setInterval(drainMs);
    connect(handles_->drainTimer, &QTimer::timeout, this, [this] {
        CancelIo(handles_->pipe);
        DisconnectNamedPipe(handles_->pipe);
        arm();
    });
    arm();
    return true;
}

// Waits for the next start to connect. One that is connected already, or came
// and went, is taken at once.
void SingleInstance::arm()
{
    handles_->draining = false;
    ResetEvent(handles_->event);
    handles_->overlapped = {};
    handles_->overlapped.hEvent = handles_->event;
    if (ConnectNamedPipe(handles_->pipe, &handles_->overlapped))
        SetEvent(handles_->event);
    else if (const DWORD error = GetLastError(); error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA)
        SetEvent(handles_->event);
}

void SingleInstance::onEvent()
{
    if (handles_->draining) {
        // The start read its answer and closed its end (or wrote, which it never does).
        handles_->drainTimer->stop();
        DisconnectNamedPipe(handles_->pipe);
        arm();
        return;
    }
    // The pipe's access list already lets no other account connect; the check
    // says the same of the process at the other end, as on Linux.
    ULONG client = 0;
    const bool ours = GetNamedPipeClientProcessId(handles_->pipe, &client) && processIsUsers(client);
    DWORD written = 0;
    OVERLAPPED write{};
    write.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool answered = ours && write.hEvent
        && (WriteFile(handles_->pipe, &kAnswer, 1, &written, &write)
            || (GetLastError() == ERROR_IO_PENDING && GetOverlappedResult(handles_->pipe, &write, &written, TRUE)))
        && written == 1;
    if (write.hEvent)
        CloseHandle(write.hEvent);
    if (!answered) {
        DisconnectNamedPipe(handles_->pipe);
        arm();
        return;
    }
    // The answer stays in the pipe until the start has read it: disconnecting now
    // would drop it. The start closes its end once it has it.
    handles_->draining = true;
    ResetEvent(handles_->event);
    handles_->overlapped = {};
    handles_->overlapped.hEvent = handles_->event;
    if (!ReadFile(handles_->pipe, &handles_->buffer, 1, nullptr, &handles_->overlapped)
        && GetLastError() != ERROR_IO_PENDING)
        SetEvent(handles_->event);
    handles_->drainTimer->start();
    emit activationRequested();
}

}  // namespace beamlet::platform::win

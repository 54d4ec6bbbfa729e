#include "platform/win/SingleInstance.h"

#include "platform/win/Account.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <QWinEventNotifier>

#include <qt_windows.h>

#include <cstdio>

namespace beamlet::platform::win {
namespace {

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

// The session's claim, shared by every program and start of the account in the
// session for as long as one of them runs.
struct Claim {
    volatile LONG64 generation;  // the generation whose mutex the running program owns
    volatile LONG64 owner;       // the process id of the program that took it last
};

}  // namespace

struct SingleInstance::Handles {
    OwnerOnly security;
    HANDLE claimMapping = nullptr;
    Claim* claim = nullptr;
    HANDLE mutex = nullptr;  // owned
    HANDLE replaced = nullptr;
    QWinEventNotifier* replacedNotifier = nullptr;
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
    prefix_ = QStringLiteral("Local\\Orvane.Beamlet.%1").arg(sid);
    pipePrefix_ = QStringLiteral("\\\\.\\pipe\\Orvane.Beamlet.%1.%2").arg(sessionId()).arg(sid);
}

SingleInstance::~SingleInstance()
{
    release();
    if (handles_->claim)
        UnmapViewOfFile(handles_->claim);
    if (handles_->claimMapping)
        CloseHandle(handles_->claimMapping);
}

// A start's wait for the program that holds the session: the holder it waits
// for (the generation and its program, as last seen) and when it gives up on it.
struct SingleInstance::Waiting {
    std::pair<quint64, LONG64> holder{~quint64(0), 0};
    QDeadlineTimer givingUp;
    bool said = false;
};

SingleInstance::Start SingleInstance::start(const std::function<bool()>& toldToEnd)
{
    if (prefix_.isEmpty() || !handles_->security.attributes()) {
        say("the account cannot be named; this start runs on its own");
        return Start::Run;
    }
    if (!mapClaim()) {
        // Made first by another account, which denies this one.
        say("the session's program name is taken by another account; this start runs on its own");
        return Start::Run;
    }
    Waiting waiting;
    while (true) {
        if (toldToEnd && toldToEnd())
            return Start::Abandoned;
        const quint64 generation = quint64(InterlockedCompareExchange64(&handles_->claim->generation, 0, 0));
        switch (take(generation, generation, 0)) {
        case Taken::Owned:
            return running(toldToEnd);
        case Taken::MovedOn:
            continue;
        case Taken::Denied:
            say("the session's program name is taken by another account; this start runs on its own");
            return Start::Run;
        case Taken::Held:
            break;
        }
        if (const std::optional<Start> settled = waitForHolder(generation, waiting, toldToEnd))
            return *settled;
    }
}

// The session's claim, which every start shares: not to be had where another
// account made it first.
bool SingleInstance::mapClaim()
{
    handles_->claimMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, handles_->security.attributes(), PAGE_READWRITE,
                                                0, sizeof(Claim), wide(prefix_ + QStringLiteral(".claim")));
    if (handles_->claimMapping)
        handles_->claim =
            static_cast<Claim*>(MapViewOfFile(handles_->claimMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Claim)));
    return handles_->claim != nullptr;
}

SingleInstance::Start SingleInstance::running(const std::function<bool()>& toldToEnd)
{
    // Told to end while it took the session: nothing more is made.
    if (toldToEnd && toldToEnd()) {
        release();
        return Start::Abandoned;
    }
    return Start::Run;
}

// Another program holds the session. It may still be starting, on its way out,
// or too busy to take the knock: wait for it, within a bound that starts again
// with each new holder. Nothing while the claim is to be looked at again.
std::optional<SingleInstance::Start> SingleInstance::waitForHolder(quint64 generation, Waiting& waiting,
                                                                   const std::function<bool()>& toldToEnd)
{
    const std::pair<quint64, LONG64> holder{generation, InterlockedCompareExchange64(&handles_->claim->owner, 0, 0)};
    if (holder != waiting.holder) {
        waiting.holder = holder;
        waiting.givingUp.setRemainingTime(answerWaitMs);
    }
    switch (knock(pipeName(generation))) {
    case Knock::Answered:
        return Start::HandedOver;
    case Knock::Stranger:
        say("the session's pipe is not this user's; this start runs on its own");
        return Start::Run;
    case Knock::Busy:
    case Knock::Nobody:
        break;
    }
    if (!waiting.said && waiting.givingUp.remainingTime() < answerWaitMs - slowAnswerMs) {
        say("the program running in this session does not answer yet; waiting for it");
        waiting.said = true;
    }
    if (waiting.givingUp.hasExpired()) {
        // The next generation's mutex, taken first, makes this start the one
        // that moves the claim on; the program that did not answer is told.
        if (take(generation, generation + 1, 0) != Taken::Owned)
            return std::nullopt;
        say("the program running in this session does not answer; this start takes its place");
        if (HANDLE replaced = OpenEventW(EVENT_MODIFY_STATE, FALSE, wide(objectName(generation, "replaced")))) {
            SetEvent(replaced);
            CloseHandle(replaced);
        }
        return running(toldToEnd);
    }
    // Wakes at once when the running program ends.
    if (take(generation, generation, pollIntervalMs * 2) == Taken::Owned)
        return running(toldToEnd);
    return std::nullopt;
}

QString SingleInstance::objectName(quint64 generation, const char* kind) const
{
    QString name = prefix_ + QLatin1Char('.') + QString::number(generation);
    if (kind)
        name += QLatin1Char('.') + QLatin1String(kind);
    return name;
}

QString SingleInstance::pipeName(quint64 generation) const
{
    return pipePrefix_ + QLatin1Char('.') + QString::number(generation);
}

SingleInstance::Taken SingleInstance::take(quint64 from, quint64 generation, unsigned long waitMs)
{
    HANDLE mutex = CreateMutexW(handles_->security.attributes(), FALSE, wide(objectName(generation)));
    if (!mutex)
        return Taken::Denied;
    // Abandoned: its program died holding it. Taking it over is safe, the dead
    // program's pipe went with it.
    const DWORD waited = WaitForSingleObject(mutex, waitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return Taken::Held;
    }
    // Made before the claim is checked, so a start that moves the claim on after
    // the check finds it to set.
    HANDLE replacedEvent =
        CreateEventW(handles_->security.attributes(), TRUE, FALSE, wide(objectName(generation, "replaced")));
    // The claim must still name the generation this start came for (from), and
    // now names the one taken: a start that gave up on the running program may
    // have moved it on meanwhile, and of two starts giving up together only the
    // first moves it.
    const bool claimed = replacedEvent
        && quint64(InterlockedCompareExchange64(&handles_->claim->generation, LONG64(generation), LONG64(from)))
            == from;
    if (!claimed) {
        const Taken why = replacedEvent ? Taken::MovedOn : Taken::Denied;
        if (replacedEvent)
            CloseHandle(replacedEvent);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return why;
    }
    hold(mutex, replacedEvent, generation);
    return Taken::Owned;
}

// The generation is this program's: it says so in the claim, listens for later
// starts, and ends once one of them has taken its place.
void SingleInstance::hold(HANDLE mutex, HANDLE replacedEvent, quint64 generation)
{
    handles_->mutex = mutex;
    handles_->replaced = replacedEvent;
    generation_ = generation;
    InterlockedExchange64(&handles_->claim->owner, LONG64(GetCurrentProcessId()));
    handles_->replacedNotifier = new QWinEventNotifier(replacedEvent, this);
    connect(handles_->replacedNotifier, &QWinEventNotifier::activated, this, [this] {
        if (!isReplaced())
            return;
        handles_->replacedNotifier->setEnabled(false);
        say("a later start took this session over while this program did not answer; it ends");
        emit replaced();
    });
    listen();
}

bool SingleInstance::isReplaced() const
{
    return handles_->claim && quint64(InterlockedCompareExchange64(&handles_->claim->generation, 0, 0)) != generation_;
}

void SingleInstance::release()
{
    stopListening();
    delete handles_->replacedNotifier;
    handles_->replacedNotifier = nullptr;
    if (handles_->replaced)
        CloseHandle(handles_->replaced);
    handles_->replaced = nullptr;
    // The mutex goes last: whoever takes it next finds no pipe of ours.
    if (handles_->mutex) {
        ReleaseMutex(handles_->mutex);
        CloseHandle(handles_->mutex);
    }
    handles_->mutex = nullptr;
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
        wide(pipeName(generation_)), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 64, 64, 0, handles_->security.attributes());
    handles_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (handles_->pipe == INVALID_HANDLE_VALUE || !handles_->event) {
        say("cannot listen on the session's pipe; later starts will not find this program");
        if (handles_->pipe != INVALID_HANDLE_VALUE)
            CloseHandle(handles_->pipe);
        handles_->pipe = INVALID_HANDLE_VALUE;
        if (handles_->event)
            CloseHandle(handles_->event);
        handles_->event = nullptr;
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
    // says the same of the process at the other end, as on Linux. A program that
    // was replaced while it did not answer leaves the knocks it finds on its
    // return to the one that took its place.
    ULONG client = 0;
    const bool ours = !isReplaced() && GetNamedPipeClientProcessId(handles_->pipe, &client) && processIsUsers(client);
    if (!ours || !writeAnswer()) {
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

bool SingleInstance::writeAnswer()
{
    DWORD written = 0;
    OVERLAPPED write{};
    write.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool answered = write.hEvent
        && (WriteFile(handles_->pipe, &kAnswer, 1, &written, &write)
            || (GetLastError() == ERROR_IO_PENDING && GetOverlappedResult(handles_->pipe, &write, &written, TRUE)))
        && written == 1;
    if (write.hEvent)
        CloseHandle(write.hEvent);
    return answered;
}

}  // namespace beamlet::platform::win

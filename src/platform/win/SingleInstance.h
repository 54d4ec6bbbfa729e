#pragma once
// One program per user and log-on session, as platform/SingleInstance.h says.
// The session's claim, a small shared record, names the current generation; the
// program that owns that generation's named mutex is the running one. It listens
// on the generation's named pipe, and a later start connects there: the running
// program takes the knock, brings its window to the front and answers with one
// byte, which tells the start to end. A mutex whose program has died is abandoned
// and taken over at once.
//
// A start that gives up on a program that does not answer moves the claim on to
// the next generation, whose mutex and pipe are free, and sets the old
// generation's "replaced" event: the program that did not answer ends as soon as
// it runs again. Later starts read the claim and find the new program.
//
// Every name carries the account's security identifier, the pipe's also the
// session's number (pipes are machine-wide; the rest lives in the session's own
// "Local\" namespace). Each object is made so that only the account may open it,
// the pipe as its first and only instance, and a start answers only a pipe whose
// program runs under its own account: another account can neither block the
// user's start by taking a name first nor receive its hand-over.
#include "platform/SingleInstance.h"

#include <QString>

#include <memory>
#include <optional>

namespace beamlet::platform::win {

class SingleInstance final : public platform::SingleInstance {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    Start start(const std::function<bool()>& toldToEnd) override;
    void stopListening() override;

private:
    enum class Taken {
        Owned,    // this program owns the generation, and listens
        Held,     // another program does
        MovedOn,  // the claim does not name the generation expected (any more)
        Denied    // another account made the name first
    };
    // Takes the generation's mutex, waiting up to waitMs, while the claim names
    // from, and makes the claim name generation.
    Taken take(quint64 from, quint64 generation, unsigned long waitMs);
    struct Waiting;
    bool mapClaim();
    Start running(const std::function<bool()>& toldToEnd);
    std::optional<Start> waitForHolder(quint64 generation, Waiting& waiting, const std::function<bool()>& toldToEnd);
    void hold(void* mutex, void* replacedEvent, quint64 generation);
    QString objectName(quint64 generation, const char* kind = nullptr) const;
    QString pipeName(quint64 generation) const;
    bool isReplaced() const;
    bool listen();
    void arm();
    void onEvent();
    bool writeAnswer();
    void release();

    QString prefix_;      // Local\Orvane.Beamlet.<account>
    QString pipePrefix_;  // \\.\pipe\Orvane.Beamlet.<session>.<account>
    quint64 generation_ = 0;
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

}  // namespace beamlet::platform::win

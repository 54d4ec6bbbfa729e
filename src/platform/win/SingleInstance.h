#pragma once
// One program per user and log-on session, as platform/SingleInstance.h says,
// but for a program that does not answer (below). The program that owns the session's
// named mutex is the running one; it listens on a named pipe, and a later start
// connects there: the running program takes the knock, brings its window to the
// front and answers with one byte, which tells the start to end. A mutex whose
// program has died is abandoned and taken over at once.
//
// A program on its way out stops listening first and keeps the mutex to its
// end: starts then wait for it to go, and run.
//
// Both names carry the account's security identifier, the pipe's also the
// session's number (pipes are machine-wide; the mutex lives in the session's own
// "Local\" namespace). Both are made so that only the account may open them, the
// pipe as its first and only instance, and a start answers only a pipe whose
// program runs under its own account: another account can neither block the
// user's start by taking a name first nor receive its hand-over.
#include "platform/SingleInstance.h"

#include <QString>

#include <functional>
#include <memory>

namespace beamlet::platform::win {

// A start that gives up on a program that does not answer runs on its own.
class SingleInstance final : public platform::SingleInstance {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    Start start(const std::function<bool()>& toldToEnd) override;
    void stopListening() override;

private:
    bool listen();
    void arm();
    void onEvent();

    QString mutexName_;
    QString pipeName_;
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

}  // namespace beamlet::platform::win

#pragma once
// One program per user and log-on session. The program that owns the session's
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
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace beamlet::platform::win {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start {
        Run,         // this program runs, listening for later starts where it safely can
        HandedOver,  // a running program of this user and session came forward: end
        Abandoned,   // told to end while waiting: end
    };
    // Finds the running program and hands over to it, waits for one that is
    // starting or ending, or takes the session. Asks toldToEnd() while it waits.
    Start start(const std::function<bool()>& toldToEnd);

    // The program is ending: later starts no longer knock here but wait for the
    // mutex, which goes with it.
    void stopListening();

    // The pipe's name; empty when the account cannot be named.
    const QString& pipeName() const { return pipeName_; }

signals:
    // A later start asked this program to come to the front.
    void activationRequested();
    // Never sent on Windows: a program that does not answer keeps the session's
    // mutex, and the start that gave up on it runs on its own.
    void replaced();

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

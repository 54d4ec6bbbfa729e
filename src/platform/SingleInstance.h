#pragma once
// One program per user session, as both systems keep it. The running program
// listens for later starts; a later start knocks, the running program brings its
// window to the front and answers, and the start ends. A program on its way out
// stops listening first and holds its claim to its end: starts then wait for it
// to go, and run.
//
// A program that neither answers nor ends (stopped, hung) is waited for a while
// (answerWaitMs); then one start takes its place, later starts hand over to that
// one, and the program that did not answer ends as soon as it runs again and sees
// it was replaced (replaced()). So never more than one program answers, and no
// start is lost.
//
// Each system keeps it with its own means: x11/SingleInstance.h (a lock file and
// a socket per X display), win/SingleInstance.h (a mutex and a named pipe per
// log-on session).
#include <QObject>

#include <functional>

namespace beamlet::platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    enum class Start {
        Run,         // this program runs, listening for later starts where it safely can
        HandedOver,  // a running program of this user and session came forward: end
        Abandoned,   // told to end while waiting: end
    };
    // Finds the running program and hands over to it, waits for one that is
    // starting or ending, or takes the session. Asks toldToEnd() while it waits.
    virtual Start start(const std::function<bool()>& toldToEnd) = 0;

    // The program is ending: later starts no longer knock here but wait for it to go.
    virtual void stopListening() = 0;

signals:
    // A later start asked this program to come to the front.
    void activationRequested();
    // Another start took this program's place while it did not answer.
    void replaced();

protected:
    // How long a start waits for a program that holds the session but takes no
    // knock before it takes that program's place: longer than anything the
    // program itself waits for (a paste waits five seconds for the clipboard's
    // owner), yet short for a user who asked for a window.
    static constexpr int answerWaitMs = 10'000;
    // Said once a knock has waited this long.
    static constexpr int slowAnswerMs = 1'000;
};

}  // namespace beamlet::platform

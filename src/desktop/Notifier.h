#pragma once
// The copy notification: one cycle per copy, started by show() and ignored while
// a cycle runs. Owns the model, the window while it is loaded, and its timers.
#include "NotificationModel.h"
#include "Platform.h"

#include <QObject>
#include <QPixmap>
#include <QWidget>
#include <QPointer>
#include <QRect>
#include <QThreadPool>
#include <QTimer>

#include <functional>

namespace beamlet::desktop {

class NotificationWindow;
class Picture;
class Stepper;

class Notifier : public QObject {
    Q_OBJECT
public:
    explicit Notifier(Platform& platform, QObject* parent = nullptr);
    ~Notifier() override;

    // FRMMSGZ.Show: loads the window and starts a cycle, unless one is running.
    void show();

    const NotificationModel& model() const { return model_; }
    NotificationWindow* window() const { return window_; }
    // Which part of the screen to rise from; the primary screen's available area by default.
    void setScreenArea(std::function<QRect()> area) { screenArea_ = std::move(area); }
    // Where the last arrival wrote the sound, for tests and diagnostics; set when
    // soundWritten() is emitted, a moment after the arrival.
    QString lastSoundFile() const { return lastSoundFile_; }

    // Exposed for tests: one animation tick and one rest tick.
    void tickAnimation();
    void tickRest();
    void closeClicked();

signals:
    void loaded();
    void arrived();
    void unloaded();
    // An arrival's tone.wav is written (path empty when no folder took it) and,
    // if so, its sound started.
    void soundWritten(const QString& path);

private:
    void apply();
    void load();
    void unload();
    void soundWrittenFor(quint64 cycle, const QString& path);

    Platform& platform_;
    NotificationModel model_;
    QPointer<NotificationWindow> window_;
    Stepper* stepper_;
    QTimer rest_;
    std::function<QRect()> screenArea_;
    QString lastSoundFile_;
    quint64 cycle_ = 0;  // counts loads, so a late sound file can tell its cycle has ended
    QThreadPool fileWriter_;  // one thread: half a megabyte written off the animation's tick
};

class NotificationWindow : public QWidget {
    Q_OBJECT
public:
    explicit NotificationWindow(Notifier& owner);

    Picture* closeRest() const { return closeRest_; }
    Picture* closeHot() const { return closeHot_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Notifier& owner_;
    QPixmap background_;
    Picture* closeRest_;
    Picture* closeHot_;
};

}  // namespace beamlet::desktop

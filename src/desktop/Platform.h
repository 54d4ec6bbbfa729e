#pragma once
// The platform services the windows use, behind small interfaces so tests can
// substitute recording fakes: clipboard, sound, links, and the two window routines.
#include "sound/SoundModule.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class QWidget;

namespace beamlet::desktop {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
};

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Hands the target to the desktop's handler for its scheme; never waits, never reports.
    virtual void open(const QUrl& target) = 0;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // Only the exact value -1 means "on"; returns non-zero for a successful "on", else 0.
    virtual int setTopMost(QWidget& window, short on) = 0;
    // One alpha for the whole window, 0 to 255.
    virtual bool setOpacity(QWidget& window, unsigned char alpha) = 0;
};

// The set of services a window is built with.
struct Platform {
    Clipboard* clipboard = nullptr;
    SoundPlayer* sound = nullptr;
    LinkOpener* links = nullptr;
    WindowServices* windows = nullptr;

    // The real desktop's services, created on first use and alive until exit.
    static Platform& system();
};

// The system implementations, exposed for tests of their own behaviour.
class QtWindowServices final : public WindowServices {
public:
    int setTopMost(QWidget& window, short on) override;
    bool setOpacity(QWidget& window, unsigned char alpha) override;
};

class QtClipboard final : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
};

class DesktopLinkOpener final : public LinkOpener {
public:
    void open(const QUrl& target) override;
};

// Plays through the sound module, loaded at the first sound rather than at
// start; without the module or an audio device the program stays silent.
class LazySoundPlayer final : public SoundPlayer {
public:
    LazySoundPlayer();
    ~LazySoundPlayer() override;
    void play(const QByteArray& wave) override;
    void stop() override;

    // Where the module is looked for, first match wins.
    static QStringList moduleCandidates();

private:
    std::unique_ptr<SoundPlayer> player_;
    bool tried_ = false;
};

}  // namespace beamlet::desktop

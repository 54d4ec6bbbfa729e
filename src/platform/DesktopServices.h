#pragma once
// The desktop's own services behind the interfaces of Services.h.
#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "platform/ToneChime.h"

#include <memory>

namespace beamlet::platform {

class QtClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
};

class DesktopLinkOpener final : public LinkOpener {
public:
    void open(const QUrl& target, std::function<void()> notOpened) override;
};

// Qt's own stacking and opacity; each system's folder makes them reach the screen.
class QtWindowStacking : public WindowStacking {
public:
    void setStaysOnTop(QWidget& window, bool on) override;
    void setOpacity(QWidget& window, int alpha) override;
};

// Plays through the sound module, loaded at the first sound rather than at
// start; without the module or an audio device the program stays silent.
class ModuleSoundPlayer final : public SoundPlayer {
public:
    ModuleSoundPlayer();
    ~ModuleSoundPlayer() override;
    void play(const QByteArray& wave) override;
    void stop() override;

private:
    std::unique_ptr<SoundPlayer> player_;
    bool tried_ = false;
};

// The four together, made once in main() after the application object and gone
// before it, so the audio stream is closed while the application still exists.
// The chime's wave comes from the program's embedded resources; it plays through
// the system's player (platform/System.h) unless another player is given. The
// windows' stacking is the system's.
class DesktopServices {
public:
    explicit DesktopServices(ToneChime::WaveSource chimeWave);
    DesktopServices(ToneChime::WaveSource chimeWave, std::unique_ptr<SoundPlayer> player);
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

private:
    QtClipboard clipboard_;
    ToneChime chime_;
    DesktopLinkOpener links_;
    std::unique_ptr<WindowStacking> windows_;

public:
    Services services;
};

}  // namespace beamlet::platform

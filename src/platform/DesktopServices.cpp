#include "platform/DesktopServices.h"

#include "platform/System.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLibrary>
#include <QTimer>
#include <QWidget>

namespace beamlet::platform {

void QtClipboard::setText(const QString& text)
{
    // Setting the text replaces the old content in one change of owner; clearing
    // first would be a second change, which XWayland's clipboard bridge does not survive.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

void DesktopLinkOpener::open(const QUrl& target, std::function<void()> notOpened)
{
    // Queued so a slow handler lookup never holds up the click that asked for it.
    QTimer::singleShot(0, [target, notOpened = std::move(notOpened)] {
        if (!QDesktopServices::openUrl(target) && notOpened)
            notOpened();
    });
}

void QtWindowStacking::setStaysOnTop(QWidget& window, bool on)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing a flag re-creates the native window and hides it; a visible
    // window must stay visible, at its place, and a hidden one hidden.
    const bool wasVisible = window.isVisible();
    const QPoint position = window.pos();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) {
        window.move(position);
        window.show();
    }
}

void QtWindowStacking::setOpacity(QWidget& window, int alpha)
{
    window.setWindowOpacity(qBound(0, alpha, 255) / 255.0);
}

ModuleSoundPlayer::ModuleSoundPlayer() = default;
ModuleSoundPlayer::~ModuleSoundPlayer() = default;

void ModuleSoundPlayer::play(const QByteArray& wave)
{
    if (!tried_) {
        tried_ = true;
        // Beside the program in the build tree; in its library folder once
        // installed, wherever the installed tree stands.
        const QString here = QCoreApplication::applicationDirPath();
        const QString candidates[] = {here + QStringLiteral("/" BEAMLET_SOUND_MODULE),
                                      here + QStringLiteral("/../" BEAMLET_MODULE_DIR "/" BEAMLET_SOUND_MODULE)};
        for (const QString& candidate : candidates) {
            QLibrary module(candidate);
            const auto create = reinterpret_cast<BeamletCreateSoundPlayer>(module.resolve(BEAMLET_SOUND_FACTORY));
            if (create) {
                player_.reset(create());
                break;
            }
        }
    }
    if (player_)
        player_->play(wave);
}

void ModuleSoundPlayer::stop()
{
    if (player_)
        player_->stop();
}

DesktopServices::DesktopServices(ToneChime::WaveSource chimeWave)
    : DesktopServices(std::move(chimeWave), native::makeSoundPlayer())
{
}

DesktopServices::DesktopServices(ToneChime::WaveSource chimeWave, std::unique_ptr<SoundPlayer> player)
    : chime_(std::move(chimeWave), std::move(player)),
      windows_(std::make_unique<native::WindowStacking>()),
      services{clipboard_, chime_, links_, *windows_}
{
}

DesktopServices::~DesktopServices() = default;

}  // namespace beamlet::platform

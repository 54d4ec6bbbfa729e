#include "platform/DesktopServices.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLibrary>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

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
    // Qt only queues the property change; it leaves for the X server when something
    // else flushes the connection. A moving window's configure events do that, a
    // window fading in at rest has nothing: send each step now. (No X connection
    // off screen.)
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        xcb_flush(x11->connection());
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

DesktopServices::DesktopServices(ToneChime::WaveSource chimeWave, std::unique_ptr<SoundPlayer> player)
    : chime_(std::move(chimeWave), std::move(player)),
      services{clipboard_, chime_, links_, windows_}
{
}

}  // namespace beamlet::platform

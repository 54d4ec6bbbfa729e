#include "Platform.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QLibrary>
#include <QTimer>
#include <QWidget>

namespace beamlet::desktop {

int QtWindowServices::setTopMost(QWidget& window, short on)
{
    const bool wanted = on == -1;
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != wanted) {
        // Changing a flag re-creates the native window and hides it; a visible
        // window must stay visible, at its place, and a hidden one hidden.
        const bool wasVisible = window.isVisible();
        const QPoint position = window.pos();
        window.setWindowFlag(Qt::WindowStaysOnTopHint, wanted);
        if (wasVisible) {
            window.move(position);
            window.show();
        }
    }
    return wanted ? 1 : 0;
}

bool QtWindowServices::setOpacity(QWidget& window, unsigned char alpha)
{
    window.setWindowOpacity(alpha / 255.0);
    return true;
}

void QtClipboard::clear()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear(QClipboard::Clipboard);
}

void QtClipboard::setText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

void DesktopLinkOpener::open(const QUrl& target)
{
    // Queued so a slow handler lookup never holds up the click that asked for it.
    QTimer::singleShot(0, [target] { QDesktopServices::openUrl(target); });
}

LazySoundPlayer::LazySoundPlayer() = default;
LazySoundPlayer::~LazySoundPlayer() = default;

QStringList LazySoundPlayer::moduleCandidates()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here + QStringLiteral("/" BEAMLET_SOUND_MODULE),
            here + QStringLiteral("/../" BEAMLET_INSTALL_LIBDIR "/beamlet/" BEAMLET_SOUND_MODULE),
            QStringLiteral(BEAMLET_SOUND_MODULE_BUILT)};
}

void LazySoundPlayer::play(const QByteArray& wave)
{
    if (!tried_) {
        tried_ = true;
        for (const QString& candidate : moduleCandidates()) {
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

void LazySoundPlayer::stop()
{
    if (player_)
        player_->stop();
}

Platform& Platform::system()
{
    // Alive until the process ends: the program ends at once, never tearing
    // these down after the application object is gone.
    static Platform* platform = new Platform{new QtClipboard, new LazySoundPlayer,
                                             new DesktopLinkOpener, new QtWindowServices};
    return *platform;
}

}  // namespace beamlet::desktop

#include "Platform.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QSoundEffect>
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

struct EffectSoundPlayer::Impl {
    QSoundEffect effect;
};

EffectSoundPlayer::EffectSoundPlayer() = default;
EffectSoundPlayer::~EffectSoundPlayer() = default;

void EffectSoundPlayer::play(const QString& filePath)
{
    if (!impl_) {
        impl_ = std::make_unique<Impl>();
        impl_->effect.setVolume(0.5f);
        impl_->effect.setLoopCount(1);
    }
    // The file was just rewritten: drop the cached samples so they are read again.
    impl_->effect.setSource(QUrl());
    impl_->effect.setSource(QUrl::fromLocalFile(filePath));
    impl_->effect.play();
}

void EffectSoundPlayer::stop()
{
    if (impl_)
        impl_->effect.stop();
}

Platform& Platform::system()
{
    // Alive until the process ends: the program ends at once, never tearing
    // these down after the application object is gone.
    static Platform* platform = new Platform{new QtClipboard, new EffectSoundPlayer,
                                             new DesktopLinkOpener, new QtWindowServices};
    return *platform;
}

}  // namespace beamlet::desktop

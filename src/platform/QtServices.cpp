#include "platform/QtServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
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

}  // namespace beamlet::platform

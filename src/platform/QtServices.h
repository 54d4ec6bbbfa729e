#pragma once
// The services Qt provides alike on both systems, behind the interfaces of Services.h.
#include "platform/Services.h"

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

}  // namespace beamlet::platform

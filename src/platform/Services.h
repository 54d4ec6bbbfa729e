#pragma once
// What the windows need from the desktop, one small interface per service, handed
// to them once at start; tests hand them recording fakes instead.
#include <QString>
#include <QUrl>

class QWidget;

namespace beamlet::platform {

class SoundPlayer;

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces what the clipboard holds with the text, in one change of owner.
    virtual void setText(const QString& text) = 0;
};

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Hands the target to the desktop's handler for its scheme; never waits, never reports.
    virtual void open(const QUrl& target) = 0;
};

class WindowStacking {
public:
    virtual ~WindowStacking() = default;
    // Above all ordinary windows, or back among them; place and visibility stay.
    virtual void setStaysOnTop(QWidget& window, bool on) = 0;
    // One alpha for the whole window, 0 to 255.
    virtual void setOpacity(QWidget& window, int alpha) = 0;
};

struct Services {
    Clipboard& clipboard;
    SoundPlayer& sound;
    LinkOpener& links;
    WindowStacking& windows;
};

}  // namespace beamlet::platform

#pragma once
// What the windows need from the desktop, one small interface per service, handed
// to them once at start; tests hand them recording fakes instead.
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace beamlet::platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces what the clipboard holds with the text, in one change of owner.
    virtual void setText(const QString& text) = 0;
};

// The notification's chime, told where its cycle stands.
class Chime {
public:
    virtual ~Chime() = default;
    // The notification has arrived: tone.wav is written anew for whoever looks
    // for it, then the chime plays. Never waits for the disk or the sound server.
    virtual void ring() = 0;
    // The cycle has ended: a chime still to come stays silent, one playing stops.
    virtual void stop() = 0;
};

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Hands the target to the desktop's handler for its scheme; never waits.
    // Calls notOpened, later, when the desktop has no handler to take it.
    virtual void open(const QUrl& target, std::function<void()> notOpened) = 0;
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
    Chime& chime;
    LinkOpener& links;
    WindowStacking& windows;
};

}  // namespace beamlet::platform

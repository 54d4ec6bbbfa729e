#pragma once
// Recording substitutes for the platform services, so tests see every call.
#include "platform/QtServices.h"
#include "platform/Services.h"

#include <QStringList>
#include <QWidget>

namespace beamlet::testing {

struct RecordingClipboard : platform::Clipboard {
    QStringList calls;  // every text set, in order
    void setText(const QString& t) override { calls << t; }
};

// Writes no file and plays nothing.
struct RecordingChime : platform::Chime {
    QStringList calls;  // "ring" or "stop", in order
    void ring() override { calls << QStringLiteral("ring"); }
    void stop() override { calls << QStringLiteral("stop"); }
};

// Opens nothing: a test must never start the desktop's browser.
struct NoLinks : platform::LinkOpener {
    void open(const QUrl&, std::function<void()>) override {}
};

// Records each call and passes it on, so the windows still change as they would.
struct RecordingWindows : platform::WindowStacking {
    platform::QtWindowStacking real;
    QStringList calls;  // "ontop:<window>:<0|1>" or "opacity:<window>:<alpha>"
    void setStaysOnTop(QWidget& w, bool on) override
    {
        calls << QStringLiteral("ontop:%1:%2").arg(w.objectName()).arg(int(on));
        real.setStaysOnTop(w, on);
    }
    void setOpacity(QWidget& w, int alpha) override
    {
        calls << QStringLiteral("opacity:%1:%2").arg(w.objectName()).arg(alpha);
        real.setOpacity(w, alpha);
    }
};

struct FakeServices {
    RecordingClipboard clipboard;
    RecordingChime chime;
    NoLinks links;
    RecordingWindows windows;
    platform::Services services{clipboard, chime, links, windows};
};

}  // namespace beamlet::testing

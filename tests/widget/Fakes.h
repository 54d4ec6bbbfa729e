#pragma once
// Recording substitutes for the platform services, so tests see every call.
#include "Platform.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace beamlet::testing {

struct RecordingClipboard : desktop::Clipboard {
    QStringList calls;  // "set:<text>"
    QString text;
    bool failSet = false;
    std::function<void()> onSet;  // runs inside each set, to see what has happened by then
    void setText(const QString& t) override
    {
        calls << QStringLiteral("set:") + t;
        if (onSet)
            onSet();
        if (failSet)
            throw std::runtime_error("clipboard busy");
        text = t;
    }
};

struct RecordingSound : desktop::SoundPlayer {
    QStringList played;
    int stops = 0;
    void play(const QString& file) override { played << file; }
    void stop() override { ++stops; }
};

struct RecordingLinks : desktop::LinkOpener {
    QList<QUrl> opened;
    void open(const QUrl& target) override { opened << target; }
};

struct RecordingWindows : desktop::WindowServices {
    desktop::QtWindowServices real;
    QStringList calls;
    int setTopMost(QWidget& w, short on) override
    {
        calls << QStringLiteral("topmost:%1:%2").arg(w.objectName()).arg(on);
        return real.setTopMost(w, on);
    }
    bool setOpacity(QWidget& w, unsigned char alpha) override
    {
        calls << QStringLiteral("opacity:%1:%2").arg(w.objectName()).arg(alpha);
        return real.setOpacity(w, alpha);
    }
};

struct FakePlatform {
    RecordingClipboard clipboard;
    RecordingSound sound;
    RecordingLinks links;
    RecordingWindows windows;
    desktop::Platform platform{&clipboard, &sound, &links, &windows};
};

}  // namespace beamlet::testing

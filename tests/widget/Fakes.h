#pragma once
// Recording substitutes for the platform services, so tests see every call.
#include "Platform.h"

#include <QStringList>
#include <QWidget>

#include <stdexcept>

namespace beamlet::testing {

struct RecordingClipboard : desktop::Clipboard {
    QStringList calls;  // "clear" or "set:<text>"
    QString text;
    bool failClear = false;
    bool failSet = false;
    void clear() override
    {
        calls << QStringLiteral("clear");
        if (failClear)
            throw std::runtime_error("clipboard busy");
        text.clear();
    }
    void setText(const QString& t) override
    {
        calls << QStringLiteral("set:") + t;
        if (failSet)
            throw std::runtime_error("clipboard busy");
        text = t;
    }
};

struct RecordingSound : desktop::SoundPlayer {
    QList<QByteArray> played;
    int stops = 0;
    void play(const QByteArray& wave) override { played << wave; }
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

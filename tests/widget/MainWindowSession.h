#pragma once
// A shown main window on recording services, as the widget tests start from; a
// test class inherits it beside QObject.
#include "Fakes.h"
#include "MainWindow.h"
#include "MakerData.h"
#include "Notifier.h"
#include "TypingBox.h"
#include "ComposerView.h"

#include <QTest>

#include <functional>
#include <memory>

namespace beamlet::testing {

struct MainWindowSession {
    std::unique_ptr<FakePlatform> fake;
    std::unique_ptr<desktop::Notifier> notifier;
    std::unique_ptr<app::MainWindow> window;

    // Its close image and the window manager's close call terminate instead of
    // ending the test process.
    bool open(std::function<void()> terminate = [] {})
    {
        fake = std::make_unique<FakePlatform>();
        notifier = std::make_unique<desktop::Notifier>(fake->platform);
        window = std::make_unique<app::MainWindow>(fake->platform, *notifier, app::MakerData::embedded());
        window->setTerminator(std::move(terminate));
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    void close()
    {
        window.reset();
        notifier.reset();
        fake.reset();
    }

    compose::TypingBox& box() const { return window->typingBox(); }
    QString buffer() const { return window->composer().codeText(); }

    // A control of the main window by its name; a missing one ends the test run.
    template <typename T = QWidget>
    T* child(const char* name) const
    {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
};

}  // namespace beamlet::testing

#pragma once
// A shown main window on recording services, as the widget tests start from; a
// test class inherits it beside QObject.
#include "Fakes.h"
#include "core/Layout.h"
#include "gui/Composer.h"
#include "gui/MainWindow.h"
#include "gui/MakerData.h"
#include "gui/NotificationWindow.h"
#include "gui/Notifier.h"
#include "widgets/Placement.h"
#include "widgets/TypingBox.h"

#include <QTest>

#include <memory>

// Where the layout puts each control, as the tests read it.
namespace layout = beamlet::core::layout;

namespace beamlet::testing {

struct MainWindowSession {
    std::unique_ptr<FakeServices> fake;
    std::unique_ptr<gui::Notifier> notifier;
    std::unique_ptr<gui::MainWindow> window;

    bool open()
    {
        fake = std::make_unique<FakeServices>();
        notifier = std::make_unique<gui::Notifier>(fake->services);
        window = std::make_unique<gui::MainWindow>(fake->services, *notifier, gui::MakerData::embedded());
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    void close()
    {
        window.reset();
        notifier.reset();
        fake.reset();
    }

    widgets::TypingBox& box() const { return window->composer().box(); }
    QString buffer() const { return window->composer().codeText(); }

    // A control by its name, in the main window unless another is given; a
    // missing one ends the test run.
    template <typename T = QWidget>
    T* child(const char* name, const QObject* in = nullptr) const
    {
        T* w = (in ? in : window.get())->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void click(const char* name, const QObject* in = nullptr) const
    {
        QTest::mouseClick(child(name, in), Qt::LeftButton);
    }
};

}  // namespace beamlet::testing

// Orvane Beamlet: type text, get chat codes.
#include "app/CommandLine.h"
#include "gui/MainWindow.h"
#include "gui/MakerData.h"
#include "gui/Notifier.h"
#include "platform/DesktopServices.h"
#include "platform/EndSignals.h"
#include "platform/SingleInstance.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/Fonts.h"

#include <QApplication>

#include <xcb/xcb.h>

#include <cstdio>

namespace {

// The platforms the tests run on, which draw nowhere; any other choice gives way
// to X11, which the program needs for absolute window positions and always-on-top.
bool testPlatform()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.startsWith("offscreen") || platform.startsWith("minimal");
}

// Opens and drops one connection to $DISPLAY: well under a millisecond on a local
// display, and it spares the user Qt's plugin messages and abort when X is missing.
bool xDisplayOpens()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace beamlet;
    if (const std::optional<int> status = app::runCommandLine(argc, argv))
        return *status;
    if (!testPlatform()) {
        const QByteArray display = qgetenv("DISPLAY");
        if (display.isEmpty() || !xDisplayOpens()) {
            const QByteArray what = display.isEmpty() ? QByteArrayLiteral("DISPLAY is not set")
                                                      : QByteArrayLiteral("DISPLAY is ") + display;
            std::fprintf(stderr,
                         "beamlet: cannot open the X display (%s); it needs an X11 session (XWayland under "
                         "Wayland).\n",
                         what.constData());
            return 1;
        }
        // Under Wayland the program runs through XWayland, never as a Wayland client.
        if (!qgetenv("QT_QPA_PLATFORM").startsWith("xcb"))
            qputenv("QT_QPA_PLATFORM", "xcb");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("beamlet"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.Beamlet"));
    // Told to end from here on, the program ends as by its close control and
    // leaves no socket or lock behind.
    platform::EndSignals endSignals;
    platform::SingleInstance instance(qgetenv("DISPLAY"));
    if (instance.start([&endSignals] { return endSignals.pending(); }) != platform::SingleInstance::Start::Run)
        return 0;
    widgets::installAccessibleRoles();
    // The windows' default font: the typing boxes, the plain labels and the help
    // box take it, and the captions share its face.
    QApplication::setFont(widgets::windowFont(widgets::Face::SansSerif, 8.25));

    platform::DesktopServices desktop(&widgets::chimeBytes);
    gui::Notifier notifier(desktop.services);
    gui::MainWindow window(desktop.services, notifier, gui::MakerData::embedded());
    // Once the program is ending, a start waits for it to go rather than knock at a
    // program that will never answer.
    QObject::connect(&window, &gui::MainWindow::endRequested, &instance, &platform::SingleInstance::stopListening);
    QObject::connect(&window, &gui::MainWindow::endRequested, &app, &QCoreApplication::quit);
    QObject::connect(&instance, &platform::SingleInstance::activationRequested, &window, &gui::MainWindow::comeForward);
    // Replaced by a later start while it did not answer, it ends as by its close control.
    QObject::connect(&instance, &platform::SingleInstance::replaced, &window, &QWidget::close);
    QObject::connect(&endSignals, &platform::EndSignals::endRequested, &window, &QWidget::close);
    window.show();
    const int status = app.exec();
    instance.stopListening();
    return status;
}

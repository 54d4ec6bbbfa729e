// Orvane Beamlet: type text, get chat codes.
#include "Accessibility.h"
#include "MainWindow.h"
#include "MakerData.h"
#include "Notification.h"
#include "SystemServices.h"

#include <QApplication>

#include <cstdio>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace beamlet;
    if (!hasDisplay()) {
        std::fputs("beamlet: no display found (DISPLAY is not set); start it from a desktop session.\n", stderr);
        return 1;
    }
    // Absolute window positions and always-on-top need X11; under Wayland the
    // program runs through XWayland.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("beamlet"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.Beamlet"));
    widgets::installAccessibleRoles();

    platform::DesktopServices desktop;
    gui::Notifier notifier(desktop.services);
    gui::MainWindow window(desktop.services, notifier, gui::MakerData::embedded());
    QObject::connect(&window, &gui::MainWindow::endRequested, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}

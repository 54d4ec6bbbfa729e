// Orvane Beamlet: type text, get chat codes.
#include "Accessibility.h"
#include "MainWindow.h"
#include "MakerData.h"
#include "Notifier.h"
#include "Platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[])
{
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

    beamlet::desktop::installAccessibleRoles();
    beamlet::desktop::Platform& platform = beamlet::desktop::Platform::system();
    beamlet::desktop::Notifier notifier(platform);
    beamlet::app::MainWindow window(platform, notifier, beamlet::app::MakerData::embedded());
    window.show();
    return app.exec();
}

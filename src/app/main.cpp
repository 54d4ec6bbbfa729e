// Orvane Beamlet: type text, get chat codes.
#include "app/CommandLine.h"
#include "gui/MainWindow.h"
#include "gui/MakerData.h"
#include "gui/Notifier.h"
#include "platform/DesktopServices.h"
#include "platform/System.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/Fonts.h"

#include <QApplication>

namespace beamlet::app {
namespace {

// The windows, from the first shown to the end of the event loop, which gives
// the exit status. The one-program check stops answering before they go.
int runWindows(QApplication& application, platform::native::SingleInstance& instance,
               platform::native::EndRequests& endRequests)
{
    widgets::installAccessibleRoles();
    // The windows' default font: the typing boxes, the plain labels and the help
    // box take it, and the captions share its face.
    QApplication::setFont(widgets::windowFont(widgets::Face::SansSerif, 8.25));

    platform::DesktopServices desktop(&widgets::chimeBytes);
    gui::Notifier notifier(desktop.services);
    gui::MainWindow window(desktop.services, notifier, gui::MakerData::embedded());
    // Once the program is ending, a start waits for it to go rather than knock at a
    // program that will never answer.
    QObject::connect(&window, &gui::MainWindow::endRequested, &instance,
                     &platform::native::SingleInstance::stopListening);
    QObject::connect(&window, &gui::MainWindow::endRequested, &application, &QCoreApplication::quit);
    QObject::connect(&instance, &platform::native::SingleInstance::activationRequested, &window,
                     &gui::MainWindow::comeForward);
    // Replaced by a later start while it did not answer, it ends as by its close control.
    QObject::connect(&instance, &platform::native::SingleInstance::replaced, &window, &QWidget::close);
    QObject::connect(&endRequests, &platform::native::EndRequests::endRequested, &window, &QWidget::close);
    window.show();
    const int status = application.exec();
    instance.stopListening();
    return status;
}

}  // namespace
}  // namespace beamlet::app

int main(int argc, char* argv[])
{
    using namespace beamlet;
    platform::native::useConsole();
    platform::native::Arguments arguments(argc, argv);
    if (const std::optional<int> status = app::runCommandLine(arguments.count(), arguments.values()))
        return *status;
    if (!platform::native::windowsCanShow())
        return 1;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("beamlet"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.Beamlet"));
    // Told to end from here on, the program ends as by its close control and
    // leaves nothing of its one-program check behind.
    platform::native::EndRequests endRequests;
    platform::native::SingleInstance instance;
    if (instance.start([&endRequests] { return endRequests.pending(); })
        != platform::native::SingleInstance::Start::Run)
        return 0;
    return app::runWindows(application, instance, endRequests);
}

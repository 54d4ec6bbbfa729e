// Every window where the user can see it, whatever the screens: run once per
// screen configuration of the offscreen platform.
#include "MainWindowSession.h"
#include "gui/MiniWindow.h"

#include <QGuiApplication>
#include <QScreen>

using namespace beamlet;

namespace {

// Wholly on one screen; a window larger than the screen shows its top-left
// corner and overhangs only on the far side.
bool wholyOnAScreen(const QRect& rect)
{
    const auto fits = [](int start, int length, int areaStart, int areaLength) {
        return length <= areaLength ? start >= areaStart && start + length <= areaStart + areaLength
                                    : start == areaStart;
    };
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (fits(rect.x(), rect.width(), area.x(), area.width())
            && fits(rect.y(), rect.height(), area.y(), area.height()))
            return true;
    }
    return false;
}

}  // namespace

class ScreensTest : public QObject {
    Q_OBJECT
    testing::MainWindowSession session;

private slots:
    void init() { QVERIFY(session.open()); }
    void cleanup() { session.close(); }

    void everyWindowIsSeen()
    {
        gui::MainWindow& main = *session.window;
        QVERIFY(wholyOnAScreen(main.frameGeometry()));

        gui::Notifier& notifier = *session.notifier;
        notifier.show();
        while (!notifier.model().arrived())
            notifier.tick();
        QVERIFY(wholyOnAScreen(notifier.window()->geometry()));

        session.click("miniWindowButton");
        gui::MiniWindow* mini = main.miniWindow();
        QVERIFY(mini && mini->isVisible());
        QVERIFY(wholyOnAScreen(mini->geometry()));
    }
};

QTEST_MAIN(ScreensTest)
#include "screens_test.moc"

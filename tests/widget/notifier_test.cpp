// The notifier drives its window through the services: place, stacking, fade,
// the chime and the window's end.
#include "Fakes.h"
#include "gui/NotificationWindow.h"
#include "gui/Notifier.h"

#include <QSignalSpy>
#include <QTest>

using namespace beamlet;

class NotifierTest : public QObject {
    Q_OBJECT

private slots:
    // The model's steps reach the window: place on a screen right of the primary
    // one, stacking before opacity, opacity by fives, the chime once on arrival,
    // and the window destroyed when it has sunk.
    void notificationCycle()
    {
        testing::FakeServices fake;
        gui::Notifier notifier(fake.services);
        notifier.setScreenArea([] { return QRect(1920, 0, 1366, 768); });
        QSignalSpy unloaded(&notifier, &gui::Notifier::unloaded);
        notifier.show();
        QPointer<QWidget> window = notifier.window();
        QCOMPARE(window->geometry(), QRect(2951, 757, 328, 152));
        QVERIFY(window->windowFlags().testFlag(Qt::Tool));  // no taskbar entry
        notifier.show();                                    // a second show changes nothing
        QCOMPARE(notifier.window(), window.data());

        for (int tick = 1; tick <= 46; ++tick)
            notifier.tick();
        QCOMPARE(window->y(), 757 - 173);
        QStringList expected{QStringLiteral("ontop:notificationWindow:1")};
        for (int alpha = 5; alpha <= 235; alpha += 5)
            expected << QStringLiteral("opacity:notificationWindow:%1").arg(alpha);
        QCOMPARE(fake.windows.calls, expected);
        QCOMPARE(window->windowOpacity(), 235 / 255.0);
        QCOMPARE(fake.chime.calls, QStringList{QStringLiteral("ring")});

        notifier.endRest();
        for (int tick = 1; tick <= 27; ++tick)
            notifier.tick();
        QCOMPARE(unloaded.size(), 1);
        QCOMPARE(fake.chime.calls, (QStringList{QStringLiteral("ring"), QStringLiteral("stop")}));
        QTRY_VERIFY(!window);  // destroyed, not just hidden
    }
};

QTEST_MAIN(NotifierTest)
#include "notifier_test.moc"

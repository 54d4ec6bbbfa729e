// The exact counts of the panel and notification models, which also pin the
// numbers of the reference that random_events_test holds them to.
#include "NotificationModel.h"
#include "PanelModel.h"

#include <QtTest>

#include <algorithm>

using beamlet::core::NotificationModel;
using beamlet::core::PanelModel;
using beamlet::core::SlidingPanel;

namespace {

// The About, Contact Me and Emotions flags; capital: enabled.
QString flags(const PanelModel& p)
{
    return QString(p.aboutEnabled() ? "A" : "a") + (p.contactEnabled() ? "C" : "c") + (p.emotionsEnabled() ? "E" : "e");
}

}  // namespace

class ModelsTest : public QObject {
    Q_OBJECT

private slots:
    // After the clicks (A About, E Emotions; a, e the OK buttons of the
    // About and pack panels; T ticks until all rest) the named panel slides for exactly
    // `ticks` ticks to `end`; the flags as it starts and once it rests.
    void panelSlides_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("flagsThen");
        QTest::newRow("About opens") << "A" << "about" << 16 << 248 << "aCE aCE";
        QTest::newRow("About closes") << "ATa" << "about" << 17 << 928 << "ACE ACE";
        QTest::newRow("pack opens") << "E" << "pack" << 20 << 88 << "ace ace";
        QTest::newRow("pack closes") << "ETe" << "pack" << 23 << 1008 << "ACe ACE";
        QTest::newRow("pack reopens") << "ETeTE" << "pack" << 23 << 88 << "ace ace";
    }
    void panelSlides()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, panel);
        QFETCH(int, ticks);
        QFETCH(int, end);
        QFETCH(QString, flagsThen);
        PanelModel p;
        for (QChar c : clicks) {
            switch (c.toLatin1()) {
            case 'A': p.openAbout(); break;
            case 'E': p.openPack(); break;
            case 'a': p.closeAbout(); break;
            case 'e': p.closePack(); break;
            case 'T': for (int n = 0; p.animating() && n < 100; ++n) p.tick(); break;
            }
        }
        const SlidingPanel& s = panel == "about" ? p.about() : p.pack();
        const QString started = flags(p);
        int n = 0;
        for (; s.moving() && n < 100; ++n)
            p.tick();
        QCOMPARE(n, ticks);
        QCOMPARE(s.position(), end);
        QCOMPARE(started + ' ' + flags(p), flagsThen);
    }

    // The cycle's tick counts: 26 up (the rest's end during the rise changes nothing),
    // 27 down from the rest; a close during the rise turns the window round where it
    // is, without an arrival. Opacity runs 5..235 by 5 throughout, and a second show
    // during the cycle is refused and changes nothing.
    void notificationCycle_data()
    {
        QTest::addColumn<QString>("ending");  // what starts the descent
        QTest::addColumn<int>("endAt");       // ticks after the show
        QTest::addColumn<int>("arrivalTick"); // 0: none
        QTest::addColumn<int>("unloadTick");
        QTest::newRow("rest ends") << "rest" << 100 << 26 << 127;
        QTest::newRow("close at once") << "close" << 0 << 0 << 1;
        QTest::newRow("close while rising") << "close" << 10 << 0 << 21;
        QTest::newRow("close on arrival") << "close" << 26 << 26 << 53;
    }
    void notificationCycle()
    {
        QFETCH(QString, ending);
        QFETCH(int, endAt);
        QFETCH(int, arrivalTick);
        QFETCH(int, unloadTick);
        NotificationModel m;
        QVERIFY(m.show(945, 1013));
        int arrivedAt = 0, unloadedAt = 0;
        for (int tick = 0; tick < 200 && !unloadedAt; ++tick) {
            QCOMPARE(m.opacity(), std::min(5 + 5 * tick, 235));
            QVERIFY(!m.show(0, 0));
            if (tick == endAt)
                ending == "close" ? m.close() : m.restEnded();
            else if (m.rising())
                m.restEnded();
            const auto events = m.tick();
            if (events.arrived)
                arrivedAt = tick + 1;
            if (events.unloaded)
                unloadedAt = tick + 1;
        }
        QCOMPARE(arrivedAt, arrivalTick);
        QCOMPARE(unloadedAt, unloadTick);
    }
};

QTEST_APPLESS_MAIN(ModelsTest)
#include "models_test.moc"

// The exact counts of the panel and notification models, which also pin the
// numbers of the reference that random_events_test holds them to.
#include "core/NotificationModel.h"
#include "core/PanelModel.h"

#include <QtTest>

#include <algorithm>

using beamlet::core::NotificationModel;
using beamlet::core::PanelModel;

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
    // After the clicks (A About, E Emotions; a, e the OK buttons of the About and
    // pack panels; T ticks until all rest) the panels slide for exactly `ticks` ticks;
    // the flags as they start, then the About, Contact and pack places and the flags.
    void panelSlides_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("then");
        QTest::newRow("About opens") << "A" << 16 << "aCE 248 888 888 aCE";
        QTest::newRow("About closes") << "ATa" << 17 << "ACE 928 888 888 ACE";
        QTest::newRow("pack opens") << "E" << 20 << "ace 928 928 88 ace";
        QTest::newRow("pack closes") << "ETe" << 23 << "ACe 928 928 1008 ACE";
        QTest::newRow("pack reopens") << "ETeTE" << 23 << "ace 968 968 88 ace";
    }
    void panelSlides()
    {
        QFETCH(QString, clicks);
        QFETCH(int, ticks);
        QFETCH(QString, then);
        PanelModel p;
        auto settle = [&p] {
            int n = 0;
            for (; p.animating() && n < 100; ++n)
                p.tick();
            return n;
        };
        for (QChar c : clicks) {
            switch (c.toLatin1()) {
            case 'A':
                p.openAbout();
                break;
            case 'E':
                p.openPack();
                break;
            case 'a':
                p.closeAbout();
                break;
            case 'e':
                p.closePack();
                break;
            case 'T':
                settle();
                break;
            }
        }
        const QString started = flags(p);
        QCOMPARE(settle(), ticks);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(started)
                     .arg(p.about().position())
                     .arg(p.contact().position())
                     .arg(p.pack().position())
                     .arg(flags(p)),
                 then);
    }

    // The cycle's ticks: 26 up, then, the rest ending as soon as the window rests, 27
    // down; a close during the rise turns the window round where it is, without an
    // arrival. Opacity runs 5..235 by 5 throughout; a second show is refused.
    void notificationCycle_data()
    {
        QTest::addColumn<int>("closeAt");      // ticks after the show; -1: never
        QTest::addColumn<int>("arrivalTick");  // 0: none
        QTest::addColumn<int>("unloadTick");
        QTest::newRow("rest ends") << -1 << 26 << 53;
        QTest::newRow("close at once") << 0 << 0 << 1;
        QTest::newRow("close while rising") << 10 << 0 << 21;
    }
    void notificationCycle()
    {
        QFETCH(int, closeAt);
        QFETCH(int, arrivalTick);
        QFETCH(int, unloadTick);
        NotificationModel m;
        QVERIFY(m.show(945, 1013));
        int arrivedAt = 0, unloadedAt = 0;
        for (int tick = 0; tick < 200 && !unloadedAt; ++tick) {
            QCOMPARE(m.opacity(), std::min(5 + 5 * tick, 235));
            QVERIFY(!m.show(0, 0));
            m.restEnded();  // ends only a rest, never the rise
            if (tick == closeAt)
                m.close();
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

#include "NotificationModel.h"

#include <QtTest>

#include <algorithm>

using beamlet::core::NotificationModel;

namespace {

constexpr int kLeft = 945;
constexpr int kStoredTop = 1013;
// A tick moves the window a third of a pixel short of 7.
constexpr double kStep = 100.0 / 15;

// The whole observable state in one line, so a mismatch shows everything at once.
QString describe(const NotificationModel& m)
{
    static const char* const phases[] = {"not loaded", "rising", "resting", "sinking"};
    return QStringLiteral("%1 left=%2 top=%3 start=%4 opacity=%5 up=%6 fade=%7 down=%8 rest=%9 arrived=%10")
        .arg(phases[int(m.phase())])
        .arg(m.left())
        .arg(m.top())
        .arg(m.startTop())
        .arg(m.opacity())
        .arg(m.rising())
        .arg(m.fading())
        .arg(m.sinking())
        .arg(m.resting())
        .arg(m.arrived());
}

// Opacity after n animation ticks of one cycle: +5 per tick, held at 235.
int fadedOpacity(int ticks) { return std::min(5 + 5 * ticks, 235); }

}  // namespace

class NotificationModelTest : public QObject {
    Q_OBJECT

private slots:
    // The tick counts do not depend on where the window starts.
    void cycle_data()
    {
        QTest::addColumn<int>("startTop");
        QTest::newRow("stored position") << kStoredTop;
        QTest::newRow("600 px screen") << 600 - 11;
        QTest::newRow("odd") << 823;
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -67;
    }
    void cycle()
    {
        QFETCH(int, startTop);
        NotificationModel m;
        // Before any show nothing reacts.
        m.close();
        m.restEnded();
        const auto idle = m.tick();
        QVERIFY(!idle.arrived && !idle.unloaded);
        QCOMPARE(m.phase(), NotificationModel::Phase::NotLoaded);

        // Twice on one model: a show after the unload starts a complete fresh cycle.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(m.show(kLeft, startTop));
            QCOMPARE(m.phase(), NotificationModel::Phase::Rising);
            QCOMPARE(m.top(), double(startTop));
            QCOMPARE(m.left(), kLeft);
            QCOMPARE(m.opacity(), 5);
            QVERIFY(!m.arrived());

            int tick = 0, arrivals = 0, unloads = 0;
            QString fadeFault;  // the first tick whose opacity is off
            auto step = [&] {
                const auto events = m.tick();
                ++tick;
                arrivals += events.arrived;
                unloads += events.unloaded;
                if (fadeFault.isEmpty() && (m.opacity() != fadedOpacity(tick) || m.fading() != (tick < 46)))
                    fadeFault = QStringLiteral("tick %1: %2").arg(tick).arg(describe(m));
            };
            // Rise; the rest timer is not running yet, so its tick must not send it down.
            while (m.rising() && tick < 100) {
                m.restEnded();
                step();
            }
            QCOMPARE(tick, 26);
            QCOMPARE(arrivals, 1);
            QCOMPARE(m.top(), startTop - 26 * kStep);
            QCOMPARE(m.phase(), NotificationModel::Phase::Resting);
            QVERIFY(m.arrived() && m.resting());

            // Rest: the fade finishes, the window stays put, nothing is reported again.
            while (tick < 120)
                step();
            QCOMPARE(m.top(), startTop - 26 * kStep);
            QCOMPARE(m.phase(), NotificationModel::Phase::Resting);
            QCOMPARE(arrivals, 1);

            m.restEnded();
            QCOMPARE(m.phase(), NotificationModel::Phase::Sinking);
            int down = 0;
            while (m.loaded() && down < 100) {
                if (down % 4 == 0)
                    m.restEnded();  // the rest timer keeps firing; it must not disturb the descent
                step();
                ++down;
            }
            QCOMPARE(down, 27);
            QCOMPARE(unloads, 1);
            QCOMPARE(arrivals, 1);
            QCOMPARE(m.top(), startTop + kStep);
            QCOMPARE(m.phase(), NotificationModel::Phase::NotLoaded);
            QVERIFY2(fadeFault.isEmpty(), qPrintable(fadeFault));

            const QString unloaded = describe(m);
            m.restEnded();
            const auto after = m.tick();
            QVERIFY(!after.arrived && !after.unloaded);
            QCOMPARE(describe(m), unloaded);
        }
    }

    // A show while loaded neither restarts nor lengthens anything: a model that got
    // the extra show runs tick for tick like one that did not.
    void showDuringCycle_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("after");
        QTest::newRow("just shown") << 0 << "" << 0;
        QTest::newRow("rising") << 10 << "" << 0;
        QTest::newRow("arrived, fading") << 30 << "" << 0;
        QTest::newRow("resting, faded") << 60 << "" << 0;
        QTest::newRow("sinking") << 60 << "rest" << 5;
        QTest::newRow("last sinking tick") << 60 << "rest" << 26;
        QTest::newRow("sinking after close in the rise") << 10 << "close" << 3;
    }
    void showDuringCycle()
    {
        QFETCH(int, before);
        QFETCH(QString, action);
        QFETCH(int, after);
        NotificationModel plain, shown;
        for (NotificationModel* m : {&plain, &shown}) {
            QVERIFY(m->show(kLeft, kStoredTop));
            for (int i = 0; i < before; ++i)
                m->tick();
            if (action == "rest")
                m->restEnded();
            else if (action == "close")
                m->close();
            for (int i = 0; i < after; ++i)
                m->tick();
        }
        QVERIFY(plain.loaded());
        QVERIFY(!shown.show(0, 900));
        QCOMPARE(describe(shown), describe(plain));

        for (int i = 0; i < 200 && plain.loaded(); ++i) {
            if (i == 70)
                QVERIFY(!shown.show(kLeft, kStoredTop));
            if (i % 50 == 49) {  // rest timer, 5 s apart
                plain.restEnded();
                shown.restEnded();
            }
            const auto a = plain.tick();
            const auto b = shown.tick();
            QCOMPARE(b.arrived, a.arrived);
            QCOMPARE(b.unloaded, a.unloaded);
            QCOMPARE(describe(shown), describe(plain));
        }
        QVERIFY(!plain.loaded());
    }

    // The close control sends the window down from wherever it is. During the rise it
    // turns the window round: no arrival, and the descent ends just below the start.
    void close_data()
    {
        QTest::addColumn<int>("closeAt");       // animation ticks after the show
        QTest::addColumn<int>("descent");       // ticks from the click to the unload
        QTest::addColumn<int>("arrivals");
        QTest::newRow("at once") << 0 << 1 << 0;
        QTest::newRow("after one tick") << 1 << 2 << 0;
        QTest::newRow("mid-rise") << 10 << 11 << 0;
        QTest::newRow("last rising tick") << 25 << 26 << 0;
        QTest::newRow("just arrived") << 26 << 27 << 1;
        QTest::newRow("arrived, still fading") << 30 << 27 << 1;
        QTest::newRow("fade just done") << 46 << 27 << 1;
        QTest::newRow("resting") << 100 << 27 << 1;
    }
    void close()
    {
        QFETCH(int, closeAt);
        QFETCH(int, descent);
        QFETCH(int, arrivals);
        NotificationModel m;
        QVERIFY(m.show(kLeft, kStoredTop));
        int tick = 0, arrived = 0, unloads = 0;
        QString fadeFault;
        auto step = [&] {
            const auto events = m.tick();
            ++tick;
            arrived += events.arrived;
            unloads += events.unloaded;
            // The fade goes on whatever the window does, until the unload.
            if (fadeFault.isEmpty() && m.opacity() != fadedOpacity(tick))
                fadeFault = QStringLiteral("tick %1: %2").arg(tick).arg(describe(m));
        };
        while (tick < closeAt)
            step();

        m.close();
        QCOMPARE(m.phase(), NotificationModel::Phase::Sinking);
        QVERIFY(!m.rising() && m.sinking());
        m.close();  // a second click changes nothing
        int down = 0;
        while (m.loaded() && down < 100) {
            m.restEnded();
            step();
            ++down;
        }
        QCOMPARE(down, descent);
        QCOMPARE(arrived, arrivals);
        QCOMPARE(unloads, 1);
        QCOMPARE(m.top(), kStoredTop + kStep);
        QVERIFY2(fadeFault.isEmpty(), qPrintable(fadeFault));  // includes the opacity it leaves at
        QVERIFY(!m.fading());

        QVERIFY(m.show(kLeft, kStoredTop));
        QCOMPARE(m.opacity(), 5);
        QCOMPARE(m.top(), double(kStoredTop));
        QVERIFY(m.rising() && m.fading() && !m.sinking() && !m.arrived());
    }
};

QTEST_APPLESS_MAIN(NotificationModelTest)
#include "notification_model_test.moc"

// The desktop services: the notification window's cycle on screen, the sound
// file, the two window routines, dragging, and the push button.
#include "AssetPaths.h"
#include "Fakes.h"
#include "Notifier.h"
#include "Picture.h"
#include "PushButton.h"
#include "ScreenFit.h"
#include "ToneFile.h"
#include "Wave.h"
#include "WindowDrag.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace beamlet;

namespace {

QByteArray resourceSound()
{
    QFile f(QString::fromLatin1(assets::kSound));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void soundResourceIsTheExactWave()
    {
        const QByteArray wav = resourceSound();
        QCOMPARE(wav.size(), 535596);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        const auto u16 = [&](int at) { return quint16(uchar(wav[at]) | uchar(wav[at + 1]) << 8); };
        const auto u32 = [&](int at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
        QCOMPARE(u32(16), 16u);       // fmt chunk size
        QCOMPARE(u16(20), 1);         // PCM
        QCOMPARE(u16(22), 2);         // channels
        QCOMPARE(u32(24), 44100u);
        QCOMPARE(u32(28), 176400u);
        QCOMPARE(u16(32), 4);
        QCOMPARE(u16(34), 16);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(u32(40), 535552u);
    }

    void notificationCycle()
    {
        testing::FakePlatform fake;
        desktop::Notifier notifier(fake.platform);
        notifier.setScreenArea([] { return QRect(0, 0, 1280, 1024); });
        QSignalSpy arrived(&notifier, &desktop::Notifier::arrived);
        QSignalSpy unloaded(&notifier, &desktop::Notifier::unloaded);
        QSignalSpy written(&notifier, &desktop::Notifier::soundWritten);

        notifier.show();
        QPointer<QWidget> window = notifier.window();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("FRMMSGZ"));
        QCOMPARE(window->geometry(), QRect(945, 1013, 328, 152));
        QVERIFY(window->isVisible());
        QCOMPARE(fake.windows.calls.mid(0, 2),
                 (QStringList{QStringLiteral("topmost:FRMMSGZ:-1"), QStringLiteral("opacity:FRMMSGZ:5")}));
        QVERIFY(window->windowFlags().testFlag(Qt::Tool));  // no taskbar entry

        // A second show during the cycle changes nothing.
        notifier.show();
        QCOMPARE(notifier.window(), window.data());

        for (int tick = 1; tick <= 26; ++tick)
            notifier.tickAnimation();
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(window->y(), qRound(12595 / 15.0));
        QVERIFY(written.wait());
        QCOMPARE(fake.sound.played.size(), 1);
        QCOMPARE(fake.sound.played.first(), resourceSound());
        QCOMPARE(written.first().first().toString(), notifier.lastSoundFile());
        QCOMPARE(readAll(notifier.lastSoundFile()), resourceSound());

        for (int tick = 27; tick <= 46; ++tick)
            notifier.tickAnimation();
        QCOMPARE(notifier.model().opacity(), 235);
        QCOMPARE(window->windowOpacity(), 235 / 255.0);

        notifier.tickRest();
        for (int tick = 1; tick <= 26; ++tick)
            notifier.tickAnimation();
        QCOMPARE(unloaded.size(), 0);
        notifier.tickAnimation();
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!notifier.window());
        QVERIFY(fake.sound.stops >= 1);
        QTRY_VERIFY(!window);  // destroyed, not just hidden

        // The next copy starts a whole new cycle, sound file and all.
        notifier.show();
        QVERIFY(notifier.window());
        QCOMPARE(notifier.model().opacity(), 5);
        for (int tick = 1; tick <= 26; ++tick)
            notifier.tickAnimation();
        QVERIFY(written.wait());
        QCOMPARE(fake.sound.played.size(), 2);
    }

    void closeControl()
    {
        testing::FakePlatform fake;
        desktop::Notifier notifier(fake.platform);
        notifier.setScreenArea([] { return QRect(0, 0, 1280, 1024); });
        notifier.show();
        desktop::NotificationWindow* window = notifier.window();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(!window->closeHot()->isVisible());
        QTest::mouseMove(window->closeRest(), QPoint(5, 5));
        QTRY_VERIFY(window->closeHot()->isVisible());
        QTest::mouseMove(window, QPoint(100, 100));
        QTRY_VERIFY(!window->closeHot()->isVisible());
        QTest::mouseMove(window->closeRest(), QPoint(5, 5));
        QTRY_VERIFY(window->closeHot()->isVisible());
        // Clicked while still rising: it turns round where it is and never arrives.
        for (int tick = 0; tick < 10; ++tick)
            notifier.tickAnimation();
        QTest::mouseClick(window->closeHot(), Qt::LeftButton);
        QVERIFY(notifier.model().sinking());
        QVERIFY(!notifier.model().rising());
        for (int tick = 0; tick < 11 && notifier.model().loaded(); ++tick)
            notifier.tickAnimation();
        QVERIFY(!notifier.model().loaded());
        QVERIFY(fake.sound.played.isEmpty());
    }

    void placementFollowsTheScreen_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("start");
        QTest::newRow("1280x1024") << QRect(0, 0, 1280, 1024) << QPoint(945, 1013);
        QTest::newRow("800x600") << QRect(0, 0, 800, 600) << QPoint(465, 589);
        QTest::newRow("panel at the bottom") << QRect(0, 0, 1920, 1040) << QPoint(1585, 1029);
        QTest::newRow("second monitor") << QRect(1920, 0, 1366, 768) << QPoint(2951, 757);
    }
    void placementFollowsTheScreen()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, start);
        testing::FakePlatform fake;
        desktop::Notifier notifier(fake.platform);
        notifier.setScreenArea([area] { return area; });
        notifier.show();
        QCOMPARE(notifier.window()->pos(), start);
        for (int tick = 0; tick < 26; ++tick)
            notifier.tickAnimation();
        QVERIFY(notifier.model().arrived());
        QVERIFY(area.contains(notifier.window()->geometry()));
    }

    void toneFileReplacesWhatStandsThere_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::newRow("nothing") << "none";
        QTest::newRow("longer stale file") << "stale";
        QTest::newRow("read-only file") << "readonly";
        QTest::newRow("symbolic link") << "symlink";
    }
    void toneFileReplacesWhatStandsThere()
    {
        QFETCH(QString, existing);
        QTemporaryDir dir;
        const QString target = dir.path() + QStringLiteral("/tone.wav");
        const QString linked = dir.path() + QStringLiteral("/precious.txt");
        const QByteArray bytes = resourceSound();
        if (existing == QLatin1String("stale") || existing == QLatin1String("readonly")) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(bytes.size() + 4096, 'x'));
            f.close();
            if (existing == QLatin1String("readonly"))
                QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
        } else if (existing == QLatin1String("symlink")) {
            QFile f(linked);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
            f.close();
            QVERIFY(QFile::link(linked, target));
        }
        QCOMPARE(desktop::writeToneInto(dir.path(), bytes), target);
        QCOMPARE(readAll(target), bytes);
        QVERIFY(!QFileInfo(target).isSymLink());
        if (existing == QLatin1String("symlink"))
            QCOMPARE(readAll(linked), QByteArray("keep me"));
        // No temporary files left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), existing == QLatin1String("symlink") ? 2 : 1);
    }

    void toneFileThatCannotBeWritten()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tone.wav")));
        QCOMPARE(desktop::writeToneInto(dir.path(), resourceSound()), QString());
        if (::geteuid() != 0) {  // root writes anywhere
            QTemporaryDir locked;
            QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
            QCOMPARE(desktop::writeToneInto(locked.path(), resourceSound()), QString());
            QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    void cacheFolderIsTheUsersOwn_data()
    {
        QTest::addColumn<QString>("xdgCacheHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_CACHE_HOME first") << "/x/cache" << "/home/u" << "/x/cache";
        QTest::newRow("relative XDG_CACHE_HOME ignored") << "cache" << "/home/u" << "/home/u/.cache";
        QTest::newRow("HOME's .cache") << "" << "/home/u/" << "/home/u/.cache";
        QTest::newRow("HOME unset: none, not /.cache") << "" << "" << "";
        QTest::newRow("relative HOME: none") << "" << "u" << "";
        QTest::newRow("both relative: none") << "c" << "u" << "";
    }
    void cacheFolderIsTheUsersOwn()
    {
        QFETCH(QString, xdgCacheHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(desktop::userCacheFolder(xdgCacheHome, home), expected);
    }

    void waveHeaderIsReadWithoutTrustingIt_data()
    {
        // (bytes, sample rate, channels, data offset, data size); rate 0 when not playable.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("size");
        const QByteArray tone = resourceSound();
        const auto le32 = [](quint32 v) {
            const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
            return QByteArray(bytes, 4);
        };
        const auto withAt = [](QByteArray b, int at, const QByteArray& part) { return b.replace(at, part.size(), part); };
        QTest::newRow("the chime") << tone << 44100 << 2 << qsizetype(44) << qsizetype(535552);
        for (int cut : {0, 4, 11, 12, 19, 35, 40, 43, 44, 47})
            QTest::addRow("cut to %d bytes", cut) << tone.left(cut) << 0 << 0 << qsizetype(0) << qsizetype(0);
        QTest::newRow("cut inside the samples, to whole frames")
            << tone.left(1001) << 44100 << 2 << qsizetype(44) << qsizetype(956);
        QTest::newRow("data size past the end") << withAt(tone.left(1044), 40, le32(0xFFFFFFFFu))
                                                << 44100 << 2 << qsizetype(44) << qsizetype(1000);
        QTest::newRow("fmt size past the end") << withAt(tone.left(40), 16, le32(0xFFFFFFF0u))
                                               << 0 << 0 << qsizetype(0) << qsizetype(0);
        // An odd-sized chunk is padded to an even length before the next one.
        const QByteArray odd = tone.left(12) + "LIST" + le32(3) + "abc" + '\0' + tone.mid(12, 1000);
        QTest::newRow("odd-sized chunk first") << odd << 44100 << 2 << qsizetype(56) << qsizetype(968);
        QTest::newRow("8-bit samples") << withAt(tone, 34, QByteArray("\x08\x00", 2)) << 0 << 0 << qsizetype(0) << qsizetype(0);
        QTest::newRow("compressed") << withAt(tone, 20, QByteArray("\x02\x00", 2)) << 0 << 0 << qsizetype(0) << qsizetype(0);
        QTest::newRow("no channels") << withAt(tone, 22, QByteArray("\x00\x00", 2)) << 0 << 0 << qsizetype(0) << qsizetype(0);
        QTest::newRow("samples before their format")
            << tone.left(12) + tone.mid(36, 8) + tone.mid(12, 24) << 0 << 0 << qsizetype(0) << qsizetype(0);
        QTest::newRow("not RIFF") << withAt(tone, 0, "RIFX") << 0 << 0 << qsizetype(0) << qsizetype(0);
    }
    void waveHeaderIsReadWithoutTrustingIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, size);
        const desktop::WaveLayout wave = desktop::readWaveLayout(bytes);
        QCOMPARE(wave.playable(), rate != 0);
        if (!wave.playable())
            return;
        QCOMPARE(wave.sampleRate, rate);
        QCOMPARE(wave.channels, channels);
        QCOMPARE(wave.dataOffset, offset);
        QCOMPARE(wave.dataSize, size);
        QVERIFY(wave.dataOffset + wave.dataSize <= bytes.size());
    }

    void setTopMostKeepsVisibility_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<int>("result");
        QTest::newRow("visible, on") << true << -1 << true << 1;
        QTest::newRow("hidden, on") << false << -1 << true << 1;
        QTest::newRow("visible, 1 means off") << true << 1 << false << 0;
        QTest::newRow("hidden, 0") << false << 0 << false << 0;
        QTest::newRow("visible, 255") << true << 255 << false << 0;
    }
    void setTopMostKeepsVisibility()
    {
        QFETCH(bool, visible);
        QFETCH(int, flag);
        QFETCH(bool, onTop);
        QFETCH(int, result);
        desktop::QtWindowServices services;
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setWindowFlag(Qt::WindowStaysOnTopHint, !onTop);  // so the call must change it
        window.resize(100, 50);
        window.move(123, 77);
        if (visible) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        QCOMPARE(services.setTopMost(window, short(flag)), result);
        QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        QCOMPARE(window.isVisible(), visible);
        QCOMPARE(window.pos(), QPoint(123, 77));
        services.setOpacity(window, 255);
        QCOMPARE(window.windowOpacity(), 1.0);
        QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    }

    void drag_data()
    {
        QTest::addColumn<int>("pressButton");
        QTest::addColumn<int>("held");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left alone") << int(Qt::LeftButton) << int(Qt::LeftButton) << QPoint(10, 10) << true;
        QTest::newRow("left, far end of the handle") << int(Qt::LeftButton) << int(Qt::LeftButton) << QPoint(390, 5) << true;
        QTest::newRow("right") << int(Qt::RightButton) << int(Qt::RightButton) << QPoint(10, 10) << false;
        QTest::newRow("left and right") << int(Qt::LeftButton) << int(Qt::LeftButton | Qt::RightButton) << QPoint(10, 10) << false;
        QTest::newRow("no button") << int(Qt::LeftButton) << int(Qt::NoButton) << QPoint(10, 10) << false;
    }
    void drag()
    {
        QFETCH(int, pressButton);
        QFETCH(int, held);
        QFETCH(QPoint, pressAt);
        QFETCH(bool, moves);
        QWidget window;
        window.setGeometry(200, 200, 400, 100);
        desktop::Picture handle(QStringLiteral("LBLMOVE"), &window);
        handle.setGeometry(0, 0, 400, 20);
        int cleared = 0;
        desktop::WindowDrag drag(window, [&] { ++cleared; });
        window.setCursor(Qt::CrossCursor);
        const QPoint origin = window.pos();
        const QPoint globalPress = origin + pressAt;
        sendMouse(&handle, QEvent::MouseButtonPress, pressAt, globalPress, Qt::MouseButton(pressButton), Qt::MouseButtons(pressButton));
        drag.press(QMouseEvent(QEvent::MouseButtonPress, QPointF(pressAt), QPointF(globalPress), Qt::MouseButton(pressButton),
                               Qt::MouseButtons(pressButton), Qt::NoModifier));
        QCOMPARE(drag.pressPoint(), pressAt);
        const QPoint shift(-250, 37);  // off screen to the left is allowed
        drag.move(QMouseEvent(QEvent::MouseMove, QPointF(pressAt + shift), QPointF(globalPress + shift), Qt::NoButton,
                              Qt::MouseButtons(held), Qt::NoModifier));
        QCOMPARE(cleared, 1);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.pos(), moves ? origin + shift : origin);
    }

    void fitOnScreen_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("fitted");
        QTest::newRow("fits") << QRect(238, 256, 803, 525) << QRect(0, 0, 1280, 1024) << QPoint(238, 256);
        QTest::newRow("800x600") << QRect(238, 256, 803, 525) << QRect(0, 0, 800, 600) << QPoint(0, 75);
        QTest::newRow("1366x768") << QRect(238, 256, 803, 525) << QRect(0, 0, 1366, 768) << QPoint(238, 243);
        QTest::newRow("mini on 1366x768") << QRect(262, 824, 767, 102) << QRect(0, 0, 1366, 768) << QPoint(262, 666);
        QTest::newRow("right monitor") << QRect(2000, 256, 803, 525) << QRect(1920, 0, 800, 600) << QPoint(1920, 75);
    }
    void fitOnScreen()
    {
        QFETCH(QRect, rect);
        QFETCH(QRect, area);
        QFETCH(QPoint, fitted);
        QCOMPARE(fitInto(rect, area).topLeft(), fitted);
    }

    void pushButton()
    {
        QWidget host;
        desktop::PushButton button(QStringLiteral("cmdemook"), QStringLiteral("&OK"), desktop::ButtonLook::white(), &host);
        button.setGeometry(10, 10, 65, 33);
        host.show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QSignalSpy clicks(&button, &QAbstractButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.size(), 1);
        QTest::keyClick(&host, Qt::Key_O, Qt::AltModifier);  // the access key
        QTRY_COMPARE(clicks.size(), 2);
        button.setEnabled(false);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::keyClick(&host, Qt::Key_O, Qt::AltModifier);
        QTest::qWait(200);
        QCOMPARE(clicks.size(), 2);
        // The disabled look differs from the enabled one.
        const QImage disabled = button.grab().toImage();
        button.setEnabled(true);
        QVERIFY(button.grab().toImage() != disabled);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"

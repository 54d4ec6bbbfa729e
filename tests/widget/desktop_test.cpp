// The desktop services: the notification window's cycle on screen, the sound
// file's folder and header, dragging, the push button and the dense pictures.
#include "Assets.h"
#include "Fakes.h"
#include "NotificationWindow.h"
#include "Notifier.h"
#include "Pictures.h"
#include "PushButton.h"
#include "ToneFile.h"
#include "Wave.h"
#include "WindowDragger.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

using namespace beamlet;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class DesktopTest : public QObject {
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
        notifier.show();  // a second show changes nothing
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

    // The sound never goes to a relative or root folder.
    void cacheFolderIsTheUsersOwn_data()
    {
        QTest::addColumn<QString>("xdgCacheHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_CACHE_HOME first") << "/x/cache" << "/home/u" << "/x/cache";
        QTest::newRow("relative XDG_CACHE_HOME") << "cache" << "/home/u" << "/home/u/.cache";
        QTest::newRow("HOME's .cache") << "" << "/home/u/" << "/home/u/.cache";
        QTest::newRow("HOME unset: not /.cache") << "" << "" << "";
        QTest::newRow("both relative") << "c" << "u" << "";
    }
    void cacheFolderIsTheUsersOwn()
    {
        QFETCH(QString, xdgCacheHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(platform::userCacheFolder(xdgCacheHome, home), expected);
    }

    // Sizes in the header are checked against the bytes there are; only 16-bit
    // PCM is played. Offset 0 means not playable.
    void waveHeaderIsReadWithoutTrustingIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("size");
        const QByteArray tone = widgets::chimeBytes();
        const auto le32 = [](quint32 v) {
            v = qToLittleEndian(v);
            return QByteArray(reinterpret_cast<const char*>(&v), 4);
        };
        const auto withAt = [](QByteArray b, int at, const QByteArray& part) { return b.replace(at, part.size(), part); };
        QTest::newRow("the chime") << tone << qsizetype(44) << qsizetype(535552);
        for (int cut : {0, 11, 19, 35, 43, 47})
            QTest::addRow("cut to %d bytes", cut) << tone.left(cut) << qsizetype(0) << qsizetype(0);
        QTest::newRow("cut to whole frames") << tone.left(1001) << qsizetype(44) << qsizetype(956);
        QTest::newRow("data size past the end") << withAt(tone.left(1044), 40, le32(0xFFFFFFFFu)) << qsizetype(44) << qsizetype(1000);
        QTest::newRow("fmt size past the end") << withAt(tone.left(40), 16, le32(0xFFFFFFF0u)) << qsizetype(0) << qsizetype(0);
        const QByteArray odd = tone.left(12) + "LIST" + le32(3) + "abc" + '\0' + tone.mid(12, 1000);
        QTest::newRow("odd chunk padded") << odd << qsizetype(56) << qsizetype(968);
        QTest::newRow("8-bit") << withAt(tone, 34, QByteArray("\x08\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("compressed") << withAt(tone, 20, QByteArray("\x02\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("no channels") << withAt(tone, 22, QByteArray("\x00\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("data before fmt") << tone.left(12) + tone.mid(36, 8) + tone.mid(12, 24) << qsizetype(0) << qsizetype(0);
        QTest::newRow("not RIFF") << withAt(tone, 0, "RIFX") << qsizetype(0) << qsizetype(0);
    }
    void waveHeaderIsReadWithoutTrustingIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, size);
        const platform::WaveLayout wave = platform::readWaveLayout(bytes);
        QCOMPARE(wave.playable(), offset != 0);
        if (!wave.playable())
            return;
        QCOMPARE(wave.sampleRate, 44100);
        QCOMPARE(wave.channels, 2);
        QCOMPARE(wave.dataOffset, offset);
        QCOMPARE(wave.dataSize, size);
    }

    // Only the left button alone drags, and a right click meanwhile does not end
    // the drag; any move over the handle clears the chrome's highlights.
    void drag_data()
    {
        QTest::addColumn<int>("meanwhile");
        QTest::addColumn<int>("held");
        QTest::addColumn<bool>("moves");
        const int left = Qt::LeftButton, right = Qt::RightButton, none = Qt::NoButton;
        QTest::newRow("left alone") << none << left << true;
        QTest::newRow("left and right") << none << (left | right) << false;
        QTest::newRow("no button") << none << none << false;
        QTest::newRow("right clicked meanwhile") << right << left << true;
    }
    void drag()
    {
        QFETCH(int, meanwhile);
        QFETCH(int, held);
        QFETCH(bool, moves);
        QWidget window;
        window.setGeometry(200, 200, 400, 100);
        widgets::Picture handle(QStringLiteral("headerStrip"), QString(), &window);
        handle.setGeometry(0, 0, 400, 20);
        auto* dragger = new widgets::WindowDragger(handle, window);
        QSignalSpy cleared(dragger, &widgets::WindowDragger::movedOverHandle);
        window.setCursor(Qt::CrossCursor);
        const QPoint origin = window.pos(), at(10, 10);
        sendMouse(&handle, QEvent::MouseButtonPress, at, origin + at, Qt::LeftButton, Qt::LeftButton);
        if (meanwhile != Qt::NoButton) {
            const auto other = Qt::MouseButton(meanwhile);
            sendMouse(&handle, QEvent::MouseButtonPress, at, origin + at, other, Qt::LeftButton | other);
            sendMouse(&handle, QEvent::MouseButtonRelease, at, origin + at, other, Qt::LeftButton);
        }
        const QPoint shift(-250, 37);  // off screen to the left is allowed
        sendMouse(&handle, QEvent::MouseMove, at + shift, origin + at + shift, Qt::NoButton, Qt::MouseButtons(held));
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.pos(), moves ? origin + shift : origin);
    }

    // The access key presses it only while enabled; disabled looks different.
    void pushButton()
    {
        QWidget host;
        widgets::PushButton button(QStringLiteral("packOkButton"), QStringLiteral("&OK"), widgets::ButtonLook::white(), &host);
        button.setGeometry(10, 10, 65, 33);
        host.show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        const QImage enabled = button.grab().toImage();
        QSignalSpy presses(&button, &QAbstractButton::pressed);
        QTest::keyClick(&host, Qt::Key_O, Qt::AltModifier);
        button.setEnabled(false);
        QTest::keyClick(&host, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(presses.size(), 1);
        QVERIFY(button.grab().toImage() != enabled);
    }

    // A dense screen shows the same pictures: each start picture's "@2x" twin,
    // halved, is the picture itself within smoothing.
    void densePicturesMatch_data()
    {
        QTest::addColumn<QString>("path");
        for (const QLatin1String path : {widgets::kMainWindowPicture, widgets::kMiniWindowPicture, widgets::kAppIcon})
            QTest::newRow(path.data()) << QString(path);
    }

    void densePicturesMatch()
    {
        QFETCH(QString, path);
        const QImage single = widgets::loadPicture(path, 1.0).convertToFormat(QImage::Format_ARGB32);
        const QImage dense = widgets::loadPicture(path, 2.0);
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        const QImage halved = dense.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        qint64 difference = 0;
        for (int y = 0; y < single.height(); ++y) {
            for (int x = 0; x < single.width(); ++x) {
                const QRgb a = single.pixel(x, y), b = halved.pixel(x, y);
                difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        }
        const double perChannel = double(difference) / (3.0 * single.width() * single.height());
        QVERIFY2(perChannel < 8.0, qPrintable(QStringLiteral("mean difference %1").arg(perChannel)));
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
// The windows' toolkit: dragging a window, the push button, and the dense
// screens' pictures.
#include "widgets/Assets.h"
#include "widgets/Picture.h"
#include "widgets/PushButton.h"
#include "widgets/WindowDragger.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace beamlet;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
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
        widgets::PushButton button(QStringLiteral("packOkButton"), QStringLiteral("&OK"), widgets::ButtonLook::white(),
                                   &host);
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

QTEST_MAIN(ToolkitTest)
#include "toolkit_test.moc"

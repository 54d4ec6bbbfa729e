// The main window as the user meets it: controls at their places, the composer's
// keys and clicks, Get Code, Help, the chrome's hover and close.
#include "Accessibility.h"
#include "MainWindowSession.h"
#include "Pictures.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace beamlet;

namespace {

const QString kH = QStringLiteral("[[186097158158768]]\f");
const QString kI = QStringLiteral("[[149883275129464]]\f");

}  // namespace

class MainWindowTest : public QObject, protected testing::MainWindowSession {
    Q_OBJECT

private slots:
    void initTestCase() { widgets::installAccessibleRoles(); }

    void init()
    {
        QVERIFY(open());
        box().setFocus();
    }
    void cleanup() { close(); }

    void frame()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Orvane Facebook Beamlet"));
        // The design's twips, converted: 3570, 3840, 12045 x 7875.
        QCOMPARE(window->geometry(), QRect(238, 256, 803, 525));
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(fake->windows.calls.contains(QStringLiteral("ontop:mainWindow:1")));
    }

    void controlPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        const auto row = [](const char* name, const core::Rect& place) {
            QTest::newRow(name) << QString::fromLatin1(name) << widgets::toQRect(place);
        };
        row("typingBox", layout::kTypingBox);
        row("getCodeButton", layout::kGetCodeButton);
        row("emotionsButton", layout::kEmotionsButton);
        row("helpButton", layout::kHelpButton);
        row("aboutButton", layout::kAboutButton);
        row("contactButton", layout::kContactButton);
        row("miniWindowButton", layout::kMiniWindowButton);
        row("headerStrip", layout::kHeaderStrip);
        row("titleBand", layout::kTitleBand);
        row("logo", layout::kLogo);
        row("minimizeButton", layout::kMinimizeButton);
        row("closeButton", layout::kCloseButton);
        row("copyrightLabel", layout::kCopyright);
        row("aboutSurface", layout::kAboutSurface);
        row("contactSurface", layout::kContactSurface);
        row("aboutPanel", layout::kInfoPanel);
        row("contactPanel", layout::kInfoPanel);
        row("packPanel", layout::kPackPanel);
    }
    void controlPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QCOMPARE(child(name.toLatin1().constData())->geometry(), place);
    }

    void stacking()
    {
        // Later siblings lie in front of earlier ones.
        const QObjectList order = window->children();
        const auto index = [&](const char* name) { return order.indexOf(child(name)); };
        QVERIFY(index("titleBand") > index("headerStrip"));
        QVERIFY(index("logo") > index("titleBand"));
        QVERIFY(index("minimizeButton") > index("headerStrip"));
        QVERIFY(index("closeButton") > index("headerStrip"));
        QVERIFY(index("miniWindowButton") > index("headerStrip"));
        QVERIFY(index("typingBox") > index("titleBand"));
        QVERIFY(index("contactPanel") > index("aboutPanel"));
        QVERIFY(index("packPanel") > index("contactPanel"));
        QVERIFY(index("aboutPanel") > index("typingBox"));
    }

    void fonts()
    {
        // The copyright in the window's default 8.25 pt, as the pack's instructions.
        const QFont copyright = child("copyrightLabel")->font();
        QCOMPARE(copyright.pointSizeF(), 8.25);
        QCOMPARE(copyright, child("packInstructions")->font());
        const QFont contact = child("addressLabel")->font();
        QVERIFY(contact.italic());
        QCOMPARE(contact.pointSizeF(), 8.25);
    }

    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("code");
        QTest::newRow("Hi") << "Hi" << "Hi" << kH + kI;
        QTest::newRow("percent has no token") << "50%" << "50%"
                                              << "[[357931430897631]]\f[[205585576206223]]\f";
        QTest::newRow("full stop is typed, not Delete") << "." << "." << "[[187435224691628]]\f";
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, code);
        // As a keyboard delivers them: one key event per character.
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, &box(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(box().toPlainText(), shown);
        QCOMPARE(buffer(), code);
    }

    void tokensAppendWhereverTheCaretIs()
    {
        QTest::keyClicks(&box(), QStringLiteral("a"));
        QTest::keyClick(&box(), Qt::Key_Home);
        QTest::keyClicks(&box(), QStringLiteral("b"));
        QCOMPARE(box().toPlainText(), QStringLiteral("ba"));
        QCOMPARE(buffer(), QStringLiteral("[[377645498928396]]\f[[238748946207039]]\f"));
    }

    void enterMakesALineButNoToken()
    {
        QTest::keyClicks(&box(), QStringLiteral("H"));
        QTest::keyClick(&box(), Qt::Key_Return);
        QTest::keyClicks(&box(), QStringLiteral("i"));
        QCOMPARE(box().toPlainText(), QStringLiteral("H\ni"));
        QCOMPARE(buffer(), kH + kI);
    }

    void autoRepeatCounts()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_H, Qt::ShiftModifier, QStringLiteral("H"), true);
        QApplication::sendEvent(&box(), &press);
        QApplication::sendEvent(&box(), &press);
        QCOMPARE(buffer(), kH + kH);
    }

    void clearingKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier);
        QTest::newRow("ctrl+backspace") << int(Qt::Key_Backspace) << int(Qt::ControlModifier);
        QTest::newRow("delete") << int(Qt::Key_Delete) << int(Qt::NoModifier);
        QTest::newRow("shift+delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier);
        QTest::newRow("keypad delete") << int(Qt::Key_Delete) << int(Qt::KeypadModifier);
        QTest::newRow("alt+delete") << int(Qt::Key_Delete) << int(Qt::AltModifier);
    }
    void clearingKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QTest::keyClicks(&box(), QStringLiteral("Hi there"));
        box().selectAll();
        QTest::keyClick(&box(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(box().toPlainText(), QString());
        QCOMPARE(buffer(), QString());
    }

    void clicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("empties");
        QTest::newRow("left") << int(Qt::LeftButton) << true;
        QTest::newRow("middle") << int(Qt::MiddleButton) << false;
    }
    void clicks()
    {
        QFETCH(int, button);
        QFETCH(bool, empties);
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        QTest::mouseClick(box().viewport(), Qt::MouseButton(button), {}, QPoint(20, 20));
        QCOMPARE(box().toPlainText().isEmpty(), empties);
        QCOMPARE(buffer().isEmpty(), empties);
    }

    void rightClickOpensMenuAndEmptiesNothing()
    {
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        QTest::mouseClick(box().viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, QPoint(20, 20),
                                      box().viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(box().viewport(), &menuRequest);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
        QCOMPARE(box().toPlainText(), QStringLiteral("Hi"));
        QCOMPARE(buffer(), kH + kI);
    }

    void pasteChangesOnlyTheTypingBox()
    {
        QTest::keyClicks(&box(), QStringLiteral("H"));
        QApplication::clipboard()->setText(QStringLiteral("pasted words"));
        QTest::keyClick(&box(), Qt::Key_V, Qt::ControlModifier);
        box().paste();
        QCOMPARE(box().toPlainText(), QStringLiteral("Hpasted wordspasted words"));
        QCOMPARE(buffer(), kH);
    }

    void getCodeHandsTheBufferOver()
    {
        click("getCodeButton");  // an empty buffer is copied too
        QCOMPARE(fake->clipboard.calls, QStringList{QString()});
        QVERIFY(notifier->model().loaded());
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        click("getCodeButton");
        // The texts stay, so the same code can be copied again.
        QCOMPARE(box().toPlainText(), QStringLiteral("Hi"));
        click("getCodeButton");
        QCOMPARE(fake->clipboard.calls, (QStringList{QString(), kH + kI, kH + kI}));
    }

    void keyboardFocusStaysInTheTypingBox()
    {
        QTest::keyClicks(&box(), QStringLiteral("H"));
        child<QAbstractButton>("getCodeButton")->click();  // as its access key would, without taking focus
        QVERIFY(notifier->window());
        QVERIFY(notifier->window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(notifier->window()->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&box()));
        QTest::keyClicks(&box(), QStringLiteral("i"));
        QCOMPARE(buffer(), kH + kI);
    }

    void help()
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons().size();
            box->accept();
        });
        QTest::keyClicks(&box(), QStringLiteral("H"));
        click("helpButton");
        QCOMPARE(title, QStringLiteral("Help - Orvane Beamlet"));
        QCOMPARE(text, QStringLiteral("1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"));
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons, 1);
        QCOMPARE(buffer(), kH);  // nothing else happens
    }

    void chromeHighlights()
    {
        auto* close = child<widgets::HoverButton>("closeButton");
        auto* minimize = child<widgets::HoverButton>("minimizeButton");
        QVERIFY(!close->isHighlighted() && !minimize->isHighlighted());
        QTest::mouseMove(close, QPoint(10, 10));
        QTRY_VERIFY(close->isHighlighted());
        QTest::mouseMove(minimize, QPoint(10, 10));
        QTRY_VERIFY(minimize->isHighlighted());
        // Over a button or the band neither highlight goes away.
        QTest::mouseMove(child("getCodeButton"), QPoint(10, 10));
        QTest::mouseMove(child("titleBand"), QPoint(10, 10));
        QVERIFY(close->isHighlighted() && minimize->isHighlighted());
        // The header strip clears both.
        QTest::mouseMove(child("headerStrip"), QPoint(300, 40));
        QTRY_VERIFY(!close->isHighlighted() && !minimize->isHighlighted());
        // So does the bare surface.
        QTest::mouseMove(close, QPoint(10, 10));
        QTRY_VERIFY(close->isHighlighted());
        QTest::mouseMove(window.get(), QPoint(400, 450));
        QTRY_VERIFY(!close->isHighlighted());
    }

    // The close control and the window system's close end the program alike: the
    // windows go, the notification too, and the end is asked for once.
    void ending_data()
    {
        QTest::addColumn<bool>("byCloseControl");
        QTest::newRow("close control") << true;
        QTest::newRow("window system") << false;
    }
    void ending()
    {
        QFETCH(bool, byCloseControl);
        QSignalSpy ends(window.get(), &gui::MainWindow::endRequested);
        click("getCodeButton");
        QVERIFY(notifier->window());
        if (byCloseControl) {
            auto* close = child<widgets::HoverButton>("closeButton");
            QTest::mouseClick(close, Qt::LeftButton);
            QCOMPARE(ends.size(), 0);  // the resting picture takes no click
            QVERIFY(window->isVisible());
            QTest::mouseMove(close, QPoint(10, 10));
            QTRY_VERIFY(close->isHighlighted());
            QTest::mouseClick(close, Qt::LeftButton);
        } else {
            window->close();
        }
        QCOMPARE(ends.size(), 1);
        QVERIFY(!window->isVisible());
        QVERIFY(!notifier->model().loaded());
        QVERIFY(!notifier->window());
    }

    void actingPicturesAreAnnounced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("close") << "closeButton" << int(QAccessible::Button);
        QTest::newRow("minimize") << "minimizeButton" << int(QAccessible::Button);
        QTest::newRow("logo") << "logo" << int(QAccessible::Button);
        QTest::newRow("website link") << "websiteLink" << int(QAccessible::Link);
        QTest::newRow("emoticon tile") << "tile18" << int(QAccessible::Button);
    }
    void actingPicturesAreAnnounced()
    {
        QFETCH(QString, name);
        QFETCH(int, role);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(child(name.toLatin1().constData()));
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    }

    void logoOpensTheWebsite()
    {
        click("logo");
        QCOMPARE(fake->links.opened, (QList<QUrl>{gui::MakerData::embedded().website.target}));
        QVERIFY(fake->links.opened.first().isValid());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"

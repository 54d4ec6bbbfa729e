// The main window as the user meets it: controls at their places, the composer's
// keys and clicks, Get Code, Help, the chrome's hover and close.
#include "Accessibility.h"
#include "ComposerView.h"
#include "MainWindowSession.h"
#include "MainWindow.h"
#include "MakerData.h"
#include "Notifier.h"
#include "TypingBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
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

    int terminations = 0;


private slots:
    void initTestCase() { desktop::installAccessibleRoles(); }

    void init()
    {
        terminations = 0;
        QVERIFY(open([this] { ++terminations; }));
        box().setFocus();
    }
    void cleanup() { close(); }

    void frame()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Orvane Facebook Beamlet"));
        QCOMPARE(window->size(), QSize(803, 525));
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(fake->windows.calls.contains(QStringLiteral("topmost:frmmain:-1")));
        QVERIFY(window->isVisible());
    }

    void controlPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::newRow("typing box") << "txtYouType" << QRect(250, 184, 449, 241);
        QTest::newRow("get code") << "cmdgetcode" << QRect(248, 120, 129, 33);
        QTest::newRow("emotions") << "cmdemotionformshow" << QRect(408, 120, 129, 33);
        QTest::newRow("help") << "cmdHelp" << QRect(568, 120, 129, 33);
        QTest::newRow("about") << "swfabout" << QRect(16, 304, 217, 41);
        QTest::newRow("contact") << "Swfcontact" << QRect(16, 344, 217, 41);
        QTest::newRow("mini loader") << "cmdminiproloader" << QRect(696, 6, 33, 19);
        QTest::newRow("header") << "LBLMOVE" << QRect(0, 0, 802, 73);
        QTest::newRow("band") << "imgtitle" << QRect(0, 72, 803, 101);
        QTest::newRow("logo") << "PiclogoOrvane" << QRect(16, 88, 219, 211);
        QTest::newRow("minimize") << "imgmideactive" << QRect(732, 5, 33, 19);
        QTest::newRow("minimize hot") << "imgminactive" << QRect(732, 5, 33, 19);
        QTest::newRow("close") << "IMGCLOSEDEACTIVE" << QRect(768, 5, 33, 19);
        QTest::newRow("close hot") << "IMGACTIVECLOSE" << QRect(768, 5, 33, 19);
        QTest::newRow("copyright") << "lblcopyright" << QRect(0, 504, 801, 17);
        QTest::newRow("about surface") << "piccmdabout" << QRect(-240, 296, 185, 57);
        QTest::newRow("contact surface") << "piccmdcontact" << QRect(-240, 352, 185, 57);
        QTest::newRow("about panel") << "picAbout" << QRect(888, 176, 580, 275);
        QTest::newRow("contact panel") << "PicContact" << QRect(888, 176, 580, 275);
        QTest::newRow("pack panel") << "picemotionpack" << QRect(888, 176, 633, 321);
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
        QVERIFY(index("imgtitle") > index("LBLMOVE"));
        QVERIFY(index("PiclogoOrvane") > index("imgtitle"));
        QVERIFY(index("imgminactive") > index("imgmideactive"));
        QVERIFY(index("IMGACTIVECLOSE") > index("IMGCLOSEDEACTIVE"));
        QVERIFY(index("cmdminiproloader") > index("LBLMOVE"));
        QVERIFY(index("txtYouType") > index("imgtitle"));
        QVERIFY(index("PicContact") > index("picAbout"));
        QVERIFY(index("picemotionpack") > index("PicContact"));
        QVERIFY(index("picAbout") > index("txtYouType"));
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
        QTest::newRow("accents and other scripts add nothing") << QString::fromUtf8("é漢") << QString::fromUtf8("é漢") << "";
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, code);
        // As a keyboard delivers them: one key event per character, any script.
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

    void inputMethodCommitCountsEachCharacter()
    {
        QInputMethodEvent event;
        event.setCommitString(QStringLiteral("Hi"));
        QApplication::sendEvent(&box(), &event);
        QCOMPARE(box().toPlainText(), QStringLiteral("Hi"));
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

    // One set per copy, and the notification only after the text is on the clipboard.
    void getCodeHandsTheBufferOver_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("code");
        QTest::newRow("typed text") << QStringLiteral("Hi") << kH + kI;
        QTest::newRow("empty buffer") << QString() << QString();
    }
    void getCodeHandsTheBufferOver()
    {
        QFETCH(QString, typed);
        QFETCH(QString, code);
        QTest::keyClicks(&box(), typed);
        QList<bool> shownAtSet;
        fake->clipboard.onSet = [&] { shownAtSet << notifier->model().loaded(); };
        QTest::mouseClick(child("cmdgetcode"), Qt::LeftButton);
        QCOMPARE(fake->clipboard.calls, QStringList{QStringLiteral("set:") + code});
        QCOMPARE(shownAtSet, QList<bool>{false});
        QVERIFY(notifier->model().loaded());
        // The texts stay, so the same code can be copied again.
        QCOMPARE(box().toPlainText(), typed);
        QTest::mouseClick(child("cmdgetcode"), Qt::LeftButton);
        QCOMPARE(fake->clipboard.calls, (QStringList{QStringLiteral("set:") + code, QStringLiteral("set:") + code}));
        QCOMPARE(fake->clipboard.text, code);
    }

    void failingClipboardStillNotifies()
    {
        fake->clipboard.failSet = true;
        QTest::keyClicks(&box(), QStringLiteral("H"));
        QTest::mouseClick(child("cmdgetcode"), Qt::LeftButton);
        QCOMPARE(fake->clipboard.calls.size(), 1);
        QVERIFY(notifier->model().loaded());
    }

    void keyboardFocusStaysInTheTypingBox()
    {
        QTest::keyClicks(&box(), QStringLiteral("H"));
        window->composer().getCode();
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
        QTest::mouseClick(child("cmdHelp"), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Help - Orvane Beamlet"));
        QCOMPARE(text, QStringLiteral("1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"));
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons, 1);
        QCOMPARE(buffer(), kH);  // nothing else happens
    }

    void chromeHighlights()
    {
        QWidget* closeHot = child("IMGACTIVECLOSE");
        QWidget* minHot = child("imgminactive");
        QVERIFY(!closeHot->isVisible() && !minHot->isVisible());
        QTest::mouseMove(child("IMGCLOSEDEACTIVE"), QPoint(10, 10));
        QTRY_VERIFY(closeHot->isVisible());
        QTest::mouseMove(child("imgmideactive"), QPoint(10, 10));
        QTRY_VERIFY(minHot->isVisible());
        // Over a button or the band neither highlight goes away.
        QTest::mouseMove(child("cmdgetcode"), QPoint(10, 10));
        QTest::mouseMove(child("imgtitle"), QPoint(10, 10));
        QVERIFY(closeHot->isVisible() && minHot->isVisible());
        // The header strip clears both.
        QTest::mouseMove(child("LBLMOVE"), QPoint(300, 40));
        QTRY_VERIFY(!closeHot->isVisible() && !minHot->isVisible());
        // So does the bare surface.
        QTest::mouseMove(child("IMGCLOSEDEACTIVE"), QPoint(10, 10));
        QTRY_VERIFY(closeHot->isVisible());
        QTest::mouseMove(window.get(), QPoint(400, 450));
        QTRY_VERIFY(!closeHot->isVisible());
    }

    void closeImageEndsTheProgram()
    {
        QTest::mouseClick(child("IMGCLOSEDEACTIVE"), Qt::LeftButton);
        QCOMPARE(terminations, 0);  // the resting image does nothing
        QTest::mouseMove(child("IMGCLOSEDEACTIVE"), QPoint(10, 10));
        QTRY_VERIFY(child("IMGACTIVECLOSE")->isVisible());
        QTest::mouseClick(child("IMGACTIVECLOSE"), Qt::LeftButton);
        QCOMPARE(terminations, 1);
    }

    void windowSystemCloseEndsTheProgram()
    {
        window->close();
        QCOMPARE(terminations, 1);
    }

    void actingPicturesAreAnnounced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("close") << "IMGACTIVECLOSE" << int(QAccessible::Button);
        QTest::newRow("minimize") << "imgminactive" << int(QAccessible::Button);
        QTest::newRow("logo") << "PiclogoOrvane" << int(QAccessible::Button);
        QTest::newRow("website link") << "lblwebsite" << int(QAccessible::Link);
        QTest::newRow("emoticon tile") << "Image18" << int(QAccessible::Button);
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
        QTest::mouseClick(child("PiclogoOrvane"), Qt::LeftButton);
        QCOMPARE(fake->links.opened, (QList<QUrl>{app::MakerData::embedded().website.target}));
        QVERIFY(fake->links.opened.first().isValid());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"

// The main window as the user meets it: the composer's keys, Help, the chrome,
// the sliding panels, the pack panel, the contact links and the mini window.
#include "MainWindowSession.h"
#include "core/Catalogue.h"
#include "gui/InfoPanels.h"
#include "gui/MiniWindow.h"
#include "gui/Palettes.h"
#include "gui/TextLook.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/HoverButton.h"
#include "widgets/Picture.h"
#include "widgets/PictureButton.h"
#include "widgets/PushButton.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace beamlet;

const QString kH = QStringLiteral("[[186097158158768]]\f"), kI = QStringLiteral("[[149883275129464]]\f");

class MainWindowTest : public QObject, protected testing::MainWindowSession {
    Q_OBJECT

    gui::PackPanel& pack() const { return *child<gui::PackPanel>("packPanel"); }
    bool settle()
    {
        return QTest::qWaitFor([this] { return !window->panels().animating(); }, 5000);
    }

private slots:
    void initTestCase() { widgets::installAccessibleRoles(); }
    void init()
    {
        QVERIFY(open());
        box().setFocus();
    }
    void cleanup() { close(); }

    // With "H" typed and the caret moved to the start, one key: a token is
    // appended whatever the caret, Backspace or Delete with any modifier empties,
    // shortcuts type nothing, AltGr and auto-repeat do, '.' is no Delete.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("code");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        QTest::newRow("i") << int(Qt::Key_I) << none << "i" << false << "iH" << kH + kI;
        QTest::newRow("auto-repeat") << int(Qt::Key_I) << none << "i" << true << "iH" << kH + kI;
        QTest::newRow("AltGr") << int(Qt::Key_I) << (ctrl | alt) << "i" << false << "iH" << kH + kI;
        QTest::newRow(".") << int(Qt::Key_Period) << none << "." << false << ".H" << kH + "[[187435224691628]]\f";
        QTest::newRow("ctrl+i") << int(Qt::Key_I) << ctrl << "i" << false << "H" << kH;
        QTest::newRow("ctrl+backspace") << int(Qt::Key_Backspace) << ctrl << "" << false << ""
                                        << "";
        QTest::newRow("shift+delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "" << false << ""
                                      << "";
        QTest::newRow("keypad delete") << int(Qt::Key_Delete) << int(Qt::KeypadModifier) << "" << false << ""
                                       << "";
        QTest::newRow("alt+delete") << int(Qt::Key_Delete) << alt << "" << false << ""
                                    << "";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, repeat);
        QFETCH(QString, shown);
        QFETCH(QString, code);
        QTest::keyClicks(&box(), QStringLiteral("H"));
        box().moveCursor(QTextCursor::Start);
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text, repeat);
        QApplication::sendEvent(&box(), &press);
        QCOMPARE(box().toPlainText(), shown);
        QCOMPARE(buffer(), code);
    }

    // The notification must not take the keyboard from the typing box. The
    // offscreen platform activates every window shown, so the hints that keep a
    // window manager from doing so are what can be checked here.
    void notificationTakesNoFocus()
    {
        click("getCodeButton");
        QVERIFY(notifier->window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(notifier->window()->testAttribute(Qt::WA_ShowWithoutActivating));
    }

    void help()
    {
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->buttons().size());
            box->accept();
        });
        QTest::keyClicks(&box(), QStringLiteral("H"));
        click("helpButton");
        QCOMPARE(
            seen,
            (QStringList{
                QStringLiteral("Help - Orvane Beamlet"),
                QStringLiteral(
                    "1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"),
                QString::number(QMessageBox::Information), QStringLiteral("1")}));
        QCOMPARE(buffer(), kH);  // nothing else happens
    }

    // Hover highlights stay over buttons and the title band, only the header or
    // the bare surface clears them; the close image acts only when highlighted,
    // then ends the program once.
    void chrome()
    {
        auto* close = child<widgets::HoverButton>("closeButton");
        auto* minimize = child<widgets::HoverButton>("minimizeButton");
        QTest::mouseMove(close, QPoint(10, 10));
        QTest::mouseMove(minimize, QPoint(10, 10));
        QTRY_VERIFY(close->isHighlighted() && minimize->isHighlighted());
        QTest::mouseMove(child("getCodeButton"), QPoint(10, 10));
        QTest::mouseMove(child("titleBand"), QPoint(10, 10));
        QVERIFY(close->isHighlighted() && minimize->isHighlighted());
        QTest::mouseMove(child("headerStrip"), QPoint(300, 40));
        QTRY_VERIFY(!close->isHighlighted() && !minimize->isHighlighted());
        QTest::mouseMove(close, QPoint(10, 10));
        QTRY_VERIFY(close->isHighlighted());
        QTest::mouseMove(window.get(), QPoint(400, 450));
        QTRY_VERIFY(!close->isHighlighted());

        QSignalSpy ends(window.get(), &gui::MainWindow::endRequested);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(ends.size(), 0);
        QTest::mouseMove(close, QPoint(10, 10));
        QTRY_VERIFY(close->isHighlighted());
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(ends.size(), 1);
    }

    // Panel places and enabled commands after each click and once its slides
    // end: "248 - 888 aCE" has About disabled, Contact Me
    // and Emotions enabled, and no Contact panel made yet: a panel is made only
    // when it first slides in. The slides go on while the window is hidden.
    void slides()
    {
        const auto enabled = [this](const char* command, QChar letter) {
            return child(command)->isEnabled() ? letter.toUpper() : letter;
        };
        QStringList seen;
        for (const char* name : {"aboutButton", "emotionsButton", "packOkButton"}) {
            click(name);
            for (int settled = 0; settled < 2; ++settled) {
                const auto x = [this](const char* panel) {
                    const QWidget* made = window->findChild<QWidget*>(QLatin1String(panel));
                    return made ? QString::number(made->x()) : QStringLiteral("-");
                };
                seen << QStringLiteral("%1 %2 %3 %4%5%6")
                            .arg(x("aboutPanel"), x("contactPanel"), x("packPanel"))
                            .arg(enabled("aboutButton", 'a'))
                            .arg(enabled("contactButton", 'c'))
                            .arg(enabled("emotionsButton", 'e'));
                QVERIFY(settle());
            }
        }
        QCOMPARE(seen,
                 (QStringList{"888 - - aCE", "248 - - aCE", "248 - 888 ace", "928 - 88 ace", "928 - 88 ACe",
                              "928 - 1008 ACE"}));
        click("aboutButton");
        window->hide();
        QTRY_COMPARE_WITH_TIMEOUT(child("aboutPanel")->x(), 248, 3000);
    }

    // Alt+O presses only the OK of the panel in front; Tab reaches the pack's
    // tiles only while it is in view, the arrows move the focus over them, and
    // Enter or Space copies the focused tile as a click does.
    void keyboard()
    {
        const auto tabUntil = [this](const char* name) {
            for (int presses = 0; presses < 30; ++presses) {
                if (QApplication::focusWidget() && QApplication::focusWidget()->objectName() == QLatin1String(name))
                    return true;
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            return false;
        };
        QVERIFY(!tabUntil("tile1"));  // the pack stands out of view
        click("aboutButton");
        QVERIFY(settle());
        QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);  // a button's access key clicks 100 ms later
        QTRY_VERIFY(window->panels().about().slidingOut());
        QVERIFY(!window->panels().pack().moving());
        QVERIFY(settle());

        click("emotionsButton");
        QVERIFY(settle());
        QVERIFY(tabUntil("tile1"));
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("tile17"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        const QString grid = QString::fromLatin1(core::gridText(17));
        QCOMPARE(fake->clipboard.calls, (QStringList{grid, grid}));
        QCOMPARE(pack().nameLabel()->text(), QString::fromUtf8(core::entry(17).name.data()));

        QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(window->panels().pack().slidingOut());
        QVERIFY(!window->panels().about().moving());

        // The mini palette's grid works the same.
        click("miniWindowButton");
        window->miniWindow()->activateWindow();
        child("miniTypingBox", window->miniWindow())->setFocus();
        QVERIFY(tabUntil("tile1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(fake->clipboard.calls.last(), QString::fromLatin1(core::gridText(16)));
    }

    // Tab visits every control that can be seen, in the designed order, and
    // skips what a panel covers or what stands out of view.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("cycle");
        const QString chrome = QStringLiteral("miniWindowButton minimizeButton closeButton getCodeButton");
        QTest::newRow("no panel") << ""
                                  << "typingBox"
                                  << "logo aboutButton contactButton " + chrome
                + " emotionsButton helpButton typingBox";
        QTest::newRow("About") << "aboutButton"
                               << "helpButton"
                               << "aboutOkButton logo contactButton " + chrome + " emotionsButton helpButton";
        QTest::newRow("Contact")
            << "contactButton"
            << "helpButton"
            << "websiteLink profileLink skypeLink youtubeLink fanPageLink contactOkButton logo aboutButton " + chrome
                + " emotionsButton helpButton";
        QTest::newRow("Emotions") << "emotionsButton"
                                  << "helpButton"
                                  << "tile1 packOkButton " + chrome + " helpButton";
        QTest::newRow("mini window") << "miniWindowButton"
                                     << "miniTypingBox"
                                     << "miniGetCodeButton tile1 backButton miniTypingBox";
    }
    void tabOrder()
    {
        QFETCH(QString, opener);
        QFETCH(QString, from);
        QFETCH(QString, cycle);
        QWidget* within = window.get();
        if (!opener.isEmpty()) {
            click(qPrintable(opener));
            QVERIFY(settle());
        }
        if (window->miniWindow()) {
            within = window->miniWindow();
            within->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(within));
        }
        child(qPrintable(from), within)->setFocus();
        QStringList seen;
        for (qsizetype stop = 0; stop < cycle.count(QLatin1Char(' ')) + 1; ++stop) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("-"));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), cycle);
    }

    // A panel that slides away takes no focus with it: the focus goes to the
    // button that opened it, or to the typing box once it is uncovered, and the
    // keys then change nothing out of sight.
    void focusLeavesPanelsThatGo_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("after");
        QTest::newRow("About") << "aboutButton"
                               << "aboutOkButton"
                               << "aboutButton";
        QTest::newRow("Contact") << "contactButton"
                                 << "fanPageLink"
                                 << "contactButton";
        QTest::newRow("Emotions") << "emotionsButton"
                                  << "tile3"
                                  << "typingBox";
    }
    void focusLeavesPanelsThatGo()
    {
        QFETCH(QString, opener);
        QFETCH(QString, focused);
        QFETCH(QString, after);
        click(qPrintable(opener));
        QVERIFY(settle());
        child(qPrintable(focused))->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), child(qPrintable(focused)));
        QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);  // clicks 100 ms later
        QTRY_VERIFY(window->panels().animating());
        QVERIFY(settle());
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), after);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_X})
            QTest::keyClick(QApplication::focusWidget(), key);
        QVERIFY(fake->clipboard.calls.isEmpty());
        QVERIFY(!notifier->window());
    }

    // The pack shows the first entry at start and the one clicked last; a mini
    // tile leaves the hidden main window's pack alone.
    void packShowsTheEntryClicked()
    {
        click("emotionsButton");
        QCOMPARE(pack().nameLabel()->text(), QStringLiteral("Big Smile Smiley Face"));
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(1));
        QCOMPARE(child<QLabel>("packInstructions")->text(),
                 QStringLiteral("Select a emotion and goto facebook chat box then press {Crtl} + {V} on keyboard and  "
                                "press {Enter} on Keyboard!"));
        click("miniWindowButton");
        click("tile7", child("miniPalette", window->miniWindow()));
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(1));
        QVERIFY(fake->windows.calls.contains(QStringLiteral("ontop:miniWindow:1")));

        auto* tile = child<widgets::PictureButton>("tile18", &pack());
        const QString name = QString::fromUtf8(core::entry(18).name.data());
        QCOMPARE(tile->accessibleName(), name);
        QVERIFY(settle());  // until the pack is in view, its tiles take no click
        QTest::mouseClick(tile, Qt::LeftButton);
        QCOMPARE(pack().nameLabel()->text(), name);
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(18));
        QVERIFY(!widgets::loadImage(pack().preview()->path()).isNull());
    }

    // A link turns blue under the pointer and stays so over plain labels and the
    // OK button; only the bare panel turns it back.
    void contactLinksHover()
    {
        click("contactButton");
        QVERIFY(settle());
        auto& panel = *child<gui::ContactPanel>("contactPanel");
        auto* skype = child<gui::LinkButton>("skypeLink");
        QCOMPARE(skype->textColour(), gui::restColour(panel.palette()));
        QTest::mouseMove(skype, QPoint(3, 3));
        QTRY_VERIFY(skype->isHighlighted());
        QCOMPARE(skype->textColour(), QColor(0, 0, 255));
        QVERIFY(!child<gui::LinkButton>("youtubeLink")->isHighlighted());
        QTest::mouseMove(child("emailLabel"), QPoint(2, 2));
        QTest::mouseMove(panel.okButton(), QPoint(5, 5));
        QVERIFY(skype->isHighlighted());
        QTest::mouseMove(&panel, QPoint(120, 250));
        QTRY_VERIFY(!skype->isHighlighted());
    }

    // Whatever empties the mini composer empties the main one first: the main
    // buffer, the main box, then the mini box and last the mini buffer.
    void miniComposerEmptiesBothInOrder_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("backspace") << "backspace";
        QTest::newRow("delete") << "delete";
    }
    void miniComposerEmptiesBothInOrder()
    {
        QFETCH(QString, how);
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        click("miniWindowButton");
        gui::Composer& mini = window->miniWindow()->composer();
        QTest::keyClicks(&mini.box(), QStringLiteral("ab"));
        // Which of main buffer, main box, mini box, mini buffer still hold text.
        const auto held = [&] {
            QString s;
            for (bool full : {!buffer().isEmpty(), !box().toPlainText().isEmpty(), !mini.box().toPlainText().isEmpty(),
                              !mini.codeText().isEmpty()})
                s += full ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        QStringList atEachChange{held()};
        QObject listening;  // the recording ends with this test
        for (widgets::TypingBox* b : {&box(), &mini.box()})
            connect(b, &QPlainTextEdit::textChanged, &listening, [&] { atEachChange << held(); });
        if (how == QLatin1String("click"))
            QTest::mouseClick(mini.box().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        else
            QTest::keyClick(&mini.box(), how == QLatin1String("delete") ? Qt::Key_Delete : Qt::Key_Backspace);
        QCOMPARE(atEachChange, (QStringList{"1111", "0011", "0001"}));
        QCOMPARE(held(), QStringLiteral("0000"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
// The main window's sliding panels, contact links, pack panel and the mini window,
// driven through their controls as a user drives them.
#include "Catalogue.h"
#include "ComposerView.h"
#include "MainWindowSession.h"
#include "InfoPanels.h"
#include "MainWindow.h"
#include "MakerData.h"
#include "MiniWindow.h"
#include "Notifier.h"
#include "Palettes.h"
#include "Picture.h"
#include "PushButton.h"
#include "TypingBox.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace beamlet;

class PanelsTest : public QObject, protected testing::MainWindowSession {
    Q_OBJECT


    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    int ticksUntilStill()
    {
        int ticks = 0;
        while (window->panels().animating() && ticks < 1000) {
            window->tickPanels();
            ++ticks;
        }
        return ticks;
    }
    QString grid(int n) { return QString::fromLatin1(emoticons::gridText(n)); }

private slots:
    void init()
    {
        QVERIFY(open());
    }
    void cleanup() { close(); }

    void aboutSlidesInAndOut()
    {
        click("swfabout");
        QVERIFY(!child("swfabout")->isEnabled());
        QVERIFY(!child("piccmdabout")->isEnabled());
        QCOMPARE(ticksUntilStill(), 16);
        QCOMPARE(child("picAbout")->x(), 248);
        click("cmdaboutclose");
        QVERIFY(child("swfabout")->isEnabled());
        QCOMPARE(ticksUntilStill(), 17);
        QCOMPARE(child("picAbout")->x(), 928);
        click("swfabout");
        QCOMPARE(ticksUntilStill(), 17);
        QCOMPARE(child("picAbout")->x(), 248);
    }

    void oneInfoPanelClosesTheOther()
    {
        click("Swfcontact");
        ticksUntilStill();
        QCOMPARE(child("PicContact")->x(), 248);
        click("swfabout");
        QVERIFY(child("Swfcontact")->isEnabled());  // at once, before it has left
        ticksUntilStill();
        QCOMPARE(child("picAbout")->x(), 248);
        QCOMPARE(child("PicContact")->x(), 928);
    }

    void slidesGoOnWhileTheWindowIsHidden()
    {
        click("swfabout");
        window->hide();
        QTRY_COMPARE_WITH_TIMEOUT(child("picAbout")->x(), 248, 3000);
    }

    void packPanelLocksTheInfoButtons()
    {
        click("swfabout");
        ticksUntilStill();
        click("cmdemotionformshow");
        for (const char* name : {"cmdemotionformshow", "swfabout", "Swfcontact", "piccmdabout", "piccmdcontact"})
            QVERIFY2(!child(name)->isEnabled(), name);
        QCOMPARE(ticksUntilStill(), 20);
        QCOMPARE(child("picemotionpack")->x(), 88);
        QCOMPARE(child("picAbout")->x(), 928);
        click("cmdemook");
        QVERIFY(child("swfabout")->isEnabled());
        QVERIFY(!child("cmdemotionformshow")->isEnabled());
        QCOMPARE(ticksUntilStill(), 23);
        QCOMPARE(child("picemotionpack")->x(), 1008);
        QVERIFY(child("cmdemotionformshow")->isEnabled());
    }

    void okWhileThePackOpensTurnsItRound()
    {
        click("cmdemotionformshow");
        for (int i = 0; i < 5; ++i)
            window->tickPanels();
        QCOMPARE(child("picemotionpack")->x(), 688);
        click("cmdemook");
        window->tickPanels();
        QCOMPARE(child("picemotionpack")->x(), 728);
        ticksUntilStill();
        QVERIFY(child("picemotionpack")->x() > 1000);
        QVERIFY(child("cmdemotionformshow")->isEnabled());
    }

    void packPanelStartState()
    {
        auto& pack = window->packPanel();
        QCOMPARE(pack.nameLabel()->text(), QStringLiteral("Big Smile Smiley Face"));
        QCOMPARE(pack.previewEntry(), 1);
        QCOMPARE(child<QLabel>("Label2")->text(),
                 QStringLiteral("Select a emotion and goto facebook chat box then press {Crtl} + {V} on keyboard and  press {Enter} on Keyboard!"));
        QCOMPARE(pack.preview()->geometry(), QRect(16, 240, 64, 64));
        QCOMPARE(pack.okButton()->geometry(), QRect(512, 256, 65, 33));
    }

    void tiles_data()
    {
        QTest::addColumn<int>("number");
        for (int n : {1, 7, 15, 16, 18, 45, 46, 51, 61, 66})
            QTest::addRow("tile %d", n) << n;
    }
    void tiles()
    {
        QFETCH(int, number);
        click("cmdemotionformshow");
        ticksUntilStill();
        auto& pack = window->packPanel();
        emoticons::Tile* tile = pack.tile(number);
        const int c = (number - 1) % 15, r = (number - 1) / 15;
        QCOMPARE(tile->geometry(), QRect(8 + 40 * c, 8 + 40 * r, 32, 32));
        QCOMPARE(tile->accessibleName(), QString::fromUtf8(emoticons::entry(number).name.data()));
        QTest::mouseClick(tile, Qt::LeftButton);
        QCOMPARE(fake->clipboard.calls, QStringList{QStringLiteral("set:") + grid(number)});
        QCOMPARE(pack.nameLabel()->text(), QString::fromUtf8(emoticons::entry(number).name.data()));
        QCOMPARE(pack.previewEntry(), number);
        QVERIFY(!pack.preview()->picture().isNull());
        QVERIFY(notifier->model().loaded());
        // Kept across closing and reopening.
        click("cmdemook");
        ticksUntilStill();
        click("cmdemotionformshow");
        ticksUntilStill();
        QCOMPARE(pack.previewEntry(), number);
    }

    void contactLinks()
    {
        click("Swfcontact");
        ticksUntilStill();
        auto& panel = window->contactPanel();
        const app::MakerData& maker = app::MakerData::embedded();
        QCOMPARE(panel.links().size(), 5);
        for (app::LinkLabel* link : panel.links()) {
            QVERIFY(!link->hot());
            QCOMPARE(link->palette().color(QPalette::WindowText), app::LinkLabel::restColour(panel.palette()));
            QVERIFY(!link->accessibleName().isEmpty());
        }
        app::LinkLabel* skype = panel.link(QStringLiteral("lblskype"));
        QTest::mouseMove(skype, QPoint(3, 3));
        QTRY_VERIFY(skype->hot());
        QCOMPARE(skype->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(panel.link(QStringLiteral("lblyoutube"))->hot(), false);
        // A plain label or the OK button leaves it blue; the bare panel resets all.
        QTest::mouseMove(panel.findChild<QWidget*>(QStringLiteral("lblemail")), QPoint(2, 2));
        QTest::mouseMove(panel.okButton(), QPoint(5, 5));
        QVERIFY(skype->hot());
        QTest::mouseMove(&panel, QPoint(120, 250));
        QTRY_VERIFY(!skype->hot());

        const struct {
            const char* name;
            QUrl target;
        } expected[] = {{"lblwebsite", maker.website.target}, {"lblfbprofile", maker.fbprofile.target},
                        {"lblskype", maker.skype.target}, {"lblyoutube", maker.youtube.target},
                        {"lblfanpage", maker.fanpage.target}};
        for (const auto& e : expected) {
            QTest::mouseClick(panel.link(QLatin1String(e.name)), Qt::LeftButton);
            QCOMPARE(fake->links.opened.last(), e.target);
        }
        QCOMPARE(fake->links.opened.size(), 5);
        QVERIFY(maker.skype.target.toString().startsWith(QLatin1String("skype:")));
        QVERIFY(maker.skype.target.toString().endsWith(QLatin1String("?call")));
        QVERIFY(maker.youtube.target.path().startsWith(QLatin1String("/user/")));
    }

    void contactLabelsFont()
    {
        const QFont font = child("lbladdress")->font();
        QVERIFY(font.italic());
        QCOMPARE(font.pointSizeF(), 8.25);
    }

    void miniWindowRoundTrip()
    {
        compose::TypingBox& mainBox = window->typingBox();
        QTest::keyClicks(&mainBox, QStringLiteral("Hi"));
        const QString mainCode = window->composer().codeText();
        click("cmdminiproloader");
        QPointer<mini::MiniWindow> mini = window->miniWindow();
        QVERIFY(mini);
        QVERIFY(mini->isVisible());
        QVERIFY(!window->isVisible());
        QCOMPARE(mini->windowTitle(), QStringLiteral("Orvane Facebook Beamlet"));
        QCOMPARE(mini->size(), QSize(767, 102));
        QVERIFY(mini->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(fake->windows.calls.contains(QStringLiteral("topmost:frmminipro:-1")));

        // Typing fills only the mini composer; its Get Code copies only that.
        QTest::keyClicks(&mini->typingBox(), QStringLiteral("i"));
        QTest::mouseClick(mini->getCodeButton(), Qt::LeftButton);
        QCOMPARE(fake->clipboard.text, QStringLiteral("[[149883275129464]]\f"));
        QCOMPARE(window->composer().codeText(), mainCode);

        // A mini tile copies what the main tile of the same number copies, and
        // leaves the hidden main window's preview alone.
        QTest::mouseClick(mini->miniPalette().tile(7), Qt::LeftButton);
        QCOMPARE(fake->clipboard.text, grid(7));
        QCOMPARE(fake->clipboard.text.size(), 611);
        QCOMPARE(window->packPanel().previewEntry(), 1);
        QVERIFY(!window->isVisible());
        QVERIFY(!mini->miniPalette().tile(46));

        // Back: the main window as it was, the mini window gone.
        mini->typingBox().setPlainText(QStringLiteral("x"));
        QTest::mouseMove(mini->findChild<QWidget*>(QStringLiteral("imgmideactive")), QPoint(3, 3));
        QTRY_VERIFY(mini->backHot()->isVisible());
        QTest::mouseClick(mini->backHot(), Qt::LeftButton);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!mini);
        QCOMPARE(mainBox.toPlainText(), QStringLiteral("Hi"));
        QCOMPARE(window->composer().codeText(), mainCode);

        // Next time: afresh, empty, at the stored place.
        click("cmdminiproloader");
        mini = window->miniWindow();
        QCOMPARE(mini->typingBox().toPlainText(), QString());
        QVERIFY(mini->composer().codeBuffer().empty());
        QCOMPARE(mini->pos(), QPoint(262, 824));
    }

    void miniComposerEmptiesTheMainComposer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("backspace") << "backspace";
        QTest::newRow("delete") << "delete";
    }
    void miniComposerEmptiesTheMainComposer()
    {
        QFETCH(QString, how);
        QTest::keyClicks(&window->typingBox(), QStringLiteral("Hi"));
        click("cmdminiproloader");
        mini::MiniWindow* mini = window->miniWindow();
        compose::TypingBox& box = mini->typingBox();
        QTest::keyClicks(&box, QStringLiteral("ab"));
        if (how == QLatin1String("click"))
            QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        else
            QTest::keyClick(&box, how == QLatin1String("delete") ? Qt::Key_Delete : Qt::Key_Backspace);
        QCOMPARE(box.toPlainText(), QString());
        QVERIFY(mini->composer().codeBuffer().empty());
        QCOMPARE(window->typingBox().toPlainText(), QString());
        QVERIFY(window->composer().codeBuffer().empty());
    }

    void closingTheMiniWindowReturns()
    {
        click("cmdminiproloader");
        QPointer<mini::MiniWindow> mini = window->miniWindow();
        mini->close();  // as the window manager's close does
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!mini);
    }

    void miniDragByTheBareSurfaceOnly()
    {
        click("cmdminiproloader");
        mini::MiniWindow* mini = window->miniWindow();
        const QPoint start = mini->pos();
        // A press on the palette does not reach the window's drag.
        QTest::mousePress(&mini->miniPalette(), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(&mini->miniPalette(), QPoint(40, 2));
        QTest::mouseRelease(&mini->miniPalette(), Qt::LeftButton, {}, QPoint(40, 2));
        QCOMPARE(mini->pos(), start);
        // The margin between the controls does.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(300, 50), QPointF(start + QPoint(300, 50)), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(mini, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(330, 40), QPointF(start + QPoint(330, 40)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(mini, &move);
        QCOMPARE(mini->pos(), start + QPoint(30, -10));
    }
};

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"

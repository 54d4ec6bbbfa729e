// The main window's sliding panels, contact links, pack panel and the mini window,
// driven through their controls as a user drives them.
#include "Assets.h"
#include "Catalogue.h"
#include "InfoPanels.h"
#include "MainWindowSession.h"
#include "MiniWindow.h"
#include "Palettes.h"
#include "Pictures.h"
#include "PushButton.h"

#include <QApplication>
#include <QLabel>
#include <QMoveEvent>
#include <QTest>

#include <functional>

using namespace beamlet;

// Reports each move of a widget as it happens, so a test can act between two
// steps of a slide.
struct MoveWatch : QObject {
    std::function<void(int x)> moved;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            moved(static_cast<QMoveEvent*>(event)->pos().x());
        return false;
    }
};

class PanelsTest : public QObject, protected testing::MainWindowSession {
    Q_OBJECT

    // The panels' own timer runs the slides to their end.
    bool settle()
    {
        return QTest::qWaitFor([this] { return !window->panels().animating(); }, 5000);
    }
    int x(const char* name) const { return child(name)->x(); }
    QString grid(int n) { return QString::fromLatin1(core::gridText(n)); }
    gui::PackPanel& pack() const { return *child<gui::PackPanel>("packPanel"); }

private slots:
    void init() { QVERIFY(open()); }
    void cleanup() { close(); }

    // The panels' places and the enabled commands as the window shows them, after
    // each click and again once its slides have ended: "248 928 888 aCE" has About
    // (button and surface) disabled, Contact Me and Emotions enabled.
    void slides_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("About in, out, in again")
            << QStringList{"aboutButton", "aboutOkButton", "aboutButton"}
            << QStringList{"888 888 888 aCE", "248 888 888 aCE", "248 888 888 ACE", "928 888 888 ACE",
                           "928 888 888 aCE", "248 888 888 aCE"};
        QTest::newRow("one info panel closes the other")
            << QStringList{"contactButton", "aboutButton"}
            << QStringList{"888 888 888 AcE", "888 248 888 AcE", "888 248 888 aCE", "248 928 888 aCE"};
        QTest::newRow("the pack holds the info commands")
            << QStringList{"aboutButton", "emotionsButton", "packOkButton"}
            << QStringList{"888 888 888 aCE", "248 888 888 aCE", "248 888 888 ace", "928 928 88 ace",
                           "928 928 88 ACe", "928 928 1008 ACE"};
    }
    void slides()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, shown);
        const auto enabled = [this](const char* command, const char* surface, QChar letter) {
            const bool on = child(command)->isEnabled();
            if (surface && child(surface)->isEnabled() != on)
                return QChar('?');
            return on ? letter.toUpper() : letter;
        };
        const auto state = [&] {
            return QStringLiteral("%1 %2 %3 %4%5%6")
                .arg(x("aboutPanel")).arg(x("contactPanel")).arg(x("packPanel"))
                .arg(enabled("aboutButton", "aboutSurface", 'a'))
                .arg(enabled("contactButton", "contactSurface", 'c'))
                .arg(enabled("emotionsButton", nullptr, 'e'));
        };
        QStringList seen;
        for (const QString& name : clicks) {
            click(qPrintable(name));
            seen << state();
            QVERIFY(settle());
            seen << state();
        }
        QCOMPARE(seen, shown);
        QCOMPARE(child("aboutPanel")->y(), layout::kInfoPanel.y);
        QCOMPARE(child("packPanel")->y(), layout::kPackPanel.y);
    }

    void slidesGoOnWhileTheWindowIsHidden()
    {
        click("aboutButton");
        window->hide();
        QTRY_COMPARE_WITH_TIMEOUT(x("aboutPanel"), 248, 3000);
    }

    void okWhileThePackOpensTurnsItRound()
    {
        QList<int> steps;
        MoveWatch watch;
        watch.moved = [&](int at) {
            steps << at;
            if (at == 688)
                click("packOkButton");
        };
        pack().installEventFilter(&watch);
        click("emotionsButton");
        QVERIFY(settle());
        QCOMPARE(steps.mid(0, 6), (QList<int>{848, 808, 768, 728, 688, 728}));
        QVERIFY(steps.last() > 1000);
        QVERIFY(child("emotionsButton")->isEnabled());
    }

    void packPanelStartState()
    {
        QCOMPARE(pack().nameLabel()->text(), QStringLiteral("Big Smile Smiley Face"));
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(1));
        QCOMPARE(child<QLabel>("packInstructions")->text(),
                 QStringLiteral("Select a emotion and goto facebook chat box then press {Crtl} + {V} on keyboard and  press {Enter} on Keyboard!"));
        QCOMPARE(pack().preview()->geometry(), widgets::toQRect(layout::kPackPreview));
        QCOMPARE(pack().okButton()->geometry(), widgets::toQRect(layout::kPackOkButton));
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
        click("emotionsButton");
        QVERIFY(settle());
        auto* tile = child<widgets::PictureButton>(qPrintable(QStringLiteral("tile%1").arg(number)), &pack());
        QCOMPARE(tile->geometry(), widgets::toQRect(layout::tileRect(number, layout::kPackTileSize, layout::kPackTilePitch)));
        const QString name = QString::fromUtf8(core::entry(number).name.data());
        QCOMPARE(tile->accessibleName(), name);
        QTest::mouseClick(tile, Qt::LeftButton);
        QCOMPARE(fake->clipboard.calls, QStringList{grid(number)});
        QCOMPARE(pack().nameLabel()->text(), name);
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(number));
        QVERIFY(!widgets::loadImage(pack().preview()->path()).isNull());
        QVERIFY(notifier->model().loaded());
        // Kept across closing and reopening.
        click("packOkButton");
        QVERIFY(settle());
        click("emotionsButton");
        QVERIFY(settle());
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(number));
    }

    void contactLinks()
    {
        click("contactButton");
        QVERIFY(settle());
        auto& panel = *child<gui::ContactPanel>("contactPanel");
        const gui::MakerData& maker = gui::MakerData::embedded();
        QCOMPARE(panel.links().size(), 5);
        for (gui::LinkLabel* link : panel.links()) {
            QVERIFY(!link->isHot());
            QCOMPARE(link->textColour(), gui::restColour(panel.palette()));
            QVERIFY(!link->accessibleName().isEmpty());
        }
        auto* skype = child<gui::LinkLabel>("skypeLink");
        QTest::mouseMove(skype, QPoint(3, 3));
        QTRY_VERIFY(skype->isHot());
        QCOMPARE(skype->textColour(), QColor(0, 0, 255));
        QVERIFY(!child<gui::LinkLabel>("youtubeLink")->isHot());
        // A plain label or the OK button leaves it blue; the bare panel resets all.
        QTest::mouseMove(child("emailLabel"), QPoint(2, 2));
        QTest::mouseMove(panel.okButton(), QPoint(5, 5));
        QVERIFY(skype->isHot());
        QTest::mouseMove(&panel, QPoint(120, 250));
        QTRY_VERIFY(!skype->isHot());

        const struct {
            const char* name;
            QUrl target;
        } expected[] = {{"websiteLink", maker.website.target}, {"profileLink", maker.profile.target},
                        {"skypeLink", maker.skype.target}, {"youtubeLink", maker.youtube.target},
                        {"fanPageLink", maker.fanPage.target}};
        for (const auto& e : expected) {
            click(e.name);
            QCOMPARE(fake->links.opened.last(), e.target);
        }
        QCOMPARE(fake->links.opened.size(), 5);
        QVERIFY(maker.skype.target.toString().startsWith(QLatin1String("skype:")));
        QVERIFY(maker.skype.target.toString().endsWith(QLatin1String("?call")));
        QVERIFY(maker.youtube.target.path().startsWith(QLatin1String("/user/")));
    }

    void miniWindowRoundTrip()
    {
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        const QString mainCode = buffer();
        click("miniWindowButton");
        QPointer<gui::MiniWindow> mini = window->miniWindow();
        QVERIFY(mini && mini->isVisible());
        QVERIFY(!window->isVisible());
        QCOMPARE(mini->windowTitle(), QStringLiteral("Orvane Facebook Beamlet"));
        QCOMPARE(mini->size(), QSize(layout::kMiniWindow.w, layout::kMiniWindow.h));
        QVERIFY(mini->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(fake->windows.calls.contains(QStringLiteral("ontop:miniWindow:1")));

        // Typing fills only the mini composer; its Get Code copies only that.
        QTest::keyClicks(&mini->composer().box(), QStringLiteral("i"));
        click("miniGetCodeButton", mini);
        QCOMPARE(fake->clipboard.text, QStringLiteral("[[149883275129464]]\f"));
        QCOMPARE(buffer(), mainCode);

        // A mini tile copies what the main tile of the same number copies, and
        // leaves the hidden main window's preview alone.
        const QWidget* palette = child("miniPalette", mini);
        click("tile7", palette);
        QCOMPARE(fake->clipboard.text, grid(7));
        QCOMPARE(fake->clipboard.text.size(), 611);
        QCOMPARE(pack().preview()->path(), widgets::emoticonPicture(1));
        QVERIFY(!window->isVisible());
        QVERIFY(!palette->findChild<QWidget*>(QStringLiteral("tile46")));

        // Back: the main window as it was, the mini window gone.
        mini->composer().box().setPlainText(QStringLiteral("x"));
        auto* back = child<widgets::HoverButton>("backButton", mini);
        QTest::mouseMove(back, QPoint(3, 3));
        QTRY_VERIFY(back->isHighlighted());
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!mini);
        QCOMPARE(box().toPlainText(), QStringLiteral("Hi"));
        QCOMPARE(buffer(), mainCode);

        // Next time: afresh, empty, at its own place.
        click("miniWindowButton");
        mini = window->miniWindow();
        QCOMPARE(mini->composer().box().toPlainText(), QString());
        QCOMPARE(mini->composer().codeText(), QString());
        QCOMPARE(mini->pos(), QPoint(layout::kMiniWindow.x, layout::kMiniWindow.y));
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
            for (bool full : {!buffer().isEmpty(), !box().toPlainText().isEmpty(),
                              !mini.box().toPlainText().isEmpty(), !mini.codeText().isEmpty()})
                s += full ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        QCOMPARE(held(), QStringLiteral("1111"));
        QStringList atEachChange;
        QObject listening;  // the recording ends with this test
        for (widgets::TypingBox* b : {&box(), &mini.box()})
            connect(b, &QPlainTextEdit::textChanged, &listening, [&] { atEachChange << held(); });
        if (how == QLatin1String("click"))
            QTest::mouseClick(mini.box().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        else
            QTest::keyClick(&mini.box(), how == QLatin1String("delete") ? Qt::Key_Delete : Qt::Key_Backspace);
        QCOMPARE(atEachChange, (QStringList{QStringLiteral("0011"), QStringLiteral("0001")}));
        QCOMPARE(held(), QStringLiteral("0000"));
    }

    void closingTheMiniWindowReturns()
    {
        click("miniWindowButton");
        QPointer<gui::MiniWindow> mini = window->miniWindow();
        mini->close();  // as the window manager's close does
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!mini);
    }

    void miniDragByTheBareSurfaceOnly()
    {
        click("miniWindowButton");
        gui::MiniWindow* mini = window->miniWindow();
        QWidget* palette = child("miniPalette", mini);
        const QPoint start = mini->pos();
        // A press on the palette does not reach the window's drag.
        QTest::mousePress(palette, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(palette, QPoint(40, 2));
        QTest::mouseRelease(palette, Qt::LeftButton, {}, QPoint(40, 2));
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

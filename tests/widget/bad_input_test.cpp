// The main window under input no user means to give: floods of keys, huge pastes,
// text in other scripts, and Get Code pressed over and over.
#include "MainWindowSession.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace beamlet;

namespace {

// Every character that has a token: printable ASCII but the percent sign.
QString tokenCharacters()
{
    QString s;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '%')
            s += QLatin1Char(c);
    return s;
}

void typeKey(QWidget* box, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
}

void commit(QWidget* box, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// Resident memory of this process in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QRegularExpression line(QStringLiteral("^VmRSS:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
    const auto match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// The offscreen platform warns at every opacity change and raise; a thousand
// notification cycles would bury the test's own messages under them.
QtMessageHandler testlibHandler = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    testlibHandler(type, context, message);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace

class BadInputTest : public QObject, protected testing::MainWindowSession {
    Q_OBJECT

private slots:
    void initTestCase() { testlibHandler = qInstallMessageHandler(dropPlatformNoise); }

    void init()
    {
        QVERIFY(open());
        box().setFocus();
    }
    void cleanup() { close(); }

    // A flood of keys, each with a token. Enter (which has none) ends a line every
    // 100 characters: the text box lays out the whole paragraph again at every key,
    // so one 100,000-character line would take the best part of an hour.
    void hundredThousandKeys()
    {
        const QString alphabet = tokenCharacters();
        constexpr int kKeys = 100'000;
        constexpr int kLine = 100;
        for (int i = 0; i < kKeys; ++i) {
            typeKey(&box(), QString(alphabet[i % alphabet.size()]));
            if (i % kLine == kLine - 1) {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                QApplication::sendEvent(&box(), &enter);
            }
        }

        const QString code = buffer();
        QCOMPARE(code.size(), qsizetype(kKeys) * 20);
        QCOMPARE(box().toPlainText().size(), qsizetype(kKeys + kKeys / kLine));
        // Every round of the alphabet repeats the first exactly.
        const qsizetype period = alphabet.size() * 20;
        for (qsizetype at = period; at < code.size(); at += period)
            if (QStringView(code).mid(at, period) != QStringView(code).left(period).left(code.size() - at))
                QFAIL(qPrintable(QStringLiteral("tokens out of step from character %1").arg(at / 20)));
        QCOMPARE(code.mid(('H' - ' ' - 1) * 20, 20), QStringLiteral("[[186097158158768]]\f"));
    }

    // Pasted text goes into the box as text, never through the key handler.
    void tenMegabytePaste()
    {
        QString text;
        text.reserve(10 * 1024 * 1024);
        const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog 0123456789 !?.,;: ")
            + QString::fromUtf8("\u00e9\u6f22\u0416 ") + QStringLiteral("\n");
        while (text.size() + line.size() <= 10 * 1024 * 1024)
            text += line;
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        const QString before = buffer();

        QApplication::clipboard()->setText(text);
        QTest::keyClick(&box(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(buffer(), before);
        QCOMPARE(box().document()->characterCount() - 1, 2 + text.size());
        // Typing goes on as before.
        QTest::keyClicks(&box(), QStringLiteral("H"));
        QCOMPARE(buffer(), before + QStringLiteral("[[186097158158768]]\f"));
    }

    // Only ASCII adds tokens, whatever else arrives with it. The characters chosen
    // include ones whose low byte is a letter ('A' in U+0141, 'H' in U+4E48 and
    // U+1F648), so a code point cut down to a byte shows up as a stray token.
    void otherScripts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ascii");
        QTest::newRow("Han") << QString::fromUtf8("么漢字") << QString();
        QTest::newRow("Latin letters with marks") << QString::fromUtf8("Łšé") << QString();
        QTest::newRow("emoji") << QString::fromUtf8("😀🙈") << QString();
        QTest::newRow("mixed") << QString::fromUtf8("Hé 😀llo, мир! 1+1=2") << "H llo, ! 1+1=2";
        QTest::newRow("private use") << QString::fromUtf8("\ue000x\U000F0041") << "x";
    }
    void otherScripts()
    {
        QFETCH(QString, text);
        QFETCH(QString, ascii);
        // What the ASCII part alone gives, typed into the same box from empty.
        QTest::keyClicks(&box(), ascii);
        const QString expected = buffer();
        QCOMPARE(expected.size(), ascii.size() * 20);
        QTest::keyClick(&box(), Qt::Key_Backspace);
        QCOMPARE(buffer(), QString());

        // One key event per code point, surrogate pairs kept together.
        for (const char32_t c : text.toUcs4())
            typeKey(&box(), QString::fromUcs4(&c, 1));
        QCOMPARE(box().toPlainText(), text);
        QCOMPARE(buffer(), expected);
        QTest::keyClick(&box(), Qt::Key_Delete);

        // The whole text as one input-method commit, then as one key event.
        commit(&box(), text);
        QCOMPARE(box().toPlainText(), text);
        QCOMPARE(buffer(), expected);
        typeKey(&box(), text);
        QCOMPARE(buffer(), expected + expected);
    }

    // An input method composes (pre-edit) before it commits; only the commit types.
    void preeditTypesNothing()
    {
        QInputMethodEvent preedit(QStringLiteral("ni"), {});
        QApplication::sendEvent(&box(), &preedit);
        QCOMPARE(buffer(), QString());
        commit(&box(), QString::fromUtf8("你A"));
        QCOMPARE(box().toPlainText(), QString::fromUtf8("你A"));
        QCOMPARE(buffer(), QStringLiteral("[[293389874047563]]\f"));
    }

    // A lone half of a surrogate pair, as a broken input source might send.
    void loneSurrogates()
    {
        typeKey(&box(), QString(QChar(0xD83D)));
        typeKey(&box(), QStringLiteral("A"));
        commit(&box(), QString(QChar(0xDE00)) + QStringLiteral("A"));
        QCOMPARE(buffer(), QStringLiteral("[[293389874047563]]\f[[293389874047563]]\f"));
    }

    // Get Code a thousand times over, with more copies in every phase of each
    // notification cycle: one notification per cycle, and no memory left behind.
    void thousandCopies()
    {
        QTest::keyClicks(&box(), QStringLiteral("Hi"));
        QWidget* getCode = child("getCodeButton");
        QSignalSpy loads(notifier.get(), &gui::Notifier::loaded);
        QSignalSpy arrivals(notifier.get(), &gui::Notifier::arrived);
        QSignalSpy unloads(notifier.get(), &gui::Notifier::unloaded);

        constexpr int kCycles = 1000;
        qint64 afterFirst = 0;
        for (int cycle = 1; cycle <= kCycles; ++cycle) {
            QTest::mouseClick(getCode, Qt::LeftButton);
            for (int tick = 0; tick < 30; ++tick) {
                notifier->tick();
                if (tick % 10 == 5)
                    QTest::mouseClick(getCode, Qt::LeftButton);  // rising, then resting
            }
            QTest::mouseClick(getCode, Qt::LeftButton);
            notifier->endRest();
            for (int tick = 0; tick < 60 && notifier->model().loaded(); ++tick) {
                notifier->tick();
                if (tick == 10)
                    QTest::mouseClick(getCode, Qt::LeftButton);  // sinking
            }
            QCOMPARE(loads.size(), cycle);
            QCOMPARE(arrivals.size(), cycle);
            QCOMPARE(unloads.size(), cycle);
            // Let the unloaded window go, as the event loop would between copies.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            if (cycle == 1)
                afterFirst = residentKiB();
        }
        QCOMPARE(fake->chime.calls.count(QStringLiteral("ring")), kCycles);
        QCOMPARE(fake->clipboard.calls.size(), kCycles * 6);
        QCOMPARE(fake->clipboard.calls.last(), buffer());

        const qint64 afterAll = residentKiB();
        qInfo("resident memory after the first cycle %lld KiB, after %d cycles %lld KiB", afterFirst, kCycles,
              afterAll);
        QVERIFY(afterFirst > 0 && afterAll > 0);
        if (kAddressSanitizer)
            QSKIP("freed memory sits in AddressSanitizer's quarantine; its leak check stands in for this");
        QVERIFY2(afterAll - afterFirst < 4 * 1024,
                 qPrintable(QStringLiteral("grew by %1 KiB").arg(afterAll - afterFirst)));
    }
};

QTEST_MAIN(BadInputTest)
#include "bad_input_test.moc"

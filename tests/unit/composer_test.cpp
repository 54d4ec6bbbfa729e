#include "Composer.h"

#include <QtTest>

#include <new>

using namespace beamlet::compose;

namespace {

using Codes = QList<qint64>;

// Records every platform call in one shared log, so the order across ports shows.
struct FakeClipboard : ClipboardPort {
    QStringList* log;
    bool setTextThrows = false;
    void setText(const std::string& text) override
    {
        *log << "setText:" + QString::fromStdString(text);
        if (setTextThrows)
            throw 42;  // not even a std::exception
    }
};

struct FakeNotifier : NotifierPort {
    QStringList* log;
    bool showThrows = false;
    void show() override
    {
        *log << "show";
        if (showThrows)
            throw std::bad_alloc();
    }
};

}  // namespace

class ComposerTest : public QObject {
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<QByteArray>("buffer");
        const QByteArray H = "[[186097158158768]]\f", i = "[[149883275129464]]\f";
        QTest::newRow("H i, 40 chars") << Codes{'H', 'i'} << H + i;
        QTest::newRow("5 0 % keeps two tokens")
            << Codes{'5', '0', '%'} << QByteArray("[[357931430897631]]\f[[205585576206223]]\f");
        QTest::newRow("enter, tab, controls add nothing")
            << Codes{13, 10, 9, 8, 0, 22, 24, 26, 27, 127} << QByteArray();
        QTest::newRow("lines make one unbroken row") << Codes{'H', 13, 10, 13, 'i'} << H + i;
        QTest::newRow("non-ASCII adds nothing") << Codes{233, 0x4E2D, 0x1F600, -1, 0x110000} << QByteArray();
        QTest::newRow("case matters")
            << Codes{'A', 'a'} << QByteArray("[[293389874047563]]\f[[377645498928396]]\f");
        QTest::newRow("full stop has a token") << Codes{'.'} << QByteArray("[[187435224691628]]\f");
        QTest::newRow("repeats repeat") << Codes{'i', 'i', 'i'} << i + i + i;
    }
    void typing()
    {
        QFETCH(Codes, codes);
        QFETCH(QByteArray, buffer);
        Composer composer;
        for (qint64 code : codes)
            composer.keyPress(code);
        QCOMPARE(QByteArray::fromStdString(composer.codeBuffer()), buffer);
    }

    void emptyingStartsAfresh()
    {
        Composer composer;
        composer.keyPress('H');
        composer.empty();
        QVERIFY(composer.codeBuffer().empty());
        composer.keyPress('i');
        QCOMPARE(QByteArray::fromStdString(composer.codeBuffer()), QByteArray("[[149883275129464]]\f"));
    }

    // The two steps run once each, in order, whichever of them fails.
    void handOff_data()
    {
        QTest::addColumn<bool>("setTextThrows");
        QTest::addColumn<bool>("showThrows");
        QTest::addColumn<QByteArray>("text");
        const QByteArray code = "[[186097158158768]]\f[[149883275129464]]\f";
        QTest::newRow("all succeed") << false << false << code;
        QTest::newRow("setText fails") << true << false << code;
        QTest::newRow("everything fails") << true << true << code;
        QTest::newRow("empty buffer") << false << false << QByteArray();
        QTest::newRow("empty buffer, clipboard fails") << true << false << QByteArray();
    }
    void handOff()
    {
        QFETCH(bool, setTextThrows);
        QFETCH(bool, showThrows);
        QFETCH(QByteArray, text);
        QStringList log;
        FakeClipboard clipboard;
        clipboard.log = &log;
        clipboard.setTextThrows = setTextThrows;
        FakeNotifier notifier;
        notifier.log = &log;
        notifier.showThrows = showThrows;

        beamlet::compose::handOff(text.toStdString(), clipboard, notifier);

        QCOMPARE(log, (QStringList{"setText:" + QString::fromLatin1(text), "show"}));
    }
};

QTEST_APPLESS_MAIN(ComposerTest)
#include "composer_test.moc"

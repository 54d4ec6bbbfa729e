#include "CodeBuffer.h"

#include <QtTest>

using namespace beamlet::core;

using Codes = QList<qint64>;

class CodeBufferTest : public QObject {
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<QByteArray>("expected");
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
        QFETCH(QByteArray, expected);
        CodeBuffer buffer;
        for (qint64 code : codes)
            buffer.type(code);
        QCOMPARE(QByteArray::fromStdString(buffer.text()), expected);
    }

    void emptyingStartsAfresh()
    {
        CodeBuffer buffer;
        buffer.type('H');
        buffer.clear();
        QVERIFY(buffer.text().empty());
        buffer.type('i');
        QCOMPARE(QByteArray::fromStdString(buffer.text()), QByteArray("[[149883275129464]]\f"));
    }
};

QTEST_APPLESS_MAIN(CodeBufferTest)
#include "code_buffer_test.moc"

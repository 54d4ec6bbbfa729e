#include "core/CodeBuffer.h"

#include <QtTest>

using namespace beamlet::core;

using Codes = QList<qint64>;

// Not typed: empties the buffer at that point of the row.
constexpr qint64 kClear = -99;

class CodeBufferTest : public QObject {
    Q_OBJECT

private slots:
    // Tokens land in typing order, one per character that has one; nothing else
    // (line breaks, controls, other scripts) leaves a trace; emptying starts afresh.
    void typing_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray H = "[[186097158158768]]\f", i = "[[149883275129464]]\f";
        QTest::newRow("H i") << Codes{'H', 'i'} << H + i;
        QTest::newRow("repeats") << Codes{'i', 'H', 'i', 'i'} << i + H + i + i;
        QTest::newRow("lines make one row") << Codes{'H', 13, 10, 13, 'i'} << H + i;
        QTest::newRow("controls") << Codes{0, 8, 9, 22, 24, 26, 27, 127} << QByteArray();
        QTest::newRow("non-ASCII") << Codes{233, 0x4E2D, 0x1F600, 0x110000} << QByteArray();
        QTest::newRow("emptied") << Codes{'H', 'i', kClear} << QByteArray();
        QTest::newRow("emptied, typed on") << Codes{'H', kClear, 'i'} << i;
    }
    void typing()
    {
        QFETCH(Codes, codes);
        QFETCH(QByteArray, expected);
        CodeBuffer buffer;
        for (qint64 code : codes)
            code == kClear ? buffer.clear() : buffer.type(code);
        QCOMPARE(QByteArray::fromStdString(buffer.text()), expected);
    }
};

QTEST_APPLESS_MAIN(CodeBufferTest)
#include "code_buffer_test.moc"

#include "CodeTable.h"

#include <QtTest>

#include <cstdint>
#include <limits>
#include <set>

using namespace beamlet::core;

namespace {

QByteArray bytes(std::string_view s) { return QByteArray(s.data(), qsizetype(s.size())); }

}  // namespace

class CodeTableTest : public QObject {
    Q_OBJECT

private slots:
    // Every printable ASCII code but '%' has a well-formed token of its own.
    void printableAscii()
    {
        std::set<std::string> tokens;
        std::set<std::string> ids;
        for (int code = 32; code <= 126; ++code) {
            const auto token = tokenFor(code);
            const auto id = pageIdFor(code);
            if (code == '%') {
                QVERIFY(!token);
                QVERIFY(!id);
                continue;
            }
            QVERIFY2(token && id, qPrintable(QString::number(code)));
            QCOMPARE(token->size(), kTokenLength);
            QVERIFY(token->starts_with("[["));
            QVERIFY(token->ends_with("]]\f"));
            QCOMPARE(id->size(), std::size_t(15));
            QVERIFY(id->find_first_not_of("0123456789") == std::string_view::npos);
            QCOMPARE(bytes(*token), bytes(makeToken(*id)));
            tokens.emplace(*token);
            ids.emplace(*id);
        }
        QCOMPARE(int(tokens.size()), kTableSize);
        QCOMPARE(int(ids.size()), kTableSize);
    }

    void knownTokens_data()
    {
        QTest::addColumn<qint64>("code");
        QTest::addColumn<QByteArray>("token");
        QTest::newRow("capital A") << qint64('A') << QByteArray("[[293389874047563]]\f");
        QTest::newRow("small a") << qint64('a') << QByteArray("[[377645498928396]]\f");
        QTest::newRow("space") << qint64(' ') << QByteArray("[[295067077213176]]\f");
        QTest::newRow("capital H") << qint64('H') << QByteArray("[[186097158158768]]\f");
        QTest::newRow("small i") << qint64('i') << QByteArray("[[149883275129464]]\f");
        // The largest id: beyond 32 bits, so it must never pass through an int.
        QTest::newRow("quotation mark") << qint64('"') << QByteArray("[[379650925394520]]\f");
        QTest::newRow("tilde, last code") << qint64('~') << QByteArray("[[205700462861401]]\f");
    }
    void knownTokens()
    {
        QFETCH(qint64, code);
        QFETCH(QByteArray, token);
        const auto found = tokenFor(code);
        QVERIFY(found);
        QCOMPARE(bytes(*found), token);
    }

    void noToken_data()
    {
        QTest::addColumn<qint64>("code");
        constexpr qint64 kMin = std::numeric_limits<qint64>::min();
        constexpr qint64 kMax = std::numeric_limits<qint64>::max();
        QTest::newRow("NUL") << qint64(0);
        QTest::newRow("backspace") << qint64(8);
        QTest::newRow("tab") << qint64(9);
        QTest::newRow("line feed") << qint64(10);
        QTest::newRow("enter") << qint64(13);
        QTest::newRow("ctrl+V") << qint64(22);
        QTest::newRow("escape") << qint64(27);
        QTest::newRow("unit separator") << qint64(31);
        QTest::newRow("percent") << qint64(37);
        QTest::newRow("DEL") << qint64(127);
        QTest::newRow("128") << qint64(128);
        QTest::newRow("e acute") << qint64(233);
        QTest::newRow("y diaeresis") << qint64(255);
        QTest::newRow("-1") << qint64(-1);
        QTest::newRow("minus A") << qint64(-65);
        QTest::newRow("last code point") << qint64(0x10FFFF);
        QTest::newRow("beyond Unicode") << qint64(0x110000);
        // A code that only looks like 'A' once truncated to 32 or 8 bits.
        QTest::newRow("A + 2^32") << (qint64(1) << 32) + 65;
        QTest::newRow("A - 2^32") << 65 - (qint64(1) << 32);
        QTest::newRow("A + 256") << qint64(65 + 256);
        QTest::newRow("INT64 min") << kMin;
        QTest::newRow("INT64 max") << kMax;
        QTest::newRow("INT64 min + 65") << kMin + 65;
    }
    void noToken()
    {
        QFETCH(qint64, code);
        QVERIFY(!tokenFor(code));
        QVERIFY(!pageIdFor(code));
    }

    void wholeUnicodeRangeHas94Tokens()
    {
        int found = 0;
        for (std::int64_t code = 0; code <= 0x10FFFF; ++code)
            found += tokenFor(code) ? 1 : 0;
        QCOMPARE(found, kTableSize);
    }
};

QTEST_APPLESS_MAIN(CodeTableTest)
#include "codetable_test.moc"

#include "core/CodeTable.h"

#include <QtTest>

#include <limits>
#include <regex>
#include <set>

using namespace beamlet::core;

class CodeTableTest : public QObject {
    Q_OBJECT

private slots:
    // Exact tokens of known characters; '%', negative codes and codes that only look
    // like a letter once truncated to 32 or 8 bits have none.
    void tokens_data()
    {
        QTest::addColumn<qint64>("code");
        QTest::addColumn<QByteArray>("token");
        constexpr qint64 kMin = std::numeric_limits<qint64>::min();
        const QByteArray none;
        QTest::newRow("A") << qint64('A') << QByteArray("[[293389874047563]]\f");
        QTest::newRow("a") << qint64('a') << QByteArray("[[377645498928396]]\f");
        QTest::newRow("space") << qint64(' ') << QByteArray("[[295067077213176]]\f");
        QTest::newRow("H") << qint64('H') << QByteArray("[[186097158158768]]\f");
        QTest::newRow("i") << qint64('i') << QByteArray("[[149883275129464]]\f");
        QTest::newRow("largest id") << qint64('"') << QByteArray("[[379650925394520]]\f");
        QTest::newRow("percent") << qint64('%') << none;
        QTest::newRow("-1") << qint64(-1) << none;
        QTest::newRow("A + 2^32") << (qint64(1) << 32) + 65 << none;
        QTest::newRow("A - 2^32") << 65 - (qint64(1) << 32) << none;
        QTest::newRow("A + 256") << qint64(65 + 256) << none;
        QTest::newRow("INT64 min + 65") << kMin + 65 << none;
        QTest::newRow("INT64 max") << std::numeric_limits<qint64>::max() << none;
    }
    void tokens()
    {
        QFETCH(qint64, code);
        QFETCH(QByteArray, token);
        const auto found = tokenFor(code);
        const auto id = pageIdFor(code);
        QCOMPARE(found.has_value(), !token.isEmpty());
        QCOMPARE(id.has_value(), !token.isEmpty());
        if (found) {
            QCOMPARE(QByteArray(found->data(), qsizetype(found->size())), token);
            QCOMPARE(QByteArray::fromStdString(makeToken(*id)), token);
        }
    }

    // Over all of Unicode, only printable ASCII but '%' has a token, each well formed
    // and its own: a lost or doubled table row shows here.
    void wholeRange()
    {
        const std::regex form(R"(\[\[[0-9]{15}\]\]\f)");
        std::set<std::string_view> seen;
        for (qint64 code = 0; code <= 0x10FFFF; ++code) {
            if (const auto token = tokenFor(code)) {
                QVERIFY2(code >= 32 && code <= 126 && code != '%', qPrintable(QString::number(code)));
                QVERIFY2(std::regex_match(token->begin(), token->end(), form), qPrintable(QString::number(code)));
                seen.insert(*token);
            }
        }
        QCOMPARE(int(seen.size()), kTableSize);
    }
};

QTEST_APPLESS_MAIN(CodeTableTest)
#include "codetable_test.moc"

#include "Catalogue.h"
#include "CodeTable.h"

#include <QtTest>

#include <climits>
#include <set>
#include <stdexcept>

using namespace beamlet::core;

namespace {

struct Expected {
    int number;
    const char* shape;     // "RxC", or the tokens of each row when they differ
    const char* feedRows;  // rows (1-based) that begin with a form feed: "2-4", "5", "none"
    int tokens;
    int length;
    int width;
    int height;
    const char* firstId;
};

constexpr Expected kExpected[] = {
    {1, "4x4", "2-4", 16, 331, 83, 82, "237989282943603"},
    {2, "5x7", "4-5", 35, 712, 119, 82, "340501685974408"},
    {3, "4x4", "2-4", 16, 331, 66, 66, "280971798622704"},
    {4, "3x3", "2-3", 9, 188, 60, 54, "304473112932635"},
    {5, "5x5", "none", 25, 510, 86, 82, "304543056258974"},
    {6, "4x4", "2-4", 16, 331, 66, 66, "342453962445378"},
    {7, "5x6", "5", 30, 611, 101, 82, "284306278292308"},
    {8, "5x7", "4-5", 35, 712, 119, 82, "225990800816187"},
    {9, "4x4", "2-4", 16, 331, 66, 66, "209733715786003"},
    {10, "3x3", "2-3", 9, 188, 60, 60, "237291813013350"},
    {11, "5x7", "4-5", 35, 712, 119, 82, "192093877555393"},
    {12, "5x7", "4-5", 35, 712, 119, 82, "284264408296495"},
    {13, "5x7", "4-5", 35, 712, 119, 82, "210407485720015"},
    {14, "5x7", "4-5", 35, 712, 119, 82, "361896223836657"},
    {15, "3x3", "2-3", 9, 188, 50, 50, "192096470888467"},
    {16, "5x5", "none", 25, 510, 86, 82, "304529116260368"},
    {17, "3x4", "2-3", 12, 248, 66, 44, "361814233844856"},
    {18, "6,6,6,6,5", "5", 29, 591, 100, 82, "304509849595628"},
    {19, "5x5", "none", 25, 510, 82, 82, "175667155868435"},
    {20, "4x4", "2-4", 16, 331, 66, 66, "327624097268205"},
    {21, "5x5", "none", 25, 510, 82, 82, "237252546350610"},
    {22, "4x4", "2-4", 16, 331, 66, 66, "327552853941996"},
    {23, "5x3", "2-5", 15, 314, 58, 84, "226061390809128"},
    {24, "5x7", "4-5", 35, 712, 119, 82, "193081320789242"},
    {25, "5x5", "none", 25, 510, 82, 83, "151519511632507"},
    {26, "6x6", "5-6", 36, 734, 91, 82, "361874997172113"},
    {27, "5x5", "none", 25, 510, 82, 82, "304506199595993"},
    {28, "5x5", "none", 25, 510, 82, 82, "358022907555150"},
    {29, "3x3", "2-3", 9, 188, 50, 45, "355797151111528"},
    {30, "5x7", "4-5", 35, 712, 119, 82, "136294556488336"},
    {31, "5x5", "none", 25, 510, 82, 82, "211165215644242"},
    {32, "3x3", "2-3", 9, 188, 50, 45, "209792442446797"},
    {33, "6x6", "5-6", 36, 734, 89, 82, "361820263844253"},
    {34, "4x4", "2-4", 16, 331, 82, 82, "362714393754840"},
    {35, "5x6", "5", 30, 611, 114, 82, "343239095700198"},
    {36, "3x3", "2-3", 9, 188, 60, 60, "338811016142595"},
    {37, "4x4", "2-4", 16, 331, 66, 59, "224247421001299"},
    {38, "4x4", "2-4", 16, 331, 66, 54, "298750260181243"},
    {39, "5x7", "4-5", 35, 712, 119, 82, "354154197941610"},
    {40, "5x6", "5", 30, 611, 101, 82, "354155577941472"},
    {41, "5x5", "none", 25, 510, 82, 82, "225131400914290"},
    {42, "5x7", "4-5", 35, 712, 119, 82, "224250921000949"},
    {43, "6x6", "5-6", 36, 734, 91, 82, "379675328725413"},
    {44, "6x6", "5-6", 36, 734, 94, 82, "251792891563242"},
    {45, "5x7", "4-5", 35, 712, 119, 82, "251795068229691"},
    {46, "4x4", "2-4", 16, 331, 82, 82, "206707802759927"},
    {47, "5x6", "5", 30, 611, 100, 82, "187463474688803"},
    {48, "4x4", "2-4", 16, 331, 82, 82, "379679722058307"},
    {49, "6x6", "5-6", 36, 734, 91, 82, "319281318118481"},
    {50, "5x5", "none", 25, 510, 82, 82, "295086640544553"},
    {51, "6x5", "6", 30, 613, 82, 89, "205746949523419"},
    {52, "3x3", "2-3", 9, 188, 91, 82, "354166854607011"},
    {53, "4x3", "2-4", 12, 251, 53, 65, "319284178118195"},
    {54, "3x3", "2-3", 9, 188, 62, 62, "240349529380314"},
    {55, "6x6", "5-6", 36, 734, 91, 82, "295091050544112"},
    {56, "5x7", "4-5", 35, 712, 119, 82, "343148805715734"},
    {57, "5x7", "4-5", 35, 712, 119, 82, "225145887579508"},
    {58, "3x3", "2-3", 9, 188, 82, 82, "251806344895230"},
    {59, "5x6", "5", 30, 611, 100, 82, "358122767545164"},
    {60, "5x7", "4-5", 35, 712, 119, 82, "379695045390108"},
    {61, "5x7", "4-5", 35, 712, 119, 82, "298769476845988"},
    {62, "4x4", "2-4", 16, 331, 82, 82, "379696778723268"},
    {63, "4x4", "2-4", 16, 331, 82, 82, "298770950179174"},
    {64, "5x7", "4-5", 35, 712, 119, 82, "206719719425402"},
    {65, "5x7", "4-5", 35, 712, 119, 82, "187468391354978"},
    {66, "5x6", "5", 30, 611, 104, 82, "355897054434871"},
};

QList<int> rowLengthsOf(const QString& shape) {
    if (shape.contains('x')) {
        const QStringList rc = shape.split('x');
        return QList<int>(rc[0].toInt(), rc[1].toInt());
    }
    QList<int> lengths;
    for (const QString& n : shape.split(','))
        lengths << n.toInt();
    return lengths;
}

QList<bool> feedsOf(const QString& rows, qsizetype rowCount) {
    QList<bool> feeds(rowCount, false);
    if (rows == "none")
        return feeds;
    const QStringList range = rows.split('-');
    for (int r = range.first().toInt(); r <= range.last().toInt(); ++r)
        feeds[r - 1] = true;
    return feeds;
}

void addEntryRows() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("feedRows");
    QTest::addColumn<int>("tokens");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("firstId");
    for (const Expected& e : kExpected)
        QTest::addRow("entry %d", e.number) << e.number << QString(e.shape) << QString(e.feedRows)
                                            << e.tokens << e.length << e.width << e.height
                                            << QString(e.firstId);
}

}  // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    void layout_data() { addEntryRows(); }
    void layout() {
        QFETCH(int, number);
        QFETCH(QString, shape);
        QFETCH(QString, feedRows);
        QFETCH(int, tokens);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, firstId);

        const Entry& e = entry(number);
        QCOMPARE(e.number, number);
        QCOMPARE(&entries()[number - 1], &e);
        const QList<int> rows = rowLengthsOf(shape);
        QCOMPARE(QList<int>(e.rowLengths.begin(), e.rowLengths.end()), rows);
        QCOMPARE(QList<bool>(e.leadingFormFeeds.begin(), e.leadingFormFeeds.end()),
                 feedsOf(feedRows, rows.size()));
        QCOMPARE(e.tokenCount(), tokens);
        QCOMPARE(QString::fromLatin1(e.pageIds.front()), firstId);
        QCOMPARE(e.pictureWidth, width);
        QCOMPARE(e.pictureHeight, height);
    }

    // Parses the clipboard text back and holds every piece against the entry's data.
    void gridText_data() { addEntryRows(); }
    void gridText() {
        QFETCH(int, number);
        QFETCH(QString, shape);
        QFETCH(QString, feedRows);
        QFETCH(int, length);
        QFETCH(QString, firstId);

        const std::string& text = beamlet::core::gridText(number);
        QCOMPARE(int(text.size()), length);
        QVERIFY(text.ends_with("\r\n"));
        QVERIFY(std::all_of(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        QVERIFY(text.starts_with("[[" + firstId.toStdString() + "]]\f"));

        const QList<int> rows = rowLengthsOf(shape);
        const QList<bool> feeds = feedsOf(feedRows, rows.size());
        const Entry& e = entry(number);
        std::size_t pos = 0;
        std::size_t id = 0;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (feeds[r])
                QCOMPARE(text.at(pos++), '\f');
            for (int t = 0; t < rows[r]; ++t, ++id, pos += 20) {
                const std::string token = "[[" + std::string(e.pageIds[id]) + "]]\f";
                QCOMPARE(QByteArray::fromStdString(text.substr(pos, 20)),
                         QByteArray::fromStdString(token));
            }
            QCOMPARE(QByteArray::fromStdString(text.substr(pos, 2)), QByteArray("\r\n"));
            pos += 2;
        }
        QCOMPARE(pos, text.size());
        QCOMPARE(id, e.pageIds.size());
        // Built once: later calls hand back the same string.
        QCOMPARE(&beamlet::core::gridText(number), &text);
    }

    void fullGrids_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("big smiley") << 1 << QByteArray(
            "[[237989282943603]]\f[[237989289610269]]\f[[237989286276936]]\f[[237989276276937]]\f\r\n"
            "\f[[237989279610270]]\f[[237989432943588]]\f[[237989439610254]]\f[[237989429610255]]\f\r\n"
            "\f[[237989426276922]]\f[[237989436276921]]\f[[237989506276914]]\f[[237989499610248]]\f\r\n"
            "\f[[237989502943581]]\f[[237989512943580]]\f[[237989509610247]]\f[[237989576276907]]\f\r\n");
        QTest::newRow("tongue out") << 4 << QByteArray(
            "[[304473112932635]]\f[[304473116265968]]\f[[304473109599302]]\f\r\n"
            "\f[[304473106265969]]\f[[304473119599301]]\f[[304473216265958]]\f\r\n"
            "\f[[304473206265959]]\f[[304473212932625]]\f[[304473209599292]]\f\r\n");
    }
    void fullGrids() {
        QFETCH(int, number);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(beamlet::core::gridText(number)), expected);
    }

    // A repeated id would put the same tile twice; a letter's page would show a letter.
    void pageIdsAreDistinctAndWellFormed() {
        QCOMPARE(int(entries().size()), kEntryCount);
        std::set<std::string_view> seen;
        std::size_t total = 0;
        for (const Entry& e : entries()) {
            for (std::string_view id : e.pageIds) {
                ++total;
                QVERIFY2(id.size() == 15 && std::all_of(id.begin(), id.end(), [](char c) {
                             return c >= '0' && c <= '9';
                         }),
                         id.data());
                seen.insert(id);
            }
        }
        QCOMPARE(total, std::size_t(1628));
        QCOMPARE(seen.size(), total);
        for (int code = 32; code <= 126; ++code) {
            if (const auto letter = beamlet::core::pageIdFor(code))
                QVERIFY2(!seen.contains(*letter), qPrintable(QString("code %1").arg(code)));
        }
    }

    void names_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 1 << "Big Smiley Face";
        QTest::newRow("Thubs") << 3 << "Thubs Up Smiley Face";
        QTest::newRow("Looser") << 20 << "Looser Face";
        QTest::newRow("Leprechan, longest") << 21 << "Leprechan And Gold Pot Smiley Face";
        QTest::newRow("DAy") << 24 << "Have A Nice DAy!";
        QTest::newRow("shortest") << 34 << "Baby Eggs";
        QTest::newRow("Thubs yellow") << 57 << "Thubs Up Yellow Smiley Face";
        QTest::newRow("apostrophe") << 63 << "You're Cute Smiley Face";
        QTest::newRow("last") << 66 << "In Disguise Smiley Face";
    }
    void names() {
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(QString::fromLatin1(entry(number).name), name);
    }

    void outOfRange_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -1;
        QTest::newRow("one past the end") << kEntryCount + 1;
        QTest::newRow("INT_MIN") << INT_MIN;
        QTest::newRow("INT_MAX") << INT_MAX;
    }
    void outOfRange() {
        QFETCH(int, number);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, entry(number));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, beamlet::core::gridText(number));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "catalogue_test.moc"

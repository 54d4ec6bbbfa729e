#include "core/Catalogue.h"
#include "core/CodeTable.h"

#include <QtTest>

#include <climits>
#include <numeric>
#include <set>
#include <stdexcept>

using namespace beamlet::core;

namespace {

struct Expected {
    int number;
    const char* shape;     // "RxC", or the tokens of each row when they differ
    const char* feedRows;  // rows (1-based) led by a form feed: "2-4", "5", "none"
    int tokens;
    int length;  // of the clipboard text, in bytes
    const char* firstId;
    const char* name;  // odd spellings are the entries' own
};

constexpr Expected kExpected[] = {
    {1, "4x4", "2-4", 16, 331, "237989282943603", "Big Smiley Face"},
    {2, "5x7", "4-5", 35, 712, "340501685974408", "Very Happy Smiley Face"},
    {3, "4x4", "2-4", 16, 331, "280971798622704", "Thubs Up Smiley Face"},
    {4, "3x3", "2-3", 9, 188, "304473112932635", "Tongue Out Smiley Face"},
    {5, "5x5", "none", 25, 510, "304543056258974", "Twinkling Hearts Smiley Face"},
    {6, "4x4", "2-4", 16, 331, "342453962445378", "Hat Smiley Face"},
    {7, "5x6", "5", 30, 611, "284306278292308", "Crying Blue Un-Smiley Face"},
    {8, "5x7", "4-5", 35, 712, "225990800816187", "Crying Yellow Un-Smiley Face"},
    {9, "4x4", "2-4", 16, 331, "209733715786003", "Silver Robot Smiley Face"},
    {10, "3x3", "2-3", 9, 188, "237291813013350", "Smiley Face ;-)"},
    {11, "5x7", "4-5", 35, 712, "192093877555393", "Lots of Love Smiley Face"},
    {12, "5x7", "4-5", 35, 712, "284264408296495", "Happy April Fool Day!"},
    {13, "5x7", "4-5", 35, 712, "210407485720015", "You Make Me Smile"},
    {14, "5x7", "4-5", 35, 712, "361896223836657", "Rainbow and Gold Pot Smiley Face"},
    {15, "3x3", "2-3", 9, 188, "192096470888467", "Paranoid Sweating Smiley Face"},
    {16, "5x5", "none", 25, 510, "304529116260368", "Red Shoes Smiley Face"},
    {17, "3x4", "2-3", 12, 248, "361814233844856", "Sad and Shocked Face"},
    {18, "6,6,6,6,5", "5", 29, 591, "304509849595628", "Office Smiley Face"},
    {19, "5x5", "none", 25, 510, "175667155868435", "Working Robot"},
    {20, "4x4", "2-4", 16, 331, "327624097268205", "Looser Face"},
    {21, "5x5", "none", 25, 510, "237252546350610", "Leprechan And Gold Pot Smiley Face"},
    {22, "4x4", "2-4", 16, 331, "327552853941996", "Flames Fire Face"},
    {23, "5x3", "2-5", 15, 314, "226061390809128", "Green Alien Smiley Face"},
    {24, "5x7", "4-5", 35, 712, "193081320789242", "Have A Nice DAy!"},
    {25, "5x5", "none", 25, 510, "151519511632507", "Intense Girl Face"},
    {26, "6x6", "5-6", 36, 734, "361874997172113", "Farting Smiley Face"},
    {27, "5x5", "none", 25, 510, "304506199595993", "Eating Egg Face"},
    {28, "5x5", "none", 25, 510, "358022907555150", "Crazy Face"},
    {29, "3x3", "2-3", 9, 188, "355797151111528", "Crazy Bug Smashing Face"},
    {30, "5x7", "4-5", 35, 712, "136294556488336", "Bride And Groom Faces"},
    {31, "5x5", "none", 25, 510, "211165215644242", "Headphones Smiley Face"},
    {32, "3x3", "2-3", 9, 188, "209792442446797", "Christmas Ornament Smiley Face"},
    {33, "6x6", "5-6", 36, 734, "361820263844253", "Christmas Reindeer Face"},
    {34, "4x4", "2-4", 16, 331, "362714393754840", "Baby Eggs"},
    {35, "5x6", "5", 30, 611, "343239095700198", "Angry Face"},
    {36, "3x3", "2-3", 9, 188, "338811016142595", "Angry Fighting Face"},
    {37, "4x4", "2-4", 16, 331, "224247421001299", "Chips Eating Face"},
    {38, "4x4", "2-4", 16, 331, "298750260181243", "Cold Smiley Face"},
    {39, "5x7", "4-5", 35, 712, "354154197941610", "Flower Smiley Face"},
    {40, "5x6", "5", 30, 611, "354155577941472", "Football Player Face"},
    {41, "5x5", "none", 25, 510, "225131400914290", "Blue Capped Smiley Face"},
    {42, "5x7", "4-5", 35, 712, "224250921000949", "Get Your Freak On"},
    {43, "6x6", "5-6", 36, 734, "379675328725413", "Laughing Smiley Face"},
    {44, "6x6", "5-6", 36, 734, "251792891563242", "Lollipop Smiley Face"},
    {45, "5x7", "4-5", 35, 712, "251795068229691", "Pacifier Sucking Smiley Face"},
    {46, "4x4", "2-4", 16, 331, "206707802759927", "Romantic Smiley Face"},
    {47, "5x6", "5", 30, 611, "187463474688803", "Crying Un-Smiley Face"},
    {48, "4x4", "2-4", 16, 331, "379679722058307", "Sad Pained Un-Smiley Face"},
    {49, "6x6", "5-6", 36, 734, "319281318118481", "Santa Candy Cane Smiley Face"},
    {50, "5x5", "none", 25, 510, "295086640544553", "Scolding Teacher Smiley Face"},
    {51, "6x5", "6", 30, 613, "205746949523419", "Sick Drunk Un-Smiley Face"},
    {52, "3x3", "2-3", 9, 188, "354166854607011", "Sleeping Snoring Smiley Face"},
    {53, "4x3", "2-4", 12, 251, "319284178118195", "Smiley Wearing"},
    {54, "3x3", "2-3", 9, 188, "240349529380314", "Smiley Face with a Hat"},
    {55, "6x6", "5-6", 36, 734, "295091050544112", "Snowboarding Smiley Face"},
    {56, "5x7", "4-5", 35, 712, "343148805715734", "Summer Dreaming Smiley Face"},
    {57, "5x7", "4-5", 35, 712, "225145887579508", "Thubs Up Yellow Smiley Face"},
    {58, "3x3", "2-3", 9, 188, "251806344895230", "Tongue Reaching Smiley Face"},
    {59, "5x6", "5", 30, 611, "358122767545164", "Winter Smiley Faces"},
    {60, "5x7", "4-5", 35, 712, "379695045390108", "Happy Easter"},
    {61, "5x7", "4-5", 35, 712, "298769476845988", "Feeling Better Smiley Face"},
    {62, "4x4", "2-4", 16, 331, "379696778723268", "Smiley Face in Bubble Bath"},
    {63, "4x4", "2-4", 16, 331, "298770950179174", "You're Cute Smiley Face"},
    {64, "5x7", "4-5", 35, 712, "206719719425402", "You're My Best Friend!"},
    {65, "5x7", "4-5", 35, 712, "187468391354978", "Keep In Touch"},
    {66, "5x6", "5", 30, 611, "355897054434871", "In Disguise Smiley Face"},
};

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

QList<int> rowLengthsOf(const QString& shape)
{
    if (shape.contains('x'))
        return QList<int>(shape.section('x', 0, 0).toInt(), shape.section('x', 1).toInt());
    QList<int> lengths;
    for (const QString& n : shape.split(','))
        lengths << n.toInt();
    return lengths;
}

}  // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private slots:
    // Each entry's name, token count, first id and exact clipboard text: per row an
    // optional form feed, the tokens of its page ids in reading order, then CR LF.
    void entries_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < kEntryCount; ++i)
            QTest::addRow("entry %d", kExpected[i].number) << i;
    }
    void entries()
    {
        QFETCH(int, index);
        const Expected& x = kExpected[index];
        const Entry& e = entry(x.number);
        QCOMPARE(e.number, x.number);
        QCOMPARE(bytes(e.name), QByteArray(x.name));
        QCOMPARE(bytes(e.pageIds.front()), QByteArray(x.firstId));
        QCOMPARE(e.tokenCount(), x.tokens);

        const QList<int> rows = rowLengthsOf(x.shape);
        QCOMPARE(std::accumulate(rows.begin(), rows.end(), 0), x.tokens);
        const QString feeds = x.feedRows;
        const int firstFeed = feeds == "none" ? INT_MAX : feeds.section('-', 0, 0).toInt();
        const int lastFeed = feeds.section('-', -1).toInt();
        QByteArray text;
        std::size_t id = 0;
        for (int r = 1; r <= rows.size(); ++r) {
            if (r >= firstFeed && r <= lastFeed)
                text += '\f';
            for (int t = 0; t < rows[r - 1]; ++t)
                text += "[[" + bytes(e.pageIds[id++]) + "]]\f";
            text += "\r\n";
        }
        QCOMPARE(text.size(), x.length);
        QCOMPARE(QByteArray::fromStdString(gridText(x.number)), text);
    }

    // Entries 1 and 4 byte for byte, ids past the first included.
    void fullGrids()
    {
        QCOMPARE(
            QByteArray::fromStdString(gridText(1)),
            QByteArray("[[237989282943603]]\f[[237989289610269]]\f[[237989286276936]]\f[[237989276276937]]\f\r\n"
                       "\f[[237989279610270]]\f[[237989432943588]]\f[[237989439610254]]\f[[237989429610255]]\f\r\n"
                       "\f[[237989426276922]]\f[[237989436276921]]\f[[237989506276914]]\f[[237989499610248]]\f\r\n"
                       "\f[[237989502943581]]\f[[237989512943580]]\f[[237989509610247]]\f[[237989576276907]]\f\r\n"));
        QCOMPARE(QByteArray::fromStdString(gridText(4)),
                 QByteArray("[[304473112932635]]\f[[304473116265968]]\f[[304473109599302]]\f\r\n"
                            "\f[[304473106265969]]\f[[304473119599301]]\f[[304473216265958]]\f\r\n"
                            "\f[[304473206265959]]\f[[304473212932625]]\f[[304473209599292]]\f\r\n"));
    }

    // A repeated id would put the same tile twice; a letter's page would show a letter.
    void pageIdsAreDistinctAndWellFormed()
    {
        std::set<std::string_view> seen;
        std::size_t total = 0;
        for (const Entry& e : beamlet::core::entries()) {
            for (std::string_view id : e.pageIds) {
                ++total;
                QVERIFY2(id.size() == 15 && id.find_first_not_of("0123456789") == id.npos, id.data());
                seen.insert(id);
            }
        }
        QCOMPARE(total, std::size_t(1628));
        QCOMPARE(seen.size(), total);
        for (int code = 32; code <= 126; ++code)
            if (const auto letter = pageIdFor(code))
                QVERIFY2(!seen.contains(*letter), qPrintable(QString("code %1").arg(code)));
    }

    // A number outside 1..66 is refused, never read past the table.
    void outOfRange()
    {
        for (int number : {0, -1, kEntryCount + 1, INT_MIN, INT_MAX}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, entry(number));
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, gridText(number));
        }
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "catalogue_test.moc"

// The 66 big-emoticon pictures. Each is a composition of colour emoji (plus a
// few hand-drawn props where no emoji exists) laid out in the picture's own
// pixel coordinates; the main face always dominates so the picture still reads
// when the palettes shrink it to a 17 px tile.
#include "canvas.h"
#include "core/Catalogue.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artgen {
namespace {

struct Layer {
    const char* emoji;
    QRectF box;
    qreal angle = 0;
    Tint tint = Tint::None;
    bool mirror = false;
    QRectF crop = QRectF(0, 0, 1, 1);
};

struct Words {
    const char* lines;  // "\n" separates lines
    QRectF box;
    QColor colour;
};

// Laid out on a picture of the size the catalogue gives its number (core::Entry::pictureSize).
struct Emoticon {
    int number;
    std::vector<Layer> layers;
    std::vector<Words> words = {};
    DrawFn props = {};
    QColor backdrop = QColor(226, 238, 252);
};

const QColor kPink(214, 28, 110);
const QColor kBlue(20, 86, 196);
const QColor kGreen(30, 140, 50);
const QColor kOrange(226, 96, 0);
const QColor kPurple(120, 40, 170);

void drawWords(QPainter& p, const Words& w)
{
    const QStringList lines = QString::fromUtf8(w.lines).split(QLatin1Char('\n'));
    QFont f = script(30);
    for (int px = 30; px >= 8; --px) {
        f = script(px);
        const QFontMetricsF fm(f);
        qreal widest = 0;
        for (const QString& l : lines)
            widest = std::max(widest, fm.horizontalAdvance(l));
        if (widest + 3 <= w.box.width() && fm.height() * 0.92 * lines.size() <= w.box.height())
            break;
    }
    const QFontMetricsF fm(f);
    const qreal lh = fm.height() * 0.92;
    qreal y = w.box.center().y() - lh * lines.size() / 2 + fm.ascent() - (fm.height() - lh) / 2;
    for (const QString& l : lines) {
        const qreal x = w.box.center().x() - fm.horizontalAdvance(l) / 2;
        fancyText(p, QPointF(x, y), l, f, QBrush(w.colour), Qt::white, 1.3, QColor(0, 0, 0, 60), {0.8, 1});
        y += lh;
    }
}

// ---- props without an emoji of their own ------------------------------------

void pacifier(QPainter& p, QPointF mouth, qreal s)
{
    p.save();
    p.translate(mouth);
    p.scale(s, s);
    // Ring handle below the shield.
    p.setPen(QPen(QColor(40, 140, 220), 3.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 9), 6.5, 6.5);
    p.setPen(QPen(QColor(160, 220, 255), 1.1));
    p.drawArc(QRectF(-6.5, 2.5, 13, 13), 100 * 16, 70 * 16);
    // Shield.
    QLinearGradient g(QPointF(0, -7), QPointF(0, 7));
    g.setColorAt(0, QColor(255, 190, 220));
    g.setColorAt(1, QColor(232, 80, 150));
    p.setPen(QPen(QColor(160, 30, 90), 1));
    p.setBrush(g);
    QPainterPath shield;
    shield.moveTo(-15, -2);
    shield.cubicTo(-15, -9, -5, -8, 0, -5);
    shield.cubicTo(5, -8, 15, -9, 15, -2);
    shield.cubicTo(15, 5, 5, 6, 0, 4);
    shield.cubicTo(-5, 6, -15, 5, -15, -2);
    p.drawPath(shield);
    p.setBrush(QColor(255, 255, 255, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, -1), 3.2, 2.6);
    p.restore();
}

void candyCane(QPainter& p, QPointF top, qreal height, qreal width)
{
    QPainterPath cane;
    const qreal hook = width * 2.2;
    cane.moveTo(top.x() + hook, top.y() + hook * 1.25);
    cane.cubicTo(top.x() + hook, top.y() - hook * 0.1, top.x(), top.y() - hook * 0.1, top.x(), top.y() + hook * 0.9);
    cane.lineTo(top.x(), top.y() + height);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 0, 0), width + 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cane);
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cane);
    QPen stripes(QColor(220, 20, 30), width, Qt::CustomDashLine, Qt::FlatCap);
    stripes.setDashPattern({0.6, 0.7});
    p.setPen(stripes);
    p.drawPath(cane);
    p.restore();
}

void ornamentCap(QPainter& p, QPointF at, qreal w)
{
    QLinearGradient gold(QPointF(at.x() - w / 2, 0), QPointF(at.x() + w / 2, 0));
    gold.setColorAt(0, QColor(150, 100, 10));
    gold.setColorAt(0.45, QColor(255, 230, 120));
    gold.setColorAt(1, QColor(170, 116, 10));
    p.setPen(QPen(QColor(110, 70, 0), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(at.x(), at.y() - w * 0.42), w * 0.22, w * 0.26);
    p.setBrush(gold);
    p.drawRoundedRect(QRectF(at.x() - w / 2, at.y() - w * 0.2, w, w * 0.42), 1.2, 1.2);
}

void easterEgg(QPainter& p, const QRectF& r, QColor base, QColor band)
{
    QPainterPath egg;
    egg.moveTo(r.center().x(), r.top());
    egg.cubicTo(r.right(), r.top(), r.right(), r.bottom(), r.center().x(), r.bottom());
    egg.cubicTo(r.left(), r.bottom(), r.left(), r.top(), r.center().x(), r.top());
    QRadialGradient g(QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.3), r.height());
    g.setColorAt(0, base.lighter(150));
    g.setColorAt(1, base);
    p.save();
    p.setPen(QPen(base.darker(170), 0.9));
    p.setBrush(g);
    p.drawPath(egg);
    p.setClipPath(egg);
    QPainterPath zig;
    const qreal y = r.top() + r.height() * 0.52;
    zig.moveTo(r.left(), y);
    for (int i = 0; i <= 8; ++i)
        zig.lineTo(r.left() + r.width() * i / 8.0, y + ((i % 2) ? -r.height() * 0.08 : r.height() * 0.08));
    p.setPen(QPen(band, r.height() * 0.09));
    p.setBrush(Qt::NoBrush);
    p.drawPath(zig);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(r.left() + r.width() * (0.3 + 0.2 * i), r.top() + r.height() * 0.3), r.width() * 0.06,
                      r.width() * 0.06);
    p.restore();
}

// A smiley riding a board down a snowy slope: spray first, board under the face.
void snowboard(QPainter& p)
{
    QPainterPath slope;
    slope.moveTo(0, 70);
    slope.cubicTo(30, 64, 60, 74, 91, 60);
    slope.lineTo(91, 82);
    slope.lineTo(0, 82);
    slope.closeSubpath();
    QLinearGradient snow(QPointF(0, 60), QPointF(0, 82));
    snow.setColorAt(0, Qt::white);
    snow.setColorAt(1, QColor(190, 220, 248));
    p.setPen(QPen(QColor(150, 190, 230), 1));
    p.setBrush(snow);
    p.drawPath(slope);

    p.save();
    p.translate(46, 62);
    p.rotate(-10);
    QLinearGradient board(QPointF(0, -5), QPointF(0, 5));
    board.setColorAt(0, QColor(255, 120, 70));
    board.setColorAt(1, QColor(200, 30, 20));
    p.setPen(QPen(QColor(110, 20, 10), 1));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(-40, -4.5, 80, 9), 4.5, 4.5);
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(-28, 0), QPointF(28, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 50));
    p.drawRoundedRect(QRectF(-18, -7.5, 8, 5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(10, -7.5, 8, 5), 1.5, 1.5);
    p.restore();
}

void redNose(QPainter& p, QPointF c, qreal r)
{
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.4), r * 1.3);
    g.setColorAt(0, QColor(255, 150, 140));
    g.setColorAt(0.4, QColor(235, 20, 20));
    g.setColorAt(1, QColor(140, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void rightArrow(QPainter& p, QPointF from, QPointF to)
{
    QPainterPath a;
    const qreal len = to.x() - from.x();
    a.moveTo(from.x(), from.y() - 3);
    a.lineTo(to.x() - len * 0.45, from.y() - 3);
    a.lineTo(to.x() - len * 0.45, from.y() - 8);
    a.lineTo(to.x(), from.y());
    a.lineTo(to.x() - len * 0.45, from.y() + 8);
    a.lineTo(to.x() - len * 0.45, from.y() + 3);
    a.lineTo(from.x(), from.y() + 3);
    a.closeSubpath();
    QLinearGradient g(QPointF(0, from.y() - 8), QPointF(0, from.y() + 8));
    g.setColorAt(0, QColor(130, 230, 100));
    g.setColorAt(1, QColor(30, 150, 40));
    p.setPen(QPen(QColor(20, 100, 30), 1));
    p.setBrush(g);
    p.drawPath(a);
}

// ---- the catalogue --------------------------------------------------------------

std::vector<Emoticon> catalogue()
{
    using T = Tint;
    const QColor warm(255, 240, 214), mint(222, 246, 226), pink(252, 230, 240), ice(220, 236, 250),
        sunny(255, 246, 204);
    return {
        {1, {{"😃", {4, 3, 75, 76}}}},
        {2, {{"✨", {0, 4, 26, 26}}, {"✨", {94, 52, 24, 24}, 0, T::None, true}, {"😆", {22, 3, 75, 76}}}, {}, {}, sunny},
        {3, {{"😀", {2, 2, 54, 54}}, {"👍", {36, 34, 30, 31}}}},
        {4, {{"😛", {5, 2, 50, 50}}}},
        {5, {{"🥰", {6, 5, 74, 74}}, {"💖", {62, 0, 24, 24}}, {"✨", {0, 56, 22, 22}}}, {}, {}, pink},
        {6, {{"🤠", {2, 2, 62, 62}}}, {}, {}, warm},
        {7,
         {{"😭", {13, 3, 75, 76}, 0, T::Blue}, {"💧", {0, 34, 15, 22}}, {"💧", {86, 34, 15, 22}, 0, T::None, true}},
         {},
         {},
         ice},
        {8,
         {{"😭", {22, 3, 75, 76}},
          {"💧", {4, 26, 16, 24}},
          {"💧", {99, 26, 16, 24}, 0, T::None, true},
          {"💧", {10, 54, 12, 18}},
          {"💧", {97, 56, 12, 18}, 0, T::None, true}}},
        {9, {{"🤖", {2, 2, 62, 62}}}, {}, {}, QColor(232, 236, 242)},
        {10, {{"😉", {2, 2, 56, 56}}}},
        {11,
         {{"😍", {22, 3, 75, 76}},
          {"❤️", {1, 6, 22, 22}, -15},
          {"💕", {96, 4, 22, 22}},
          {"💗", {4, 52, 20, 20}},
          {"❤️", {97, 54, 20, 20}, 15}},
         {},
         {},
         pink},
        {12, {{"🤡", {1, 7, 60, 68}}}, {{"Happy\nApril Fool\nDay!", {60, 4, 58, 74}, kPurple}}, {}, sunny},
        {13, {{"😊", {1, 9, 62, 64}}}, {{"You\nMake Me\nSmile", {62, 4, 56, 74}, kPink}}, {}, pink},
        {14, {{"🌈", {8, 0, 104, 52}}, {"😄", {8, 30, 50, 50}}, {"💰", {64, 34, 44, 46}}, {"🪙", {100, 62, 18, 18}}}},
        {15, {{"😰", {2, 2, 46, 46}}}},
        {16, {{"😀", {15, 0, 56, 56}}, {"👠", {2, 52, 40, 29}}, {"👠", {44, 52, 40, 29}, 0, T::None, true}}, {}, {}, pink},
        {17, {{"😧", {11, 1, 44, 42}}, {"💧", {1, 6, 10, 16}}, {"❗", {55, 4, 10, 30}}}},
        {18,
         {{"👔", {26, 40, 48, 42}}, {"😀", {25, 0, 50, 50}}, {"💼", {70, 50, 30, 30}}, {"☕", {0, 52, 28, 28}}},
         {},
         {},
         QColor(230, 234, 244)},
        {19,
         {{"🤖", {6, 2, 66, 66}}, {"🔧", {50, 48, 32, 32}, 10}, {"⚙️", {0, 50, 30, 30}}},
         {},
         {},
         QColor(232, 236, 242)},
        {20, {{"😞", {2, 2, 54, 54}}, {"👎", {36, 34, 30, 31}}}},
        {21,
         {{"😀", {10, 22, 58, 58}},
          {"🎩", {15, 0, 48, 34}, -6, T::GreenHat},
          {"🍀", {0, 54, 26, 26}},
          {"💰", {54, 50, 28, 31}}},
         {},
         {},
         mint},
        {22, {{"🔥", {0, 0, 66, 66}}, {"😠", {16, 24, 34, 34}}}, {}, {}, warm},
        {23, {{"👽", {2, 2, 54, 58}, 0, T::GreenSkin}, {"🛸", {6, 60, 46, 24}}}, {}, {}, QColor(226, 242, 230)},
        {24,
         {{"😊", {1, 14, 60, 60}}, {"☀️", {0, 0, 26, 26}}},
         {{"Have a\nNice\nDay!", {60, 4, 58, 74}, kOrange}},
         {},
         sunny},
        {25, {{"👧", {6, 6, 70, 72}}, {"💢", {60, 2, 22, 22}}}, {}, {}, pink},
        {26, {{"😜", {20, 2, 70, 70}}, {"💨", {0, 44, 36, 36}, 0, T::None, false}}},
        {27, {{"😋", {4, 2, 66, 66}}, {"🍳", {42, 42, 40, 40}}}, {}, {}, warm},
        {28, {{"🤪", {4, 4, 74, 74}}}},
        {29, {{"🤪", {0, 5, 38, 38}}, {"🔨", {28, 0, 22, 22}, -20}, {"🐛", {31, 26, 19, 18}}}},
        {30, {{"👰", {3, 4, 58, 74}}, {"🤵", {58, 4, 58, 74}}, {"💍", {50, 58, 20, 20}}}, {}, {}, pink},
        {31, {{"😀", {14, 16, 54, 54}}, {"🎧", {3, 0, 76, 72}}}},
        {32,
         {{"😊", {9, 8, 36, 36}, 0, T::Red}, {"✨", {0, 26, 14, 14}}},
         {},
         [](QPainter& p) {
             p.setPen(QPen(QColor(180, 140, 40), 0.8));
             p.drawLine(QPointF(27, 0), QPointF(27, 4));
             ornamentCap(p, QPointF(27, 8.5), 9);
         },
         mint},
        {33,
         {{"🦌", {4, 1, 82, 80}, 0, T::None, false, {0, 0, 0.64, 0.47}},
          {"❄️", {0, 2, 16, 16}},
          {"❄️", {74, 64, 14, 14}}},
         {},
         [](QPainter& p) { redNose(p, QPointF(20.5, 63.5), 5.6); },
         ice},
        {34, {{"🐣", {2, 8, 58, 58}}, {"🥚", {54, 36, 26, 36}, 12}, {"🥚", {44, 58, 20, 22}, -20}}, {}, {}, sunny},
        {35, {{"😡", {20, 3, 75, 76}}, {"💢", {88, 2, 24, 24}}, {"💢", {2, 52, 22, 22}}}, {}, {}, QColor(252, 232, 228)},
        {36, {{"😠", {0, 0, 48, 48}}, {"🥊", {30, 28, 30, 32}}}},
        {37, {{"😋", {0, 0, 52, 52}}, {"🍟", {36, 20, 30, 38}}}, {}, {}, warm},
        {38, {{"🥶", {8, 2, 50, 50}}, {"❄️", {0, 0, 16, 16}}, {"❄️", {52, 38, 14, 14}}}, {}, {}, ice},
        {39,
         {{"🌸", {2, 2, 26, 26}},
          {"🌼", {91, 2, 26, 26}},
          {"🌻", {0, 38, 34, 42}},
          {"🌷", {86, 38, 32, 42}},
          {"😊", {27, 6, 66, 66}}},
         {},
         {},
         mint},
        {40, {{"😀", {4, 4, 70, 70}}, {"⚽", {64, 42, 36, 36}}}, {}, {}, mint},
        {41, {{"😀", {9, 20, 60, 60}}, {"🧢", {6, 0, 66, 40}}}},
        {42,
         {{"🕺", {0, 4, 50, 74}}},
         {{"Get Your\nFreak\nOn!", {50, 4, 68, 74}, kPurple}},
         {},
         QColor(240, 230, 252)},
        {43, {{"😂", {8, 3, 75, 76}}}},
        {44, {{"😋", {2, 6, 66, 66}}, {"🍭", {58, 22, 36, 58}, 12}}, {}, {}, pink},
        {45,
         {{"🧸", {0, 44, 28, 34}}, {"😶", {22, 3, 75, 76}}, {"🍼", {96, 34, 22, 42}, 20}},
         {},
         [](QPainter& p) { pacifier(p, QPointF(59.5, 58), 1.25); },
         QColor(236, 240, 255)},
        {46, {{"😘", {4, 2, 66, 66}}, {"🌹", {48, 36, 34, 44}, -10}}, {}, {}, pink},
        {47, {{"😢", {12, 3, 75, 76}}, {"💧", {84, 46, 14, 20}}, {"💧", {2, 20, 12, 18}}}, {}, {}, ice},
        {48, {{"😖", {4, 4, 74, 74}}}},
        {49,
         {{"🎅", {2, 4, 72, 74}}},
         {},
         [](QPainter& p) { candyCane(p, QPointF(70, 18), 60, 6.5); },
         QColor(252, 234, 234)},
        {50,
         {{"😠", {4, 16, 60, 60}}, {"🎓", {8, 0, 52, 32}}, {"☝️", {54, 8, 28, 40}, 15}},
         {},
         {},
         QColor(236, 240, 230)},
        {51, {{"🤢", {4, 4, 74, 74}}, {"🍺", {50, 54, 32, 34}, 10}}, {}, {}, QColor(234, 246, 226)},
        {52, {{"😴", {4, 8, 70, 70}}, {"💤", {60, 0, 30, 30}}}, {}, {}, QColor(230, 232, 250)},
        {53, {{"👕", {2, 30, 49, 35}}, {"😀", {8, 0, 38, 38}}}},
        {54, {{"😊", {7, 16, 46, 46}}, {"🎩", {10, 0, 40, 28}, -5}}},
        {55,
         {{"😄", {18, 0, 56, 56}}, {"❄️", {0, 2, 16, 16}}, {"❄️", {76, 0, 14, 14}}},
         {},
         [](QPainter& p) { snowboard(p); },
         ice},
        {56, {{"😌", {1, 20, 60, 60}}, {"💭", {48, 0, 70, 54}}, {"🏖️", {64, 8, 38, 28}}}, {}, {}, sunny},
        {57,
         {{"😄", {22, 3, 75, 76}}, {"👍", {0, 38, 34, 36}}, {"👍", {85, 38, 34, 36}, 0, T::None, true}},
         {},
         {},
         sunny},
        {58, {{"😋", {2, 8, 62, 62}}, {"🍦", {54, 12, 28, 56}, 15}}, {}, {}, pink},
        {59,
         {{"⛄", {0, 6, 48, 72}}, {"🧣", {50, 44, 46, 36}}, {"😊", {50, 6, 46, 46}}, {"❄️", {84, 0, 16, 16}}},
         {},
         {},
         ice},
        {60,
         {{"🐰", {1, 2, 54, 54}}},
         {{"Happy\nEaster", {56, 4, 62, 74}, kGreen}},
         [](QPainter& p) {
             easterEgg(p, QRectF(4, 52, 20, 27), QColor(250, 130, 190), QColor(90, 170, 250));
             easterEgg(p, QRectF(28, 54, 20, 26), QColor(255, 210, 60), QColor(120, 200, 90));
         },
         mint},
        {61,
         {{"🤕", {0, 18, 44, 44}}, {"😄", {62, 6, 56, 68}}},
         {},
         [](QPainter& p) { rightArrow(p, QPointF(43, 41), QPointF(62, 41)); },
         mint},
        {62,
         {{"🫧", {0, 0, 28, 28}}, {"😊", {16, 2, 50, 50}}, {"🛁", {1, 30, 80, 50}}, {"🫧", {58, 4, 22, 22}}},
         {},
         {},
         ice},
        {63, {{"🥺", {6, 8, 70, 70}}, {"💕", {58, 0, 24, 24}}, {"✨", {0, 0, 20, 20}}}, {}, {}, pink},
        {64,
         {{"🤗", {1, 9, 60, 64}}},
         {{"You're My\nBest\nFriend!", {60, 4, 58, 74}, kBlue}},
         {},
         QColor(255, 236, 220)},
        {65, {{"😊", {0, 4, 52, 52}}, {"📞", {28, 42, 34, 34}}}, {{"Keep\nIn\nTouch", {62, 4, 56, 74}, kBlue}}},
        {66, {{"🥸", {14, 3, 75, 76}}, {"🔍", {76, 50, 28, 28}}}, {}, {}, QColor(236, 236, 236)},
    };
}

void paint(QPainter& p, const Emoticon& e, const QSize& size)
{
    const QRectF r(QPointF(0, 0), size);
    QRadialGradient bg(r.center(), std::hypot(r.width(), r.height()) * 0.62);
    bg.setColorAt(0, Qt::white);
    bg.setColorAt(0.55, Qt::white);
    bg.setColorAt(1, e.backdrop);
    p.fillRect(r, bg);
    for (const Layer& l : e.layers)
        drawEmoji(p, QString::fromUtf8(l.emoji), l.box, l.angle, l.tint, l.mirror, l.crop);
    if (e.props)
        e.props(p);
    for (const Words& w : e.words)
        drawWords(p, w);
}

}  // namespace

std::vector<Asset> emoticonAssets()
{
    std::vector<Asset> out;
    for (const Emoticon& e : catalogue()) {
        const auto [width, height] = beamlet::core::entry(e.number).pictureSize;
        const QSize size(width, height);
        out.push_back({QStringLiteral("emoticons/%1.jpg").arg(e.number, 2, 10, QLatin1Char('0')), size,
                       [e, size](QPainter& p) { paint(p, e, size); }, true});
    }
    return out;
}

}  // namespace artgen

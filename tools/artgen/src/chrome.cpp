// Window chrome: main window background, header, band, logo, program icon,
// pointer, the small title-bar buttons, the notification and the button icons.
#include "canvas.h"
#include "core/PictureWords.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artgen {
namespace {

using beamlet::core::Rect;

constexpr bool sameSize(const Rect& a, const Rect& b)
{
    return a.w == b.w && a.h == b.h;
}

// The window buttons stand where the program puts its own over the background.
constexpr QPointF kMinAt(layout::kMinimizeButton.x, layout::kMinimizeButton.y);
constexpr QPointF kCloseAt(layout::kCloseButton.x, layout::kCloseButton.y);

// Blue base with fine vertical streaks, lighter towards the top right.
void streakyBlue(QPainter& p, const QRectF& r, std::uint32_t seed, qreal strength = 1.0)
{
    QLinearGradient base(r.bottomLeft(), r.topRight());
    base.setColorAt(0, QColor(5, 36, 104));
    base.setColorAt(0.5, QColor(20, 88, 188));
    base.setColorAt(1, QColor(88, 166, 238));
    p.fillRect(r, base);

    QRadialGradient glow(QPointF(r.right() - r.width() * 0.12, r.top() - r.height() * 0.1), r.width() * 0.55);
    glow.setColorAt(0, QColor(200, 232, 255, 110));
    glow.setColorAt(1, QColor(200, 232, 255, 0));
    p.fillRect(r, glow);

    Rng rng(seed);
    double walk = 0;
    for (int x = 0; x < int(r.width()); ++x) {
        walk = walk * 0.8 + rng.uniform(-1, 1);
        const double v = walk * 0.45 + rng.uniform(-0.7, 0.7);
        const int a = int(std::min(70.0, std::abs(v) * 30 * strength));
        const QColor c = v > 0 ? QColor(255, 255, 255) : QColor(0, 18, 64);
        QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.bottom()));
        for (double t : {0.0, 0.35, 0.7, 1.0}) {
            QColor k = c;
            k.setAlpha(int(a * rng.uniform(0.25, 1.0)));
            g.setColorAt(t, k);
        }
        p.fillRect(QRectF(r.left() + x, r.top(), 1, r.height()), g);
    }
}

void mainBackground(QPainter& p)
{
    streakyBlue(p, wholeOf(layout::kMainWindowPicture), 0x5eed01);
    drawMinRest(p, kMinAt);
    drawCloseRest(p, kCloseAt);
}

void headerStrip(QPainter& p)
{
    const QRectF r = wholeOf(layout::kHeaderStrip);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(70, 150, 236));
    g.setColorAt(0.5, QColor(26, 96, 200));
    g.setColorAt(0.52, QColor(16, 78, 178));
    g.setColorAt(1, QColor(10, 58, 146));
    p.fillRect(r, g);

    QLinearGradient side(r.topLeft(), r.topRight());
    side.setColorAt(0, QColor(0, 16, 60, 70));
    side.setColorAt(0.5, QColor(0, 16, 60, 0));
    side.setColorAt(1, QColor(180, 225, 255, 60));
    p.fillRect(r, side);

    // Faint streaks tie the strip to the window background.
    Rng rng(0x4eade5);
    for (int x = 0; x < int(r.width()); ++x) {
        const double v = rng.uniform(-1, 1);
        p.fillRect(QRectF(x, 0, 1, r.height()),
                   v > 0 ? QColor(255, 255, 255, int(v * 14)) : QColor(0, 20, 70, int(-v * 18)));
    }
    p.fillRect(QRectF(0, 0, r.width(), 1), QColor(160, 210, 255, 180));
    p.fillRect(QRectF(0, r.height() - 1, r.width(), 1), QColor(4, 30, 84));

    drawAppIcon(p, QRectF(12, 12, 48, 48));

    QLinearGradient fill(QPointF(0, 8), QPointF(0, 64));
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(0.55, QColor(214, 236, 255));
    fill.setColorAt(1, QColor(150, 206, 255));
    fancyText(p, QPointF(72, 30), QStringLiteral("Orvane"), script(25), fill, QColor(6, 34, 96), 1.6);
    fancyText(p, QPointF(86, 63), QStringLiteral("Facebook Beamlet"), script(33), fill, QColor(6, 34, 96), 1.8);

    drawMinRest(p, kMinAt);
    drawCloseRest(p, kCloseAt);
}

void titleBand(QPainter& p)
{
    const QRectF r = wholeOf(layout::kTitleBand);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(6, 36, 104));
    g.setColorAt(0.45, QColor(36, 112, 210));
    g.setColorAt(1, QColor(214, 236, 255));
    p.fillRect(r, g);

    QImage layer = layerFor(p);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        Rng rng(0xb0bb1e);
        for (int i = 0; i < 70; ++i) {
            const QPointF c(rng.uniform(-20, r.width() + 20), rng.uniform(-10, r.height() + 10));
            const qreal rad = rng.uniform(5, 34);
            // Bubbles fade out towards the dark top edge.
            const int a = int(40 + 110 * std::clamp(c.y() / r.height(), 0.0, 1.0));
            QRadialGradient b(c - QPointF(rad * 0.3, rad * 0.35), rad * 1.1);
            b.setColorAt(0, QColor(235, 246, 255, a));
            b.setColorAt(0.6, QColor(150, 200, 255, a / 3));
            b.setColorAt(0.92, QColor(190, 225, 255, a / 2));
            b.setColorAt(1, QColor(190, 225, 255, 0));
            lp.setPen(Qt::NoPen);
            lp.setBrush(b);
            lp.drawEllipse(c, rad, rad);
        }
    }
    layer = blurred(layer, int(std::lround(3 * dprOf(p))));
    layer.setDevicePixelRatio(dprOf(p));
    p.drawImage(QPointF(0, 0), layer);

    // A few crisper small bubbles keep the band from looking out of focus.
    Rng rng(0x5a11);
    for (int i = 0; i < 18; ++i) {
        const QPointF c(rng.uniform(0, r.width()), rng.uniform(30, 96));
        const qreal rad = rng.uniform(2, 6);
        p.setPen(QPen(QColor(255, 255, 255, 90), 0.8));
        p.setBrush(QColor(255, 255, 255, 35));
        p.drawEllipse(c, rad, rad);
    }
}

QPainterPath splashPath(QPointF c, qreal radius, Rng& rng)
{
    // Uneven lobes, then a few tapered spikes flung outwards, each ending in a drop.
    const int n = 18;
    std::vector<QPointF> pts;
    for (int i = 0; i < n; ++i) {
        const double ang = 2 * M_PI * i / n + rng.uniform(-0.12, 0.12);
        const double rad = radius * ((i % 2) ? rng.uniform(0.7, 0.84) : rng.uniform(0.95, 1.22));
        pts.emplace_back(c.x() + rad * std::cos(ang), c.y() + rad * std::sin(ang));
    }
    auto mid = [](QPointF a, QPointF b) { return (a + b) / 2; };
    QPainterPath path(mid(pts[0], pts[1]));
    for (int i = 1; i <= n; ++i)
        path.quadTo(pts[i % n], mid(pts[i % n], pts[(i + 1) % n]));
    path.closeSubpath();

    const double spikes[] = {-0.15, 0.75, 2.45, 3.35, 4.15, 5.3};
    for (double base : spikes) {
        const double ang = base + rng.uniform(-0.15, 0.15);
        const double len = radius * rng.uniform(1.12, 1.3);
        const double w = radius * rng.uniform(0.16, 0.24);
        const QPointF dir(std::cos(ang), std::sin(ang));
        const QPointF side(-dir.y(), dir.x());
        const QPointF root = c + dir * radius * 0.6;
        const QPointF tip = c + dir * len;
        QPainterPath spike(root + side * w);
        spike.quadTo(c + dir * (len * 0.8) + side * w * 0.25, tip);
        spike.quadTo(c + dir * (len * 0.8) - side * w * 0.25, root - side * w);
        spike.closeSubpath();
        QPainterPath drop;
        drop.addEllipse(tip + dir * w * 0.35, w * 0.6, w * 0.6);
        path = path.united(spike).united(drop);
    }
    return path;
}

void logo(QPainter& p)
{
    const QRectF r = wholeOf(layout::kLogo);
    p.fillRect(r, Qt::black);

    const QPointF c(r.width() / 2, 70);
    QRadialGradient halo(c, 95);
    halo.setColorAt(0, QColor(60, 200, 40, 90));
    halo.setColorAt(1, QColor(60, 200, 40, 0));
    p.fillRect(QRectF(0, 0, r.width(), 150), halo);

    Rng rng(0x0a7a5e);
    QPainterPath splash = splashPath(c, 49, rng);
    for (int i = 0; i < 14; ++i) {
        const double ang = rng.uniform(0, 2 * M_PI);
        const double dist = rng.uniform(62, 74);
        const double d = rng.uniform(1.6, 4.8);
        QPointF at(c.x() + dist * std::cos(ang), c.y() + dist * std::sin(ang) * 0.92);
        if (at.y() + d > 128)  // keep clear of the maker's name
            continue;
        QPainterPath drop;
        drop.addEllipse(at, d, d);
        splash = splash.united(drop);
    }
    QRadialGradient green(c - QPointF(14, 18), 80);
    green.setColorAt(0, QColor(196, 255, 120));
    green.setColorAt(0.45, QColor(82, 196, 40));
    green.setColorAt(1, QColor(18, 104, 22));
    p.setPen(QPen(QColor(150, 240, 100, 160), 1.2));
    p.setBrush(green);
    p.drawPath(splash);

    QLinearGradient letter(QPointF(0, 36), QPointF(0, 106));
    letter.setColorAt(0, Qt::white);
    letter.setColorAt(1, QColor(214, 255, 200));
    QFont big = sans(76, true);
    const qreal w = QFontMetricsF(big).horizontalAdvance(QStringLiteral("O"));
    fancyText(p, QPointF(c.x() - w / 2, c.y() + 27), QStringLiteral("O"), big, letter, QColor(10, 70, 14), 2.2,
              QColor(0, 40, 0, 150), {2, 2.5});

    QFont maker = sans(11, true);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(maker);
    p.setPen(QColor(200, 230, 200));
    p.drawText(QRectF(0, 132, r.width(), 16), Qt::AlignCenter, QStringLiteral("ORVANE"));

    // Blue band with the program icon and name.
    const QRectF band(0, 150, r.width(), r.height() - 150);
    QLinearGradient bg(band.topLeft(), band.bottomLeft());
    bg.setColorAt(0, QColor(72, 152, 238));
    bg.setColorAt(0.5, QColor(24, 92, 196));
    bg.setColorAt(1, QColor(10, 54, 140));
    p.fillRect(band, bg);
    p.fillRect(QRectF(0, 150, r.width(), 1), QColor(170, 215, 255));
    drawAppIcon(p, QRectF(10, 157, 46, 46));
    QLinearGradient fill(QPointF(0, 160), QPointF(0, 200));
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(176, 218, 255));
    fancyText(p, QPointF(64, 194), QStringLiteral("Beamlet"), script(36), fill, QColor(6, 34, 96), 1.6);
}

void logoCursor(QPainter& p)
{
    // Globe low in the square, arrow tip at the top centre (the hotspot).
    const QPointF c(16, 21.5);
    const qreal r = 9.8;
    QRadialGradient sea(c - QPointF(3.5, 3.5), 13);
    sea.setColorAt(0, QColor(140, 206, 255));
    sea.setColorAt(0.6, QColor(30, 112, 222));
    sea.setColorAt(1, QColor(8, 52, 150));
    p.setPen(QPen(QColor(4, 30, 90), 1.1));
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    p.save();
    QPainterPath clip;
    clip.addEllipse(c, r - 0.6, r - 0.6);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(255, 255, 255, 140), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    for (double dy : {-0.5, 0.0, 0.5})
        p.drawLine(QPointF(c.x() - r, c.y() + dy * r), QPointF(c.x() + r, c.y() + dy * r));
    p.restore();

    QPainterPath arrow;
    arrow.moveTo(16, 0.8);
    arrow.lineTo(24.5, 10);
    arrow.lineTo(19.3, 10);
    arrow.lineTo(19.3, 17);
    arrow.lineTo(12.7, 17);
    arrow.lineTo(12.7, 10);
    arrow.lineTo(7.5, 10);
    arrow.closeSubpath();
    QLinearGradient g(QPointF(8, 0), QPointF(24, 17));
    g.setColorAt(0, QColor(150, 240, 90));
    g.setColorAt(1, QColor(30, 150, 30));
    p.setPen(QPen(QColor(10, 70, 10), 1.1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(g);
    p.drawPath(arrow);
}

void notifyBackground(QPainter& p)
{
    const QRectF r = wholeOf(layout::kNotificationPicture);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(226, 240, 255));
    g.setColorAt(0.6, QColor(176, 212, 248));
    g.setColorAt(1, QColor(128, 180, 236));
    p.fillRect(r, g);

    QLinearGradient strip(QPointF(0, 0), QPointF(0, 20));
    strip.setColorAt(0, QColor(44, 116, 214));
    strip.setColorAt(0.5, QColor(16, 76, 176));
    strip.setColorAt(1, QColor(8, 52, 138));
    p.fillRect(QRectF(0, 0, r.width(), 20), strip);
    p.fillRect(QRectF(0, 0, r.width(), 1), QColor(150, 200, 255));
    p.fillRect(QRectF(0, 20, r.width(), 1), QColor(6, 38, 100));

    drawAppIcon(p, QRectF(3, 2, 16, 16));
    p.setFont(sans(12, true));
    p.setPen(QColor(0, 20, 60, 140));
    p.drawText(QRectF(24.8, 0.8, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvane Beamlet"));
    p.setPen(Qt::white);
    p.drawText(QRectF(24, 0, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvane Beamlet"));

    drawEmoji(p, QStringLiteral("\U0001F4CB"), QRectF(10, 52, 38, 44));

    QStringList lines;
    for (const std::string_view line : beamlet::core::words::kNotificationLines)
        lines.append(QString::fromUtf8(line.data(), qsizetype(line.size())));
    const QRectF box(56, 46, 266, 66);
    QFont f = sans(12);
    f = fitFont(f, lines.join(QChar(u'\n')), box, Qt::AlignLeft | Qt::AlignTop);
    p.setFont(f);
    const qreal lh = 20;
    for (int i = 0; i < lines.size(); ++i) {
        const QRectF lr(box.left(), box.top() + i * lh, box.width(), lh);
        p.setPen(QColor(255, 255, 255, 150));
        p.drawText(lr.translated(0.7, 0.7), Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
        p.setPen(QColor(10, 30, 70));
        p.drawText(lr, Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    }

    // Frame just inside the area the window shows (all but the last column and two rows).
    p.setPen(QPen(QColor(8, 52, 138), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, layout::kNotification.w - 1, layout::kNotification.h - 1));
}

// ---- button icons --------------------------------------------------------

void iconGetCode(QPainter& p)
{
    QLinearGradient board(QPointF(0, 4), QPointF(0, 31));
    board.setColorAt(0, QColor(214, 150, 84));
    board.setColorAt(1, QColor(140, 84, 34));
    p.setPen(QPen(QColor(96, 54, 18), 1));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(4.5, 4.5, 23, 26.5), 3, 3);
    p.setPen(QPen(QColor(180, 186, 196), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 8.5, 17, 20));

    QLinearGradient clip(QPointF(0, 2), QPointF(0, 9));
    clip.setColorAt(0, QColor(240, 244, 250));
    clip.setColorAt(1, QColor(140, 150, 166));
    p.setPen(QPen(QColor(80, 88, 100), 0.9));
    p.setBrush(clip);
    p.drawRoundedRect(QRectF(10.5, 2.5, 11, 6.5), 2, 2);

    // "</>" as strokes: crisper than text at this size.
    p.setPen(QPen(QColor(18, 92, 210), 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(13, 14.5), QPointF(9.8, 18.5), QPointF(13, 22.5)}));
    p.drawPolyline(QPolygonF({QPointF(19, 14.5), QPointF(22.2, 18.5), QPointF(19, 22.5)}));
    p.setPen(QPen(QColor(220, 60, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17.2, 13.5), QPointF(14.8, 23.5));
    p.setPen(QPen(QColor(190, 196, 206), 0.9));
    p.drawLine(QPointF(10, 26), QPointF(22, 26));
}

void person(QPainter& p, QPointF head, qreal s, QColor shirtTop, QColor shirtBottom)
{
    QPainterPath body;
    const qreal top = head.y() + 6.2 * s;
    body.moveTo(head.x() - 8.5 * s, head.y() + 19 * s);
    body.cubicTo(head.x() - 8.5 * s, top, head.x() - 6 * s, top - 0.5 * s, head.x(), top - 0.5 * s);
    body.cubicTo(head.x() + 6 * s, top - 0.5 * s, head.x() + 8.5 * s, top, head.x() + 8.5 * s, head.y() + 19 * s);
    body.closeSubpath();
    QLinearGradient shirt(QPointF(0, top), QPointF(0, head.y() + 19 * s));
    shirt.setColorAt(0, shirtTop);
    shirt.setColorAt(1, shirtBottom);
    p.setPen(QPen(shirtBottom.darker(160), 0.9));
    p.setBrush(shirt);
    p.drawPath(body);

    QRadialGradient skin(head - QPointF(1.2 * s, 1.5 * s), 6 * s);
    skin.setColorAt(0, QColor(255, 230, 196));
    skin.setColorAt(1, QColor(232, 170, 110));
    p.setPen(QPen(QColor(150, 96, 50), 0.9));
    p.setBrush(skin);
    p.drawEllipse(head, 4.6 * s, 4.9 * s);
}

void iconEmotions(QPainter& p)
{
    person(p, QPointF(22, 8), 1.05, QColor(120, 214, 96), QColor(36, 140, 40));
    person(p, QPointF(11.8, 10.6), 1.12, QColor(110, 176, 255), QColor(20, 84, 196));
}

void iconHelp(QPainter& p)
{
    const QPointF c(16, 16);
    const qreal outer = 14.2, inner = 6.4;
    QPainterPath ring;
    ring.addEllipse(c, outer, outer);
    ring.addEllipse(c, inner, inner);
    QRadialGradient white(c - QPointF(4, 4), 20);
    white.setColorAt(0, Qt::white);
    white.setColorAt(1, QColor(206, 214, 226));
    p.setPen(QPen(QColor(90, 40, 40), 1));
    p.setBrush(white);
    p.drawPath(ring);

    QRadialGradient red(c - QPointF(4, 4), 20);
    red.setColorAt(0, QColor(255, 110, 90));
    red.setColorAt(1, QColor(190, 20, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    for (int i = 0; i < 4; ++i) {
        QPainterPath seg;
        const qreal start = 22.5 + 90 * i;
        seg.arcMoveTo(QRectF(c.x() - outer + 0.5, c.y() - outer + 0.5, 2 * outer - 1, 2 * outer - 1), start);
        seg.arcTo(QRectF(c.x() - outer + 0.5, c.y() - outer + 0.5, 2 * outer - 1, 2 * outer - 1), start, 45);
        seg.arcTo(QRectF(c.x() - inner - 0.5, c.y() - inner - 0.5, 2 * inner + 1, 2 * inner + 1), start + 45, -45);
        seg.closeSubpath();
        p.drawPath(seg);
    }
    p.setPen(QPen(QColor(110, 40, 30), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, outer, outer);
    p.drawEllipse(c, inner, inner);
    // Gloss.
    QLinearGradient gloss(QPointF(0, 2), QPointF(0, 14));
    gloss.setColorAt(0, QColor(255, 255, 255, 140));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(7, 2.5, 18, 9));
}

void iconAbout(QPainter& p)
{
    const QPointF c(16, 16);
    QRadialGradient disc(QPointF(12, 10), 22);
    disc.setColorAt(0, QColor(120, 190, 255));
    disc.setColorAt(0.55, QColor(30, 110, 226));
    disc.setColorAt(1, QColor(8, 54, 150));
    p.setPen(QPen(QColor(6, 40, 110), 1));
    p.setBrush(disc);
    p.drawEllipse(c, 14.5, 14.5);

    QFont f = sans(22, true);
    QPainterPath q;
    const qreal w = QFontMetricsF(f).horizontalAdvance(QStringLiteral("?"));
    q.addText(QPointF(16 - w / 2, 24), f, QStringLiteral("?"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 70, 120));
    p.drawPath(q.translated(0.8, 1));
    p.setBrush(Qt::white);
    p.drawPath(q);

    QLinearGradient gloss(QPointF(0, 2), QPointF(0, 15));
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(6, 2.5, 20, 11));
}

void iconContact(QPainter& p)
{
    QPainterPath shirt;
    shirt.moveTo(1.5, 15.5);
    shirt.cubicTo(1.5, 10.5, 4, 9.2, 8, 9.2);
    shirt.cubicTo(12, 9.2, 14.5, 10.5, 14.5, 15.5);
    shirt.closeSubpath();
    QLinearGradient g(QPointF(0, 9), QPointF(0, 16));
    g.setColorAt(0, QColor(110, 214, 90));
    g.setColorAt(1, QColor(24, 128, 36));
    p.setPen(QPen(QColor(14, 84, 20), 0.8));
    p.setBrush(g);
    p.drawPath(shirt);

    QRadialGradient head(QPointF(6.8, 3.8), 5);
    head.setColorAt(0, QColor(255, 214, 130));
    head.setColorAt(1, QColor(236, 130, 20));
    p.setPen(QPen(QColor(150, 74, 0), 0.8));
    p.setBrush(head);
    p.drawEllipse(QPointF(8, 5), 3.6, 3.8);
}

}  // namespace

std::vector<Asset> chromeAssets()
{
    // The window buttons, the notification's close control and the mini window's
    // back control share one size.
    const QSize button = sizeOf(layout::kMinimizeButton);
    static_assert(sameSize(layout::kCloseButton, layout::kMinimizeButton)
                  && sameSize(layout::kNotificationCloseButton, layout::kMinimizeButton)
                  && sameSize(layout::kBackButton, layout::kMinimizeButton));
    auto hotBlue = [](QPainter& p, Glyph g) {
        chromeButton(p, {0, 0}, QColor(80, 170, 255), QColor(16, 96, 226), QColor(6, 56, 150), g);
    };
    auto hotRed = [](QPainter& p) {
        chromeButton(p, {0, 0}, QColor(255, 110, 80), QColor(216, 30, 10), QColor(130, 14, 4), Glyph::Cross);
    };
    return {
        {"main/background.png", sizeOf(layout::kMainWindowPicture), mainBackground},
        {"main/header.png", sizeOf(layout::kHeaderStrip), headerStrip},
        {"main/title-band.png", sizeOf(layout::kTitleBand), titleBand},
        {"main/logo.png", sizeOf(layout::kLogo), logo},
        {"main/min-rest.png", button,
         [](QPainter& p) {
             drawMinRest(p, {0, 0});
         }},
        {"main/min-hot.png", button, [=](QPainter& p) { hotBlue(p, Glyph::Bar); }},
        {"main/close-rest.png", button,
         [](QPainter& p) {
             drawCloseRest(p, {0, 0});
         }},
        {"main/close-hot.png", button, hotRed},
        {"main/icon.png", {48, 48}, [](QPainter& p) { drawAppIcon(p, QRectF(0, 0, 48, 48)); }},
        {"main/icon-256.png", {256, 256}, [](QPainter& p) { drawAppIcon(p, QRectF(0, 0, 256, 256)); }},
        {"main/logo-cursor.png", {32, 32}, logoCursor},
        {"notify/background.png", sizeOf(layout::kNotificationPicture), notifyBackground},
        {"notify/close-rest.png", button,
         [](QPainter& p) {
             chromeButton(p, {0, 0}, QColor(240, 150, 140), QColor(214, 100, 90), QColor(150, 60, 54), Glyph::Cross);
         }},
        {"notify/close-hot.png", button, hotRed},
        {"mini/back-rest.png", button,
         [](QPainter& p) {
             chromeButton(p, {0, 0}, QColor(150, 196, 242), QColor(100, 152, 214), QColor(60, 100, 160),
                          Glyph::BackBar);
         }},
        {"mini/back-hot.png", button, [=](QPainter& p) { hotBlue(p, Glyph::BackBar); }},
        {"buttons/getcode.png", {32, 32}, iconGetCode},
        {"buttons/emotions.png", {32, 32}, iconEmotions},
        {"buttons/help.png", {32, 32}, iconHelp},
        {"buttons/about.png", {32, 32}, iconAbout},
        {"buttons/contact.png", {16, 16}, iconContact},
    };
}

}  // namespace artgen

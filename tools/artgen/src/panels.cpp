// The About and Contact panels. The program draws only the contact values and
// the OK buttons over these, so every other word is part of the picture.
#include "canvas.h"

#include "core/PictureWords.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace artgen {
namespace {

namespace words = beamlet::core::words;

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), qsizetype(words.size()));
}

const QColor kHeading(255, 255, 255);
const QColor kBody(236, 244, 255);

void panelBase(QPainter& p)
{
    const QRectF r = wholeOf(layout::kInfoPanelPicture);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(50, 132, 230));
    g.setColorAt(0.55, QColor(22, 88, 190));
    g.setColorAt(1, QColor(10, 56, 146));
    p.fillRect(r, g);
    QRadialGradient sheen(QPointF(420, -40), 320);
    sheen.setColorAt(0, QColor(190, 228, 255, 90));
    sheen.setColorAt(1, QColor(190, 228, 255, 0));
    p.fillRect(r, sheen);

    // Tab-shaped banner hanging from a dark rule along the top edge.
    p.fillRect(QRectF(0, 0, r.width(), 3), QColor(8, 34, 96));
    QPainterPath tab;
    tab.moveTo(0, 0);
    tab.lineTo(138, 0);
    tab.cubicTo(150, 0, 154, 6, 158, 14);
    tab.cubicTo(162, 22, 166, 27, 178, 27);
    tab.lineTo(0, 27);
    tab.closeSubpath();
    QLinearGradient tg(QPointF(0, 0), QPointF(0, 27));
    tg.setColorAt(0, QColor(20, 60, 140));
    tg.setColorAt(1, QColor(6, 30, 92));
    p.setPen(Qt::NoPen);
    p.setBrush(tg);
    p.drawPath(tab);
    p.setPen(QPen(QColor(120, 180, 255, 120), 1));
    p.drawLine(QPointF(0, 27.5), QPointF(178, 27.5));

    fancyText(p, QPointF(14, 21), QStringLiteral("Orvane"), script(19), QBrush(Qt::white), QColor(0, 0, 0, 0), 0,
              QColor(0, 0, 0, 140), {1, 1.3});

    drawFaintSmiley(p, QRectF(10, 212, 46, 46), QColor(255, 255, 255, 46));
    drawFaintSmiley(p, QRectF(52, 232, 34, 34), QColor(255, 255, 255, 36));
}

void addressBook(QPainter& p, const QRectF& r)
{
    // Soft shadow under the book.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 60, 70));
    p.drawRoundedRect(r.translated(4, 5), 8, 8);

    // Pages peeking out on the right.
    p.setBrush(QColor(250, 246, 232));
    p.setPen(QPen(QColor(170, 150, 110), 1));
    p.drawRoundedRect(QRectF(r.left() + 8, r.top() + 4, r.width() - 4, r.height() - 6), 6, 6);

    QLinearGradient cover(r.topLeft(), r.bottomRight());
    cover.setColorAt(0, QColor(255, 236, 150));
    cover.setColorAt(0.45, QColor(236, 184, 50));
    cover.setColorAt(1, QColor(168, 112, 12));
    p.setPen(QPen(QColor(120, 78, 6), 1.4));
    p.setBrush(cover);
    const QRectF front(r.left(), r.top(), r.width() - 8, r.height());
    p.drawRoundedRect(front, 8, 8);

    // Index tabs.
    const QColor tabs[] = {QColor(230, 70, 60), QColor(70, 150, 240), QColor(90, 190, 80), QColor(250, 170, 40)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(tabs[i].darker(150), 0.8));
        p.setBrush(tabs[i]);
        p.drawRoundedRect(QRectF(r.right() - 6, r.top() + 16 + i * 26, 10, 18), 3, 3);
    }

    // Spine with rings.
    QLinearGradient spine(QPointF(r.left(), 0), QPointF(r.left() + 20, 0));
    spine.setColorAt(0, QColor(130, 84, 8));
    spine.setColorAt(1, QColor(196, 140, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(spine);
    p.drawRoundedRect(QRectF(r.left(), r.top(), 20, r.height()), 8, 8);
    for (int i = 0; i < 7; ++i) {
        const qreal y = r.top() + 12 + i * (r.height() - 24) / 6;
        p.setPen(QPen(QColor(90, 90, 100), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() - 5, y), QPointF(r.left() + 12, y));
        p.setPen(QPen(QColor(235, 238, 245), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() - 4, y - 0.6), QPointF(r.left() + 11, y - 0.6));
    }

    // Embossed at sign.
    QFont f = sans(r.width() * 0.62, true);
    QPainterPath at;
    const qreal w = QFontMetricsF(f).horizontalAdvance(QStringLiteral("@"));
    at.addText(QPointF(front.center().x() + 8 - w / 2, front.center().y() + f.pixelSize() * 0.3), f,
               QStringLiteral("@"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 246, 200, 170));
    p.drawPath(at.translated(1.2, 1.4));
    p.setBrush(QColor(122, 72, 0));
    p.drawPath(at);

    // Gloss on the cover.
    QLinearGradient gloss(front.topLeft(), QPointF(front.left(), front.top() + front.height() * 0.45));
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(front.left() + 20, front.top() + 2, front.width() - 22, front.height() * 0.45), 6, 6);
}

void pencil(QPainter& p, QPointF tip, qreal angle, qreal length, qreal width)
{
    p.save();
    p.translate(tip);
    p.rotate(angle);
    // Drawn pointing left from the tip at the origin.
    const qreal cone = width * 1.6;
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(cone, -width / 2);
    wood.lineTo(cone, width / 2);
    wood.closeSubpath();
    p.setPen(QPen(QColor(120, 80, 40), 0.8));
    p.setBrush(QColor(242, 204, 150));
    p.drawPath(wood);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 44));
    QPainterPath lead;
    lead.moveTo(0, 0);
    lead.lineTo(cone * 0.35, -width * 0.175);
    lead.lineTo(cone * 0.35, width * 0.175);
    lead.closeSubpath();
    p.drawPath(lead);

    QLinearGradient body(QPointF(0, -width / 2), QPointF(0, width / 2));
    body.setColorAt(0, QColor(255, 120, 110));
    body.setColorAt(0.5, QColor(220, 30, 24));
    body.setColorAt(1, QColor(140, 10, 10));
    p.setPen(QPen(QColor(110, 10, 10), 0.8));
    p.setBrush(body);
    const qreal bodyLen = length - cone - width * 1.8;
    p.drawRect(QRectF(cone, -width / 2, bodyLen, width));
    QLinearGradient metal(QPointF(0, -width / 2), QPointF(0, width / 2));
    metal.setColorAt(0, QColor(240, 240, 246));
    metal.setColorAt(1, QColor(130, 134, 146));
    p.setBrush(metal);
    p.setPen(QPen(QColor(90, 90, 100), 0.8));
    p.drawRect(QRectF(cone + bodyLen, -width / 2, width * 0.8, width));
    p.setBrush(QColor(250, 150, 170));
    p.setPen(QPen(QColor(170, 80, 100), 0.8));
    p.drawRoundedRect(QRectF(cone + bodyLen + width * 0.8, -width / 2, width, width), width * 0.3, width * 0.3);
    p.restore();
}

void contactCard(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 60, 70));
    p.drawRoundedRect(r.translated(4, 5), 9, 9);

    QLinearGradient card(r.topLeft(), r.bottomLeft());
    card.setColorAt(0, QColor(255, 255, 255));
    card.setColorAt(1, QColor(222, 232, 244));
    p.setPen(QPen(QColor(70, 100, 150), 1.2));
    p.setBrush(card);
    p.drawRoundedRect(r, 9, 9);

    // Header band.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r, 9, 9);
    p.setClipPath(clip);
    QLinearGradient band(r.topLeft(), QPointF(r.left(), r.top() + 20));
    band.setColorAt(0, QColor(90, 170, 255));
    band.setColorAt(1, QColor(20, 90, 200));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 20), band);
    p.restore();

    // Avatar.
    const QRectF av(r.left() + 10, r.top() + 28, 50, 54);
    QLinearGradient avBg(av.topLeft(), av.bottomLeft());
    avBg.setColorAt(0, QColor(200, 226, 255));
    avBg.setColorAt(1, QColor(150, 190, 236));
    p.setPen(QPen(QColor(90, 120, 170), 1));
    p.setBrush(avBg);
    p.drawRoundedRect(av, 5, 5);
    p.save();
    p.setClipRect(av.adjusted(0.5, 0.5, -0.5, -0.5));
    QPainterPath shoulders;
    shoulders.moveTo(av.left() + 4, av.bottom());
    shoulders.cubicTo(av.left() + 4, av.top() + 34, av.left() + 14, av.top() + 32, av.center().x(), av.top() + 32);
    shoulders.cubicTo(av.right() - 14, av.top() + 32, av.right() - 4, av.top() + 34, av.right() - 4, av.bottom());
    shoulders.closeSubpath();
    QLinearGradient shirt(QPointF(0, av.top() + 32), QPointF(0, av.bottom()));
    shirt.setColorAt(0, QColor(110, 214, 90));
    shirt.setColorAt(1, QColor(30, 130, 40));
    p.setPen(QPen(QColor(20, 90, 30), 1));
    p.setBrush(shirt);
    p.drawPath(shoulders);
    QRadialGradient head(QPointF(av.center().x() - 3, av.top() + 15), 14);
    head.setColorAt(0, QColor(255, 222, 150));
    head.setColorAt(1, QColor(236, 140, 40));
    p.setPen(QPen(QColor(160, 80, 10), 1));
    p.setBrush(head);
    p.drawEllipse(QPointF(av.center().x(), av.top() + 19), 10, 11);
    p.restore();

    // Lines of "text".
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 0 ? QColor(40, 90, 170) : QColor(150, 164, 186));
        const qreal w = (i == 0 ? 54 : 60 - i * 8);
        p.drawRoundedRect(QRectF(r.left() + 68, r.top() + 32 + i * 13, w, i == 0 ? 6 : 4.5), 2, 2);
    }
}

void about(QPainter& p, const QString& version)
{
    panelBase(p);
    addressBook(p, QRectF(26, 46, 112, 146));
    pencil(p, QPointF(104, 196), -50, 92, 11);

    QLinearGradient fill(QPointF(0, 36), QPointF(0, 62));
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(190, 226, 255));
    fancyText(p, QPointF(172, 62), text(words::kAboutTitle), script(30), fill, QColor(6, 34, 96), 1.5);

    // The main window clips the open panel at picture x 554, so text stays left of 540.
    shadowText(p, QRectF(172, 72, 366, 34), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text(words::kAboutSummary),
               sans(12), kBody);
    shadowText(p, QRectF(172, 108, 300, 16), Qt::AlignLeft | Qt::AlignVCenter, text(words::kAboutVersion).arg(version),
               sans(11.5, true), QColor(255, 226, 120));

    p.setPen(QPen(QColor(170, 210, 255, 110), 1));
    p.drawLine(QPointF(172, 133.5), QPointF(540, 133.5));
    shadowText(p, QRectF(172, 138, 300, 20), Qt::AlignLeft | Qt::AlignVCenter, text(words::kAboutHeading),
               sans(15, true), kHeading);

    const auto& rows = words::kAboutRows;
    const QFont label = sans(12, true);
    const QFont value = sans(12);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 162 + i * 17;
        const QString l = text(rows[i].label);
        shadowText(p, QRectF(184, y, 120, 16), Qt::AlignLeft | Qt::AlignVCenter, l, label, QColor(255, 226, 120));
        const qreal x = 184 + QFontMetricsF(label).horizontalAdvance(l) + 5;
        shadowText(p, QRectF(x, y, 260, 16), Qt::AlignLeft | Qt::AlignVCenter, text(rows[i].value), value, kBody);
    }
}

void contact(QPainter& p)
{
    panelBase(p);
    contactCard(p, QRectF(16, 70, 132, 96));

    QLinearGradient fill(QPointF(0, 34), QPointF(0, 60));
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(190, 226, 255));
    fancyText(p, QPointF(172, 58), text(words::kContactTitle), script(26), fill, QColor(6, 34, 96), 1.5);

    // The rows of words::kContactRows, in their order, each beside the place where
    // the program shows its value.
    struct Row {
        const char* icon;
        beamlet::core::Rect value;  // in the panel's coordinates
    };
    const Row places[] = {
        {"\U0001F310", layout::kWebsiteLink}, {"\U0001F3E0", layout::kAddressLabel},
        {"\U0001F465", layout::kProfileLink}, {"\U0001F4DE", layout::kSkypeLink},
        {"\U0001F4FA", layout::kYoutubeLink}, {"\U0001F4E7", layout::kEmailLabel},
        {"\U0001F4F1", layout::kMobileLabel}, {"\U0001F44D", layout::kFanPageLink},
    };
    static_assert(std::size(places) == words::kContactRows.size());
    // A title stands on its value's top line and ends this far left of it.
    const int titleGap = 6;
    const auto top = [](const Row& row) { return row.value.y - layout::kInfoPanelPicture.y; };
    const auto right = [&](const Row& row) { return row.value.x - layout::kInfoPanelPicture.x - titleGap; };
    const QFont f = sans(11.5, true);
    // Titles end at the value column; their icons line up in one column to the left.
    qreal iconX = 1e9;
    for (std::size_t i = 0; i < std::size(places); ++i)
        iconX = std::min(
            iconX, right(places[i]) - QFontMetricsF(f).horizontalAdvance(text(words::kContactRows[i].title)) - 20);
    for (std::size_t i = 0; i < std::size(places); ++i) {
        const Row& row = places[i];
        const QString title = text(words::kContactRows[i].title);
        const qreal w = QFontMetricsF(f).horizontalAdvance(title);
        const QRectF box(right(row) - w - 1, top(row), w + 1, 13);
        shadowText(p, box, Qt::AlignRight | Qt::AlignVCenter, title, f, QColor(255, 255, 255));
        // A light chip keeps blue icons readable on the blue panel.
        const QRectF chip(iconX, top(row) - 1, 15, 15);
        p.setPen(QPen(QColor(10, 50, 130, 160), 0.8));
        QLinearGradient chipFill(chip.topLeft(), chip.bottomLeft());
        chipFill.setColorAt(0, QColor(255, 255, 255, 240));
        chipFill.setColorAt(1, QColor(214, 230, 250, 240));
        p.setBrush(chipFill);
        p.drawRoundedRect(chip.adjusted(0.5, 0.5, -0.5, -0.5), 3.5, 3.5);
        drawEmoji(p, QString::fromUtf8(row.icon), chip.adjusted(2, 2, -2, -2));
    }
}

}  // namespace

std::vector<Asset> panelAssets(const QString& version)
{
    return {
        {"panels/about.png", sizeOf(layout::kInfoPanelPicture), [version](QPainter& p) { about(p, version); }},
        {"panels/contact.png", sizeOf(layout::kInfoPanelPicture), contact},
    };
}

}  // namespace artgen

#include "canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace artgen {

std::vector<Asset> allAssets(const QString& version)
{
    std::vector<Asset> all = chromeAssets();
    for (auto&& list : {panelAssets(version), emoticonAssets()})
        all.insert(all.end(), list.begin(), list.end());
    return all;
}

QImage render(const Asset& asset, qreal dpr)
{
    QImage img(asset.size * dpr, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(asset.jpeg ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    asset.draw(p);
    p.end();
    return img;
}

QString twinPath(const QString& path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QString projectVersion(const QString& cmakeText)
{
    static const QRegularExpression re(QStringLiteral(R"(\bproject\s*\([^)]*?\bVERSION\s+(\d+\.\d+\.\d+)\b)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(cmakeText);
    return m.hasMatch() ? m.captured(1) : QString();
}

// ---- fonts ---------------------------------------------------------------

namespace {
struct FontFile {
    const char* file;
    const char* package;
};
constexpr FontFile kFontFiles[] = {
    {"/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf", "fonts-noto-core"},
    {"/usr/share/fonts/truetype/noto/NotoSans-Bold.ttf", "fonts-noto-core"},
    {"/usr/share/fonts/truetype/noto/NotoSans-Italic.ttf", "fonts-noto-core"},
    {"/usr/share/fonts/opentype/lobster/lobster.otf", "fonts-lobster"},
    {"/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf", "fonts-noto-color-emoji"},
};
QString g_scriptFamily;
}  // namespace

QString loadFonts()
{
    QStringList missing;
    for (const auto& f : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(f.file));
        if (id < 0) {
            missing << QStringLiteral("%1 (Debian package %2)").arg(f.file, f.package);
            continue;
        }
        if (QString::fromLatin1(f.file).contains(QLatin1String("lobster")))
            g_scriptFamily = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    return missing.join(QStringLiteral(", "));
}

QFont sans(qreal px, bool bold, bool italic)
{
    QFont f(QStringLiteral("Noto Sans"));
    f.setPixelSize(std::max(1, int(std::lround(px))));
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont script(qreal px)
{
    // Lobster ships only as bold italic; asking for it avoids synthesised styles.
    QFont f(g_scriptFamily);
    f.setPixelSize(std::max(1, int(std::lround(px))));
    f.setBold(true);
    f.setItalic(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// ---- colour emoji --------------------------------------------------------

namespace {

QImage trimmed(const QImage& img)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(line[x]) > 8) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0)
        return {};
    return img.copy(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

QImage tinted(QImage img, Tint tint)
{
    if (tint == Tint::None)
        return img;
    img = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            if (qAlpha(px) == 0)
                continue;
            QColor c = QColor::fromRgba(px).toHsv();
            const int h = c.hsvHue();
            const int s = c.hsvSaturation();
            const int v = c.value();
            const bool warm = h >= 18 && h <= 62 && s > 90;  // the yellow-orange face
            switch (tint) {
            case Tint::Blue:
                if (warm)
                    c.setHsv(212, std::min(255, s + 10), std::max(0, v - 25), c.alpha());
                break;
            case Tint::Red:
                if (warm)
                    c.setHsv(356, std::min(255, s + 30), std::max(0, v - 20), c.alpha());
                break;
            case Tint::GreenHat:
                // A black top hat becomes a leprechaun's: green felt, gold band.
                if (s < 80)
                    c.setHsv(128, 200, std::min(255, 40 + v * 4 / 5), c.alpha());
                else
                    c.setHsv(44, std::min(255, s + 20), std::min(255, v + 30), c.alpha());
                break;
            case Tint::GreenSkin:
                // Greys become a bright alien green; near-black eyes stay dark.
                if (s < 70 && v > 60)
                    c.setHsv(105, 170, std::min(255, v + 10), c.alpha());
                else if (warm)
                    c.setHsv(105, s, v, c.alpha());
                break;
            case Tint::None:
                break;
            }
            line[x] = c.rgba();
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QImage& glyph(const QString& emoji, Tint tint)
{
    static QHash<QString, QImage> cache;
    const QString key = emoji + QChar(u'#') + QString::number(int(tint));
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;

    // 109 px is the size of the font's bitmap strike, so the glyph is not resampled here.
    QImage canvas(200, 200, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        QFont f(QStringLiteral("Noto Color Emoji"));
        f.setPixelSize(109);
        p.setFont(f);
        // Colour glyphs ignore the pen; a monochrome fallback comes out magenta.
        p.setPen(QColor(255, 0, 255));
        p.drawText(QPointF(20, 150), emoji);
    }
    QImage img = trimmed(canvas);
    // A missing colour glyph falls back to another font: refuse it loudly.
    int opaque = 0, magenta = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            if (qAlpha(px) < 200)
                continue;
            ++opaque;
            if (qRed(px) > 230 && qGreen(px) < 30 && qBlue(px) > 230)
                ++magenta;
        }
    if (img.isNull() || opaque < 100 || magenta > opaque / 4)
        throw std::runtime_error("no colour glyph for emoji " + emoji.toStdString()
                                 + " (is fonts-noto-color-emoji installed?)");
    return *cache.insert(key, tinted(img, tint));
}

}  // namespace

void drawEmoji(QPainter& p, const QString& emoji, const QRectF& box, qreal angle, Tint tint, bool mirror,
               const QRectF& crop)
{
    const QImage& whole = glyph(emoji, tint);
    const QImage src = crop == QRectF(0, 0, 1, 1)
        ? whole
        : whole.copy(QRectF(crop.x() * whole.width(), crop.y() * whole.height(), crop.width() * whole.width(),
                            crop.height() * whole.height())
                         .toRect());
    const qreal scale = std::min(box.width() / src.width(), box.height() / src.height());
    const QSizeF size(src.width() * scale, src.height() * scale);

    // Shrink with area averaging first: the painter's bilinear filter aliases
    // badly when a 136 px glyph lands on 17 px.
    const QTransform& t = p.worldTransform();
    const qreal devScale = dprOf(p) * std::hypot(t.m11(), t.m12());
    const QSize devSize(std::max(1, int(std::lround(size.width() * devScale))),
                        std::max(1, int(std::lround(size.height() * devScale))));
    const QImage scaled = src.scaled(devSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    p.save();
    p.translate(box.center());
    p.rotate(angle);
    if (mirror)
        p.scale(-1, 1);
    p.drawImage(QRectF(QPointF(-size.width() / 2, -size.height() / 2), size), scaled);
    p.restore();
}

// ---- helpers ---------------------------------------------------------------

std::uint32_t Rng::next()
{
    // xorshift32: tiny, and identical on every platform.
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

double Rng::uniform(double lo, double hi)
{
    return lo + (hi - lo) * (next() / 4294967296.0);
}

namespace {
void boxPass(QImage& img, int radius, bool horizontal)
{
    const int w = img.width(), h = img.height();
    const int outer = horizontal ? h : w;
    const int inner = horizontal ? w : h;
    std::vector<QRgb> line(inner);
    for (int o = 0; o < outer; ++o) {
        auto at = [&](int i) -> QRgb& {
            return horizontal ? reinterpret_cast<QRgb*>(img.scanLine(o))[i]
                              : reinterpret_cast<QRgb*>(img.scanLine(i))[o];
        };
        for (int i = 0; i < inner; ++i)
            line[i] = at(i);
        std::uint32_t a = 0, r = 0, g = 0, b = 0;
        auto add = [&](int i, int sign) {
            const QRgb px = line[std::clamp(i, 0, inner - 1)];
            a += sign * qAlpha(px);
            r += sign * qRed(px);
            g += sign * qGreen(px);
            b += sign * qBlue(px);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        const int n = 2 * radius + 1;
        for (int i = 0; i < inner; ++i) {
            at(i) = qRgba(r / n, g / n, b / n, a / n);
            add(i + radius + 1, 1);
            add(i - radius, -1);
        }
    }
}
}  // namespace

QImage blurred(const QImage& src, int radius)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius < 1)
        return img;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(img, radius, true);
        boxPass(img, radius, false);
    }
    return img;
}

qreal dprOf(const QPainter& p)
{
    return p.device()->devicePixelRatioF();
}

QImage layerFor(const QPainter& p)
{
    const qreal dpr = dprOf(p);
    QImage layer(p.device()->width() * int(std::lround(dpr)), p.device()->height() * int(std::lround(dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(dpr);
    layer.fill(Qt::transparent);
    return layer;
}

void fancyText(QPainter& p, const QPointF& baseline, const QString& text, const QFont& font, const QBrush& fill,
               const QColor& outline, qreal outlineWidth, const QColor& shadow, QPointF shadowOffset)
{
    QPainterPath path;
    path.addText(baseline, font, text);
    p.save();
    if (shadow.alpha() > 0) {
        // Soft shadow: the outlined shape, blurred on its own layer.
        QImage layer = layerFor(p);
        {
            QPainter lp(&layer);
            lp.setRenderHint(QPainter::Antialiasing);
            lp.setTransform(p.worldTransform());
            lp.translate(shadowOffset);
            lp.setPen(QPen(shadow, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            lp.setBrush(shadow);
            lp.drawPath(path);
        }
        layer = blurred(layer, int(std::lround(dprOf(p) * 1.2)));
        layer.setDevicePixelRatio(dprOf(p));
        p.resetTransform();
        p.drawImage(QPointF(0, 0), layer);
        p.restore();
        p.save();
    }
    if (outlineWidth > 0) {
        p.setPen(QPen(outline, outlineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void shadowText(QPainter& p, const QRectF& box, int flags, const QString& text, const QFont& font, const QColor& colour,
                const QColor& shadow)
{
    p.save();
    p.setFont(font);
    p.setPen(shadow);
    p.drawText(box.translated(0.8, 0.8), flags, text);
    p.setPen(colour);
    p.drawText(box, flags, text);
    p.restore();
}

QFont fitFont(QFont font, const QString& text, const QRectF& box, int flags, qreal minPx)
{
    for (int px = font.pixelSize(); px >= minPx; --px) {
        font.setPixelSize(px);
        const QRectF r = QFontMetricsF(font).boundingRect(box, flags, text);
        if (r.width() <= box.width() && r.height() <= box.height())
            break;
    }
    return font;
}

void chromeButton(QPainter& p, QPointF at, QColor top, QColor bottom, QColor border, Glyph glyph)
{
    const QRectF r(at.x() + 0.5, at.y() + 0.5, 32, 18);
    p.save();
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0, top.lighter(118));
    face.setColorAt(0.48, top);
    face.setColorAt(0.52, bottom);
    face.setColorAt(1, bottom.lighter(112));
    p.setPen(QPen(border, 1));
    p.setBrush(face);
    p.drawRoundedRect(r, 4, 4);

    // Glassy highlight over the upper half.
    QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 25));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(r.left() + 1.5, r.top() + 1.2, r.width() - 3, r.height() / 2 - 1), 3, 3);

    const QPointF c = r.center();
    QPen shadowPen(QColor(0, 0, 0, 90), 2.6, Qt::SolidLine, Qt::RoundCap);
    QPen whitePen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap);
    auto stroke = [&](auto drawer) {
        p.setPen(shadowPen);
        p.save();
        p.translate(0.5, 0.7);
        drawer();
        p.restore();
        p.setPen(whitePen);
        drawer();
    };
    switch (glyph) {
    case Glyph::Bar:
        stroke([&] { p.drawLine(QPointF(c.x() - 5.5, c.y() + 4), QPointF(c.x() + 5.5, c.y() + 4)); });
        break;
    case Glyph::BackBar:
        stroke([&] { p.drawLine(QPointF(c.x() - 6, c.y() + 0.5), QPointF(c.x() + 6, c.y() + 0.5)); });
        break;
    case Glyph::Cross:
        stroke([&] {
            p.drawLine(QPointF(c.x() - 4.2, c.y() - 4.2), QPointF(c.x() + 4.2, c.y() + 4.2));
            p.drawLine(QPointF(c.x() + 4.2, c.y() - 4.2), QPointF(c.x() - 4.2, c.y() + 4.2));
        });
        break;
    }
    p.restore();
}

void drawMinRest(QPainter& p, QPointF at)
{
    chromeButton(p, at, QColor(150, 172, 198), QColor(112, 136, 166), QColor(78, 98, 126), Glyph::Bar);
}

void drawCloseRest(QPainter& p, QPointF at)
{
    chromeButton(p, at, QColor(198, 118, 110), QColor(168, 78, 70), QColor(118, 48, 44), Glyph::Cross);
}

namespace {
void chatBadge(QPainter& p, const QRectF& r, bool tailLeft)
{
    // A speech bubble: rounded body, small tail at the bottom, three white dots.
    QPainterPath body;
    body.addRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.78), r.height() * 0.3, r.height() * 0.3);
    QPainterPath tail;
    const qreal ty = r.top() + r.height() * 0.7;
    if (tailLeft) {
        tail.moveTo(r.left() + r.width() * 0.2, ty);
        tail.lineTo(r.left() + r.width() * 0.12, r.bottom());
        tail.lineTo(r.left() + r.width() * 0.45, ty);
    } else {
        tail.moveTo(r.right() - r.width() * 0.2, ty);
        tail.lineTo(r.right() - r.width() * 0.12, r.bottom());
        tail.lineTo(r.right() - r.width() * 0.45, ty);
    }
    tail.closeSubpath();
    const QPainterPath shape = body.united(tail);

    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(104, 170, 255));
    g.setColorAt(1, QColor(20, 86, 200));
    p.setPen(QPen(Qt::white, r.width() * 0.07));
    p.setBrush(g);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal cy = r.top() + r.height() * 0.39;
    const qreal d = r.width() * 0.09;
    for (int i = -1; i <= 1; ++i)
        p.drawEllipse(QPointF(r.center().x() + i * r.width() * 0.24, cy), d, d);
}
}  // namespace

void drawAppIcon(QPainter& p, const QRectF& box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 48.0, box.height() / 48.0);

    // Face.
    const QPointF c(24, 25);
    const qreal r = 18.5;
    QRadialGradient face(QPointF(19, 18), 26);
    face.setColorAt(0, QColor(255, 214, 120));
    face.setColorAt(0.55, QColor(255, 156, 34));
    face.setColorAt(1, QColor(226, 98, 0));
    p.setPen(QPen(QColor(168, 70, 0), 1.2));
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    // Cheeks.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 90, 60, 70));
    p.drawEllipse(QPointF(13.5, 30), 3.2, 2.2);
    p.drawEllipse(QPointF(34.5, 30), 3.2, 2.2);

    // Eyes with a catch light.
    p.setBrush(QColor(60, 30, 0));
    p.drawEllipse(QPointF(18.5, 21), 2.5, 3.6);
    p.drawEllipse(QPointF(29.5, 21), 2.5, 3.6);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(19.3, 19.6), 0.9, 1.1);
    p.drawEllipse(QPointF(30.3, 19.6), 0.9, 1.1);

    // Open smile.
    QPainterPath smile;
    smile.moveTo(15, 28.5);
    smile.cubicTo(17, 37.5, 31, 37.5, 33, 28.5);
    smile.cubicTo(28, 30.5, 20, 30.5, 15, 28.5);
    p.setPen(QPen(QColor(90, 36, 0), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(150, 40, 20));
    p.drawPath(smile);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRoundedRect(QRectF(19, 29.6, 10, 1.8), 0.8, 0.8);

    // Gloss.
    QLinearGradient gloss(QPointF(24, 7), QPointF(24, 20));
    gloss.setColorAt(0, QColor(255, 255, 255, 170));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(13, 7.5, 22, 11));

    chatBadge(p, QRectF(0.8, 1.5, 16.5, 14), false);
    chatBadge(p, QRectF(30.7, 32.5, 16.5, 14), true);
    p.restore();
}

void drawFaintSmiley(QPainter& p, const QRectF& box, const QColor& colour)
{
    p.save();
    const qreal w = box.width();
    p.setPen(QPen(colour, w * 0.055, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(colour.red(), colour.green(), colour.blue(), colour.alpha() / 3));
    p.drawEllipse(box.adjusted(w * 0.04, w * 0.04, -w * 0.04, -w * 0.04));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    const QPointF c = box.center();
    p.drawEllipse(QPointF(c.x() - w * 0.16, c.y() - w * 0.1), w * 0.055, w * 0.085);
    p.drawEllipse(QPointF(c.x() + w * 0.16, c.y() - w * 0.1), w * 0.055, w * 0.085);
    p.setPen(QPen(colour, w * 0.055, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - w * 0.26, c.y() - w * 0.2, w * 0.52, w * 0.46), -20 * 16, -140 * 16);
    p.restore();
}

}  // namespace artgen

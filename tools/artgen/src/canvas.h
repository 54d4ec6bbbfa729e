#pragma once
// Shared drawing kit of the picture generator: the asset list type, the layout's
// places, fonts, colour glyphs, blur and the few shapes that several pictures repeat.
#include "core/Layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace artgen {

// Every picture is painted in its natural (logical) pixel coordinates; the
// painter's device pixel ratio makes the same code paint the "@2x" twin.
using DrawFn = std::function<void(QPainter&)>;

struct Asset {
    QString path;  // below the output folder, e.g. "main/logo.png"
    QSize size;    // natural size in pixels
    DrawFn draw;
    bool jpeg = false;  // opaque, and shipped without a "@2x" twin
};

// The layout's places, in the generator's terms.
namespace layout = beamlet::core::layout;
constexpr QRect toQRect(const beamlet::core::Rect& r)
{
    return QRect(r.x, r.y, r.w, r.h);
}
constexpr QSize sizeOf(const beamlet::core::Rect& r)
{
    return QSize(r.w, r.h);
}
// A picture of that size, in its own coordinates.
constexpr QRectF wholeOf(const beamlet::core::Rect& r)
{
    return QRectF(0, 0, r.w, r.h);
}

std::vector<Asset> chromeAssets();
std::vector<Asset> panelAssets(const QString& version);
std::vector<Asset> emoticonAssets();
std::vector<Asset> allAssets(const QString& version);

QImage render(const Asset& asset, qreal dpr);
QString twinPath(const QString& path);  // "main/logo.png" -> "main/logo@2x.png"

// Reads "x.y.z" from the VERSION of a project() call; empty when there is none.
QString projectVersion(const QString& cmakeText);

// ---- fonts ---------------------------------------------------------------
// Loads the packaged fonts by file so the output does not depend on what
// fontconfig happens to prefer. Returns a message naming what is missing.
QString loadFonts();
QFont sans(qreal px, bool bold = false, bool italic = false);
QFont script(qreal px);  // the playful display face for titles

// ---- colour emoji --------------------------------------------------------
enum class Tint {
    None,
    Blue,
    Red,
    GreenHat,
    GreenSkin
};
// Draws one colour glyph fitted (aspect kept) and centred in box. crop picks a
// part of the glyph in fractions of its width and height.
void drawEmoji(QPainter& p, const QString& emoji, const QRectF& box, qreal angle = 0, Tint tint = Tint::None,
               bool mirror = false, const QRectF& crop = QRectF(0, 0, 1, 1));

// ---- helpers ---------------------------------------------------------------
// Deterministic generator so every run produces byte-identical pictures.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : s_(seed ? seed : 1) {}
    std::uint32_t next();
    double uniform(double lo, double hi);

private:
    std::uint32_t s_;
};

// Gaussian-like blur (three box passes) of a premultiplied image; radius in device pixels.
QImage blurred(const QImage& src, int radius);
// A transparent layer with the same device size and ratio as the painter's device.
QImage layerFor(const QPainter& p);
qreal dprOf(const QPainter& p);

// Text as an outlined, gradient-filled path with a soft drop shadow.
void fancyText(QPainter& p, const QPointF& baseline, const QString& text, const QFont& font, const QBrush& fill,
               const QColor& outline, qreal outlineWidth, const QColor& shadow = QColor(0, 0, 0, 110),
               QPointF shadowOffset = {1.2, 1.6});
// Plain text with a one-pixel shadow, for small captions on the blue panels.
void shadowText(QPainter& p, const QRectF& box, int flags, const QString& text, const QFont& font, const QColor& colour,
                const QColor& shadow = QColor(0, 20, 60, 150));
// Largest font no bigger than `font` whose wrapped text fits box.
QFont fitFont(QFont font, const QString& text, const QRectF& box, int flags, qreal minPx = 6);

// The 33 x 19 chrome buttons: a rounded, glossy face with a white glyph.
enum class Glyph {
    Bar,
    Cross,
    BackBar
};
void chromeButton(QPainter& p, QPointF at, QColor top, QColor bottom, QColor border, Glyph glyph);
void drawMinRest(QPainter& p, QPointF at);
void drawCloseRest(QPainter& p, QPointF at);

// The program icon (orange smiling face with two chat badges) in a square box.
void drawAppIcon(QPainter& p, const QRectF& box);
// A simple smiling face outline, used faintly on the info panels.
void drawFaintSmiley(QPainter& p, const QRectF& box, const QColor& colour);

}  // namespace artgen

// Checks a folder of generated pictures against what the program relies on:
// exact sizes, "@2x" twins that match their 1x picture, untouched areas where
// the program draws its own controls, and chrome buttons that match the copies
// painted into the backgrounds.
#include "check.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <cmath>

namespace artgen {
namespace {

QImage load(const QString& dir, const QString& rel)
{
    QImage img(dir + QLatin1Char('/') + rel);
    return img.isNull() ? img : img.convertToFormat(QImage::Format_ARGB32);
}

// Mean per-channel difference after compositing both over mid grey.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
            auto over = [](QRgb p, int c) { return (c * qAlpha(p) + 128 * (255 - qAlpha(p))) / 255.0; };
            sum += std::abs(over(pa, qRed(pa)) - over(pb, qRed(pb)))
                + std::abs(over(pa, qGreen(pa)) - over(pb, qGreen(pb)))
                + std::abs(over(pa, qBlue(pa)) - over(pb, qBlue(pb)));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Largest colour step between neighbouring pixels in a rectangle: text or an
// icon leaves sharp edges, the smooth gradients of the panels do not.
int sharpestEdge(const QImage& img, const QRect& r)
{
    int worst = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            for (const QPoint n : {QPoint(x + 1, y), QPoint(x, y + 1)}) {
                if (!r.contains(n))
                    continue;
                const QRgb q = img.pixel(n);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q))});
            }
        }
    return worst;
}

struct PlainArea {
    const char* picture;
    QRect area;
    const char* why;
};

// Where the program puts its own controls or text over a picture.
const PlainArea kPlainAreas[] = {
    {"panels/about.png", QRect(470, 215, 108, 58), "the OK button"},
    {"panels/contact.png", QRect(470, 215, 108, 58), "the OK button"},
    {"panels/contact.png", QRect(247, 69, 218, 125), "the contact values"},
    {"panels/contact.png", QRect(300, 197, 165, 17), "the fan page value"},
    // Below the title strip's light top line.
    {"notify/background.png", toQRect(layout::kNotificationCloseButton).adjusted(0, 1, 0, 0), "the close control"},
};

struct PaintedButton {
    const char* picture;
    const char* button;
    QPoint at;
};

const QPoint kMinAt = toQRect(layout::kMinimizeButton).topLeft();
const QPoint kCloseAt = toQRect(layout::kCloseButton).topLeft();
const PaintedButton kPaintedButtons[] = {
    {"main/background.png", "main/min-rest.png", kMinAt},
    {"main/background.png", "main/close-rest.png", kCloseAt},
    {"main/header.png", "main/min-rest.png", kMinAt},
    {"main/header.png", "main/close-rest.png", kCloseAt},
};

const char* const kTransparentIcons[] = {
    "buttons/getcode.png", "buttons/emotions.png", "buttons/help.png",     "buttons/about.png",
    "buttons/contact.png", "main/logo-cursor.png", "main/icon.png",        "main/min-rest.png",
    "main/close-hot.png",  "mini/back-rest.png",   "notify/close-hot.png",
};

const QStringList kPictureFolders = {"main", "panels", "notify", "mini", "buttons", "emoticons"};

}  // namespace

QStringList checkAssets(const QString& dir, const std::vector<Asset>& expected)
{
    QStringList errors;
    QSet<QString> known;

    for (const Asset& a : expected) {
        known.insert(a.path);
        const QImage img = load(dir, a.path);
        if (img.isNull()) {
            errors << a.path + QStringLiteral(": missing or unreadable");
            continue;
        }
        if (img.size() != a.size)
            errors << QStringLiteral("%1: %2x%3, expected %4x%5")
                          .arg(a.path)
                          .arg(img.width())
                          .arg(img.height())
                          .arg(a.size.width())
                          .arg(a.size.height());
        if (a.jpeg) {
            // Emoticons must show a picture, not an empty light ground.
            int ink = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QColor c(img.pixel(x, y));
                    if (c.lightness() < 200 || c.hsvSaturation() > 90)
                        ++ink;
                }
            if (ink < img.width() * img.height() / 10)
                errors << a.path + QStringLiteral(": mostly empty (emoji font not rendered?)");
            const QColor corner(img.pixel(0, 0));
            if (corner.lightness() < 190)
                errors << a.path + QStringLiteral(": background not light");
            continue;
        }
        known.insert(twinPath(a.path));
        const QImage twin = load(dir, twinPath(a.path));
        if (twin.isNull()) {
            errors << twinPath(a.path) + QStringLiteral(": missing or unreadable");
            continue;
        }
        if (twin.size() != a.size * 2) {
            errors << twinPath(a.path) + QStringLiteral(": not twice the size of its 1x picture");
            continue;
        }
        // The twin is drawn separately; shrunk, it must still be the same picture.
        const QImage shrunk = twin.scaled(a.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (img.size() == a.size) {
            const double diff = meanDifference(img, shrunk);
            if (diff > 6.0)
                errors << QStringLiteral("%1: differs from its 1x picture (mean %2)")
                              .arg(twinPath(a.path))
                              .arg(diff, 0, 'f', 1);
        }
    }

    // Stale pictures would still be embedded in the program.
    for (const QString& folder : kPictureFolders) {
        QDirIterator it(dir + QLatin1Char('/') + folder, {"*.png", "*.jpg"}, QDir::Files);
        while (it.hasNext()) {
            const QString rel = folder + QLatin1Char('/') + QFileInfo(it.next()).fileName();
            if (!known.contains(rel))
                errors << rel + QStringLiteral(": not produced by the generator");
        }
    }

    for (const PlainArea& z : kPlainAreas) {
        const QImage img = load(dir, QString::fromLatin1(z.picture));
        if (img.isNull())
            continue;
        const int edge = sharpestEdge(img, z.area);
        if (edge > 14)
            errors << QStringLiteral("%1: something is drawn in the area kept for %2 (step %3)")
                          .arg(QString::fromLatin1(z.picture), QString::fromLatin1(z.why))
                          .arg(edge);
    }

    for (const PaintedButton& b : kPaintedButtons) {
        const QImage picture = load(dir, QString::fromLatin1(b.picture));
        const QImage button = load(dir, QString::fromLatin1(b.button));
        if (picture.isNull() || button.isNull())
            continue;
        int mismatched = 0;
        for (int y = 0; y < button.height(); ++y)
            for (int x = 0; x < button.width(); ++x) {
                const QRgb bp = button.pixel(x, y);
                const QRgb pp = picture.pixel(b.at + QPoint(x, y));
                if (qAlpha(bp) == 255
                    && std::max({std::abs(qRed(bp) - qRed(pp)), std::abs(qGreen(bp) - qGreen(pp)),
                                 std::abs(qBlue(bp) - qBlue(pp))})
                        > 1)
                    ++mismatched;
            }
        if (mismatched)
            errors << QStringLiteral("%1: painted %2 differs in %3 pixels")
                          .arg(QString::fromLatin1(b.picture), QString::fromLatin1(b.button))
                          .arg(mismatched);
    }

    for (const char* icon : kTransparentIcons) {
        const QImage img = load(dir, QString::fromLatin1(icon));
        if (img.isNull())
            continue;
        const QPoint corners[] = {
            {0, 0}, {img.width() - 1, 0}, {0, img.height() - 1}, {img.width() - 1, img.height() - 1}};
        for (const QPoint c : corners)
            if (qAlpha(img.pixel(c)) > 40) {
                errors << QString::fromLatin1(icon) + QStringLiteral(": corners are not transparent");
                break;
            }
    }
    return errors;
}

}  // namespace artgen

#include "widgets/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>

namespace beamlet::widgets {
namespace {

QStringList candidates(Face face)
{
    switch (face) {
    case Face::Verdana:
        return {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")};
    case Face::Tahoma:
        return {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};
    case Face::SansSerif:
        return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans")};
    }
    return {};
}

QString installedFamily(Face face)
{
    static QHash<int, QString> resolved;
    const auto found = resolved.constFind(int(face));
    if (found != resolved.constEnd())
        return *found;
    // Looked up in the list of installed families, which the font database holds
    // anyway: asking for a family by name also resolves aliases through
    // fontconfig, a costly match for every family that is missing.
    static const QStringList installed = QFontDatabase::families();
    QString family = QGuiApplication::font().family();
    for (const QString& candidate : candidates(face)) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            family = candidate;
            break;
        }
    }
    resolved.insert(int(face), family);
    return family;
}

}  // namespace

QFont windowFont(Face face, qreal points, bool bold, bool italic)
{
    QFont font(installedFamily(face));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace beamlet::widgets

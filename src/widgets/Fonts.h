#pragma once
// The fonts the windows were drawn with (Verdana, Tahoma, MS Sans Serif) where the desktop has them;
// otherwise all three are DejaVu Sans (Verdana's near twin, and one face to load
// instead of three), and the desktop's own sans serif where even that is missing.
// Only an installed family is ever asked for, so no text waits for a system-wide
// fallback search.
#include <QFont>
#include <QStringList>

namespace beamlet::widgets {

enum class Face {
    Verdana,
    Tahoma,
    SansSerif
};

QFont windowFont(Face face, qreal points, bool bold = false, bool italic = false);

}  // namespace beamlet::widgets

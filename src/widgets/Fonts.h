#pragma once
// The fonts the windows were drawn with (Verdana, Tahoma, MS Sans Serif) where the desktop has them,
// the desktop's own sans serif otherwise. Only an installed family is ever asked
// for, so no text waits for a system-wide fallback search.
#include <QFont>
#include <QStringList>

namespace beamlet::widgets {

enum class Face { Verdana, Tahoma, SansSerif };

QFont windowFont(Face face, qreal points, bool bold = false, bool italic = false);

}  // namespace beamlet::widgets

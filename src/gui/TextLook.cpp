#include "gui/TextLook.h"

#include "widgets/Fonts.h"

#include <QPalette>
#include <QWidget>

namespace beamlet::gui {

QFont contactFont()
{
    return widgets::windowFont(widgets::Face::Tahoma, 8.25, false, true);
}

QColor restColour(const QPalette& palette)
{
    const QColor colour = palette.color(QPalette::Active, QPalette::HighlightedText);
    return colour.isValid() ? colour : QColor(Qt::white);
}

void setTextColour(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

}  // namespace beamlet::gui

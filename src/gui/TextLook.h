#pragma once
// How the words the windows set as text, not as pictures, look: the Contact
// panel's font and the white that its details, its links and the main window's
// copyright line rest in.
#include <QColor>
#include <QFont>

class QPalette;
class QWidget;

namespace beamlet::gui {

// Tahoma 8.25 pt italic where the desktop has it, a close sans serif otherwise.
QFont contactFont();

// The white of selected text, which the links and contact details rest in.
QColor restColour(const QPalette& palette);

void setTextColour(QWidget& widget, const QColor& colour);

}  // namespace beamlet::gui

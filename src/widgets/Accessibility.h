#pragma once
// Pictures and labels that act are announced by screen readers as what they are:
// a widget marked with markAccessible() gets the given role and name.
#include <QAccessible>
#include <QString>

class QWidget;

namespace beamlet::widgets {

void markAccessible(QWidget& widget, QAccessible::Role role, const QString& name);

// Registers the factory that gives marked widgets their role; call once at start.
void installAccessibleRoles();

}  // namespace beamlet::widgets

#pragma once
// What screen readers are told about widgets Qt cannot describe by itself: pictures
// that act or carry text, the picture windows, and the fillers that only shape the
// pointer's behaviour. A widget marked with markAccessible() gets the given role,
// name and description; a marked button's Press clicks it, as the pointer does.
#include <QAccessible>
#include <QString>

#include <functional>

class QWidget;

namespace beamlet::widgets {

void markAccessible(QWidget& widget, QAccessible::Role role, const QString& name,
                    const QString& description = QString());

// Leaves a widget out of what screen readers see: a drag handle or a backdrop that
// only catches the pointer. Its parent must be marked.
void hideFromScreenReaders(QWidget& widget);

// Registers the factory that gives marked widgets their role, and has a screen
// reader that comes up late told which window is in front; call once at start.
void installAccessibleRoles();

// Has screen readers read out a message, as a notification of the widget's
// window, for a change that a sighted user sees without a word.
void announce(QWidget& widget, const QString& message);

// Runs removal, which takes `removed` away from the start of a text box, and
// tells screen readers what went: Qt reports removed text as as many spaces.
void reportRemoval(QWidget& textBox, const QString& removed, const std::function<void()>& removal);

}  // namespace beamlet::widgets

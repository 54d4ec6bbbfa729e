#include "widgets/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace beamlet::widgets {
namespace {

constexpr const char* kRoleProperty = "beamletAccessibleRole";
constexpr const char* kHiddenProperty = "beamletAccessibleHidden";
constexpr const char* kAnnouncementName = "beamletAnnouncement";
constexpr const char* kAnnouncementText = "beamletAnnouncementText";

class MarkedWidget final : public QAccessibleWidget {
public:
    // The name and description stay the widget's own, so that changing them later
    // tells the screen reader.
    MarkedWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button() && widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() && button() && widget()->isEnabled())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

    // The children Qt would list, less the hidden ones, and the window's announcement.
    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QObjectList children = shownChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index))
                                                     : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(shownChildren().indexOf(child->object())) : -1;
    }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }

    QObjectList shownChildren() const
    {
        QObjectList children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if ((child && !child->isWindow() && !child->property(kHiddenProperty).toBool())
                || object->objectName() == QLatin1String(kAnnouncementName))
                children.append(object);
        }
        return children;
    }
};

// A message for screen readers alone, which they read out as a notification
// when it is shown. It has no place on screen: it tells what a sighted user sees
// happen without a word.
class Announcement final : public QAccessibleObject {
public:
    explicit Announcement(QObject* object) : QAccessibleObject(object) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(object()->parent()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? object()->property(kAnnouncementText).toString() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

// While a text box reports its own removal: Qt's report of the change, which
// lacks the removed text, goes nowhere; every other report goes on as it came.
QObject* reportingOwnRemoval = nullptr;
QAccessible::UpdateHandler passOn = nullptr;

void withoutOwnTextChanges(QAccessibleEvent* event)
{
    if (event->object() == reportingOwnRemoval
        && (event->type() == QAccessible::TextRemoved || event->type() == QAccessible::TextUpdated))
        return;
    if (passOn) {
        passOn(event);
        return;
    }
    // Without a handler Qt hands the report to the platform's screen reader bridge.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(withoutOwnTextChanges);
}

// The screen reader's bridge comes up when the accessibility bus answers, which
// may be after the window manager has put a window in front: that activation is
// told to a bridge that is not there yet, and the reader stays silent until the
// user moves the focus. Once the bridge stands (the next turn of the event loop),
// the window in front and its focus are told again.
class LateBridge final : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (!active)
            return;
        QTimer::singleShot(0, qApp, [] {
            QWidget* window = QApplication::activeWindow();
            if (!window || !QAccessible::isActive())
                return;
            QAccessible::State activated;
            activated.active = true;
            QAccessibleStateChangeEvent inFront(window, activated);
            QAccessible::updateAccessibility(&inFront);
            if (QWidget* focus = QApplication::focusWidget()) {
                QAccessibleEvent focused(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&focused);
            }
        });
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (object && !object->isWidgetType() && object->objectName() == QLatin1String(kAnnouncementName))
        return new Announcement(object);
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new MarkedWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void markAccessible(QWidget& widget, QAccessible::Role role, const QString& name, const QString& description)
{
    widget.setProperty(kRoleProperty, int(role));
    widget.setAccessibleName(name);
    if (!description.isEmpty())
        widget.setAccessibleDescription(description);
}

void hideFromScreenReaders(QWidget& widget)
{
    widget.setProperty(kHiddenProperty, true);
}

void reportRemoval(QWidget& textBox, const QString& removed, const std::function<void()>& removal)
{
    if (!QAccessible::isActive() || removed.isEmpty() || reportingOwnRemoval) {
        removal();
        return;
    }
    reportingOwnRemoval = &textBox;
    passOn = QAccessible::installUpdateHandler(withoutOwnTextChanges);
    removal();
    QAccessible::installUpdateHandler(passOn);
    reportingOwnRemoval = nullptr;
    QAccessibleTextRemoveEvent event(&textBox, 0, removed);
    QAccessible::updateAccessibility(&event);
}

void announce(QWidget& widget, const QString& message)
{
    if (!QAccessible::isActive())
        return;
    QWidget* window = widget.window();
    QObject* announcement = window->findChild<QObject*>(QLatin1String(kAnnouncementName), Qt::FindDirectChildrenOnly);
    if (!announcement) {
        announcement = new QObject(window);
        announcement->setObjectName(QLatin1String(kAnnouncementName));
    }
    announcement->setProperty(kAnnouncementText, message);
    QAccessibleEvent shown(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void installAccessibleRoles()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(factory);
        static LateBridge lateBridge;
        QAccessible::installActivationObserver(&lateBridge);
        installed = true;
    }
}

}  // namespace beamlet::widgets

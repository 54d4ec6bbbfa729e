#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace beamlet::widgets {
namespace {

constexpr const char* kRoleProperty = "beamletAccessibleRole";

// Clicking is the one action of these widgets.
class ActingWidget final : public QAccessibleWidget {
public:
    ActingWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role, pressAction()) {}
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new ActingWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void markAccessible(QWidget& widget, QAccessible::Role role, const QString& name)
{
    widget.setProperty(kRoleProperty, int(role));
    widget.setAccessibleName(name);
}

void installAccessibleRoles()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(factory);
        installed = true;
    }
}

}  // namespace beamlet::widgets

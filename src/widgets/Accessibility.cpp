#include "widgets/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QWidget>

namespace beamlet::widgets {
namespace {

constexpr const char* kRoleProperty = "beamletAccessibleRole";
constexpr const char* kHiddenProperty = "beamletAccessibleHidden";

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

    // The children Qt would list, less the hidden ones.
    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QWidgetList children = shownChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index))
                                                     : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }

    QWidgetList shownChildren() const
    {
        QWidgetList children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->property(kHiddenProperty).toBool())
                children.append(child);
        }
        return children;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
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

void installAccessibleRoles()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(factory);
        installed = true;
    }
}

}  // namespace beamlet::widgets

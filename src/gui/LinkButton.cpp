#include "gui/LinkButton.h"

#include "gui/TextLook.h"
#include "widgets/Accessibility.h"
#include "widgets/KeyboardFocus.h"

#include <QKeyEvent>
#include <QPainter>

namespace beamlet::gui {

LinkButton::LinkButton(const QString& objectName, const Link& link, QWidget* parent)
    : LitButton(parent),
      target_(link.target)
{
    // The role first: the text's change notice already fixes how it is announced.
    widgets::markAccessible(*this, QAccessible::Link, link.caption);
    setObjectName(objectName);
    setText(link.caption);
    setFont(contactFont());
    setFocusPolicy(Qt::TabFocus);  // reached by Tab, never taken by a click
    setCursor(Qt::ArrowCursor);
    setAccessibleDescription(tr("Opens %1").arg(link.target.toString()));
    setTextColour(*this, restColour(palette()));
}

QColor LinkButton::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkButton::highlightChanged()
{
    setTextColour(*this,
                  isHighlighted() ? hoverColour() : restColour(parentWidget() ? parentWidget()->palette() : palette()));
}

QSize LinkButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()), metrics.height());
}

void LinkButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (hasFocus())
        widgets::paintFocusFrame(painter, rect());
}

void LinkButton::keyPressEvent(QKeyEvent* event)
{
    // Enter follows a link, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace beamlet::gui

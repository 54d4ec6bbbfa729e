#pragma once
// What the keyboard reaches in a window whose panels slide in over its own
// controls and over each other. Only a control that can be seen whole takes the
// focus: one that slides away or goes under a panel lets go of it at once, so no
// key reaches it unseen, and the focus comes back to the button that opened its
// panel, or to the window's home control, as soon as one of them can be seen.
#include <QHash>
#include <QList>
#include <QPointer>

class QWidget;

namespace beamlet::widgets {

class Panel;

class PanelKeyboard {
public:
    // The Tab order is the leading stops, each panel's stops, the trailing stops.
    // Each stop takes the focus the way it does now while it can be seen whole.
    PanelKeyboard(QWidget& window, QWidget& home, QList<QWidget*> leadingStops, QList<QWidget*> trailingStops);

    // A panel and the control that opens it.
    struct Layer {
        Panel* panel;
        QWidget* opener;
    };
    // The panels made so far, back to front as they lie in the window.
    void setPanels(QList<Layer> layers);
    // Greys or lights a panel's opener. The focus of an opener going grey goes on
    // into its panel once that stands in view, not to the next control.
    void setOpenerEnabled(QWidget& opener, bool enabled);
    // After every move of the panels; settled when nothing moves any more.
    void update(bool settled);

private:
    QList<QWidget*> keyboardStops() const;
    void orderKeyboardStops();
    void updateAccessKeys();
    void keepFocusInView(bool settled);
    bool seenWhole(const QWidget& control) const;
    bool canHoldFocus(const QWidget& control) const;
    QWidget* openerOf(const QWidget& control) const;

    QWidget& window_;
    QWidget& home_;
    QList<QWidget*> leadingStops_;
    QList<QWidget*> trailingStops_;
    QList<Layer> layers_;
    // How each control takes the focus while it can be seen; out of sight, not at all.
    QHash<QWidget*, Qt::FocusPolicy> focusPolicies_;
    // The access key each panel's close button was made with.
    QHash<QWidget*, QKeySequence> accessKeys_;
    // The focus left a control that went out of sight and waits for one to come
    // back into sight: the opener of the panel it was in, or the home control.
    bool focusAwaitsReturn_ = false;
    QPointer<QWidget> focusReturn_;
};

}  // namespace beamlet::widgets

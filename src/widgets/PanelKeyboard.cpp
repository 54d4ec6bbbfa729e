#include "widgets/PanelKeyboard.h"

#include "widgets/KeyboardFocus.h"
#include "widgets/Panel.h"
#include "widgets/PushButton.h"

namespace beamlet::widgets {

PanelKeyboard::PanelKeyboard(QWidget& window, QWidget& home, QList<QWidget*> leadingStops,
                             QList<QWidget*> trailingStops)
    : window_(window),
      home_(home),
      leadingStops_(std::move(leadingStops)),
      trailingStops_(std::move(trailingStops))
{
    orderKeyboardStops();
}

void PanelKeyboard::setPanels(QList<Layer> layers)
{
    layers_ = std::move(layers);
    for (const Layer& layer : std::as_const(layers_)) {
        QAbstractButton* ok = layer.panel->okButton();
        if (!accessKeys_.contains(ok))
            accessKeys_.insert(ok, ok->shortcut());
    }
    orderKeyboardStops();
}

void PanelKeyboard::setOpenerEnabled(QWidget& opener, bool enabled)
{
    if (!enabled && window_.focusWidget() == &opener) {
        for (const Layer& layer : std::as_const(layers_)) {
            if (layer.opener == &opener) {
                focusReturn_ = layer.panel->entryStop();
                focusAwaitsReturn_ = true;
                opener.clearFocus();
            }
        }
    }
    opener.setEnabled(enabled);
}

void PanelKeyboard::update(bool settled)
{
    for (auto it = focusPolicies_.cbegin(); it != focusPolicies_.cend(); ++it) {
        const Qt::FocusPolicy policy = seenWhole(*it.key()) ? it.value() : Qt::NoFocus;
        if (it.key()->focusPolicy() != policy)
            it.key()->setFocusPolicy(policy);
    }
    const auto seen = [this](const QWidget& control) { return seenWhole(control); };
    for (const Layer& layer : std::as_const(layers_))
        layer.panel->updateReach(seen);
    updateAccessKeys();
    keepFocusInView(settled);
}

QList<QWidget*> PanelKeyboard::keyboardStops() const
{
    QList<QWidget*> stops = leadingStops_;
    for (const Layer& layer : layers_)
        stops += layer.panel->keyboardStops();
    return stops + trailingStops_;
}

void PanelKeyboard::orderKeyboardStops()
{
    const QList<QWidget*> stops = keyboardStops();
    setKeyboardOrder(stops);
    // Every control but those a panel reaches itself keeps the way it takes the
    // focus, to be given back whenever it comes into sight.
    QList<QWidget*> reachedByPanels;
    for (const Layer& layer : std::as_const(layers_))
        reachedByPanels += layer.panel->stopsReachedByItself();
    for (QWidget* stop : stops) {
        if (!focusPolicies_.contains(stop) && !reachedByPanels.contains(stop))
            focusPolicies_.insert(stop, stop->focusPolicy());
    }
}

void PanelKeyboard::updateAccessKeys()
{
    // The close buttons share one access key: only the panel in front that can
    // be seen holds it, so the key presses only what the user sees.
    QAbstractButton* inFront = nullptr;
    for (const Layer& layer : std::as_const(layers_)) {
        if (canHoldFocus(*layer.panel->okButton()))
            inFront = layer.panel->okButton();
    }
    for (const Layer& layer : std::as_const(layers_)) {
        QAbstractButton* ok = layer.panel->okButton();
        const QKeySequence accessKey = ok == inFront ? accessKeys_.value(ok) : QKeySequence();
        if (ok->shortcut() != accessKey)
            ok->setShortcut(accessKey);
    }
}

bool PanelKeyboard::seenWhole(const QWidget& control) const
{
    // The panels lie in front of the window's own controls, each in front of
    // those before it: a control may be covered by the panels after its own.
    qsizetype own = -1;
    for (qsizetype i = 0; i < layers_.size(); ++i) {
        if (layers_[i].panel->isAncestorOf(&control))
            own = i;
    }
    QList<const QWidget*> covers;
    for (qsizetype i = own + 1; i < layers_.size(); ++i)
        covers += layers_[i].panel;
    return widgets::seenWhole(control, covers);
}

bool PanelKeyboard::canHoldFocus(const QWidget& control) const
{
    return control.isEnabled() && control.focusPolicy() != Qt::NoFocus && seenWhole(control);
}

QWidget* PanelKeyboard::openerOf(const QWidget& control) const
{
    for (const Layer& layer : layers_) {
        if (layer.panel->isAncestorOf(&control))
            return layer.opener;
    }
    return nullptr;
}

void PanelKeyboard::keepFocusInView(bool settled)
{
    // A panel sliding in takes the focus once it stands in view. Until one of
    // the controls the focus waits for can be seen, the window holds it and
    // keys do nothing.
    QWidget* focused = window_.focusWidget();
    if (focused && focused != &window_ && !canHoldFocus(*focused)) {
        focusReturn_ = openerOf(*focused);
        focusAwaitsReturn_ = true;
        focused->clearFocus();
    }
    if (!focusAwaitsReturn_)
        return;
    if (window_.focusWidget() && window_.focusWidget() != &window_) {  // Tab or a click has put it somewhere meanwhile
        focusAwaitsReturn_ = false;
        return;
    }
    QList<QWidget*> candidates{focusReturn_.data()};
    if (!focusReturn_ || !openerOf(*focusReturn_))
        candidates += &home_;
    // Once nothing moves any more, the first control in sight will do.
    if (settled)
        candidates += keyboardStops();
    for (QWidget* candidate : candidates) {
        if (candidate && canHoldFocus(*candidate)) {
            candidate->setFocus(Qt::OtherFocusReason);
            focusAwaitsReturn_ = false;
            return;
        }
    }
}

}  // namespace beamlet::widgets

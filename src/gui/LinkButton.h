#pragma once
// A one-line link, drawn as text, that turns blue under the pointer and opens
// its target when pressed; only a move over the bare Contact panel turns it back.
#include "gui/MakerData.h"
#include "widgets/LitButton.h"

namespace beamlet::gui {

class LinkButton : public widgets::LitButton {
    Q_OBJECT
public:
    LinkButton(const QString& objectName, const Link& link, QWidget* parent);
    const QUrl& target() const { return target_; }
    QColor textColour() const;

    QSize sizeHint() const override;
    static QColor hoverColour() { return QColor(0, 0, 255); }

protected:
    void highlightChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QUrl target_;
};

}  // namespace beamlet::gui

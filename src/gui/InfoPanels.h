#pragma once
// The About and Contact panels: a framed picture with an OK button; the Contact
// panel also carries the maker's contact details and five links.
#include "gui/MakerData.h"
#include "widgets/HoverGroup.h"

#include <QFrame>

namespace beamlet::widgets {
class PushButton;
}

namespace beamlet::gui {

// A one-line link, drawn as text, that turns blue under the pointer and opens
// its target when pressed; only a move over the bare Contact panel turns it back.
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

class InfoPanel : public QFrame {
    Q_OBJECT
public:
    InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent);
    widgets::PushButton* okButton() const { return okButton_; }
    // The controls Tab stops at, in order.
    virtual QList<QWidget*> keyboardStops() const;
    // The control that takes the focus when the panel opens: the first stop.
    QWidget* entryStop() const { return keyboardStops().constFirst(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString picturePath_;
    QPixmap picture_;
    widgets::PushButton* okButton_;
};

class ContactPanel : public InfoPanel {
    Q_OBJECT
public:
    ContactPanel(const MakerData& maker, QWidget* parent);
    const QList<LinkButton*>& links() const { return links_; }
    QList<QWidget*> keyboardStops() const override;

signals:
    void linkActivated(const QUrl& target);

private:
    QList<LinkButton*> links_;
};

// The white of selected text, which the links and contact details rest in.
QColor restColour(const QPalette& palette);

}  // namespace beamlet::gui

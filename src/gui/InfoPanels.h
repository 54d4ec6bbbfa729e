#pragma once
// The About and Contact panels: a framed picture with an OK button; the Contact
// panel also carries the maker's contact details and five links.
#include "gui/LinkButton.h"
#include "gui/MakerData.h"

#include <QFrame>

namespace beamlet::widgets {
class PushButton;
}

namespace beamlet::gui {

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

}  // namespace beamlet::gui

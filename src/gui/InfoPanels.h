#pragma once
// The About and Contact panels: a framed picture with an OK button; the Contact
// panel also carries the maker's contact details and five links.
#include "gui/LinkButton.h"
#include "gui/MakerData.h"
#include "widgets/Panel.h"

namespace beamlet::widgets {
class HoverGroup;
class PushButton;
}  // namespace beamlet::widgets

namespace beamlet::gui {

class InfoPanel : public widgets::Panel {
    Q_OBJECT
public:
    InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent);
    widgets::PushButton* okButton() const override { return okButton_; }
    // OK alone.
    QList<QWidget*> keyboardStops() const override;

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
    // The links from top to bottom, then OK.
    QList<QWidget*> keyboardStops() const override;

signals:
    void linkActivated(const QUrl& target);

private:
    void addDetails(const MakerData& maker);
    void addLinks(const MakerData& maker, widgets::HoverGroup& hover);

    QList<LinkButton*> links_;
};

}  // namespace beamlet::gui

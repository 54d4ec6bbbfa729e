#pragma once
// The notification's window: its picture and its close control. The notifier
// makes it for a cycle and moves and fades it.
#include "widgets/HoverButton.h"
#include "widgets/PictureWindow.h"

namespace beamlet::gui {

class Notifier;

class NotificationWindow : public widgets::PictureWindow {
    Q_OBJECT
public:
    explicit NotificationWindow(Notifier& owner);
    widgets::HoverButton* closeButton() const { return closeButton_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Notifier& owner_;
    widgets::HoverButton* closeButton_;
};

}  // namespace beamlet::gui

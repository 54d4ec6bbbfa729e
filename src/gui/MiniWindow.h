#pragma once
// The compact mini window: a typing box with its Get Code button and the first
// 45 emoticons, dragged by its bare surface; its back control returns to the
// main window.
#include "platform/Services.h"
#include "widgets/PictureWindow.h"

namespace beamlet::widgets {
class HoverButton;
class PushButton;
class TypingBox;
}  // namespace beamlet::widgets

namespace beamlet::gui {

class Composer;
class MiniPalette;

class MiniWindow : public widgets::PictureWindow {
    Q_OBJECT
public:
    explicit MiniWindow(platform::Services& services);

    Composer& composer() const { return *composer_; }

signals:
    // Get Code or a tile: the text to copy.
    void copyRequested(const QString& text);
    // The back control, or a close by the window system: return to the main window.
    void backRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Controls {
        widgets::HoverButton* backButton;
        widgets::TypingBox* typingBox;
        widgets::PushButton* getCodeButton;
        MiniPalette* palette;
    };
    Controls makeControls();
    void connectControls(const Controls& controls);

    Composer* composer_;
};

}  // namespace beamlet::gui

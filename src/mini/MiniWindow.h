#pragma once
// The compact mini window: a typing box with its Get Code button and the first 45
// emoticons, dragged by its bare surface; its back control returns to the main window.
#include "Platform.h"

#include <QWidget>

#include <memory>

namespace beamlet::compose {
class ComposerView;
class TypingBox;
}  // namespace beamlet::compose

namespace beamlet::desktop {
class Notifier;
class Picture;
class PushButton;
class WindowDrag;
}  // namespace beamlet::desktop

namespace beamlet::emoticons {
class MiniPalette;
}

namespace beamlet::mini {

class MiniWindow : public QWidget {
    Q_OBJECT
public:
    MiniWindow(desktop::Platform& platform, desktop::Notifier& notifier, compose::ComposerView& mainComposer);
    ~MiniWindow() override;

    compose::ComposerView& composer() const { return *composer_; }
    compose::TypingBox& typingBox() const { return *typingBox_; }
    emoticons::MiniPalette& miniPalette() const { return *palette_; }
    desktop::Picture* backHot() const { return backHot_; }
    desktop::PushButton* getCodeButton() const { return getCode_; }

signals:
    // The back control, or a close by the window system: return to the main window.
    void backRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    desktop::Platform& platform_;
    desktop::Notifier& notifier_;
    QPixmap background_;
    desktop::Picture* backRest_;
    desktop::Picture* backHot_;
    compose::TypingBox* typingBox_;
    desktop::PushButton* getCode_;
    emoticons::MiniPalette* palette_;
    compose::ComposerView* composer_;
    std::unique_ptr<desktop::WindowDrag> drag_;
};

}  // namespace beamlet::mini

#pragma once
// The main window: chrome drawn from pictures, the main composer, the About and
// Contact panels, the emoticon pack panel, and the switch to the mini window.
#include "MainPanels.h"
#include "MiniWindow.h"
#include "Platform.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;

namespace beamlet::compose {
class ComposerView;
class TypingBox;
}  // namespace beamlet::compose

namespace beamlet::desktop {
class Notifier;
class Picture;
class PushButton;
class Stepper;
class WindowDrag;
}  // namespace beamlet::desktop

namespace beamlet::emoticons {
class PackPanel;
}


namespace beamlet::app {

class ContactPanel;
class InfoPanel;
struct MakerData;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(desktop::Platform& platform, desktop::Notifier& notifier, const MakerData& maker);
    ~MainWindow() override;

    // How the program ends: at once, taking every window and the sound with it.
    // Replaceable so tests can observe it.
    void setTerminator(std::function<void()> terminate) { terminate_ = std::move(terminate); }

    const MainPanels& panels() const { return panels_; }
    compose::ComposerView& composer() const { return *composer_; }
    compose::TypingBox& typingBox() const { return *typingBox_; }
    emoticons::PackPanel& packPanel() const { return *pack_; }
    InfoPanel& aboutPanel() const { return *about_; }
    ContactPanel& contactPanel() const { return *contact_; }
    mini::MiniWindow* miniWindow() const { return mini_; }

    // The handlers, reachable by the tests as the user reaches them by the mouse.
    void piccmdabout_Click();
    void piccmdcontact_Click();
    void cmdHelp_Click();
    void showMiniWindow();
    void returnFromMini();
    void copyEmoticon(int number);
    // One tick of the panels' slide timers.
    void tickPanels();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void applyPanels();
    void hideHighlights();
    void terminate();

    desktop::Platform& platform_;
    desktop::Notifier& notifier_;
    const MakerData& maker_;
    MainPanels panels_;
    QPixmap background_;
    std::function<void()> terminate_;

    desktop::Picture* header_ = nullptr;
    desktop::Picture* minRest_ = nullptr;
    desktop::Picture* minHot_ = nullptr;
    desktop::Picture* closeRest_ = nullptr;
    desktop::Picture* closeHot_ = nullptr;
    desktop::Picture* logo_ = nullptr;
    desktop::PushButton* getCode_ = nullptr;
    desktop::PushButton* emotions_ = nullptr;
    desktop::PushButton* help_ = nullptr;
    desktop::PushButton* aboutButton_ = nullptr;
    desktop::PushButton* contactButton_ = nullptr;
    desktop::PushButton* miniLoader_ = nullptr;
    QWidget* aboutSurface_ = nullptr;
    QWidget* contactSurface_ = nullptr;
    compose::TypingBox* typingBox_ = nullptr;
    compose::ComposerView* composer_ = nullptr;
    InfoPanel* about_ = nullptr;
    ContactPanel* contact_ = nullptr;
    emoticons::PackPanel* pack_ = nullptr;
    desktop::Stepper* stepper_ = nullptr;
    std::unique_ptr<desktop::WindowDrag> drag_;
    QPointer<mini::MiniWindow> mini_;
};

}  // namespace beamlet::app

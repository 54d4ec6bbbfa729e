#pragma once
// The main window: chrome drawn from pictures, the main composer, the About and
// Contact panels, the emoticon pack panel, and the switch to the mini window.
#include "core/PanelModel.h"
#include "gui/MiniWindow.h"
#include "platform/Services.h"
#include "widgets/PictureWindow.h"

#include <QAbstractButton>
#include <QPointer>

#include <functional>
#include <memory>

namespace beamlet::widgets {
class HoverButton;
class HoverGroup;
class Panel;
class PanelKeyboard;
class PushButton;
class Stepper;
class TypingBox;
}  // namespace beamlet::widgets

namespace beamlet::gui {

class Composer;
class Notifier;
struct MakerData;

class MainWindow : public widgets::PictureWindow {
    Q_OBJECT
public:
    MainWindow(platform::Services& services, Notifier& notifier, const MakerData& maker);
    ~MainWindow() override;

    const core::PanelModel& panels() const { return panels_; }
    Composer& composer() const { return *composer_; }
    MiniWindow* miniWindow() const { return miniWindow_; }

    // Every copy: the clipboard takes the text, then the notification shows.
    void copy(const QString& text);
    // Brings whichever of the two windows is showing to the front, and activates it.
    void comeForward();

signals:
    // The close control or the window system closed the main window: the program ends.
    void endRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls the window's make-up hands on to its keyboard order and its panels.
    struct Chrome {
        QAbstractButton* logo;
        QAbstractButton* miniWindowButton;
    };
    struct Commands {
        widgets::PushButton* getCodeButton;
        widgets::PushButton* emotionsButton;
        widgets::PushButton* helpButton;
        widgets::PushButton* aboutButton;
        widgets::PushButton* contactButton;
    };
    // One sliding panel: what it is, which control opens it, how it is made.
    struct PanelEntry {
        // Its slide in the model, and the top it slides along.
        const core::SlidingPanel& (core::PanelModel::*slide)() const;
        int top;
        // The control that opens it, what that does, and whether the model lets it act.
        widgets::PushButton* opener;
        void (core::PanelModel::*open)();
        bool (core::PanelModel::*openerEnabled)() const;
        // What its OK button does.
        void (core::PanelModel::*close)();
        // Makes it, when it first slides in; until then nothing of it is seen.
        std::function<widgets::Panel*()> make;
        widgets::Panel* panel = nullptr;
    };
    Chrome makeChrome();
    QAbstractButton* makeLogo();
    void makeCopyrightLine();
    QAbstractButton* makeWindowButtons();
    Commands makeCommands();
    QList<PanelEntry> panelList(const Commands& commands);
    std::unique_ptr<widgets::PanelKeyboard> makeKeyboard(const Chrome& chrome, const Commands& commands);
    void onHelpClicked();
    void openLink(const QUrl& target);
    void showMiniWindow();
    void returnFromMiniWindow();
    void runPanelCommand(void (core::PanelModel::*command)());
    void makePanelsComingIntoView();
    void applyPanels();
    void endProgram();

    platform::Services& services_;
    Notifier& notifier_;
    const MakerData& maker_;
    core::PanelModel panels_;

    widgets::HoverGroup* hover_;
    widgets::HoverButton* minimizeButton_;
    widgets::HoverButton* closeButton_;
    widgets::TypingBox* typingBox_;
    Composer* composer_;
    // Back to front: each panel lies in front of those before it.
    QList<PanelEntry> panelList_;
    std::unique_ptr<widgets::PanelKeyboard> keyboard_;
    widgets::Stepper* stepper_;
    QPointer<MiniWindow> miniWindow_;
};

}  // namespace beamlet::gui

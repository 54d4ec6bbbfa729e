#pragma once
// The main window: chrome drawn from pictures, the main composer, the About and
// Contact panels, the emoticon pack panel, and the switch to the mini window.
#include "core/PanelModel.h"
#include "gui/MiniWindow.h"
#include "platform/Services.h"
#include "widgets/PictureWindow.h"

#include <QHash>
#include <QAbstractButton>
#include <QPointer>

namespace beamlet::widgets {
class HoverButton;
class HoverGroup;
class PushButton;
class Stepper;
class TypingBox;
}  // namespace beamlet::widgets

namespace beamlet::gui {

class Composer;
class ContactPanel;
class InfoPanel;
class Notifier;
class PackPanel;
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
    // The controls the window's make-up hands on to its keyboard order.
    struct Chrome {
        QAbstractButton* logo;
        QAbstractButton* miniWindowButton;
    };
    struct Commands {
        QAbstractButton* getCodeButton;
        QAbstractButton* helpButton;
    };
    Chrome makeChrome();
    Commands makeCommands();
    void onAboutClicked();
    void onContactClicked();
    void onHelpClicked();
    void openLink(const QUrl& target);
    void onTileClicked(int number);
    void showMiniWindow();
    void returnFromMiniWindow();
    void tickPanels();
    void runPanelCommand(void (core::PanelModel::*command)());
    void makePanelsComingIntoView();
    void applyPanels();
    void updateKeyboardReach();
    QList<QWidget*> keyboardStops() const;
    void orderKeyboardStops();
    void keepFocusInView();
    bool seenWhole(const QWidget& control) const;
    bool canHoldFocus(const QWidget& control) const;
    QWidget* openerOf(const QWidget& control) const;
    void endProgram();

    platform::Services& services_;
    Notifier& notifier_;
    const MakerData& maker_;
    core::PanelModel panels_;

    widgets::HoverGroup* hover_;
    widgets::HoverButton* minimizeButton_;
    widgets::HoverButton* closeButton_;
    widgets::PushButton* emotionsButton_;
    widgets::PushButton* aboutButton_;
    widgets::PushButton* contactButton_;
    widgets::TypingBox* typingBox_;
    Composer* composer_;
    InfoPanel* aboutPanel_ = nullptr;  // the panels are made when first needed
    ContactPanel* contactPanel_ = nullptr;
    PackPanel* packPanel_ = nullptr;
    widgets::Stepper* stepper_;
    QPointer<MiniWindow> miniWindow_;

    // The Tab order is the leading stops, each panel's stops, the trailing stops.
    QList<QWidget*> leadingStops_;
    QList<QWidget*> trailingStops_;
    // How each control takes the focus while it can be seen; out of sight, not at all.
    QHash<QWidget*, Qt::FocusPolicy> focusPolicies_;
    // The focus left a control that went out of sight and waits for one to come
    // back into sight: the opener of the panel it was in, or the typing box.
    bool focusAwaitsReturn_ = false;
    QPointer<QWidget> focusReturn_;
};

}  // namespace beamlet::gui

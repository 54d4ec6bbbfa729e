#include "gui/MainWindow.h"

#include "core/Catalogue.h"
#include "core/Layout.h"
#include "gui/Composer.h"
#include "gui/InfoPanels.h"
#include "gui/MakerData.h"
#include "gui/MiniWindow.h"
#include "gui/Notifier.h"
#include "gui/Palettes.h"
#include "gui/SpokenText.h"
#include "gui/TextLook.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/HoverButton.h"
#include "widgets/HoverGroup.h"
#include "widgets/Panel.h"
#include "widgets/PanelKeyboard.h"
#include "widgets/PictureButton.h"
#include "widgets/Placement.h"
#include "widgets/PushButton.h"
#include "widgets/Stepper.h"
#include "widgets/TypingBox.h"
#include "widgets/WindowDragger.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>

namespace beamlet::gui {

namespace layout = core::layout;
using widgets::ButtonLook;
using widgets::PushButton;

MainWindow::MainWindow(platform::Services& services, Notifier& notifier, const MakerData& maker)
    : PictureWindow(widgets::kMainWindowPicture, Qt::Window),
      services_(services),
      notifier_(notifier),
      maker_(maker)
{
    widgets::markAccessible(*this, QAccessible::Window, QString());  // named by its title
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Orvane Facebook Beamlet"));
    setWindowIcon(QIcon(widgets::loadPixmap(widgets::kAppIcon, devicePixelRatioF())));
    setFixedSize(layout::kMainWindow.w, layout::kMainWindow.h);

    // The hover rule of the window's pictures and buttons: a move over the bare surface puts them out.
    hover_ = new widgets::HoverGroup(*this);
    // Made back to front: each control lies in front of those made before it.
    const Chrome chrome = makeChrome();
    const Commands commands = makeCommands();
    panelList_ = panelList(commands);
    stepper_ = new widgets::Stepper(
        [this] {
            runPanelCommand(&core::PanelModel::tick);
            return panels_.animating();
        },
        this);

    keyboard_ = makeKeyboard(chrome, commands);

    applyPanels();
    move(widgets::fitOnScreen(QRect(layout::kMainWindow.x, layout::kMainWindow.y, width(), height())).topLeft());
    services_.windows.setStaysOnTop(*this, true);
    typingBox_->setFocus();  // the user starts by typing
}

// The header strip, the title band and the logo are drawn as part of the window's
// own picture; here they are the places the pointer acts on. With them the
// copyright line, minimize, close and the switch to the mini window.
MainWindow::Chrome MainWindow::makeChrome()
{
    const auto area = [this](const char* name, const core::Rect& rect) {
        auto* widget = new QWidget(this);
        widget->setObjectName(QLatin1String(name));
        widgets::hideFromScreenReaders(*widget);  // only the pointer uses these
        widgets::place(*widget, rect);
        return widget;
    };
    QWidget* header = area("headerStrip", layout::kHeaderStrip);
    area("titleBand", layout::kTitleBand);
    QAbstractButton* logo = makeLogo();
    makeCopyrightLine();
    QAbstractButton* miniWindowButton = makeWindowButtons();

    connect(hover_, &widgets::HoverGroup::movedOverSurface, this, [this] { unsetCursor(); });
    auto* dragger = new widgets::WindowDragger(*header, *this);
    connect(dragger, &widgets::WindowDragger::movedOverHandle, hover_, &widgets::HoverGroup::clear);
    return {logo, miniWindowButton};
}

QAbstractButton* MainWindow::makeLogo()
{
    auto* logo = new widgets::PictureButton(QStringLiteral("logo"), QString(), this);
    widgets::place(*logo, layout::kLogo);
    logo->setAccessibleName(tr("Open the Orvane website"));
    const QPixmap cursor = widgets::loadPixmap(widgets::kLogoCursor, devicePixelRatioF());
    logo->setCursor(cursor.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(cursor, 16, 1));
    connect(logo, &QAbstractButton::clicked, this, [this] { openLink(maker_.website.target); });
    return logo;
}

void MainWindow::makeCopyrightLine()
{
    auto* copyright = new QLabel(QStringLiteral("Copyright \u00A9 2012 Orvane. All rights reserved."), this);
    copyright->setObjectName(QStringLiteral("copyrightLabel"));
    copyright->setTextFormat(Qt::PlainText);
    copyright->setAlignment(Qt::AlignCenter);
    widgets::place(*copyright, layout::kCopyright);
    setTextColour(*copyright, restColour(palette()));
}

// Minimize, close and the switch to the mini window, which light under the pointer.
QAbstractButton* MainWindow::makeWindowButtons()
{
    minimizeButton_ =
        new widgets::HoverButton(QStringLiteral("minimizeButton"), widgets::kMinimizeRest, widgets::kMinimizeHot, this);
    widgets::place(*minimizeButton_, layout::kMinimizeButton);
    minimizeButton_->setAccessibleName(tr("Minimize"));
    closeButton_ =
        new widgets::HoverButton(QStringLiteral("closeButton"), widgets::kCloseRest, widgets::kCloseHot, this);
    widgets::place(*closeButton_, layout::kCloseButton);
    closeButton_->setAccessibleName(tr("Close Orvane Beamlet"));

    auto* miniWindowButton =
        new PushButton(QStringLiteral("miniWindowButton"), QStringLiteral("+"), ButtonLook::green(), this);
    widgets::place(*miniWindowButton, layout::kMiniWindowButton);
    miniWindowButton->setAccessibleName(tr("Switch to the mini window"));

    for (widgets::LitButton* button :
         {static_cast<widgets::LitButton*>(minimizeButton_), static_cast<widgets::LitButton*>(closeButton_),
          static_cast<widgets::LitButton*>(miniWindowButton)})
        hover_->join(*button);
    connect(closeButton_, &QAbstractButton::clicked, this, &MainWindow::endProgram);
    connect(minimizeButton_, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(miniWindowButton, &QAbstractButton::clicked, this, &MainWindow::showMiniWindow);
    return miniWindowButton;
}

// Keyboard order of the controls: the command row and the typing box, then
// the panels' controls as they are made, then the left column and the chrome.
// The pictures that act are reached by Tab; a click does not take the focus.
std::unique_ptr<widgets::PanelKeyboard> MainWindow::makeKeyboard(const Chrome& chrome, const Commands& commands)
{
    for (QWidget* picture : {static_cast<QWidget*>(chrome.logo), static_cast<QWidget*>(minimizeButton_),
                             static_cast<QWidget*>(closeButton_)})
        picture->setFocusPolicy(Qt::TabFocus);
    return std::make_unique<widgets::PanelKeyboard>(
        *this, *typingBox_,
        QList<QWidget*>{commands.getCodeButton, commands.emotionsButton, commands.helpButton, typingBox_},
        QList<QWidget*>{chrome.logo, commands.aboutButton, commands.contactButton, chrome.miniWindowButton,
                        minimizeButton_, closeButton_});
}

// The blue command buttons and the typing box with its composer.
MainWindow::Commands MainWindow::makeCommands()
{
    const auto blueButton = [this](const char* name, const QString& caption, const core::Rect& rect, QLatin1String icon,
                                   QSize iconSize, bool bold) {
        ButtonLook look = ButtonLook::blue();
        look.bold = bold;
        auto* button = new PushButton(QLatin1String(name), caption, look, this);
        hover_->join(*button);
        widgets::place(*button, rect);
        button->setIconPicture(widgets::loadPixmap(icon, devicePixelRatioF()), iconSize);
        return button;
    };
    Commands commands{};
    commands.getCodeButton =
        blueButton("getCodeButton", tr("Get Code"), layout::kGetCodeButton, widgets::kGetCodeIcon, {32, 32}, false);
    commands.emotionsButton =
        blueButton("emotionsButton", tr("Emotions"), layout::kEmotionsButton, widgets::kEmotionsIcon, {32, 32}, false);
    commands.helpButton =
        blueButton("helpButton", tr("Help"), layout::kHelpButton, widgets::kHelpIcon, {32, 32}, false);

    typingBox_ = new widgets::TypingBox(QStringLiteral("typingBox"), this);
    widgets::place(*typingBox_, layout::kTypingBox);
    composer_ = new Composer(*typingBox_, Composer::EmptyOrder::BufferFirst, this);

    commands.aboutButton =
        blueButton("aboutButton", tr("About"), layout::kAboutButton, widgets::kAboutIcon, {32, 32}, true);
    commands.contactButton =
        blueButton("contactButton", tr("Contact Me"), layout::kContactButton, widgets::kContactIcon, {16, 16}, true);

    connect(commands.getCodeButton, &QAbstractButton::clicked, this, [this] { copy(composer_->codeText()); });
    connect(commands.helpButton, &QAbstractButton::clicked, this, &MainWindow::onHelpClicked);
    return commands;
}

// The sliding panels, back to front. A new panel is one entry here.
QList<MainWindow::PanelEntry> MainWindow::panelList(const Commands& commands)
{
    using core::PanelModel;
    QList<PanelEntry> list{
        {&PanelModel::about, layout::kInfoPanel.y, commands.aboutButton, &PanelModel::openAbout,
         &PanelModel::aboutEnabled, &PanelModel::closeAbout,
         [this] {
             auto* about = new InfoPanel(QStringLiteral("aboutPanel"), widgets::kAboutPicture,
                                         QStringLiteral("aboutOkButton"), this);
             widgets::place(*about->okButton(), layout::kAboutOkButton);
             about->setAccessibleName(tr("About"));
             about->setAccessibleDescription(aboutText());
             return about;
         }},
        {&PanelModel::contact, layout::kInfoPanel.y, commands.contactButton, &PanelModel::openContact,
         &PanelModel::contactEnabled, &PanelModel::closeContact,
         [this] {
             auto* contact = new ContactPanel(maker_, this);
             connect(contact, &ContactPanel::linkActivated, this, &MainWindow::openLink);
             return contact;
         }},
        {&PanelModel::pack, layout::kPackPanel.y, commands.emotionsButton, &PanelModel::openPack,
         &PanelModel::emotionsEnabled, &PanelModel::closePack,
         [this] {
             auto* pack = new PackPanel(this);
             connect(pack, &PackPanel::tileClicked, this, [this, pack](int number) {
                 pack->showEntry(number);
                 copy(QString::fromLatin1(core::gridText(number)));
             });
             return pack;
         }},
    };
    for (const PanelEntry& entry : list) {
        connect(entry.opener, &QAbstractButton::clicked, this, [this, open = entry.open] { runPanelCommand(open); });
    }
    return list;
}

MainWindow::~MainWindow()
{
    // The mini window is a window of its own, without a parent: it goes with us.
    delete miniWindow_;
}

void MainWindow::copy(const QString& text)
{
    services_.clipboard.setText(text);
    notifier_.show();
}

void MainWindow::comeForward()
{
    QWidget* shown = miniWindow_ ? static_cast<QWidget*>(miniWindow_) : this;
    if (shown->isMinimized())
        shown->showNormal();
    shown->raise();
    shown->activateWindow();
}

void MainWindow::runPanelCommand(void (core::PanelModel::*command)())
{
    (panels_.*command)();
    applyPanels();
}

void MainWindow::makePanelsComingIntoView()
{
    bool made = false;
    for (PanelEntry& entry : panelList_) {
        const core::SlidingPanel& slide = (panels_.*entry.slide)();
        if (entry.panel || !(slide.slidingIn() || slide.position() < width()))
            continue;
        entry.panel = entry.make();
        hover_->join(*entry.panel->okButton());
        connect(entry.panel->okButton(), &QAbstractButton::clicked, this,
                [this, close = entry.close] { runPanelCommand(close); });
        made = true;
    }
    if (!made)
        return;
    QList<widgets::PanelKeyboard::Layer> layers;
    for (const PanelEntry& entry : std::as_const(panelList_)) {
        if (entry.panel)
            layers += {entry.panel, entry.opener};
    }
    keyboard_->setPanels(layers);
    // Above every other control, each above those before it.
    for (const widgets::PanelKeyboard::Layer& layer : std::as_const(layers))
        layer.panel->raise();
}

void MainWindow::applyPanels()
{
    makePanelsComingIntoView();
    // A panel wholly beyond the window's edge is hidden and its controls are
    // disabled: nothing out of view may be reached, by the keyboard or by a
    // screen reader.
    for (const PanelEntry& entry : std::as_const(panelList_)) {
        if (!entry.panel)
            continue;
        const core::SlidingPanel& slide = (panels_.*entry.slide)();
        entry.panel->move(slide.position(), entry.top);
        const bool inView = slide.position() < width();
        entry.panel->setEnabled(inView);
        entry.panel->setVisible(inView);
    }
    // The button that opened a panel goes grey.
    for (const PanelEntry& entry : std::as_const(panelList_))
        keyboard_->setOpenerEnabled(*entry.opener, (panels_.*entry.openerEnabled)());
    keyboard_->update(!panels_.animating());
    stepper_->wake(panels_.animating());
}

void MainWindow::onHelpClicked()
{
    QMessageBox box(
        QMessageBox::Information, QStringLiteral("Help - Orvane Beamlet"),
        QStringLiteral(
            "1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"),
        QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("helpBox"));
    box.exec();
}

void MainWindow::openLink(const QUrl& target)
{
    // A link that opens nothing says so, in words a screen reader reads out too.
    services_.links.open(target, [window = QPointer<MainWindow>(this), target] {
        if (!window)
            return;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Link - Orvane Beamlet"),
                        tr("No program on this computer opens %1.").arg(target.toDisplayString()), QMessageBox::Ok,
                        window);
        box.setObjectName(QStringLiteral("linkFailureBox"));
        box.exec();
    });
}

void MainWindow::showMiniWindow()
{
    if (!miniWindow_) {
        miniWindow_ = new MiniWindow(services_);
        // Whatever empties the mini composer empties this one first.
        connect(&miniWindow_->composer(), &Composer::emptying, composer_, &Composer::empty);
        connect(miniWindow_, &MiniWindow::copyRequested, this, &MainWindow::copy);
        connect(miniWindow_, &MiniWindow::backRequested, this, &MainWindow::returnFromMiniWindow);
    }
    miniWindow_->show();
    hide();
}

void MainWindow::returnFromMiniWindow()
{
    show();
    if (miniWindow_) {
        miniWindow_->hide();
        miniWindow_->deleteLater();
        miniWindow_ = nullptr;
    }
}

void MainWindow::endProgram()
{
    // Everything goes at once; the event loop then ends and tears the rest down.
    hide();
    if (miniWindow_)
        miniWindow_->hide();
    notifier_.dismiss();
    emit endRequested();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window system: the program ends as by its close control.
    event->accept();
    endProgram();
}

}  // namespace beamlet::gui

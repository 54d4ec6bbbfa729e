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
#include "widgets/KeyboardFocus.h"
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
    stepper_ = new widgets::Stepper(
        [this] {
            tickPanels();
            return panels_.animating();
        },
        this);

    // Keyboard order of the controls: the command row and the typing box, then
    // the panels' controls as they are made, then the left column and the chrome.
    // The pictures that act are reached by Tab; a click does not take the focus.
    for (QWidget* picture : {static_cast<QWidget*>(chrome.logo), static_cast<QWidget*>(minimizeButton_),
                             static_cast<QWidget*>(closeButton_)})
        picture->setFocusPolicy(Qt::TabFocus);
    leadingStops_ = {commands.getCodeButton, emotionsButton_, commands.helpButton, typingBox_};
    trailingStops_ = {chrome.logo,     aboutButton_, contactButton_, chrome.miniWindowButton,
                      minimizeButton_, closeButton_};
    orderKeyboardStops();

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

    auto* logo = new widgets::PictureButton(QStringLiteral("logo"), QString(), this);
    widgets::place(*logo, layout::kLogo);
    logo->setAccessibleName(tr("Open the Orvane website"));
    const QPixmap cursor = widgets::loadPixmap(widgets::kLogoCursor, devicePixelRatioF());
    logo->setCursor(cursor.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(cursor, 16, 1));

    auto* copyright = new QLabel(QStringLiteral("Copyright \u00A9 2012 Orvane. All rights reserved."), this);
    copyright->setObjectName(QStringLiteral("copyrightLabel"));
    copyright->setTextFormat(Qt::PlainText);
    copyright->setAlignment(Qt::AlignCenter);
    widgets::place(*copyright, layout::kCopyright);
    QPalette copyrightPalette = copyright->palette();
    copyrightPalette.setColor(QPalette::WindowText, restColour(palette()));
    copyright->setPalette(copyrightPalette);

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
    connect(hover_, &widgets::HoverGroup::movedOverSurface, this, [this] { unsetCursor(); });
    auto* dragger = new widgets::WindowDragger(*header, *this);
    connect(dragger, &widgets::WindowDragger::movedOverHandle, hover_, &widgets::HoverGroup::clear);
    connect(closeButton_, &QAbstractButton::clicked, this, &MainWindow::endProgram);
    connect(minimizeButton_, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(logo, &QAbstractButton::clicked, this, [this] { openLink(maker_.website.target); });
    connect(miniWindowButton, &QAbstractButton::clicked, this, &MainWindow::showMiniWindow);
    return {logo, miniWindowButton};
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
    auto* getCodeButton =
        blueButton("getCodeButton", tr("Get Code"), layout::kGetCodeButton, widgets::kGetCodeIcon, {32, 32}, false);
    emotionsButton_ =
        blueButton("emotionsButton", tr("Emotions"), layout::kEmotionsButton, widgets::kEmotionsIcon, {32, 32}, false);
    auto* helpButton = blueButton("helpButton", tr("Help"), layout::kHelpButton, widgets::kHelpIcon, {32, 32}, false);

    typingBox_ = new widgets::TypingBox(QStringLiteral("typingBox"), this);
    widgets::place(*typingBox_, layout::kTypingBox);
    composer_ = new Composer(*typingBox_, Composer::EmptyOrder::BufferFirst, this);

    aboutButton_ = blueButton("aboutButton", tr("About"), layout::kAboutButton, widgets::kAboutIcon, {32, 32}, true);
    contactButton_ =
        blueButton("contactButton", tr("Contact Me"), layout::kContactButton, widgets::kContactIcon, {16, 16}, true);

    connect(getCodeButton, &QAbstractButton::clicked, this, [this] { copy(composer_->codeText()); });
    connect(helpButton, &QAbstractButton::clicked, this, &MainWindow::onHelpClicked);
    connect(aboutButton_, &QAbstractButton::clicked, this, &MainWindow::onAboutClicked);
    connect(contactButton_, &QAbstractButton::clicked, this, &MainWindow::onContactClicked);
    connect(emotionsButton_, &QAbstractButton::clicked, this, [this] { runPanelCommand(&core::PanelModel::openPack); });
    return {getCodeButton, helpButton};
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
    // A panel is made when it first slides in, not at start: until then nothing
    // of it is ever seen.
    const auto coming = [this](const core::SlidingPanel& panel) {
        return panel.slidingIn() || panel.position() < width();
    };
    const auto okCloses = [this](PushButton* ok, void (core::PanelModel::*close)()) {
        hover_->join(*ok);
        connect(ok, &QAbstractButton::clicked, this, [this, close] { runPanelCommand(close); });
    };
    bool made = false;
    if (!aboutPanel_ && coming(panels_.about())) {
        aboutPanel_ =
            new InfoPanel(QStringLiteral("aboutPanel"), widgets::kAboutPicture, QStringLiteral("aboutOkButton"), this);
        widgets::place(*aboutPanel_->okButton(), layout::kAboutOkButton);
        aboutPanel_->setAccessibleName(tr("About"));
        aboutPanel_->setAccessibleDescription(aboutText());
        okCloses(aboutPanel_->okButton(), &core::PanelModel::closeAbout);
        made = true;
    }
    if (!contactPanel_ && coming(panels_.contact())) {
        contactPanel_ = new ContactPanel(maker_, this);
        okCloses(contactPanel_->okButton(), &core::PanelModel::closeContact);
        connect(contactPanel_, &ContactPanel::linkActivated, this, &MainWindow::openLink);
        made = true;
    }
    if (!packPanel_ && coming(panels_.pack())) {
        packPanel_ = new PackPanel(this);
        okCloses(packPanel_->okButton(), &core::PanelModel::closePack);
        connect(packPanel_, &PackPanel::tileClicked, this, &MainWindow::onTileClicked);
        made = true;
    }
    if (!made)
        return;
    orderKeyboardStops();
    // Above every other control, and the pack above the About and Contact panels.
    for (QWidget* panel : {static_cast<QWidget*>(aboutPanel_), static_cast<QWidget*>(contactPanel_),
                           static_cast<QWidget*>(packPanel_)}) {
        if (panel)
            panel->raise();
    }
}

void MainWindow::applyPanels()
{
    makePanelsComingIntoView();
    // A panel wholly beyond the window's edge is hidden and its controls are
    // disabled: nothing out of view may be reached, by the keyboard or by a
    // screen reader.
    const auto place = [this](QWidget* panel, const core::SlidingPanel& slide, int y) {
        if (!panel)
            return;
        panel->move(slide.position(), y);
        const bool inView = slide.position() < width();
        panel->setEnabled(inView);
        panel->setVisible(inView);
    };
    place(aboutPanel_, panels_.about(), layout::kInfoPanel.y);
    place(contactPanel_, panels_.contact(), layout::kInfoPanel.y);
    place(packPanel_, panels_.pack(), layout::kPackPanel.y);
    // The button that opened a panel goes grey. Its focus goes on into the
    // panel once that stands in view, not to the next button.
    const auto enable = [this](QAbstractButton* opener, bool enabled, QWidget* panelEntry) {
        if (!enabled && panelEntry && focusWidget() == opener) {
            focusReturn_ = panelEntry;
            focusAwaitsReturn_ = true;
            opener->clearFocus();
        }
        opener->setEnabled(enabled);
    };
    enable(aboutButton_, panels_.aboutEnabled(), aboutPanel_ ? aboutPanel_->entryStop() : nullptr);
    enable(contactButton_, panels_.contactEnabled(), contactPanel_ ? contactPanel_->entryStop() : nullptr);
    enable(emotionsButton_, panels_.emotionsEnabled(), packPanel_ ? packPanel_->entryStop() : nullptr);
    updateKeyboardReach();
    stepper_->wake(panels_.animating());
}

void MainWindow::updateKeyboardReach()
{
    // Only a control that can be seen whole takes the focus. Alt+O, the access
    // key of all three OK buttons, presses only the OK of the panel in front.
    for (auto it = focusPolicies_.cbegin(); it != focusPolicies_.cend(); ++it) {
        const Qt::FocusPolicy policy = seenWhole(*it.key()) ? it.value() : Qt::NoFocus;
        if (it.key()->focusPolicy() != policy)
            it.key()->setFocusPolicy(policy);
    }
    QAbstractButton* inFront = nullptr;
    for (InfoPanel* panel : {aboutPanel_, static_cast<InfoPanel*>(contactPanel_)}) {
        if (panel && canHoldFocus(*panel->okButton()))
            inFront = panel->okButton();
    }
    if (packPanel_) {
        packPanel_->setTilesReachable(seenWhole(*packPanel_->tileArea()));
        if (canHoldFocus(*packPanel_->okButton()))
            inFront = packPanel_->okButton();
    }
    for (QAbstractButton* ok :
         {aboutPanel_ ? aboutPanel_->okButton() : nullptr, contactPanel_ ? contactPanel_->okButton() : nullptr,
          packPanel_ ? packPanel_->okButton() : nullptr}) {
        const QKeySequence accessKey = ok == inFront ? QKeySequence(Qt::ALT | Qt::Key_O) : QKeySequence();
        if (ok && ok->shortcut() != accessKey)
            ok->setShortcut(accessKey);
    }
    keepFocusInView();
}

QList<QWidget*> MainWindow::keyboardStops() const
{
    QList<QWidget*> stops = leadingStops_;
    if (aboutPanel_)
        stops += aboutPanel_->keyboardStops();
    if (contactPanel_)
        stops += contactPanel_->keyboardStops();
    if (packPanel_)
        stops += packPanel_->keyboardStops();
    return stops + trailingStops_;
}

void MainWindow::orderKeyboardStops()
{
    const QList<QWidget*> stops = keyboardStops();
    widgets::setKeyboardOrder(stops);
    // The tiles are one stop, which their grid moves; every other control keeps
    // the way it takes the focus, to be given back whenever it comes into sight.
    const QList<QWidget*> tiles = packPanel_ ? packPanel_->tiles() : QList<QWidget*>();
    for (QWidget* stop : stops) {
        if (!focusPolicies_.contains(stop) && !tiles.contains(stop))
            focusPolicies_.insert(stop, stop->focusPolicy());
    }
}

bool MainWindow::seenWhole(const QWidget& control) const
{
    // The panels lie in front of the window's own controls, the Contact panel in
    // front of the About panel and the pack in front of both: a control may be
    // covered by the panels after its own.
    const QList<const QWidget*> panels{aboutPanel_, contactPanel_, packPanel_};
    qsizetype own = -1;
    for (qsizetype i = 0; i < panels.size(); ++i) {
        if (panels[i] && panels[i]->isAncestorOf(&control))
            own = i;
    }
    return widgets::seenWhole(control, panels.mid(own + 1));
}

bool MainWindow::canHoldFocus(const QWidget& control) const
{
    return control.isEnabled() && control.focusPolicy() != Qt::NoFocus && seenWhole(control);
}

QWidget* MainWindow::openerOf(const QWidget& control) const
{
    if (aboutPanel_ && aboutPanel_->isAncestorOf(&control))
        return aboutButton_;
    if (contactPanel_ && contactPanel_->isAncestorOf(&control))
        return contactButton_;
    if (packPanel_ && packPanel_->isAncestorOf(&control))
        return emotionsButton_;
    return nullptr;
}

void MainWindow::keepFocusInView()
{
    // A control that slid away or lies under a panel lets go of the focus at
    // once, so no key reaches it unseen. The focus goes to the button that
    // opened its panel, or to the typing box, as soon as one of them can be
    // seen; a panel sliding in takes it once it stands in view. Until then the
    // window holds it and keys do nothing.
    QWidget* focused = focusWidget();
    if (focused && focused != this && !canHoldFocus(*focused)) {
        focusReturn_ = openerOf(*focused);
        focusAwaitsReturn_ = true;
        focused->clearFocus();
    }
    if (!focusAwaitsReturn_)
        return;
    if (focusWidget() && focusWidget() != this) {  // Tab or a click has put it somewhere meanwhile
        focusAwaitsReturn_ = false;
        return;
    }
    QList<QWidget*> candidates{focusReturn_.data()};
    if (!focusReturn_ || !openerOf(*focusReturn_))
        candidates += typingBox_;
    // Once nothing moves any more, the first control in sight will do.
    if (!panels_.animating())
        candidates += keyboardStops();
    for (QWidget* candidate : candidates) {
        if (candidate && canHoldFocus(*candidate)) {
            candidate->setFocus(Qt::OtherFocusReason);
            focusAwaitsReturn_ = false;
            return;
        }
    }
}

void MainWindow::tickPanels()
{
    runPanelCommand(&core::PanelModel::tick);
}

void MainWindow::onAboutClicked()
{
    runPanelCommand(&core::PanelModel::openAbout);
}

void MainWindow::onContactClicked()
{
    runPanelCommand(&core::PanelModel::openContact);
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

void MainWindow::onTileClicked(int number)
{
    packPanel_->showEntry(number);
    copy(QString::fromLatin1(core::gridText(number)));
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

#include "MainWindow.h"

#include "Accessibility.h"
#include "Assets.h"
#include "Catalogue.h"
#include "Composer.h"
#include "InertLabel.h"
#include "InfoPanels.h"
#include "Layout.h"
#include "MakerData.h"
#include "MiniWindow.h"
#include "Notification.h"
#include "Palettes.h"
#include "PushButton.h"
#include "SpokenText.h"
#include "Placement.h"
#include "Stepper.h"
#include "TypingBox.h"
#include "WindowDragger.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>

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

    // Made back to front: each control lies in front of those made before it.
    // The header strip, the title band and the logo are drawn as part of the
    // window's own picture; here they are the places the pointer acts on.
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

    auto* copyright = new widgets::InertLabel(QStringLiteral("copyrightLabel"),
        QStringLiteral("Copyright \u00A9 2012 Orvane. All rights reserved."), this);
    copyright->setAlignment(Qt::AlignCenter);
    widgets::place(*copyright, layout::kCopyright);
    QPalette copyrightPalette = copyright->palette();
    copyrightPalette.setColor(QPalette::WindowText, restColour(palette()));
    copyright->setPalette(copyrightPalette);

    minimizeButton_ = new widgets::HoverButton(QStringLiteral("minimizeButton"), widgets::kMinimizeRest,
                                               widgets::kMinimizeHot, this);
    widgets::place(*minimizeButton_, layout::kMinimizeButton);
    minimizeButton_->setAccessibleName(tr("Minimize"));
    closeButton_ = new widgets::HoverButton(QStringLiteral("closeButton"), widgets::kCloseRest,
                                            widgets::kCloseHot, this);
    widgets::place(*closeButton_, layout::kCloseButton);
    closeButton_->setAccessibleName(tr("Close Orvane Beamlet"));

    auto* miniWindowButton = new PushButton(QStringLiteral("miniWindowButton"), QStringLiteral("+"),
                                            ButtonLook::green(), this);
    widgets::place(*miniWindowButton, layout::kMiniWindowButton);
    miniWindowButton->setAccessibleName(tr("Switch to the mini window"));

    const auto blueButton = [this](const char* name, const QString& caption, const core::Rect& rect,
                                   QLatin1String icon, QSize iconSize, bool bold) {
        ButtonLook look = ButtonLook::blue();
        look.bold = bold;
        auto* button = new PushButton(QLatin1String(name), caption, look, this);
        widgets::place(*button, rect);
        button->setIconPicture(widgets::loadPixmap(icon, devicePixelRatioF()), iconSize);
        return button;
    };
    auto* getCodeButton = blueButton("getCodeButton", tr("Get Code"), layout::kGetCodeButton, widgets::kGetCodeIcon, {32, 32}, false);
    emotionsButton_ = blueButton("emotionsButton", tr("Emotions"), layout::kEmotionsButton, widgets::kEmotionsIcon, {32, 32}, false);
    auto* helpButton = blueButton("helpButton", tr("Help"), layout::kHelpButton, widgets::kHelpIcon, {32, 32}, false);

    typingBox_ = new widgets::TypingBox(QStringLiteral("typingBox"), this);
    widgets::place(*typingBox_, layout::kTypingBox);
    composer_ = new Composer(*typingBox_, Composer::EmptyOrder::BufferFirst, this);

    aboutButton_ = blueButton("aboutButton", tr("About"), layout::kAboutButton, widgets::kAboutIcon, {32, 32}, true);
    contactButton_ = blueButton("contactButton", tr("Contact Me"), layout::kContactButton, widgets::kContactIcon, {16, 16}, true);

    const auto surface = [&area](const char* name, const core::Rect& rect) {
        QWidget* widget = area(name, rect);
        widget->setAutoFillBackground(true);
        QPalette p = widget->palette();
        p.setColor(QPalette::Window, QColor(64, 64, 64));
        widget->setPalette(p);
        return widget;
    };
    aboutSurface_ = surface("aboutSurface", layout::kAboutSurface);
    contactSurface_ = surface("contactSurface", layout::kContactSurface);

    stepper_ = new widgets::Stepper([this] {
        tickPanels();
        return panels_.animating();
    }, this);

    // Keyboard order of the controls.
    QWidget::setTabOrder(getCodeButton, emotionsButton_);
    QWidget::setTabOrder(emotionsButton_, helpButton);
    QWidget::setTabOrder(helpButton, typingBox_);
    QWidget::setTabOrder(typingBox_, aboutButton_);
    QWidget::setTabOrder(aboutButton_, contactButton_);
    QWidget::setTabOrder(contactButton_, miniWindowButton);

    // The chrome.
    auto* dragger = new widgets::WindowDragger(*header, *this);
    connect(dragger, &widgets::WindowDragger::movedOverHandle, this, &MainWindow::clearHighlights);
    connect(closeButton_, &QAbstractButton::clicked, this, &MainWindow::endProgram);
    connect(minimizeButton_, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(logo, &QAbstractButton::clicked, this, [this] { services_.links.open(maker_.website.target); });

    // The commands.
    connect(getCodeButton, &QAbstractButton::clicked, this, [this] { copy(composer_->codeText()); });
    connect(helpButton, &QAbstractButton::clicked, this, &MainWindow::onHelpClicked);
    connect(aboutButton_, &QAbstractButton::clicked, this, &MainWindow::onAboutClicked);
    connect(contactButton_, &QAbstractButton::clicked, this, &MainWindow::onContactClicked);
    connect(emotionsButton_, &QAbstractButton::clicked, this, [this] { runPanelCommand(&core::PanelModel::openPack); });
    connect(miniWindowButton, &QAbstractButton::clicked, this, &MainWindow::showMiniWindow);

    applyPanels();
    move(widgets::fitOnScreen(QRect(layout::kMainWindow.x, layout::kMainWindow.y, width(), height())).topLeft());
    services_.windows.setStaysOnTop(*this, true);
    typingBox_->setFocus();  // the user starts by typing
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
    const auto okCloses = [this](QAbstractButton* ok, void (core::PanelModel::*close)()) {
        connect(ok, &QAbstractButton::clicked, this, [this, close] { runPanelCommand(close); });
    };
    bool made = false;
    if (!aboutPanel_ && coming(panels_.about())) {
        aboutPanel_ = new InfoPanel(QStringLiteral("aboutPanel"), widgets::kAboutPicture,
                                    QStringLiteral("aboutOkButton"), this);
        widgets::place(*aboutPanel_->okButton(), layout::kAboutOkButton);
        aboutPanel_->setAccessibleName(tr("About"));
        aboutPanel_->setAccessibleDescription(aboutText());
        okCloses(aboutPanel_->okButton(), &core::PanelModel::closeAbout);
        made = true;
    }
    if (!contactPanel_ && coming(panels_.contact())) {
        contactPanel_ = new ContactPanel(maker_, this);
        okCloses(contactPanel_->okButton(), &core::PanelModel::closeContact);
        connect(contactPanel_, &ContactPanel::linkActivated, this, [this](const QUrl& url) { services_.links.open(url); });
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
    // Above every other control, and the pack above the About and Contact panels.
    for (QWidget* panel : {static_cast<QWidget*>(aboutPanel_), static_cast<QWidget*>(contactPanel_),
                           static_cast<QWidget*>(packPanel_)}) {
        if (panel) {
            panel->raise();
            panel->show();
        }
    }
}

void MainWindow::applyPanels()
{
    makePanelsComingIntoView();
    if (aboutPanel_)
        aboutPanel_->move(panels_.about().position(), layout::kInfoPanel.y);
    if (contactPanel_)
        contactPanel_->move(panels_.contact().position(), layout::kInfoPanel.y);
    if (packPanel_)
        packPanel_->move(panels_.pack().position(), layout::kPackPanel.y);
    aboutButton_->setEnabled(panels_.aboutEnabled());
    aboutSurface_->setEnabled(panels_.aboutEnabled());
    contactButton_->setEnabled(panels_.contactEnabled());
    contactSurface_->setEnabled(panels_.contactEnabled());
    emotionsButton_->setEnabled(panels_.emotionsEnabled());
    updateKeyboardReach();
    stepper_->wake(panels_.animating());
}

void MainWindow::updateKeyboardReach()
{
    // Tab reaches a panel's controls only while it stands in view, and Alt+O, the
    // access key of all three OK buttons, presses only the OK of the panel in
    // front: the last made of those in view.
    // Panels not yet made are not in view either.
    const struct {
        QAbstractButton* ok;
        bool inView;
    } panels[] = {{aboutPanel_ ? aboutPanel_->okButton() : nullptr, panels_.about().position() < width()},
                  {contactPanel_ ? contactPanel_->okButton() : nullptr, panels_.contact().position() < width()},
                  {packPanel_ ? packPanel_->okButton() : nullptr, panels_.pack().position() < width()}};
    QAbstractButton* inFront = nullptr;
    for (const auto& panel : panels)
        inFront = panel.ok && panel.inView ? panel.ok : inFront;
    for (const auto& panel : panels) {
        if (!panel.ok)
            continue;
        const QKeySequence accessKey = panel.ok == inFront ? QKeySequence(Qt::ALT | Qt::Key_O) : QKeySequence();
        if (panel.ok->shortcut() != accessKey)
            panel.ok->setShortcut(accessKey);
        panel.ok->setFocusPolicy(panel.inView ? Qt::StrongFocus : Qt::NoFocus);
    }
    if (packPanel_)
        packPanel_->setTilesReachable(panels[2].inView);
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
    QMessageBox box(QMessageBox::Information, QStringLiteral("Help - Orvane Beamlet"),
                    QStringLiteral("1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("helpBox"));
    box.exec();
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

void MainWindow::clearHighlights()
{
    minimizeButton_->setHighlighted(false);
    closeButton_->setHighlighted(false);
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

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    // Only the bare surface clears the highlights, not a move a control let through.
    if (childAt(event->position().toPoint()))
        return;
    unsetCursor();
    clearHighlights();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window system: the program ends as by its close control.
    event->accept();
    endProgram();
}

}  // namespace beamlet::gui

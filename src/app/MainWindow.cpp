#include "MainWindow.h"

#include "AssetPaths.h"
#include "Catalogue.h"
#include "ComposerView.h"
#include "DesignRect.h"
#include "InertLabel.h"
#include "InfoPanels.h"
#include "MakerData.h"
#include "MiniWindow.h"
#include "Notifier.h"
#include "Palettes.h"
#include "Picture.h"
#include "PushButton.h"
#include "ScreenFit.h"
#include "Stepper.h"
#include "TypingBox.h"
#include "WindowDrag.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace beamlet::app {
namespace {

QString path(const char* resource)
{
    return QString::fromLatin1(resource);
}

}  // namespace

MainWindow::MainWindow(desktop::Platform& platform, desktop::Notifier& notifier, const MakerData& maker)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      notifier_(notifier),
      maker_(maker),
      terminate_([] { std::_Exit(0); })
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Orvane Facebook Beamlet"));
    setFixedSize(design::kMainWindow.w, design::kMainWindow.h);
    setMouseTracking(true);
    build();
    move(fitOnScreen(QRect(design::kMainWindow.x, design::kMainWindow.y, width(), height())).topLeft());

    // The load handler: always on top from the start; its result is not examined.
    platform_.windows->setTopMost(*this, -1);
}

MainWindow::~MainWindow()
{
    // The mini window has no parent (it is a window of its own): it goes with us.
    delete mini_;
}

void MainWindow::build()
{
    const qreal dpr = devicePixelRatioF();
    background_ = assets::pixmap(path(assets::kMainBackground), dpr);
    setWindowIcon(QIcon(assets::pixmap(path(assets::kAppIcon), dpr)));

    // Created back to front: each control lies in front of those made before it.
    header_ = new desktop::Picture(QStringLiteral("LBLMOVE"), this);
    header_->setGeometry(design::qrect(design::kMainHeader));
    header_->setPicture(assets::pixmap(path(assets::kMainHeader), dpr));

    auto* band = new desktop::Picture(QStringLiteral("imgtitle"), this);
    band->setGeometry(design::qrect(design::kTitleBand));
    band->setPicture(assets::pixmap(path(assets::kMainTitleBand), dpr));

    logo_ = new desktop::Picture(QStringLiteral("PiclogoOrvane"), this);
    logo_->setGeometry(design::qrect(design::kLogo));
    logo_->setPicture(assets::pixmap(path(assets::kMainLogo), dpr));
    logo_->makeActionable(tr("Open the Orvane website"));
    const QPixmap cursor = assets::pixmap(path(assets::kLogoCursor), dpr);
    logo_->setCursor(cursor.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(cursor, 16, 1));

    auto* copyright = new desktop::InertLabel(QStringLiteral("lblcopyright"),
        QStringLiteral("Copyright \u00A9 2012 Orvane. All rights reserved."), this);
    copyright->setAlignment(Qt::AlignCenter);
    copyright->setGeometry(design::qrect(design::kCopyright));
    QPalette copyrightPalette = copyright->palette();
    copyrightPalette.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::HighlightedText));
    copyright->setPalette(copyrightPalette);

    minRest_ = new desktop::Picture(QStringLiteral("imgmideactive"), this);
    closeRest_ = new desktop::Picture(QStringLiteral("IMGCLOSEDEACTIVE"), this);
    minHot_ = new desktop::Picture(QStringLiteral("imgminactive"), this);
    closeHot_ = new desktop::Picture(QStringLiteral("IMGACTIVECLOSE"), this);
    for (desktop::Picture* p : {minRest_, minHot_})
        p->setGeometry(design::qrect(design::kMinimize));
    for (desktop::Picture* p : {closeRest_, closeHot_})
        p->setGeometry(design::qrect(design::kClose));
    minRest_->setPicture(assets::pixmap(path(assets::kMinRest), dpr));
    minHot_->setPicture(assets::pixmap(path(assets::kMinHot), dpr));
    closeRest_->setPicture(assets::pixmap(path(assets::kCloseRest), dpr));
    closeHot_->setPicture(assets::pixmap(path(assets::kCloseHot), dpr));
    minHot_->makeActionable(tr("Minimize"));
    closeHot_->makeActionable(tr("Close Orvane Beamlet"));
    minHot_->hide();
    closeHot_->hide();

    miniLoader_ = new desktop::PushButton(QStringLiteral("cmdminiproloader"), QStringLiteral("+"),
                                          desktop::ButtonLook::green(), this);
    miniLoader_->setGeometry(design::qrect(design::kMiniLoader));
    miniLoader_->setAccessibleName(tr("Switch to the mini window"));

    const auto blueButton = [&](const char* name, const QString& caption, const design::Rect& place,
                                const char* icon, QSize iconSize, bool bold) {
        desktop::ButtonLook look = desktop::ButtonLook::blue();
        look.bold = bold;
        auto* button = new desktop::PushButton(QLatin1String(name), caption, look, this);
        button->setGeometry(design::qrect(place));
        button->setIconPicture(assets::pixmap(path(icon), dpr), iconSize);
        return button;
    };
    getCode_ = blueButton("cmdgetcode", tr("Get Code"), design::kGetCode, assets::kIconGetCode, {32, 32}, false);
    emotions_ = blueButton("cmdemotionformshow", tr("Emotions"), design::kEmotions, assets::kIconEmotions, {32, 32}, false);
    help_ = blueButton("cmdHelp", tr("Help"), design::kHelp, assets::kIconHelp, {32, 32}, false);

    typingBox_ = new compose::TypingBox(QStringLiteral("txtYouType"), this);
    typingBox_->setGeometry(design::qrect(design::kTypingBox));
    composer_ = new compose::ComposerView(*typingBox_, *platform_.clipboard, notifier_, this);

    aboutButton_ = blueButton("swfabout", tr("About"), design::kAboutButton, assets::kIconAbout, {32, 32}, true);
    contactButton_ = blueButton("Swfcontact", tr("Contact Me"), design::kContactButton, assets::kIconContact, {16, 16}, true);

    // The About and Contact commands live on surfaces left of the client area.
    const auto surface = [this](const char* name, const design::Rect& place) {
        auto* w = new QWidget(this);
        w->setObjectName(QLatin1String(name));
        w->setGeometry(design::qrect(place));
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, QColor(64, 64, 64));
        w->setPalette(p);
        return w;
    };
    aboutSurface_ = surface("piccmdabout", design::kAboutSurface);
    contactSurface_ = surface("piccmdcontact", design::kContactSurface);

    about_ = new InfoPanel(QStringLiteral("picAbout"), path(assets::kAboutPanel), QStringLiteral("cmdaboutclose"), this);
    about_->okButton()->setGeometry(design::qrect(design::kAboutOk));
    contact_ = new ContactPanel(maker_, this);
    pack_ = new emoticons::PackPanel(this);

    stepper_ = new desktop::Stepper([this] {
        tickPanels();
        return panels_.animating();
    }, this);

    // Keyboard order of the controls.
    QWidget::setTabOrder(getCode_, emotions_);
    QWidget::setTabOrder(emotions_, help_);
    QWidget::setTabOrder(help_, typingBox_);
    QWidget::setTabOrder(typingBox_, aboutButton_);
    QWidget::setTabOrder(aboutButton_, contactButton_);
    QWidget::setTabOrder(contactButton_, miniLoader_);

    // Chrome hover and clicks.
    connect(minRest_, &desktop::Picture::moved, minHot_, &QWidget::show);
    connect(closeRest_, &desktop::Picture::moved, closeHot_, &QWidget::show);
    connect(closeHot_, &desktop::Picture::clicked, this, &MainWindow::terminate);
    connect(minHot_, &desktop::Picture::clicked, this, &QWidget::showMinimized);
    drag_ = std::make_unique<desktop::WindowDrag>(*this, [this] { hideHighlights(); });
    connect(header_, &desktop::Picture::pressed, this, [this](QMouseEvent* e) { drag_->press(*e); });
    connect(header_, &desktop::Picture::moved, this, [this](QMouseEvent* e) { drag_->move(*e); });
    connect(header_, &desktop::Picture::released, this, [this] { drag_->release(); });
    connect(logo_, &desktop::Picture::clicked, this, [this] { platform_.links->open(maker_.website.target); });

    // Commands.
    connect(getCode_, &QAbstractButton::clicked, composer_, &compose::ComposerView::getCode);
    connect(help_, &QAbstractButton::clicked, this, &MainWindow::cmdHelp_Click);
    connect(aboutButton_, &QAbstractButton::clicked, this, &MainWindow::piccmdabout_Click);
    connect(contactButton_, &QAbstractButton::clicked, this, &MainWindow::piccmdcontact_Click);
    connect(about_->okButton(), &QAbstractButton::clicked, this, [this] { panels_.aboutClose(); applyPanels(); });
    connect(contact_->okButton(), &QAbstractButton::clicked, this, [this] { panels_.contactClose(); applyPanels(); });
    connect(emotions_, &QAbstractButton::clicked, this, [this] { panels_.packOpen(); applyPanels(); });
    connect(pack_->okButton(), &QAbstractButton::clicked, this, [this] { panels_.packClose(); applyPanels(); });
    connect(pack_, &emoticons::PackPanel::tileClicked, this, &MainWindow::copyEmoticon);
    connect(contact_, &ContactPanel::linkActivated, this, [this](const QUrl& url) { platform_.links->open(url); });
    connect(miniLoader_, &QAbstractButton::clicked, this, &MainWindow::showMiniWindow);

    applyPanels();
    // The user starts by typing.
    typingBox_->setFocus();
}

void MainWindow::applyPanels()
{
    about_->move(panels_.about().position(), design::kInfoPanel.y);
    contact_->move(panels_.contact().position(), design::kInfoPanel.y);
    pack_->move(panels_.pack().position(), design::kPackPanel.y);
    aboutButton_->setEnabled(panels_.aboutEnabled());
    aboutSurface_->setEnabled(panels_.aboutEnabled());
    contactButton_->setEnabled(panels_.contactEnabled());
    contactSurface_->setEnabled(panels_.contactEnabled());
    emotions_->setEnabled(panels_.emotionsEnabled());
    stepper_->wake(panels_.animating());
}

void MainWindow::tickPanels()
{
    panels_.tick();
    applyPanels();
}

void MainWindow::piccmdabout_Click()
{
    panels_.aboutCommand();
    applyPanels();
}

void MainWindow::piccmdcontact_Click()
{
    panels_.contactCommand();
    applyPanels();
}

void MainWindow::cmdHelp_Click()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Help - Orvane Beamlet"),
                    QStringLiteral("1. Type your text\r\n2. Paste Code in facebook chat box\r\n3. Then press {Enter} key on keyboard"),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("helpBox"));
    box.exec();
}

void MainWindow::copyEmoticon(int number)
{
    pack_->showEntry(number);
    compose::copyToClipboard(emoticons::gridText(number), *platform_.clipboard, notifier_);
}

void MainWindow::showMiniWindow()
{
    if (!mini_) {
        mini_ = new mini::MiniWindow(platform_, notifier_, *composer_);
        connect(mini_, &mini::MiniWindow::backRequested, this, &MainWindow::returnFromMini);
    }
    mini_->show();
    hide();
}

void MainWindow::returnFromMini()
{
    show();
    if (mini_) {
        mini_->hide();
        mini_->deleteLater();
        mini_ = nullptr;
    }
}

void MainWindow::hideHighlights()
{
    minHot_->hide();
    closeHot_->hide();
}

void MainWindow::terminate()
{
    terminate_();
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(30, 90, 180));
    else
        painter.drawPixmap(0, 0, background_);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    // Only the bare surface clears the highlights, not a move a control let through.
    if (childAt(event->position().toPoint()))
        return;
    unsetCursor();
    hideHighlights();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window system: the program ends the same way as by its close image.
    event->accept();
    terminate();
}

}  // namespace beamlet::app

#include "MiniWindow.h"

#include "AssetPaths.h"
#include "Catalogue.h"
#include "ComposerView.h"
#include "DesignRect.h"
#include "Notifier.h"
#include "Palettes.h"
#include "Picture.h"
#include "PushButton.h"
#include "ScreenFit.h"
#include "TypingBox.h"
#include "WindowDrag.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

namespace beamlet::mini {
MiniWindow::MiniWindow(desktop::Platform& platform, desktop::Notifier& notifier, compose::ComposerView& mainComposer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      notifier_(notifier),
      backRest_(new desktop::Picture(QStringLiteral("imgmideactive"), this)),
      backHot_(new desktop::Picture(QStringLiteral("imgminactive"), this)),
      typingBox_(new compose::TypingBox(QStringLiteral("txtYouTypeminipro"), this)),
      getCode_(new desktop::PushButton(QStringLiteral("cmdgenerateminipro"), tr("Get Code"), [] {
          desktop::ButtonLook look = desktop::ButtonLook::white();
          look.iconPlace = desktop::ButtonLook::IconPlace::Above;
          return look;
      }(), this)),
      palette_(new emoticons::MiniPalette(this)),
      composer_(new compose::ComposerView(*typingBox_, *platform.clipboard, notifier, this))
{
    setObjectName(QStringLiteral("frmminipro"));
    setWindowTitle(QStringLiteral("Orvane Facebook Beamlet"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(design::kMiniWindow.w, design::kMiniWindow.h);
    setMouseTracking(true);
    const qreal dpr = devicePixelRatioF();
    background_ = assets::pixmap(QString::fromLatin1(assets::kMainBackground), dpr);
    setWindowIcon(QIcon(assets::pixmap(QString::fromLatin1(assets::kAppIcon), dpr)));

    for (desktop::Picture* p : {backRest_, backHot_})
        p->setGeometry(design::qrect(design::kMiniBack));
    backRest_->setPicture(assets::pixmap(QString::fromLatin1(assets::kBackRest), dpr));
    backHot_->setPicture(assets::pixmap(QString::fromLatin1(assets::kBackHot), dpr));
    backRest_->setAccessibleName(tr("Back to the main window"));
    backHot_->makeActionable(tr("Back to the main window"));
    backHot_->raise();
    backHot_->hide();

    typingBox_->setGeometry(design::qrect(design::kMiniTypingBox));
    getCode_->setGeometry(design::qrect(design::kMiniGetCode));
    getCode_->setIconPicture(assets::pixmap(QString::fromLatin1(assets::kIconGetCode), dpr), QSize(32, 32));
    palette_->setGeometry(design::qrect(design::kMiniPalette));
    QWidget::setTabOrder(typingBox_, getCode_);

    composer_->alsoEmpty(&mainComposer);
    drag_ = std::make_unique<desktop::WindowDrag>(*this, [this] { backHot_->hide(); });

    connect(backRest_, &desktop::Picture::moved, backHot_, &QWidget::show);
    connect(backHot_, &desktop::Picture::clicked, this, &MiniWindow::backRequested);
    connect(getCode_, &QAbstractButton::clicked, composer_, &compose::ComposerView::getCode);
    connect(palette_, &emoticons::MiniPalette::tileClicked, this, [this](int number) {
        compose::copyToClipboard(emoticons::gridText(number), *platform_.clipboard, notifier_);
    });

    // Always at its stored place when loaded, moved just enough to be wholly on a smaller screen.
    move(fitOnScreen(QRect(design::kMiniWindow.x, design::kMiniWindow.y, width(), height())).topLeft());
    platform_.windows->setTopMost(*this, -1);
}

MiniWindow::~MiniWindow() = default;

void MiniWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(30, 90, 180));
    else
        painter.drawPixmap(0, 0, background_);
    // The frame around the whole client area.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

// Only the bare surface drags: presses and moves that a control let through to
// the window do not count.
void MiniWindow::mousePressEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint()))
        drag_->press(*event);
}

void MiniWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint()) || event->buttons() != Qt::NoButton)
        drag_->move(*event);
}

void MiniWindow::mouseReleaseEvent(QMouseEvent*)
{
    drag_->release();
}

void MiniWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window system (Alt+F4, the window manager): return to the
    // main window just as the back control does, so it never stays hidden.
    event->ignore();
    emit backRequested();
}

}  // namespace beamlet::mini

#include "gui/MiniWindow.h"

#include "core/Catalogue.h"
#include "core/Layout.h"
#include "gui/Composer.h"
#include "gui/Palettes.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/HoverButton.h"
#include "widgets/HoverGroup.h"
#include "widgets/KeyboardFocus.h"
#include "widgets/Placement.h"
#include "widgets/PushButton.h"
#include "widgets/TypingBox.h"
#include "widgets/WindowDragger.h"

#include <QCloseEvent>
#include <QPainter>

namespace beamlet::gui {

namespace layout = core::layout;

MiniWindow::MiniWindow(platform::Services& services) : PictureWindow(widgets::kMiniWindowPicture, Qt::Window)
{
    setObjectName(QStringLiteral("miniWindow"));
    setWindowTitle(QStringLiteral("Orvane Facebook Beamlet"));
    // The same title as the main window's, but a screen reader must tell which is in front.
    widgets::markAccessible(*this, QAccessible::Window, tr("Orvane Facebook Beamlet mini window"));
    setWindowIcon(QIcon(widgets::loadPixmap(widgets::kAppIcon, devicePixelRatioF())));
    setFixedSize(layout::kMiniWindow.w, layout::kMiniWindow.h);

    const Controls controls = makeControls();
    // Keyboard order: the composer, the tiles (one stop), the back control, which
    // a click does not make take the focus.
    controls.backButton->setFocusPolicy(Qt::TabFocus);
    QList<QWidget*> stops{controls.typingBox, controls.getCodeButton};
    stops << controls.palette->tiles() << controls.backButton;
    widgets::setKeyboardOrder(stops);
    connectControls(controls);

    // Always at its own place when loaded, moved just enough to be wholly on a smaller screen.
    move(widgets::fitOnScreen(QRect(layout::kMiniWindow.x, layout::kMiniWindow.y, width(), height())).topLeft());
    services.windows.setStaysOnTop(*this, true);
    controls.typingBox->setFocus();  // the user starts by typing, here too
}

// Made back to front: each control lies in front of those made before it.
MiniWindow::Controls MiniWindow::makeControls()
{
    auto* backButton =
        new widgets::HoverButton(QStringLiteral("backButton"), widgets::kBackRest, widgets::kBackHot, this);
    widgets::place(*backButton, layout::kBackButton);
    backButton->setAccessibleName(tr("Back to the main window"));

    auto* typingBox = new widgets::TypingBox(QStringLiteral("miniTypingBox"), this);
    widgets::place(*typingBox, layout::kMiniTypingBox);
    composer_ = new Composer(*typingBox, Composer::EmptyOrder::BoxFirst, this);

    widgets::ButtonLook look = widgets::ButtonLook::white();
    look.iconPlace = widgets::ButtonLook::IconPlace::Above;
    auto* getCodeButton = new widgets::PushButton(QStringLiteral("miniGetCodeButton"), tr("Get Code"), look, this);
    widgets::place(*getCodeButton, layout::kMiniGetCodeButton);
    getCodeButton->setIconPicture(widgets::loadPixmap(widgets::kGetCodeIcon, devicePixelRatioF()), QSize(32, 32));
    auto* palette = new MiniPalette(this);
    widgets::place(*palette, layout::kMiniPalette);
    return {backButton, typingBox, getCodeButton, palette};
}

// The pointer's hover and dragging, and what each control asks for.
void MiniWindow::connectControls(const Controls& controls)
{
    auto* dragger = new widgets::WindowDragger(*this, *this, widgets::WindowDragger::Handle::BareSurface);
    auto* hover = new widgets::HoverGroup(*this);
    hover->join(*controls.backButton);
    hover->join(*controls.getCodeButton);
    connect(dragger, &widgets::WindowDragger::movedOverHandle, hover, &widgets::HoverGroup::clear);
    connect(controls.backButton, &QAbstractButton::clicked, this, &MiniWindow::backRequested);
    connect(controls.getCodeButton, &QAbstractButton::clicked, this,
            [this] { emit copyRequested(composer_->codeText()); });
    connect(controls.palette, &MiniPalette::tileClicked, this,
            [this](int number) { emit copyRequested(QString::fromLatin1(core::gridText(number))); });
}

void MiniWindow::paintEvent(QPaintEvent* event)
{
    PictureWindow::paintEvent(event);
    // The frame around the whole client area.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void MiniWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the window system: back to the main window, which never stays hidden.
    event->ignore();
    emit backRequested();
}

}  // namespace beamlet::gui

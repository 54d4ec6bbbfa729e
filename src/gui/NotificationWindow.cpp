#include "gui/NotificationWindow.h"

#include "core/Layout.h"
#include "gui/Notifier.h"
#include "gui/SpokenText.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/HoverGroup.h"
#include "widgets/Placement.h"

#include <QCloseEvent>

namespace beamlet::gui {

namespace layout = core::layout;

NotificationWindow::NotificationWindow(Notifier& owner)
    : PictureWindow(widgets::kNotificationBackground, Qt::Tool | Qt::WindowDoesNotAcceptFocus),
      owner_(owner),
      closeButton_(new widgets::HoverButton(QStringLiteral("notificationCloseButton"), widgets::kNotificationCloseRest,
                                            widgets::kNotificationCloseHot, this))
{
    // Its message is part of its picture. Shown as a notification, it is read out
    // as it appears, its message as its name.
    widgets::markAccessible(*this, QAccessible::Notification, notificationMessage());
    setObjectName(QStringLiteral("notificationWindow"));
    setWindowTitle(QStringLiteral("Orvane Beamlet"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(layout::kNotification.w, layout::kNotification.h);
    widgets::place(*closeButton_, layout::kNotificationCloseButton);
    closeButton_->setAccessibleName(tr("Close notification"));
    connect(closeButton_, &QAbstractButton::clicked, &owner_, &Notifier::close);
    (new widgets::HoverGroup(*this))->join(*closeButton_);
}

void NotificationWindow::closeEvent(QCloseEvent* event)
{
    // A close by the window system sends it down like its own close control.
    event->ignore();
    owner_.close();
}

}  // namespace beamlet::gui

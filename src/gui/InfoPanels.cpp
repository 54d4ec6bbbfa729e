#include "InfoPanels.h"

#include "Accessibility.h"
#include "Assets.h"
#include "Fonts.h"
#include "InertLabel.h"
#include "KeyboardFocus.h"
#include "Layout.h"
#include "Pictures.h"
#include "Placement.h"
#include "PushButton.h"
#include "SpokenText.h"

#include <QMouseEvent>
#include <QPainter>

namespace beamlet::gui {

namespace layout = core::layout;

namespace {

// Tahoma 8.25 pt italic where the desktop has it, a close sans serif otherwise.
QFont contactFont()
{
    return widgets::windowFont(widgets::Face::Tahoma, 8.25, false, true);
}

void setTextColour(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

}  // namespace

QColor restColour(const QPalette& palette)
{
    const QColor colour = palette.color(QPalette::Active, QPalette::HighlightedText);
    return colour.isValid() ? colour : QColor(Qt::white);
}

LinkLabel::LinkLabel(const QString& objectName, const Link& link, QWidget* parent)
    : QAbstractButton(parent), target_(link.target)
{
    // The role first: the text's change notice already fixes how it is announced.
    widgets::markAccessible(*this, QAccessible::Link, link.caption);
    setObjectName(objectName);
    setText(link.caption);
    setFont(contactFont());
    setFocusPolicy(Qt::TabFocus);  // reached by Tab, never taken by a click
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setAccessibleDescription(tr("Opens %1").arg(link.target.toString()));
    setTextColour(*this, restColour(palette()));
}

QColor LinkLabel::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setHot(bool hot)
{
    if (hot_ == hot)
        return;
    hot_ = hot;
    setTextColour(*this, hot ? hoverColour() : restColour(parentWidget() ? parentWidget()->palette() : palette()));
}

QSize LinkLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()), metrics.height());
}

void LinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (hasFocus())
        widgets::paintFocusFrame(painter, rect());
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    // Enter follows a link, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    setHot(true);
    QAbstractButton::mouseMoveEvent(event);
    event->accept();  // never a move over the bare panel behind it
}

InfoPanel::InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent)
    : QFrame(parent),
      picturePath_(picturePath),
      okButton_(new widgets::PushButton(okName, QStringLiteral("&OK"), widgets::ButtonLook::white(), this))
{
    // A picture with text on it: its words are its description.
    widgets::markAccessible(*this, QAccessible::Pane, QString());
    setObjectName(objectName);
    resize(layout::kInfoPanel.w, layout::kInfoPanel.h);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QList<QWidget*> InfoPanel::keyboardStops() const
{
    return {okButton_};
}

void InfoPanel::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        picture_ = widgets::loadPixmap(picturePath_, devicePixelRatioF());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    if (picture_.isNull())
        painter.fillRect(inside, QColor(widgets::kMissingPictureFill));
    else
        painter.drawPixmap(inside, picture_);
}

ContactPanel::ContactPanel(const MakerData& maker, QWidget* parent)
    : InfoPanel(QStringLiteral("contactPanel"), widgets::kContactPicture,
                QStringLiteral("contactOkButton"), parent)
{
    setAccessibleName(tr("Contact Me"));
    setAccessibleDescription(contactText(maker));
    setMouseTracking(true);
    widgets::place(*okButton(), layout::kContactOkButton);

    const QColor rest = restColour(palette());
    const struct {
        const char* name;
        const QString& text;
        core::Rect place;
        bool fixedWidth;
    } details[] = {
        {"addressLabel", maker.address, layout::kAddressLabel, false},
        {"emailLabel", maker.email, layout::kEmailLabel, false},
        {"mobileLabel", maker.mobile, layout::kMobileLabel, true},
    };
    for (const auto& detail : details) {
        auto* label = new widgets::InertLabel(QLatin1String(detail.name), detail.text, this);
        label->setFont(contactFont());
        label->setFocusPolicy(Qt::NoFocus);
        label->setAttribute(Qt::WA_TranslucentBackground);
        setTextColour(*label, rest);
        label->move(detail.place.x, detail.place.y);
        if (detail.fixedWidth)
            label->resize(detail.place.w, qMax(detail.place.h, label->sizeHint().height()));
        else
            label->adjustSize();
    }

    const struct {
        const char* name;
        const Link& link;
        core::Rect place;
    } links[] = {
        {"websiteLink", maker.website, layout::kWebsiteLink},
        {"profileLink", maker.profile, layout::kProfileLink},
        {"skypeLink", maker.skype, layout::kSkypeLink},
        {"youtubeLink", maker.youtube, layout::kYoutubeLink},
        {"fanPageLink", maker.fanPage, layout::kFanPageLink},
    };
    for (const auto& entry : links) {
        auto* link = new LinkLabel(QLatin1String(entry.name), entry.link, this);
        link->move(entry.place.x, entry.place.y);
        link->adjustSize();
        connect(link, &QAbstractButton::clicked, this, [this, link] { emit linkActivated(link->target()); });
        links_.append(link);
    }
}

QList<QWidget*> ContactPanel::keyboardStops() const
{
    // The links from top to bottom, then OK.
    QList<QWidget*> stops(links_.cbegin(), links_.cend());
    return stops + InfoPanel::keyboardStops();
}

void ContactPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()))
        return;  // over a label or the button, not the bare panel
    for (LinkLabel* link : links_)
        link->setHot(false);
}

}  // namespace beamlet::gui

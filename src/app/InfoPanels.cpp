#include "InfoPanels.h"

#include "Accessibility.h"
#include "AssetPaths.h"
#include "DesignRect.h"
#include "Fonts.h"
#include "InertLabel.h"
#include "PushButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace beamlet::app {
namespace {

void styleLabel(QLabel& label, const QColor& colour)
{
    label.setFont(contactFont());
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
    label.setAttribute(Qt::WA_TranslucentBackground);
    label.setFocusPolicy(Qt::NoFocus);
}

}  // namespace

QFont contactFont()
{
    return desktop::designFont(desktop::Face::Tahoma, 8.25, false, true);
}

LinkLabel::LinkLabel(const QString& objectName, const Link& link, QWidget* parent)
    : QLabel(parent), target_(link.target)
{
    // The role first: the text's change notice already fixes how it is announced.
    desktop::markAccessible(*this, QAccessible::Link, link.caption);
    setObjectName(objectName);
    setTextFormat(Qt::PlainText);
    setText(link.caption);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setAccessibleDescription(tr("Opens %1").arg(link.target.toString()));
    styleLabel(*this, restColour(palette()));
}

QColor LinkLabel::restColour(const QPalette& palette)
{
    const QColor colour = palette.color(QPalette::Active, QPalette::HighlightedText);
    return colour.isValid() ? colour : QColor(Qt::white);
}

void LinkLabel::setHot(bool hot)
{
    if (hot_ == hot)
        return;
    hot_ = hot;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hot ? hoverColour() : restColour(parentWidget() ? parentWidget()->palette() : p));
    setPalette(p);
}

void LinkLabel::mouseMoveEvent(QMouseEvent*)
{
    setHot(true);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit activated(target_);
}

InfoPanel::InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent)
    : QFrame(parent),
      ok_(new desktop::PushButton(okName, QStringLiteral("&OK"), desktop::ButtonLook::white(), this)),
      picturePath_(picturePath)
{
    setObjectName(objectName);
    resize(design::kInfoPanel.w, design::kInfoPanel.h);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void InfoPanel::paintEvent(QPaintEvent*)
{
    // Decoded when first seen, not at start.
    if (picture_.isNull())
        picture_ = assets::pixmap(picturePath_, devicePixelRatioF());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    if (picture_.isNull())
        painter.fillRect(inside, QColor(40, 90, 170));
    else
        painter.drawPixmap(inside, picture_);
}

ContactPanel::ContactPanel(const MakerData& data, QWidget* parent)
    : InfoPanel(QStringLiteral("PicContact"), QString::fromLatin1(assets::kContactPanel), QStringLiteral("cmdcontactback"), parent)
{
    setMouseTracking(true);
    ok_->setGeometry(design::qrect(design::kContactOk));

    const QColor rest = LinkLabel::restColour(palette());
    const struct {
        const char* name;
        const QString& text;
        design::Rect place;
        bool fixedWidth;
    } plain[] = {
        {"lbladdress", data.address, design::kAddress, false},
        {"lblemail", data.email, design::kEmail, false},
        {"lblmobile", data.mobile, design::kMobile, true},
    };
    for (const auto& p : plain) {
        auto* label = new desktop::InertLabel(QLatin1String(p.name), p.text, this);
        styleLabel(*label, rest);
        label->move(p.place.x, p.place.y);
        if (p.fixedWidth)
            label->resize(p.place.w, qMax(p.place.h, label->sizeHint().height()));
        else
            label->adjustSize();
    }

    const struct {
        const char* name;
        const Link& link;
        design::Rect place;
    } links[] = {
        {"lblwebsite", data.website, design::kWebsiteLink},
        {"lblfbprofile", data.fbprofile, design::kProfileLink},
        {"lblskype", data.skype, design::kSkypeLink},
        {"lblyoutube", data.youtube, design::kYoutubeLink},
        {"lblfanpage", data.fanpage, design::kFanPageLink},
    };
    for (const auto& l : links) {
        auto* label = new LinkLabel(QLatin1String(l.name), l.link, this);
        label->move(l.place.x, l.place.y);
        label->adjustSize();
        connect(label, &LinkLabel::activated, this, &ContactPanel::linkActivated);
        links_.append(label);
    }
}

LinkLabel* ContactPanel::link(const QString& objectName) const
{
    for (LinkLabel* label : links_)
        if (label->objectName() == objectName)
            return label;
    return nullptr;
}

void ContactPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()))
        return;  // over a label or the button, not the bare panel
    for (LinkLabel* label : links_)
        label->setHot(false);
}

}  // namespace beamlet::app

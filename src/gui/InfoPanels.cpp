#include "gui/InfoPanels.h"

#include "core/Layout.h"
#include "gui/SpokenText.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/Fonts.h"
#include "widgets/KeyboardFocus.h"
#include "widgets/Pictures.h"
#include "widgets/Placement.h"
#include "widgets/PushButton.h"

#include <QKeyEvent>
#include <QLabel>
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

LinkButton::LinkButton(const QString& objectName, const Link& link, QWidget* parent)
    : LitButton(parent),
      target_(link.target)
{
    // The role first: the text's change notice already fixes how it is announced.
    widgets::markAccessible(*this, QAccessible::Link, link.caption);
    setObjectName(objectName);
    setText(link.caption);
    setFont(contactFont());
    setFocusPolicy(Qt::TabFocus);  // reached by Tab, never taken by a click
    setCursor(Qt::ArrowCursor);
    setAccessibleDescription(tr("Opens %1").arg(link.target.toString()));
    setTextColour(*this, restColour(palette()));
}

QColor LinkButton::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkButton::highlightChanged()
{
    setTextColour(*this,
                  isHighlighted() ? hoverColour() : restColour(parentWidget() ? parentWidget()->palette() : palette()));
}

QSize LinkButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()), metrics.height());
}

void LinkButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (hasFocus())
        widgets::paintFocusFrame(painter, rect());
}

void LinkButton::keyPressEvent(QKeyEvent* event)
{
    // Enter follows a link, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

InfoPanel::InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent)
    : QFrame(parent),
      picturePath_(picturePath),
      okButton_(new widgets::PushButton(okName, QStringLiteral("&OK"), widgets::ButtonLook::white(), this))
{
    // A box with a picture of text and an OK, as a message box is: its words are
    // its description, which screen readers read out as the focus enters it.
    widgets::markAccessible(*this, QAccessible::Dialog, QString());
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
    const QRect inside = widgets::toQRect(layout::kInfoPanelPicture);
    if (picture_.isNull())
        painter.fillRect(inside, QColor(widgets::kMissingPictureFill));
    else
        painter.drawPixmap(inside, picture_);
}

ContactPanel::ContactPanel(const MakerData& maker, QWidget* parent)
    : InfoPanel(QStringLiteral("contactPanel"), widgets::kContactPicture, QStringLiteral("contactOkButton"), parent)
{
    setAccessibleName(tr("Contact Me"));
    setAccessibleDescription(contactText(maker));
    auto* hover = new widgets::HoverGroup(*this);
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
        auto* label = new QLabel(detail.text, this);
        label->setObjectName(QLatin1String(detail.name));
        label->setTextFormat(Qt::PlainText);
        label->setFont(contactFont());
        label->setFocusPolicy(Qt::NoFocus);
        widgets::hideFromScreenReaders(*label);  // read out with the panel's words, beside its title
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
        {"websiteLink", maker.website, layout::kWebsiteLink}, {"profileLink", maker.profile, layout::kProfileLink},
        {"skypeLink", maker.skype, layout::kSkypeLink},       {"youtubeLink", maker.youtube, layout::kYoutubeLink},
        {"fanPageLink", maker.fanPage, layout::kFanPageLink},
    };
    for (const auto& entry : links) {
        auto* link = new LinkButton(QLatin1String(entry.name), entry.link, this);
        hover->join(*link);
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

}  // namespace beamlet::gui

#include "gui/InfoPanels.h"

#include "core/Layout.h"
#include "gui/SpokenText.h"
#include "gui/TextLook.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/HoverGroup.h"
#include "widgets/Placement.h"
#include "widgets/PushButton.h"
#include "widgets/ScaledPicture.h"

#include <QLabel>
#include <QPainter>

namespace beamlet::gui {

namespace layout = core::layout;

InfoPanel::InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent)
    : Panel(parent),
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
    addDetails(maker);
    addLinks(maker, *hover);
}

// The address, e-mail and mobile number, as words on the panel.
void ContactPanel::addDetails(const MakerData& maker)
{
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
}

// The links, each reporting its target when followed.
void ContactPanel::addLinks(const MakerData& maker, widgets::HoverGroup& hover)
{
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
        hover.join(*link);
        link->move(entry.place.x, entry.place.y);
        link->adjustSize();
        connect(link, &QAbstractButton::clicked, this, [this, link] { emit linkActivated(link->target()); });
        links_.append(link);
    }
}

QList<QWidget*> ContactPanel::keyboardStops() const
{
    QList<QWidget*> stops(links_.cbegin(), links_.cend());
    return stops + InfoPanel::keyboardStops();
}

}  // namespace beamlet::gui

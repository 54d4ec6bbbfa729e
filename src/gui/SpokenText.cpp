#include "gui/SpokenText.h"

#include "core/PictureWords.h"
#include "gui/MakerData.h"

#include <QStringList>

namespace beamlet::gui {
namespace {

namespace words = core::words;

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), qsizetype(words.size()));
}

QString detail(const MakerData& maker, words::ContactDetail detail)
{
    switch (detail) {
    case words::ContactDetail::Website:
        return maker.website.caption;
    case words::ContactDetail::Address:
        return maker.address;
    case words::ContactDetail::Profile:
        return maker.profile.caption;
    case words::ContactDetail::Skype:
        return maker.skype.caption;
    case words::ContactDetail::Youtube:
        return maker.youtube.caption;
    case words::ContactDetail::Email:
        return maker.email;
    case words::ContactDetail::Mobile:
        return maker.mobile;
    case words::ContactDetail::FanPage:
        return maker.fanPage.caption;
    }
    return QString();
}

}  // namespace

QString notificationMessage()
{
    QStringList lines;
    for (const std::string_view line : words::kNotificationLines)
        lines.append(text(line));
    return lines.join(QLatin1Char(' '));
}

QString aboutText()
{
    QStringList lines = {text(words::kAboutTitle), text(words::kAboutSummary),
                         text(words::kAboutVersion).arg(QStringLiteral(BEAMLET_VERSION)), text(words::kAboutHeading)};
    for (const words::AboutRow& row : words::kAboutRows)
        lines.append(text(row.label) + QLatin1Char(' ') + text(row.value));
    return lines.join(QLatin1Char('\n'));
}

QString contactText(const MakerData& maker)
{
    QStringList lines = {text(words::kContactTitle)};
    for (const words::ContactRow& row : words::kContactRows)
        lines.append(text(row.title) + QLatin1Char(' ') + detail(maker, row.detail));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace beamlet::gui

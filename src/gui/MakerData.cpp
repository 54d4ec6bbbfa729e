#include "gui/MakerData.h"

#include "widgets/Assets.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace beamlet::gui {
namespace {

Link linkFrom(const QJsonObject& links, const char* key)
{
    const QJsonObject link = links.value(QLatin1String(key)).toObject();
    return Link{link.value(QLatin1String("caption")).toString(),
                QUrl(link.value(QLatin1String("target")).toString(), QUrl::StrictMode)};
}

}  // namespace

MakerData MakerData::fromJson(const QByteArray& json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonObject links = root.value(QLatin1String("links")).toObject();
    MakerData data;
    data.address = root.value(QLatin1String("address")).toString();
    data.email = root.value(QLatin1String("email")).toString();
    data.mobile = root.value(QLatin1String("mobile")).toString();
    data.website = linkFrom(links, "website");
    data.profile = linkFrom(links, "fbprofile");
    data.skype = linkFrom(links, "skype");
    data.youtube = linkFrom(links, "youtube");
    data.fanPage = linkFrom(links, "fanpage");
    return data;
}

const MakerData& MakerData::embedded()
{
    static const MakerData data = [] {
        QFile file(widgets::kMakerData);
        return fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }();
    return data;
}

}  // namespace beamlet::gui

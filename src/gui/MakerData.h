#pragma once
// The maker's contact data and link targets, read from one resource file.
#include <QString>
#include <QUrl>

namespace beamlet::gui {

struct Link {
    QString caption;
    QUrl target;
};

struct MakerData {
    QString address;
    QString email;
    QString mobile;
    Link website;
    Link profile;
    Link skype;
    Link youtube;
    Link fanPage;

    // Parses the JSON document; missing fields stay empty.
    static MakerData fromJson(const QByteArray& json);
    // The embedded data file.
    static const MakerData& embedded();
};

}  // namespace beamlet::gui

#pragma once
// The embedded pictures, chime and maker's data, by resource path, and how a
// picture is read. The pictures shown at start are ready pixels (".pixels",
// made by the build), the others PNG or JPEG files; any may have a "@2x.png"
// twin beside it for dense screens.
#include <QImage>
#include <QLatin1String>
#include <QPixmap>
#include <QString>

namespace beamlet::widgets {

// The background with the header strip, the title band and the logo laid on it.
inline constexpr QLatin1String kMainWindowPicture(":/main/window.pixels");  // 803 x 526
// The part of the background the mini window shows.
inline constexpr QLatin1String kMiniWindowPicture(":/mini/window.pixels");  // 767 x 102
inline constexpr QLatin1String kMinimizeRest(":/main/min-rest.pixels");     // 33 x 19
inline constexpr QLatin1String kMinimizeHot(":/main/min-hot.png");
inline constexpr QLatin1String kCloseRest(":/main/close-rest.pixels");
inline constexpr QLatin1String kCloseHot(":/main/close-hot.png");
inline constexpr QLatin1String kAppIcon(":/main/icon.pixels");                      // 48 x 48
inline constexpr QLatin1String kLogoCursor(":/main/logo-cursor.pixels");            // 32 x 32
inline constexpr QLatin1String kAboutPicture(":/panels/about.png");                 // 578 x 273
inline constexpr QLatin1String kContactPicture(":/panels/contact.png");             // 578 x 273
inline constexpr QLatin1String kNotificationBackground(":/notify/background.png");  // 329 x 154
inline constexpr QLatin1String kNotificationCloseRest(":/notify/close-rest.png");   // 33 x 19
inline constexpr QLatin1String kNotificationCloseHot(":/notify/close-hot.png");
inline constexpr QLatin1String kBackRest(":/mini/back-rest.png");  // 33 x 19
inline constexpr QLatin1String kBackHot(":/mini/back-hot.png");
inline constexpr QLatin1String kGetCodeIcon(":/buttons/getcode.pixels");    // 32 x 32
inline constexpr QLatin1String kEmotionsIcon(":/buttons/emotions.pixels");  // 32 x 32
inline constexpr QLatin1String kHelpIcon(":/buttons/help.pixels");          // 32 x 32
inline constexpr QLatin1String kAboutIcon(":/buttons/about.pixels");        // 32 x 32
inline constexpr QLatin1String kContactIcon(":/buttons/contact.pixels");    // 16 x 16
inline constexpr QLatin1String kChime(":/sound/tone.wav");
inline constexpr QLatin1String kMakerData(":/data/maker.json");

// ":/emoticons/07.jpg" for entry 7.
QString emoticonPicture(int number);

// A picture: ready pixels are used in place, without a copy; a file is decoded
// by the reader its ending names, so no other image format plugin is ever
// loaded to guess it.
QImage loadImage(const QString& path);

// A picture at its natural logical size, from its "@2x" twin on a dense screen
// so it stays crisp there.
QImage loadPicture(const QString& path, qreal devicePixelRatio);
QPixmap loadPixmap(const QString& path, qreal devicePixelRatio);

// The embedded chime, read in place: no copy of its half megabyte.
QByteArray chimeBytes();

}  // namespace beamlet::widgets

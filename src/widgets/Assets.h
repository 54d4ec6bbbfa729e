#pragma once
// The embedded pictures, chime and maker's data, by resource path, and how a
// picture is decoded. Pictures may have a "@2x" twin beside them.
#include <QImage>
#include <QPixmap>
#include <QString>

namespace beamlet::widgets {

inline constexpr const char* kMainBackground = ":/main/background.png";       // 803 x 526
inline constexpr const char* kHeaderStripPicture = ":/main/header.png";       // 802 x 73
inline constexpr const char* kTitleBandPicture = ":/main/title-band.png";     // 803 x 101
inline constexpr const char* kLogoPicture = ":/main/logo.png";                // 219 x 211
inline constexpr const char* kMinimizeRest = ":/main/min-rest.png";           // 33 x 19
inline constexpr const char* kMinimizeHot = ":/main/min-hot.png";
inline constexpr const char* kCloseRest = ":/main/close-rest.png";
inline constexpr const char* kCloseHot = ":/main/close-hot.png";
inline constexpr const char* kAppIcon = ":/main/icon.png";                    // 48 x 48
inline constexpr const char* kLogoCursor = ":/main/logo-cursor.png";          // 32 x 32
inline constexpr const char* kAboutPicture = ":/panels/about.png";            // 578 x 273
inline constexpr const char* kContactPicture = ":/panels/contact.png";        // 578 x 273
inline constexpr const char* kNotificationBackground = ":/notify/background.png";  // 329 x 154
inline constexpr const char* kNotificationCloseRest = ":/notify/close-rest.png";   // 33 x 19
inline constexpr const char* kNotificationCloseHot = ":/notify/close-hot.png";
inline constexpr const char* kBackRest = ":/mini/back-rest.png";              // 33 x 19
inline constexpr const char* kBackHot = ":/mini/back-hot.png";
inline constexpr const char* kGetCodeIcon = ":/buttons/getcode.png";          // 32 x 32
inline constexpr const char* kEmotionsIcon = ":/buttons/emotions.png";        // 32 x 32
inline constexpr const char* kHelpIcon = ":/buttons/help.png";                // 32 x 32
inline constexpr const char* kAboutIcon = ":/buttons/about.png";              // 32 x 32
inline constexpr const char* kContactIcon = ":/buttons/contact.png";          // 16 x 16
inline constexpr const char* kChime = ":/sound/tone.wav";
inline constexpr const char* kMakerData = ":/data/maker.json";

// ":/emoticons/07.jpg" for entry 7.
QString emoticonPicture(int number);

// Decodes a picture with the reader its file ending names, so no other image
// format plugin is ever loaded to guess it.
QImage loadImage(const QString& path);

// A picture at its natural logical size, from its "@2x" twin on a dense screen
// so it stays crisp there.
QPixmap loadPixmap(const QString& path, qreal devicePixelRatio);

// The embedded chime, read in place: no copy of its half megabyte.
QByteArray chimeBytes();

}  // namespace beamlet::widgets

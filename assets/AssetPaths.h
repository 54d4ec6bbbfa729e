#pragma once
// Resource paths of every embedded asset, in one place so the windows and the
// asset tests agree on names. Pictures may have a "@2x" twin beside them.
#include <QImage>
#include <QPixmap>
#include <QString>

namespace beamlet::assets {

inline constexpr const char* kMainBackground = ":/main/background.png";   // 803 x 526
inline constexpr const char* kMainHeader = ":/main/header.png";           // 802 x 73
inline constexpr const char* kMainTitleBand = ":/main/title-band.png";    // 803 x 101
inline constexpr const char* kMainLogo = ":/main/logo.png";               // 219 x 211
inline constexpr const char* kMinRest = ":/main/min-rest.png";            // 33 x 19
inline constexpr const char* kMinHot = ":/main/min-hot.png";
inline constexpr const char* kCloseRest = ":/main/close-rest.png";
inline constexpr const char* kCloseHot = ":/main/close-hot.png";
inline constexpr const char* kAppIcon = ":/main/icon.png";                // 48 x 48
inline constexpr const char* kLogoCursor = ":/main/logo-cursor.png";      // 32 x 32
inline constexpr const char* kAboutPanel = ":/panels/about.png";          // 578 x 273
inline constexpr const char* kContactPanel = ":/panels/contact.png";      // 578 x 273
inline constexpr const char* kNotifyBackground = ":/notify/background.png"; // 329 x 154
inline constexpr const char* kNotifyCloseRest = ":/notify/close-rest.png";  // 33 x 19
inline constexpr const char* kNotifyCloseHot = ":/notify/close-hot.png";
inline constexpr const char* kBackRest = ":/mini/back-rest.png";          // 33 x 19
inline constexpr const char* kBackHot = ":/mini/back-hot.png";
inline constexpr const char* kIconGetCode = ":/buttons/getcode.png";      // 32 x 32
inline constexpr const char* kIconEmotions = ":/buttons/emotions.png";    // 32 x 32
inline constexpr const char* kIconHelp = ":/buttons/help.png";            // 32 x 32
inline constexpr const char* kIconAbout = ":/buttons/about.png";          // 32 x 32
inline constexpr const char* kIconContact = ":/buttons/contact.png";      // 16 x 16
inline constexpr const char* kSound = ":/sound/tone.wav";
inline constexpr const char* kMakerData = ":/data/maker.json";

// ":/emoticons/07.jpg" for entry 7.
QString emoticonPath(int number);

// Decodes a picture with the reader its file ending names, so no other image
// format plugin is ever loaded to guess it.
QImage image(const QString& path);

// Loads a picture at its natural logical size, taking the "@2x" twin when the
// screen is dense enough, so it stays crisp at a device pixel ratio of 2.
QPixmap pixmap(const QString& path, qreal devicePixelRatio);

}  // namespace beamlet::assets

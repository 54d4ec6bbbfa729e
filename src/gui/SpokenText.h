#pragma once
// What the pictures say, in words for screen readers: the same words the pictures
// are drawn with, and on the Contact panel the maker's details the program writes on it.
#include <QString>

namespace beamlet::gui {

struct MakerData;

// The notification's message, its lines run together.
QString notificationMessage();
// The About and Contact panels, one line for each line of text as shown.
QString aboutText();
QString contactText(const MakerData& maker);

}  // namespace beamlet::gui

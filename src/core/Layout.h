#pragma once
// Where everything stands, in pixels. The layout was drawn in twips (1/1440 inch,
// 15 to a pixel); this is the one place that converts them, and a measure that is
// not a whole number of pixels does not compile.
namespace beamlet::core {

inline constexpr int kTwipsPerPixel = 15;

consteval int px(int twips)
{
    if (twips % kTwipsPerPixel != 0)
        throw "not a whole number of pixels";
    return twips / kTwipsPerPixel;
}

struct Rect {
    int x, y, w, h;
};

consteval Rect fromTwips(int left, int top, int width, int height)
{
    return Rect{px(left), px(top), px(width), px(height)};
}

namespace layout {

// The screen the windows were placed on: one 1280 x 1024 monitor.
inline constexpr int kDesignScreenWidth = 1280;
inline constexpr int kDesignScreenHeight = 1024;

// Main window: its first place on screen and its client area.
inline constexpr Rect kMainWindow = fromTwips(3570, 3840, 12045, 7875);  // 238, 256, 803 x 525
// Its background picture lies at the top-left corner, one row taller than the
// client area: its last row never shows.
inline constexpr Rect kMainWindowPicture{0, 0, kMainWindow.w, kMainWindow.h + 1};  // 803 x 526
inline constexpr Rect kHeaderStrip = fromTwips(0, 0, 12030, 1095);
inline constexpr Rect kMinimizeButton = fromTwips(10980, 75, 495, 285);
inline constexpr Rect kCloseButton = fromTwips(11520, 75, 495, 285);
inline constexpr Rect kMiniWindowButton = fromTwips(10440, 90, 495, 285);
inline constexpr Rect kTitleBand = fromTwips(0, 1080, 12045, 1515);
inline constexpr Rect kLogo = fromTwips(240, 1320, 3285, 3165);
inline constexpr Rect kGetCodeButton = fromTwips(3720, 1800, 1935, 495);
inline constexpr Rect kEmotionsButton = fromTwips(6120, 1800, 1935, 495);
inline constexpr Rect kHelpButton = fromTwips(8520, 1800, 1935, 495);
inline constexpr Rect kTypingBox = fromTwips(3750, 2760, 6735, 3615);
inline constexpr Rect kAboutButton = fromTwips(240, 4560, 3255, 615);
inline constexpr Rect kContactButton = fromTwips(240, 5160, 3255, 615);
inline constexpr Rect kCopyright = fromTwips(0, 7560, 12015, 255);

// The About and Contact panels, parked right of the client area, and their contents.
inline constexpr Rect kInfoPanel = fromTwips(13320, 2640, 8700, 4125);  // 888, 176, 580 x 275
// Each info panel's picture fills the panel inside a 1 px frame.
inline constexpr Rect kInfoPanelPicture{1, 1, kInfoPanel.w - 2, kInfoPanel.h - 2};  // 578 x 273
// Every panel slides 40 px a tick; the window measures its children in pixels.
inline constexpr int kPanelStep = 40;
// An info panel counts as open while left of 250 px, and stops sliding out once
// past where it was parked.
inline constexpr int kInfoOpenBelow = 250;
inline constexpr int kInfoOutBeyond = kInfoPanel.x;
inline constexpr Rect kAboutOkButton = fromTwips(7200, 3360, 975, 495);
inline constexpr Rect kContactOkButton = fromTwips(7200, 3375, 975, 495);
inline constexpr Rect kAddressLabel = fromTwips(3750, 1350, 4110, 195);
inline constexpr Rect kEmailLabel = fromTwips(3750, 2430, 1920, 195);
inline constexpr Rect kMobileLabel = fromTwips(3750, 2700, 3690, 195);
inline constexpr Rect kWebsiteLink = fromTwips(3750, 1080, 1425, 195);
inline constexpr Rect kProfileLink = fromTwips(3750, 1620, 2190, 195);
inline constexpr Rect kSkypeLink = fromTwips(3750, 1890, 1125, 195);
inline constexpr Rect kYoutubeLink = fromTwips(3750, 2160, 1065, 195);
inline constexpr Rect kFanPageLink = fromTwips(4560, 3000, 2850, 195);

// The emoticon pack panel.
inline constexpr Rect kPackPanel = fromTwips(13320, 2640, 9495, 4815);  // 888, 176, 633 x 321
// It stops sliding in once left of 89 px, and sliding out once right of 1000 px,
// which is past where it was parked: after the first close it rests further out.
inline constexpr int kPackOpenBelow = 89;
inline constexpr int kPackOutBeyond = 1000;
inline constexpr Rect kPackCaption = fromTwips(120, 120, 9255, 255);
inline constexpr int kPackLineY = px(330);
inline constexpr int kPackLineRight = px(9480);
inline constexpr Rect kPackTileArea = fromTwips(120, 360, 9255, 3135);
inline constexpr Rect kPackInfoStrip = fromTwips(0, 3600, 9495, 1215);
inline constexpr Rect kPackPreview = fromTwips(240, 3600, 960, 960);
inline constexpr Rect kPackName = fromTwips(1680, 3600, 2355, 240);
inline constexpr Rect kPackInstructions = fromTwips(1680, 3960, 5535, 615);
inline constexpr Rect kPackOkButton = fromTwips(7680, 3840, 975, 495);

// Tiles stand 15 to a row: main tiles 32 px at a 40 px pitch, mini tiles 17 px at 24 px.
inline constexpr int kTilesPerRow = 15;
inline constexpr int kTileOffset = px(120);
inline constexpr int kPackTileSize = px(480);
inline constexpr int kPackTilePitch = px(600);
inline constexpr int kMiniTileSize = px(255);
inline constexpr int kMiniTilePitch = px(360);

constexpr Rect tileRect(int number, int size, int pitch)
{
    const int column = (number - 1) % kTilesPerRow;
    const int row = (number - 1) / kTilesPerRow;
    return Rect{kTileOffset + pitch * column, kTileOffset + pitch * row, size, size};
}

// The mini window.
inline constexpr Rect kMiniWindow = fromTwips(3930, 12360, 11505, 1530);  // 262, 824, 767 x 102
inline constexpr Rect kBackButton = fromTwips(10980, 75, 495, 285);
inline constexpr Rect kMiniTypingBox = fromTwips(120, 120, 4335, 1335);
inline constexpr Rect kMiniGetCodeButton = fromTwips(4560, 120, 615, 1335);
inline constexpr Rect kMiniPalette = fromTwips(5280, 120, 5655, 1335);

// The notification: 328 x 152, placed from the lower-right corner of the screen's
// available area as far as its place was from the design screen's (on 1280 x 1024
// its top edge lies on row 1013). It moves 100
// twips a tick, a third of a pixel short of 7, and its rise ends once it stands
// more than 173 px above where it started.
inline constexpr Rect kNotification = fromTwips(14175, 15195, 4920, 2280);
inline constexpr int kNotificationRightGap = kDesignScreenWidth - kNotification.x;    // 335
inline constexpr int kNotificationBottomGap = kDesignScreenHeight - kNotification.y;  // 11
inline constexpr double kNotificationStep = 100.0 / kTwipsPerPixel;
inline constexpr int kNotificationRise = px(2595);
inline constexpr Rect kNotificationCloseButton = fromTwips(4320, 0, 495, 285);
// The notification's background picture lies at its top-left corner; the last
// column and the last two rows of the picture never show.
inline constexpr Rect kNotificationPicture{0, 0, kNotification.w + 1, kNotification.h + 2};  // 329 x 154

}  // namespace layout
}  // namespace beamlet::core

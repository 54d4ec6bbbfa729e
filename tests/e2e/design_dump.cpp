// What the end-to-end tests compare the running program with, taken from the
// program's own code rather than retyped, so a moved control or a changed grid
// cannot pass by a second copy of its numbers.
//
//   design_dump --layout     the places of the controls, as JSON
//   design_dump --catalogue  every emoticon's clipboard text: per entry in number
//                            order, its number and the text's length in bytes,
//                            each a 32-bit little-endian unsigned integer, then the text
#include "core/Catalogue.h"
#include "core/Layout.h"
#include "core/PanelModel.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using beamlet::core::Rect;
namespace layout = beamlet::core::layout;

bool putU32(std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return std::fwrite(bytes, 1, sizeof bytes, stdout) == sizeof bytes;
}

int dumpCatalogue()
{
    for (int number = 1; number <= beamlet::core::kEntryCount; ++number) {
        const std::string& text = beamlet::core::gridText(number);
        if (!putU32(static_cast<std::uint32_t>(number)) || !putU32(static_cast<std::uint32_t>(text.size()))
            || std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Where a panel comes to rest once opened, by running the panels' own model.
int openPosition(void (beamlet::core::PanelModel::*open)(),
                 const beamlet::core::SlidingPanel& (beamlet::core::PanelModel::*panel)() const)
{
    beamlet::core::PanelModel panels;
    (panels.*open)();
    while (panels.animating())
        panels.tick();
    return (panels.*panel)().position();
}

void putRect(const char* name, const Rect& r, bool last = false)
{
    std::printf("  \"%s\": [%d, %d, %d, %d]%s\n", name, r.x, r.y, r.w, r.h, last ? "" : ",");
}

int dumpLayout()
{
    using beamlet::core::PanelModel;
    std::printf("{\n");
    const Rect info = layout::kInfoPanel;
    const Rect pack = layout::kPackPanel;
    putRect("mainWindow", layout::kMainWindow);
    putRect("headerStrip", layout::kHeaderStrip);
    putRect("minimizeButton", layout::kMinimizeButton);
    putRect("closeButton", layout::kCloseButton);
    putRect("miniWindowButton", layout::kMiniWindowButton);
    putRect("logo", layout::kLogo);
    putRect("getCodeButton", layout::kGetCodeButton);
    putRect("emotionsButton", layout::kEmotionsButton);
    putRect("helpButton", layout::kHelpButton);
    putRect("typingBox", layout::kTypingBox);
    putRect("aboutButton", layout::kAboutButton);
    putRect("contactButton", layout::kContactButton);
    putRect("infoPanelOpen", {openPosition(&PanelModel::openAbout, &PanelModel::about), info.y, info.w, info.h});
    putRect("aboutOkButton", layout::kAboutOkButton);
    putRect("contactOkButton", layout::kContactOkButton);
    putRect("websiteLink", layout::kWebsiteLink);
    putRect("profileLink", layout::kProfileLink);
    putRect("skypeLink", layout::kSkypeLink);
    putRect("youtubeLink", layout::kYoutubeLink);
    putRect("fanPageLink", layout::kFanPageLink);
    putRect("packPanelOpen", {openPosition(&PanelModel::openPack, &PanelModel::pack), pack.y, pack.w, pack.h});
    putRect("packTileArea", layout::kPackTileArea);
    putRect("packOkButton", layout::kPackOkButton);
    putRect("notification", layout::kNotification);
    putRect("notificationCloseButton", layout::kNotificationCloseButton);
    putRect("miniWindow", layout::kMiniWindow);
    putRect("miniTypingBox", layout::kMiniTypingBox);
    putRect("miniGetCodeButton", layout::kMiniGetCodeButton);
    putRect("miniPalette", layout::kMiniPalette);
    putRect("backButton", layout::kBackButton);
    std::printf("  \"packTiles\": [");
    for (int n = 1; n <= beamlet::core::kEntryCount; ++n) {
        const Rect r = layout::tileRect(n, layout::kPackTileSize, layout::kPackTilePitch);
        std::printf("%s[%d, %d, %d, %d]", n > 1 ? ", " : "", r.x, r.y, r.w, r.h);
    }
    std::printf("],\n  \"miniTiles\": [");
    for (int n = 1; n <= beamlet::core::kMiniEntryCount; ++n) {
        const Rect r = layout::tileRect(n, layout::kMiniTileSize, layout::kMiniTilePitch);
        std::printf("%s[%d, %d, %d, %d]", n > 1 ? ", " : "", r.x, r.y, r.w, r.h);
    }
    std::printf("],\n  \"notificationGaps\": [%d, %d],\n  \"notificationRise\": %d\n}\n", layout::kNotificationRightGap,
                layout::kNotificationBottomGap, layout::kNotificationRise);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--layout") == 0)
        return dumpLayout();
    if (argc == 2 && std::strcmp(argv[1], "--catalogue") == 0)
        return dumpCatalogue();
    std::fputs("usage: design_dump --layout | --catalogue\n", stderr);
    return 2;
}

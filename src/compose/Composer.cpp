#include "Composer.h"

#include "CodeTable.h"

namespace beamlet::compose {

void Composer::keyPress(std::int64_t code)
{
    if (const auto token = tokenFor(code)) {
        try {
            buffer_.append(*token);
        } catch (...) {
            // Out of memory for one token: that key press loses its token, nothing more.
        }
    }
}

void handOff(const std::string& text, ClipboardPort& clipboard, NotifierPort& notifier) noexcept
{
    // Setting the text replaces whatever the clipboard held: one change of owner
    // per copy. Clearing it first would leave it ownerless for a moment, and under
    // XWayland the compositor takes it then, so the text never lands.
    try {
        clipboard.setText(text);
    } catch (...) {
    }
    try {
        notifier.show();
    } catch (...) {
    }
}

}  // namespace beamlet::compose

// Writes the exact clipboard text of every big emoticon to standard output, so the
// end-to-end tests compare what the running program copies with the catalogue
// itself rather than with a second copy of its page ids.
//
// Format, once per entry in number order: the entry number and the text's length
// in bytes, each as a 32-bit little-endian unsigned integer, then the text.
#include "Catalogue.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

bool putU32(std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return std::fwrite(bytes, 1, sizeof bytes, stdout) == sizeof bytes;
}

}  // namespace

int main()
{
    namespace emo = beamlet::emoticons;
    for (int number = 1; number <= emo::kEntryCount; ++number) {
        const std::string& text = emo::gridText(number);
        if (!putU32(static_cast<std::uint32_t>(number)) || !putU32(static_cast<std::uint32_t>(text.size()))
            || std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

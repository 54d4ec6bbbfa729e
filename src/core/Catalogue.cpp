#include "core/Catalogue.h"

#include "core/CodeTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace beamlet::core {
namespace {

void checkNumber(int number)
{
    if (number < 1 || number > kEntryCount)
        throw std::out_of_range("emoticon number " + std::to_string(number) + " is outside 1.."
                                + std::to_string(kEntryCount));
}

std::string buildGridText(const Entry& e)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(e.gridTextLength()));
    auto id = e.pageIds.begin();
    for (int row = 0; row < e.rowCount(); ++row) {
        if (e.leadingFormFeeds[row])
            text += kFormFeed;
        for (int i = 0; i < e.rowLengths[row]; ++i)
            text += makeToken(*id++);
        text += "\r\n";
    }
    return text;
}

}  // namespace

int Entry::leadingFormFeedCount() const
{
    return static_cast<int>(std::count(leadingFormFeeds.begin(), leadingFormFeeds.end(), true));
}

int Entry::gridTextLength() const
{
    return static_cast<int>(kTokenLength) * tokenCount() + 2 * rowCount() + leadingFormFeedCount();
}

const Entry& entry(int number)
{
    checkNumber(number);
    return entries()[static_cast<std::size_t>(number - 1)];
}

const std::string& gridText(int number)
{
    checkNumber(number);
    // All 66 texts come to about 34 KB; build them together, thread-safely, once.
    static const std::array<std::string, kEntryCount> texts = [] {
        std::array<std::string, kEntryCount> built;
        for (const Entry& e : entries())
            built[static_cast<std::size_t>(e.number - 1)] = buildGridText(e);
        return built;
    }();
    return texts[static_cast<std::size_t>(number - 1)];
}

}  // namespace beamlet::core

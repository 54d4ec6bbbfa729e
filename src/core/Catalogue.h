#pragma once
// The big emoticons: 66 fixed grids of code tokens. The pages of one grid carry the
// tiles of one picture, so pasting an entry's grid text into a chat reassembles the
// picture there, row by row. Constant data; nothing changes at run time.
#include <span>
#include <string>
#include <string_view>

namespace beamlet::core {

inline constexpr int kEntryCount = 66;
inline constexpr int kMiniEntryCount = 45;  // the mini window offers entries 1..45

struct PictureSize {
    int width;
    int height;
};

struct Entry {
    int number;                                 // 1..66, fixes the tile's place
    std::string_view name;                      // shown exactly as written, odd spellings too
    std::span<const int> rowLengths;            // tokens in each row, top row first
    std::span<const bool> leadingFormFeeds;     // per row: starts with one extra form feed
    std::span<const std::string_view> pageIds;  // all rows in reading order
    PictureSize pictureSize;                    // the picture's own size in pixels, before a tile shrinks it

    int rowCount() const { return static_cast<int>(rowLengths.size()); }
    int tokenCount() const { return static_cast<int>(pageIds.size()); }
    int leadingFormFeedCount() const;
    // Length of the grid text: tokens, one CR LF per row, and the extra form feeds.
    int gridTextLength() const;
};

// All entries, in number order.
std::span<const Entry> entries();

// Entry 1..kEntryCount; any other number throws std::out_of_range.
const Entry& entry(int number);

// The exact clipboard text of an entry: each row is an optional form feed, the row's
// tokens back to back, then CR LF. Built once, on first use; same range rule as entry().
const std::string& gridText(int number);

}  // namespace beamlet::core

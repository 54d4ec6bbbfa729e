#pragma once
// The character code table: each printable ASCII character but '%' has the page id
// whose picture shows it, and typing the character yields that page's code token.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace beamlet::core {

inline constexpr char kFormFeed = '\f';
inline constexpr std::size_t kTokenLength = 20;  // "[[" + 15 digits + "]]" + form feed
inline constexpr int kTableSize = 94;

// "[[" + id + "]]" + U+000C.
std::string makeToken(std::string_view pageId);

// The page id of a character code, or nothing when the code has no entry.
// Takes any integer: negative codes and codes beyond Unicode simply have none.
std::optional<std::string_view> pageIdFor(std::int64_t code);

// The code token of a typed character, or nothing.
std::optional<std::string_view> tokenFor(std::int64_t code);

}  // namespace beamlet::core

#pragma once
// The words drawn into the pictures, written once: tools/artgen paints them, and
// the program gives them to screen readers, which cannot read a picture.
#include <array>
#include <string_view>

namespace beamlet::core::words {

// The notification's message, line by line.
inline constexpr std::array<std::string_view, 3> kNotificationLines = {
    "Your text has been copied to the clipboard.",
    "Paste it into your friend's chat box with Ctrl+V",
    "and send it with the Enter key.",
};

// The About panel, top to bottom. The version line shows the product's version
// where "%1" stands.
inline constexpr std::string_view kAboutTitle = "Orvane Beamlet";
inline constexpr std::string_view kAboutSummary =
    "A Facebook fancy-letters generation application that turns your text and big emoticons into chat codes.";
inline constexpr std::string_view kAboutVersion = "Version %1";
inline constexpr std::string_view kAboutHeading = "About the programmer";
struct AboutRow {
    std::string_view label;
    std::string_view value;
};
inline constexpr std::array<AboutRow, 3> kAboutRows = {{
    {"Name:", "Orvane Beamlet Team"},
    {"Occupation:", "Desktop software maker"},
    {"Age:", "14 years"},
}};

// The Contact panel's title and its row titles, top to bottom; the program writes
// each row's value (from the maker's data) beside its title.
inline constexpr std::string_view kContactTitle = "Contact Information";
enum class ContactDetail {
    Website,
    Address,
    Profile,
    Skype,
    Youtube,
    Email,
    Mobile,
    FanPage
};
struct ContactRow {
    std::string_view title;
    ContactDetail detail;
};
inline constexpr std::array<ContactRow, 8> kContactRows = {{
    {"Website:", ContactDetail::Website},
    {"Address:", ContactDetail::Address},
    {"Facebook:", ContactDetail::Profile},
    {"Skype:", ContactDetail::Skype},
    {"YouTube:", ContactDetail::Youtube},
    {"E-mail:", ContactDetail::Email},
    {"Mobile:", ContactDetail::Mobile},
    {"Facebook Fan Page:", ContactDetail::FanPage},
}};

}  // namespace beamlet::core::words

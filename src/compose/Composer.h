#pragma once
// The composer's rules, free of any toolkit: the code buffer grows by one token
// per typed character that has one, and the clipboard hand-off runs its two
// steps in order whatever fails on the way.
#include <cstdint>
#include <string>

namespace beamlet::compose {

class Composer {
public:
    // One typed character (a Unicode code point). Appends its token, if any, at
    // the end of the buffer: the caret and the selection play no part.
    void keyPress(std::int64_t code);

    // Backspace and Delete empty the texts before the key acts.
    enum class Key { Backspace, Delete, Other };
    static bool keyDownEmpties(Key key) { return key != Key::Other; }

    void empty() { buffer_.clear(); }
    const std::string& codeBuffer() const { return buffer_; }

private:
    std::string buffer_;
};

// What the hand-off needs from the platform; each step may fail on its own.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // Replaces the clipboard's contents with text (an empty text leaves it empty).
    virtual void setText(const std::string& text) = 0;
};

class NotifierPort {
public:
    virtual ~NotifierPort() = default;
    virtual void show() = 0;
};

// Set the clipboard's text, then show the notification: each step once, in this
// order; a failing step is ignored so the user still gets the notification.
void handOff(const std::string& text, ClipboardPort& clipboard, NotifierPort& notifier) noexcept;

}  // namespace beamlet::compose

#pragma once
// The hidden half of a composer: one code token for every typed character that
// has one, in typing order. It follows key presses only; nothing pasted, cut or
// deleted in the typing box reaches it.
#include <cstdint>
#include <string>

namespace beamlet::core {

class CodeBuffer {
public:
    // One typed character (a Unicode code point). Its token, if it has one, goes
    // at the end: the caret and the selection play no part.
    void type(std::int64_t codePoint);
    void clear() { text_.clear(); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace beamlet::core

#include "gui/Composer.h"

#include "widgets/TypingBox.h"

namespace beamlet::gui {

Composer::Composer(widgets::TypingBox& box, EmptyOrder order, QObject* parent)
    : QObject(parent),
      box_(box),
      order_(order)
{
    connect(&box_, &widgets::TypingBox::characterTyped, this, [this](char32_t c) { buffer_.type(c); });
    connect(&box_, &widgets::TypingBox::clearingKeyDown, this, &Composer::empty);
    connect(&box_, &widgets::TypingBox::clicked, this, &Composer::empty);
}

QString Composer::codeText() const
{
    const std::string& text = buffer_.text();
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void Composer::empty()
{
    emit emptying();
    if (order_ == EmptyOrder::BufferFirst) {
        buffer_.clear();
        box_.empty();
    } else {
        box_.empty();
        buffer_.clear();
    }
}

}  // namespace beamlet::gui

#include "ComposerView.h"

#include "Notifier.h"
#include "Platform.h"
#include "TypingBox.h"

namespace beamlet::compose {

void ClipboardAdapter::setText(const std::string& text)
{
    clipboard_.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void NotifierAdapter::show()
{
    notifier_.show();
}

void copyToClipboard(const std::string& text, desktop::Clipboard& clipboard, desktop::Notifier& notifier)
{
    ClipboardAdapter clipboardPort(clipboard);
    NotifierAdapter notifierPort(notifier);
    handOff(text, clipboardPort, notifierPort);
}

ComposerView::ComposerView(TypingBox& box, desktop::Clipboard& clipboard, desktop::Notifier& notifier,
                           QObject* parent)
    : QObject(parent), box_(box), clipboard_(clipboard), notifier_(notifier)
{
    connect(&box_, &TypingBox::characterTyped, this, [this](char32_t c) { composer_.keyPress(c); });
    connect(&box_, &TypingBox::clearingKeyDown, this, &ComposerView::empty);
    connect(&box_, &TypingBox::clicked, this, &ComposerView::empty);
}

void ComposerView::getCode()
{
    copyToClipboard(composer_.codeBuffer(), clipboard_, notifier_);
}

void ComposerView::empty()
{
    if (alsoEmpty_)
        alsoEmpty_->empty();
    if (alsoEmpty_) {
        // The mini composer: its typing box first, then its buffer.
        box_.clear();
        composer_.empty();
    } else {
        composer_.empty();
        box_.clear();
    }
}

}  // namespace beamlet::compose

#pragma once
// A composer bound to its window: the typing box feeds the code buffer, and Get
// Code hands the buffer to the clipboard and shows the notification.
#include "Composer.h"

#include <QObject>
#include <QString>

namespace beamlet::desktop {
class Clipboard;
class Notifier;
}  // namespace beamlet::desktop

namespace beamlet::compose {

class TypingBox;

// Adapters from the composer's ports to the platform's clipboard and notifier.
class ClipboardAdapter final : public ClipboardPort {
public:
    explicit ClipboardAdapter(desktop::Clipboard& clipboard) : clipboard_(clipboard) {}
    void setText(const std::string& text) override;

private:
    desktop::Clipboard& clipboard_;
};

class NotifierAdapter final : public NotifierPort {
public:
    explicit NotifierAdapter(desktop::Notifier& notifier) : notifier_(notifier) {}
    void show() override;

private:
    desktop::Notifier& notifier_;
};

// The clipboard hand-off with the platform's services.
void copyToClipboard(const std::string& text, desktop::Clipboard& clipboard, desktop::Notifier& notifier);

class ComposerView : public QObject {
    Q_OBJECT
public:
    ComposerView(TypingBox& box, desktop::Clipboard& clipboard, desktop::Notifier& notifier,
                 QObject* parent = nullptr);

    // The mini composer empties the main composer first whenever it empties itself.
    void alsoEmpty(ComposerView* other) { alsoEmpty_ = other; }

    void getCode();
    void empty();

    const std::string& codeBuffer() const { return composer_.codeBuffer(); }
    QString codeText() const { return QString::fromLatin1(composer_.codeBuffer()); }
    TypingBox& box() const { return box_; }

private:
    TypingBox& box_;
    desktop::Clipboard& clipboard_;
    desktop::Notifier& notifier_;
    Composer composer_;
    ComposerView* alsoEmpty_ = nullptr;
};

}  // namespace beamlet::compose

#pragma once
// A composer: the typing box and its code buffer. Typed characters add their
// tokens to the buffer; Backspace, Delete and a click in the box empty both.
#include "core/CodeBuffer.h"

#include <QObject>
#include <QString>

namespace beamlet::widgets {
class TypingBox;
}

namespace beamlet::gui {

class Composer : public QObject {
    Q_OBJECT
public:
    // The main composer empties its buffer, then its box; the mini composer its
    // box, then its buffer, after whatever listens to emptying() has run.
    enum class EmptyOrder {
        BufferFirst,
        BoxFirst
    };

    Composer(widgets::TypingBox& box, EmptyOrder order, QObject* parent = nullptr);

    QString codeText() const;
    widgets::TypingBox& box() const { return box_; }

public slots:
    void empty();

signals:
    // Sent at the start of every emptying, before this composer's own texts go.
    void emptying();

private:
    widgets::TypingBox& box_;
    EmptyOrder order_;
    core::CodeBuffer buffer_;
};

}  // namespace beamlet::gui

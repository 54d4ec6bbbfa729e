#pragma once
// The visible typing box: an ordinary multi-line text box that also reports the
// three events the composer cares about, each before the text box acts on it.
#include <QPlainTextEdit>

namespace beamlet::widgets {

class TypingBox : public QPlainTextEdit {
    Q_OBJECT
public:
    TypingBox(const QString& objectName, QWidget* parent);

    // Empties the box, and tells screen readers which text went.
    void empty();

signals:
    // One per character delivered as typed text: keys, auto-repeats and each
    // character of an input-method commit.
    void characterTyped(char32_t codePoint);
    // Backspace or Delete went down (any modifiers, keypad too).
    void clearingKeyDown();
    // A left-button click in the box.
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Every paste (Ctrl+V, Shift+Insert, the menu's Paste, the middle button,
    // a drop) comes through these two; they insert plain text and add no token.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void reportText(const QString& text);
    bool leftPressed_ = false;
    // Delete and a click empty the box where a screen reader does not look
    // for a removal (it reads what Backspace removes): the box says it.
    bool sayRemoval_ = false;
};

}  // namespace beamlet::widgets

#include "widgets/TypingBox.h"

#include "widgets/Accessibility.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace beamlet::widgets {

TypingBox::TypingBox(const QString& objectName, QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(objectName);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setAccessibleName(tr("Typing box"));
    // What a sighted user learns from the code growing as they type.
    setAccessibleDescription(tr("Each character you type adds its code. Backspace, Delete or a click empties the "
                                "box and the code. Get Code copies the code."));
}

void TypingBox::empty()
{
    const QString removed = toPlainText();
    reportRemoval(*this, removed, [this] { clear(); });
    if (sayRemoval_ && !removed.isEmpty())
        announce(*this, tr("Removed: %1").arg(removed));
}

void TypingBox::reportText(const QString& text)
{
    for (const char32_t codePoint : text.toUcs4())
        emit characterTyped(codePoint);
}

void TypingBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        sayRemoval_ = key == Qt::Key_Delete;
        emit clearingKeyDown();
        sayRemoval_ = false;
    }
    // Shortcuts such as Ctrl+V type no character, whatever text the platform
    // attaches to them (a control character on X11, the letter elsewhere); Ctrl
    // with Alt is AltGr on some keyboards and does type.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shortcut =
        (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) || mods.testFlag(Qt::MetaModifier);
    if (!shortcut)
        reportText(event->text());
    QPlainTextEdit::keyPressEvent(event);
}

void TypingBox::inputMethodEvent(QInputMethodEvent* event)
{
    reportText(event->commitString());
    QPlainTextEdit::inputMethodEvent(event);
}

void TypingBox::mousePressEvent(QMouseEvent* event)
{
    leftPressed_ = event->button() == Qt::LeftButton;
    QPlainTextEdit::mousePressEvent(event);
}

void TypingBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = leftPressed_ && event->button() == Qt::LeftButton;
    leftPressed_ = false;
    QPlainTextEdit::mouseReleaseEvent(event);
    if (click) {
        sayRemoval_ = true;
        emit clicked();
        sayRemoval_ = false;
    }
}

bool TypingBox::canInsertFromMimeData(const QMimeData* source) const
{
    // Asked while the context menu is built, to enable Paste. With the clipboard
    // held by another program each question may wait seconds for its answer (none
    // at all from a program that has hung), so Paste stays enabled and finds out
    // when chosen.
    return source != nullptr;
}

void TypingBox::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || source == nullptr)
        return;
    // A clipboard that offers no formats (nobody owns it, or its owner never
    // answers) holds nothing to paste; QPlainTextEdit's own paste reads the first
    // format without checking and crashes. Asking once also lets an owner that
    // never answers cost one wait rather than one per format tried.
    if (source->formats().isEmpty())
        return;
    const QString text = source->text();
    if (!text.isEmpty())
        insertPlainText(text);
}

}  // namespace beamlet::widgets

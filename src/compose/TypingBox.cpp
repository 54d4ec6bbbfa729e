#include "TypingBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace beamlet::compose {

TypingBox::TypingBox(const QString& objectName, QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(objectName);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void TypingBox::reportText(const QString& text)
{
    for (const char32_t codePoint : text.toUcs4())
        emit characterTyped(codePoint);
}

void TypingBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        emit clearingKeyDown();
    // Shortcuts such as Ctrl+V deliver their control character as text too, as a
    // key press would; it has no token, so only the box changes.
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
    if (click)
        emit clicked();
}

}  // namespace beamlet::compose

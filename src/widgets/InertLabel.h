#pragma once
// A label that reacts to nothing, yet keeps the pointer's moves to itself, so a
// move over it never counts as a move over the bare surface behind it.
#include <QLabel>
#include <QMouseEvent>

namespace beamlet::widgets {

class InertLabel : public QLabel {
public:
    InertLabel(const QString& objectName, const QString& text, QWidget* parent) : QLabel(text, parent)
    {
        setObjectName(objectName);
        setTextFormat(Qt::PlainText);
        setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
};

}  // namespace beamlet::widgets

#pragma once
// The hover rule of the picture-drawn windows, written once: a control lights
// when the pointer moves over it and stays lit while the pointer is over any
// control; a move over the bare part of the group's surface (where none of its
// children lies) puts every light of the group out.
#include "widgets/LitButton.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace beamlet::widgets {

class HoverGroup : public QObject {
    Q_OBJECT
public:
    // Watches the surface, whose bare part puts the lights out.
    explicit HoverGroup(QWidget& surface);

    void join(LitButton& control);
    void clear();

signals:
    // The pointer moved over the bare surface.
    void movedOverSurface();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& surface_;
    QList<QPointer<LitButton>> members_;
};

}  // namespace beamlet::widgets

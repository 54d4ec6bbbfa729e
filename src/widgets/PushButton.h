#pragma once
// The command button of every window, drawn from its look: face and
// caption colours at rest and under the pointer, an optional icon beside or above
// the caption, "&" access keys, pressed, focused and disabled looks.
#include "widgets/LitButton.h"

#include <QColor>
#include <QPixmap>

namespace beamlet::widgets {

struct ButtonLook {
    QColor face;       // at rest
    QColor faceHover;  // under the pointer
    QColor edge;       // the border and the lower face
    QColor caption = QColor(0, 0, 0);
    QColor captionHover = QColor(0, 0, 255);
    bool bold = false;
    enum class IconPlace {
        Beside,
        Above
    } iconPlace = IconPlace::Beside;

    static ButtonLook blue();   // the main window's blue buttons
    static ButtonLook white();  // the OK buttons and the mini window's Get Code
    static ButtonLook green();  // the "+" button
};

// Lit while the pointer is over it. Its window's hover group puts it out too, on
// a move over the bare surface: Qt may miss its leave after a modal box.
class PushButton : public LitButton {
    Q_OBJECT
public:
    PushButton(const QString& objectName, const QString& caption, const ButtonLook& look, QWidget* parent);

    void setIconPicture(const QPixmap& pixmap, QSize logicalSize);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct ContentPlaces {
        QRect icon;
        QRect text;
        int textFlags;
    };
    void paintFace(QPainter& painter, bool enabled, bool down, bool hot) const;
    ContentPlaces placeContents() const;

    ButtonLook look_;
    QPixmap icon_;
    QSize iconSize_;
};

}  // namespace beamlet::widgets

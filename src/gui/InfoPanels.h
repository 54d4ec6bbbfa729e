#pragma once
// The About and Contact panels: a framed picture with an OK button; the Contact
// panel also carries the maker's contact details and five links.
#include "MakerData.h"

#include <QAbstractButton>
#include <QFrame>

namespace beamlet::widgets {
class PushButton;
}

namespace beamlet::gui {

// A one-line link that turns blue under the pointer and opens its target on a
// click; only a move over the bare Contact panel turns it back.
class LinkLabel : public QAbstractButton {
    Q_OBJECT
public:
    LinkLabel(const QString& objectName, const Link& link, QWidget* parent);
    const QUrl& target() const { return target_; }
    bool isHot() const { return hot_; }
    void setHot(bool hot);
    QColor textColour() const;

    QSize sizeHint() const override;
    static QColor hoverColour() { return QColor(0, 0, 255); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QUrl target_;
    bool hot_ = false;
};

class InfoPanel : public QFrame {
    Q_OBJECT
public:
    InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent);
    widgets::PushButton* okButton() const { return okButton_; }
    // The controls Tab stops at, in order.
    virtual QList<QWidget*> keyboardStops() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString picturePath_;
    QPixmap picture_;
    widgets::PushButton* okButton_;
};

class ContactPanel : public InfoPanel {
    Q_OBJECT
public:
    ContactPanel(const MakerData& maker, QWidget* parent);
    const QList<LinkLabel*>& links() const { return links_; }
    QList<QWidget*> keyboardStops() const override;

signals:
    void linkActivated(const QUrl& target);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QList<LinkLabel*> links_;
};

// The white of selected text, which the links and contact details rest in.
QColor restColour(const QPalette& palette);

}  // namespace beamlet::gui

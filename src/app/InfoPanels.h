#pragma once
// The About and Contact panels: a framed picture with an OK button; the Contact
// panel also carries the maker's contact labels and five link labels.
#include "MakerData.h"

#include <QFrame>
#include <QLabel>

namespace beamlet::desktop {
class LinkOpener;
class Picture;
class PushButton;
}  // namespace beamlet::desktop

namespace beamlet::app {

// A label that turns blue under the pointer and opens its target on a click; only
// a move over the bare Contact panel turns it back.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& objectName, const Link& link, QWidget* parent);
    const QUrl& target() const { return target_; }
    bool hot() const { return hot_; }
    void setHot(bool hot);

    static QColor restColour(const QPalette& palette);
    static QColor hoverColour() { return QColor(0, 0, 255); }

signals:
    void activated(const QUrl& target);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QUrl target_;
    bool hot_ = false;
    bool pressed_ = false;
};

class InfoPanel : public QFrame {
    Q_OBJECT
public:
    InfoPanel(const QString& objectName, const QString& picturePath, const QString& okName, QWidget* parent);
    desktop::PushButton* okButton() const { return ok_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    desktop::PushButton* ok_;

private:
    QString picturePath_;
    QPixmap picture_;
};

class ContactPanel : public InfoPanel {
    Q_OBJECT
public:
    ContactPanel(const MakerData& data, QWidget* parent);
    QList<LinkLabel*> links() const { return links_; }
    LinkLabel* link(const QString& objectName) const;

signals:
    void linkActivated(const QUrl& target);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QList<LinkLabel*> links_;
};

// Tahoma 8.25 pt italic where the desktop has it, a close sans serif otherwise.
QFont contactFont();

}  // namespace beamlet::app

#pragma once
// The two emoticon palettes: the main window's sliding pack panel with all 66
// tiles, a preview and the name of the entry clicked last, and the mini window's
// strip of the first 45 tiles. Both only report clicks; the host copies.
#include <QFrame>
#include <QPixmap>
#include <QWidget>

class QLabel;

namespace beamlet::desktop {
class PushButton;
class Picture;
}  // namespace beamlet::desktop

namespace beamlet::emoticons {

// One emoticon tile: the entry's picture scaled once, smoothly, to the tile's
// device pixels when first painted, so nothing is decoded before it is seen.
class Tile : public QWidget {
    Q_OBJECT
public:
    Tile(int number, QWidget* parent);
    int number() const { return number_; }
    const QPixmap& scaled() const { return scaled_; }

signals:
    void clicked(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int number_;
    QPixmap scaled_;
    bool pressed_ = false;
};

// An entry's picture stretched to a size in logical pixels, crisp at the given ratio.
QPixmap scaledPicture(int number, QSize size, qreal devicePixelRatio);

class PackPanel : public QFrame {
    Q_OBJECT
public:
    explicit PackPanel(QWidget* parent);

    // A tile click: preview and name first; the host then copies the grid text.
    void showEntry(int number);

    desktop::PushButton* okButton() const { return ok_; }
    QLabel* nameLabel() const { return name_; }
    desktop::Picture* preview() const { return preview_; }
    int previewEntry() const { return previewEntry_; }
    Tile* tile(int number) const;

signals:
    void tileClicked(int number);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* tiles_;
    desktop::Picture* preview_;
    QLabel* name_;
    desktop::PushButton* ok_;
    int previewEntry_ = 1;
};

class MiniPalette : public QFrame {
    Q_OBJECT
public:
    explicit MiniPalette(QWidget* parent);
    Tile* tile(int number) const;

signals:
    void tileClicked(int number);
};

}  // namespace beamlet::emoticons

#pragma once
// The two emoticon palettes: the main window's sliding pack panel with all 66
// tiles, a preview and the name of the entry clicked last, and the mini window's
// strip of the first 45 tiles. Both only report which tile was clicked.
#include "widgets/Panel.h"

class QLabel;

namespace beamlet::widgets {
class Picture;
class PictureButton;
class PushButton;
}  // namespace beamlet::widgets

namespace beamlet::gui {

class TileGrid;

class PackPanel : public widgets::Panel {
    Q_OBJECT
public:
    explicit PackPanel(QWidget* parent);

    // Shows an entry's picture in the preview and its name beside it.
    void showEntry(int number);

    widgets::PushButton* okButton() const override { return okButton_; }
    QList<QWidget*> tiles() const;
    // The controls Tab stops at, in order: the tiles (one stop), then OK.
    QList<QWidget*> keyboardStops() const override;
    // The control that takes the focus when the panel opens: the tile last framed.
    QWidget* entryStop() const override;
    // Tab reaches the tiles only while their area can be seen whole.
    QList<QWidget*> stopsReachedByItself() const override { return tiles(); }
    void updateReach(const std::function<bool(const QWidget&)>& seenWhole) override;
    QLabel* nameLabel() const { return nameLabel_; }
    widgets::Picture* preview() const { return preview_; }

signals:
    void tileClicked(int number);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void addCaption();
    void addTiles();
    void addInstructions();

    widgets::Picture* preview_;
    QLabel* nameLabel_;
    widgets::PushButton* okButton_;
    QWidget* tileArea_;
    TileGrid* tiles_;
};

class MiniPalette : public QFrame {
    Q_OBJECT
public:
    explicit MiniPalette(QWidget* parent);
    QList<QWidget*> tiles() const;

signals:
    void tileClicked(int number);

private:
    TileGrid* tiles_;
};

}  // namespace beamlet::gui

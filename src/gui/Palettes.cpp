#include "gui/Palettes.h"

#include "core/Catalogue.h"
#include "core/Layout.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/Fonts.h"
#include "widgets/Picture.h"
#include "widgets/PictureButton.h"
#include "widgets/Placement.h"
#include "widgets/PushButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace beamlet::gui {

namespace layout = core::layout;

namespace {

// The caption under the preview before any tile is clicked. It is not entry 1's
// name ("Big Smiley Face") and is meant not to be: the panel has always opened
// with this wording.
constexpr char kFirstPreviewCaption[] = "Big Smile Smiley Face";

QString entryName(int number)
{
    const std::string_view name = core::entry(number).name;
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

}  // namespace

// Tiles 1..count in rows of 15, each reporting its number when clicked. From the
// keyboard the grid is one stop of the Tab chain: the arrow keys move the focus
// from tile to tile, and Space or Enter copies the focused one as a click does.
class TileGrid : public QObject {
public:
    template <typename Palette>
    TileGrid(Palette& palette, QWidget& area, int count, int size, int pitch) : QObject(&area)
    {
        for (int number = 1; number <= count; ++number) {
            auto* tile = new widgets::PictureButton(QStringLiteral("tile%1").arg(number),
                                                    widgets::emoticonPicture(number), &area);
            // Items of a list, so that a screen reader says where each stands ("3 of 66").
            widgets::markAccessible(*tile, QAccessible::ListItem, entryName(number));
            tile->setCursor(Qt::ArrowCursor);
            tile->installEventFilter(this);
            widgets::place(*tile, layout::tileRect(number, size, pitch));
            QObject::connect(tile, &QAbstractButton::clicked, &palette,
                             [&palette, number] { emit palette.tileClicked(number); });
            tiles_.push_back(tile);
        }
        setReachable(true);
    }

    QList<QWidget*> tiles() const { return QList<QWidget*>(tiles_.cbegin(), tiles_.cend()); }
    QWidget* current() const { return tiles_[current_]; }

    // Whether Tab stops at the grid (its current tile) at all.
    void setReachable(bool reachable) { tiles_[current_]->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || watched != tiles_[current_])
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            tiles_[current_]->click();
            return true;
        case Qt::Key_Left:
            return moveBy(-1);
        case Qt::Key_Right:
            return moveBy(1);
        case Qt::Key_Up:
            return moveBy(-layout::kTilesPerRow);
        case Qt::Key_Down:
            return moveBy(layout::kTilesPerRow);
        default:
            return false;
        }
    }

private:
    bool moveBy(int step)
    {
        const int next = current_ + step;
        if (next >= 0 && next < int(tiles_.size())) {
            tiles_[current_]->setFocusPolicy(Qt::NoFocus);
            current_ = next;
            tiles_[current_]->setFocusPolicy(Qt::TabFocus);
            tiles_[current_]->setFocus(Qt::TabFocusReason);
        }
        return true;  // at the grid's edge the focus stays put
    }

    std::vector<widgets::PictureButton*> tiles_;
    int current_ = 0;
};

PackPanel::PackPanel(QWidget* parent)
    : Panel(parent),
      preview_(new widgets::Picture(QStringLiteral("previewPicture"), widgets::emoticonPicture(1), this)),
      nameLabel_(new QLabel(tr(kFirstPreviewCaption), this)),
      okButton_(new widgets::PushButton(QStringLiteral("packOkButton"), QStringLiteral("&OK"),
                                        widgets::ButtonLook::white(), this))
{
    // Read out as a box is when the focus enters it: its title and its instructions.
    widgets::markAccessible(*this, QAccessible::Dialog, tr("Emotions"));
    // The preview is named after the entry it shows.
    widgets::markAccessible(*preview_, QAccessible::Graphic, entryName(1));
    setObjectName(QStringLiteral("packPanel"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    resize(layout::kPackPanel.w, layout::kPackPanel.h);

    addCaption();
    addTiles();
    widgets::place(*preview_, layout::kPackPreview);
    nameLabel_->setObjectName(QStringLiteral("emoticonNameLabel"));
    nameLabel_->setFont(widgets::windowFont(widgets::Face::SansSerif, 9.75, true));
    nameLabel_->move(layout::kPackName.x, layout::kPackName.y);
    nameLabel_->adjustSize();
    nameLabel_->setBuddy(preview_);  // the preview's caption, not words of the panel's own

    addInstructions();
    widgets::place(*okButton_, layout::kPackOkButton);
}

void PackPanel::addCaption()
{
    auto* caption = new QLabel(tr("Emotions"), this);
    caption->setObjectName(QStringLiteral("packCaption"));
    caption->setFont(widgets::windowFont(widgets::Face::SansSerif, 9.75, true));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    widgets::place(*caption, layout::kPackCaption);
}

// The tiles, in an area of their own that a screen reader reads as one list.
void PackPanel::addTiles()
{
    tileArea_ = new QWidget(this);
    tileArea_->setObjectName(QStringLiteral("packTileArea"));
    widgets::markAccessible(*tileArea_, QAccessible::List, tr("Big emoticons"));
    widgets::place(*tileArea_, layout::kPackTileArea);
    tiles_ = new TileGrid(*this, *tileArea_, core::kEntryCount, layout::kPackTileSize, layout::kPackTilePitch);
}

void PackPanel::addInstructions()
{
    auto* instructions = new QLabel(this);
    instructions->setObjectName(QStringLiteral("packInstructions"));
    instructions->setWordWrap(true);
    instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    instructions->setText(QStringLiteral("Select a emotion and goto facebook chat box then press {Crtl} + {V} on "
                                         "keyboard and  press {Enter} on Keyboard!"));
    widgets::place(*instructions, layout::kPackInstructions);
}

void PackPanel::showEntry(int number)
{
    preview_->setPath(widgets::emoticonPicture(number));
    preview_->setAccessibleName(entryName(number));
    nameLabel_->setText(entryName(number));
    nameLabel_->adjustSize();
}

QList<QWidget*> PackPanel::tiles() const
{
    return tiles_->tiles();
}

QList<QWidget*> PackPanel::keyboardStops() const
{
    return tiles() << okButton_;
}

QWidget* PackPanel::entryStop() const
{
    return tiles_->current();
}

void PackPanel::updateReach(const std::function<bool(const QWidget&)>& seenWhole)
{
    tiles_->setReachable(seenWhole(*tileArea_));
}

void PackPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawLine(0, layout::kPackLineY, layout::kPackLineRight, layout::kPackLineY);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    const core::Rect strip = layout::kPackInfoStrip;
    painter.drawRect(strip.x, strip.y, strip.w - 1, strip.h - 1);
}

MiniPalette::MiniPalette(QWidget* parent) : QFrame(parent)
{
    widgets::markAccessible(*this, QAccessible::List, tr("Big emoticons"));
    setObjectName(QStringLiteral("miniPalette"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    tiles_ = new TileGrid(*this, *this, core::kMiniEntryCount, layout::kMiniTileSize, layout::kMiniTilePitch);
}

QList<QWidget*> MiniPalette::tiles() const
{
    return tiles_->tiles();
}

}  // namespace beamlet::gui

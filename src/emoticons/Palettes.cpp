#include "Palettes.h"

#include "Accessibility.h"
#include "AssetPaths.h"
#include "Catalogue.h"
#include "DesignRect.h"
#include "Fonts.h"
#include "Picture.h"
#include "PushButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace beamlet::emoticons {

QPixmap scaledPicture(int number, QSize size, qreal devicePixelRatio)
{
    const QImage source = assets::image(assets::emoticonPath(number));
    if (source.isNull())
        return {};
    QPixmap scaled = QPixmap::fromImage(
        source.scaled(size * devicePixelRatio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
}

Tile::Tile(int number, QWidget* parent) : QWidget(parent), number_(number)
{
    setObjectName(QStringLiteral("Image%1").arg(number));
    const std::string_view name = entry(number).name;
    desktop::markAccessible(*this, QAccessible::Button, QString::fromUtf8(name.data(), qsizetype(name.size())));
    setCursor(Qt::ArrowCursor);
}

void Tile::paintEvent(QPaintEvent*)
{
    const qreal dpr = devicePixelRatioF();
    if (scaled_.isNull() || !qFuzzyCompare(scaled_.devicePixelRatio(), dpr))
        scaled_ = scaledPicture(number_, size(), dpr);
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaled_);
}

void Tile::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void Tile::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked(number_);
}

PackPanel::PackPanel(QWidget* parent)
    : QFrame(parent),
      tiles_(new QWidget(this)),
      preview_(new desktop::Picture(QStringLiteral("IMGEMOVIEW"), this)),
      name_(new QLabel(this)),
      ok_(new desktop::PushButton(QStringLiteral("cmdemook"), QStringLiteral("&OK"), desktop::ButtonLook::white(), this))
{
    setObjectName(QStringLiteral("picemotionpack"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    resize(design::kPackPanel.w, design::kPackPanel.h);

    auto* caption = new QLabel(tr("Emotions"), this);
    caption->setObjectName(QStringLiteral("lblEmotionCaption"));
    caption->setFont(desktop::designFont(desktop::Face::SansSerif, 9.75, true));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setGeometry(design::qrect(design::kPackCaption));

    tiles_->setObjectName(QStringLiteral("Picture1"));
    tiles_->setGeometry(design::qrect(design::kPackTiles));
    for (int n = 1; n <= kEntryCount; ++n) {
        auto* tile = new Tile(n, tiles_);
        const design::Rect r = design::tileRect(n, design::kPackTileSize, design::kPackTilePitch);
        tile->setGeometry(r.x, r.y, r.w, r.h);
        connect(tile, &Tile::clicked, this, &PackPanel::tileClicked);
    }

    preview_->setGeometry(design::qrect(design::kPackPreview));
    name_->setObjectName(QStringLiteral("LBLEMOINFO"));
    name_->setFont(desktop::designFont(desktop::Face::SansSerif, 9.75, true));
    name_->setText(tr("Big Smile Smiley Face"));
    name_->move(design::kPackName.x, design::kPackName.y);
    name_->adjustSize();

    auto* help = new QLabel(this);
    help->setObjectName(QStringLiteral("Label2"));
    help->setFont(desktop::designFont(desktop::Face::SansSerif, 8.25));
    help->setWordWrap(true);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help->setText(QStringLiteral("Select a emotion and goto facebook chat box then press {Crtl} + {V} on keyboard and  press {Enter} on Keyboard!"));
    help->setGeometry(design::qrect(design::kPackHelp));

    ok_->setGeometry(design::qrect(design::kPackOk));
}

void PackPanel::showEntry(int number)
{
    previewEntry_ = number;
    preview_->setPicture(scaledPicture(number, preview_->size(), devicePixelRatioF()));
    const std::string_view name = entry(number).name;
    name_->setText(QString::fromUtf8(name.data(), qsizetype(name.size())));
    name_->adjustSize();
}

Tile* PackPanel::tile(int number) const
{
    return tiles_->findChild<Tile*>(QStringLiteral("Image%1").arg(number));
}

void PackPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    // The preview shows entry 1 until a tile is clicked; decoded when first seen.
    if (preview_->picture().isNull())
        preview_->setPicture(scaledPicture(previewEntry_, preview_->size(), devicePixelRatioF()));
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawLine(0, design::kPackLineY, design::kPackLineRight, design::kPackLineY);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    const design::Rect strip = design::kPackInfoStrip;
    painter.drawRect(strip.x, strip.y, strip.w - 1, strip.h - 1);
}

MiniPalette::MiniPalette(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picemopackminipro"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    for (int n = 1; n <= kMiniEntryCount; ++n) {
        auto* tile = new Tile(n, this);
        const design::Rect r = design::tileRect(n, design::kMiniTileSize, design::kMiniTilePitch);
        tile->setGeometry(r.x, r.y, r.w, r.h);
        connect(tile, &Tile::clicked, this, &MiniPalette::tileClicked);
    }
}

Tile* MiniPalette::tile(int number) const
{
    return findChild<Tile*>(QStringLiteral("Image%1").arg(number));
}

}  // namespace beamlet::emoticons

#include "Notifier.h"

#include "AssetPaths.h"
#include "DesignGeometry.h"
#include "Picture.h"
#include "Stepper.h"
#include "ToneFile.h"

#include <QCloseEvent>
#include <QFile>
#include <QResource>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QtMath>

namespace beamlet::desktop {
namespace {

int toPixels(int twipsValue)
{
    return qRound(twipsValue / double(design::kTwipsPerPixel));
}

// The embedded sound, read in place: no copy of its half megabyte per arrival.
QByteArray soundBytes()
{
    const QResource resource(QString::fromLatin1(assets::kSound));
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), qsizetype(resource.size()));
    QFile file(resource.absoluteFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Notifier::Notifier(Platform& platform, QObject* parent)
    : QObject(parent),
      platform_(platform),
      stepper_(new Stepper([this] {
          tickAnimation();
          return model_.animating();
      }, this))
{
    fileWriter_.setMaxThreadCount(1);
    rest_.setInterval(NotificationModel::kRestMs);
    rest_.setTimerType(Qt::PreciseTimer);  // the rest is five seconds, not a little less
    connect(&rest_, &QTimer::timeout, this, &Notifier::tickRest);
    screenArea_ = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    };
}

Notifier::~Notifier()
{
    fileWriter_.waitForDone();
    delete window_;
}

void Notifier::show()
{
    if (model_.loaded()) {
        // Showing it once more changes nothing of the cycle.
        return;
    }
    const QRect area = screenArea_();
    const int left = design::twips(area.x() + area.width() - design::kNotificationRightGap);
    const int top = design::twips(area.y() + area.height() - design::kNotificationBottomGap);
    model_.show(left, top);
    ++cycle_;
    load();
    stepper_->wake(true);
    emit loaded();
}

void Notifier::load()
{
    window_ = new NotificationWindow(*this);
    window_->move(toPixels(model_.left()), toPixels(model_.top()));
    platform_.windows->setTopMost(*window_, -1);
    platform_.windows->setOpacity(*window_, static_cast<unsigned char>(model_.opacity()));
    window_->show();
}

void Notifier::unload()
{
    rest_.stop();
    stepper_->wake(false);
    platform_.sound->stop();
    if (window_) {
        window_->hide();
        window_->deleteLater();
    }
    window_ = nullptr;
    emit unloaded();
}

void Notifier::apply()
{
    if (!window_)
        return;
    window_->move(toPixels(model_.left()), toPixels(model_.top()));
    platform_.windows->setOpacity(*window_, static_cast<unsigned char>(model_.opacity()));
}

void Notifier::tickAnimation()
{
    const int opacityBefore = model_.opacity();
    const NotificationModel::Events events = model_.tickAnimation();
    if (events.unloaded) {
        unload();
        return;
    }
    if (window_) {
        window_->move(toPixels(model_.left()), toPixels(model_.top()));
        if (model_.opacity() != opacityBefore)
            platform_.windows->setOpacity(*window_, static_cast<unsigned char>(model_.opacity()));
    }
    if (events.arrived) {
        rest_.start();
        // The sound file is written anew at every arrival, and the sound plays
        // once it is there; without a writable folder or a player the cycle
        // simply goes on silently.
        const QStringList folders = toneFolders();
        fileWriter_.start([this, folders, cycle = cycle_] {
            const QString path = writeTone(soundBytes(), folders);
            QMetaObject::invokeMethod(this, [this, cycle, path] { soundWrittenFor(cycle, path); }, Qt::QueuedConnection);
        });
        emit arrived();
    }
}

void Notifier::soundWrittenFor(quint64 cycle, const QString& path)
{
    lastSoundFile_ = path;
    // A cycle sent away before its file was written stays silent.
    if (!path.isEmpty() && cycle == cycle_ && model_.loaded())
        platform_.sound->play(soundBytes());
    emit soundWritten(path);
}

void Notifier::tickRest()
{
    model_.tickRest();
    stepper_->wake(model_.animating());
}

void Notifier::closeClicked()
{
    model_.closeClicked();
    stepper_->wake(model_.animating());
}

NotificationWindow::NotificationWindow(Notifier& owner)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      owner_(owner),
      closeRest_(new Picture(QStringLiteral("IMGCLOSEDEACTIVE"), this)),
      closeHot_(new Picture(QStringLiteral("IMGACTIVECLOSE"), this))
{
    setObjectName(QStringLiteral("FRMMSGZ"));
    setWindowTitle(QStringLiteral("Orvane Beamlet"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setFixedSize(design::kNotification.w, design::kNotification.h);
    const qreal dpr = devicePixelRatioF();
    background_ = assets::pixmap(QString::fromLatin1(assets::kNotifyBackground), dpr);

    const design::Rect close = design::kNotificationClose;
    for (Picture* picture : {closeRest_, closeHot_})
        picture->setGeometry(close.x, close.y, close.w, close.h);
    closeRest_->setPicture(assets::pixmap(QString::fromLatin1(assets::kNotifyCloseRest), dpr));
    closeHot_->setPicture(assets::pixmap(QString::fromLatin1(assets::kNotifyCloseHot), dpr));
    closeHot_->makeActionable(tr("Close notification"));
    closeHot_->raise();
    closeHot_->hide();

    connect(closeRest_, &Picture::moved, closeHot_, &QWidget::show);
    connect(closeHot_, &Picture::clicked, &owner_, &Notifier::closeClicked);
}

void NotificationWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(120, 170, 230));
    else
        painter.drawPixmap(0, 0, background_);  // drawn from the corner, not stretched
}

void NotificationWindow::mouseMoveEvent(QMouseEvent*)
{
    closeHot_->hide();
}

void NotificationWindow::closeEvent(QCloseEvent* event)
{
    // A close by the window system sends it down like its own close control.
    event->ignore();
    owner_.closeClicked();
}

}  // namespace beamlet::desktop

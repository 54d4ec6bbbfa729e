// Linked into the start-up benchmark's executables only (ours, built from the
// program's own main.cpp, and the bare reference). When BEAMLET_BENCH_FIRST_PAINT
// names a file, it records the monotonic time at which the first top-level window
// has been painted, and the memory high-water mark shortly after, then ends the
// process. Without the variable it does nothing.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <ctime>

namespace {

qint64 monotonicNs()
{
    // CLOCK_MONOTONIC, the clock the runner reads before it starts the process.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// "VmHWM:  12345 kB" -> 12345
qint64 statusKiB(const QByteArray& status, const char* field)
{
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// How long after the first paint the memory is read: lazy work started by the
// first show (deferred loads, a late layout) belongs to "after start".
constexpr int kSettleMs = 500;

class FirstPaintProbe final : public QObject {
public:
    FirstPaintProbe(QString target, QObject* parent) : QObject(parent), target_(std::move(target)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || paintEventNs_ != 0)
            return false;
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow())
            return false;
        paintEventNs_ = monotonicNs();
        // Queued: runs once this paint pass, the children and the flush are done.
        QTimer::singleShot(0, this, [this] {
            paintedNs_ = monotonicNs();
            QTimer::singleShot(kSettleMs, this, &FirstPaintProbe::report);
        });
        return false;
    }

private:
    void report()
    {
        QFile statusFile(QStringLiteral("/proc/self/status"));
        const QByteArray status = statusFile.open(QIODevice::ReadOnly) ? statusFile.readAll() : QByteArray();
        QFile out(target_);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            out.write(QStringLiteral("paint_event_ns=%1\npainted_ns=%2\nhwm_kib=%3\nrss_kib=%4\n"
                                     "anon_kib=%5\nfile_kib=%6\nshmem_kib=%7\n")
                          .arg(paintEventNs_)
                          .arg(paintedNs_)
                          .arg(statusKiB(status, "VmHWM:"))
                          .arg(statusKiB(status, "VmRSS:"))
                          .arg(statusKiB(status, "RssAnon:"))
                          .arg(statusKiB(status, "RssFile:"))
                          .arg(statusKiB(status, "RssShmem:"))
                          .toLatin1());
            out.close();
        }
        // The same abrupt end as the program's own close.
        std::_Exit(0);
    }

    QString target_;
    qint64 paintEventNs_ = 0;
    qint64 paintedNs_ = 0;
};

void installProbe()
{
    const QString target = qEnvironmentVariable("BEAMLET_BENCH_FIRST_PAINT");
    if (target.isEmpty())
        return;
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintProbe(target, app));
}

}  // namespace

// Runs inside the QApplication constructor, so neither main() needs to know.
Q_COREAPP_STARTUP_FUNCTION(installProbe)

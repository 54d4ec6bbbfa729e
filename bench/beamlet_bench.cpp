// In-process benchmarks of the running program on a real X display: typing,
// code buffer growth, copy latency, animation cadence while typing, and memory
// over many copy and notification cycles. Each mode prints one JSON object per
// line on stdout; bench/run_bench.py runs the modes, compares and judges.
//
//   beamlet_bench typing  [--runs N] [--chars N]
//   beamlet_bench growth  [--runs N]
//   beamlet_bench copy    [--runs N]
//   beamlet_bench cadence [--runs N] [--type-ms N]
//   beamlet_bench memory  [--cycles N] [--sample-every N] [--what both|getcode|tile]
#include "core/Catalogue.h"
#include "core/CodeTable.h"
#include "core/PanelModel.h"
#include "core/Stepping.h"
#include "gui/Composer.h"
#include "gui/MainWindow.h"
#include "gui/MakerData.h"
#include "gui/NotificationWindow.h"
#include "gui/Notifier.h"
#include "gui/Palettes.h"
#include "platform/DesktopServices.h"
#include "platform/System.h"
#include "widgets/Accessibility.h"
#include "widgets/Assets.h"
#include "widgets/TypingBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

using namespace beamlet;

namespace {

// ---------------------------------------------------------------- helpers

QElapsedTimer& benchClock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

qint64 nowNs()
{
    return benchClock().nsecsElapsed();
}

void emitLine(const QString& json)
{
    std::fputs(json.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString jsonNumbers(const std::vector<double>& values)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'g', 8);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

qint64 statusKiB(const char* field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Lets the event loop run for a while: paints, X replies, deferred deletes.
void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Keys enter through the window system interface, as the platform plugin would
// deliver them: shortcut matching, focus routing and the widget's own handling.
int keyFor(char c)
{
    if (c == '\n')
        return Qt::Key_Return;
    if (c >= 'a' && c <= 'z')
        return Qt::Key_A + (c - 'a');
    return static_cast<unsigned char>(c);  // Qt's key codes of printable ASCII are the characters
}

void typeKey(QWindow* window, char c)
{
    const int key = keyFor(c);
    const QString text = c == '\n' ? QStringLiteral("\r") : QString(QLatin1Char(c));
    const Qt::KeyboardModifiers mods = (c >= 'A' && c <= 'Z') ? Qt::ShiftModifier : Qt::NoModifier;
    qt_handleKeyEvent(window, QEvent::KeyPress, key, mods, text);
    qt_handleKeyEvent(window, QEvent::KeyRelease, key, mods, text);
}

// A left click in the middle of a widget, through its window like a real one.
void click(QWidget* target)
{
    static ulong timestamp = 1000;
    timestamp += 2000;  // never a double click
    QWidget* top = target->window();
    const QPoint local = target->mapTo(top, target->rect().center());
    const QPoint global = top->mapToGlobal(local);
    QWindow* window = top->windowHandle();
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::NoButton, QEvent::MouseMove, Qt::NoModifier,
                        int(timestamp));
    qt_handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, Qt::NoModifier,
                        int(timestamp + 1));
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, Qt::NoModifier,
                        int(timestamp + 2));
}

// Chat-like text: words, numbers, punctuation, a line break after some sentences.
std::string makeText(int length, unsigned seed)
{
    static const char* const words[] = {"hello",   "Hi",    "there", "how",     "are",   "you",    "doing",    "today",
                                        "I",       "am",    "fine",  "thanks",  "see",   "at",     "8pm",      "lol",
                                        "OK",      "great", "news",  "big",     "smile", "100%",   "cool",     "what's",
                                        "up",      "yes",   "no",    "maybe",   "later", "Friday", "(really)", "#1",
                                        "mail@me", "2012",  "wow",   "Beamlet", "[ok]",  "a+b=c",  "{yes}",    "~",
                                        "hmm",     "Zoo",   "quick", "brown",   "fox",   "jumps"};
    std::string text;
    unsigned state = seed;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7fff;
    };
    int inSentence = 0;
    while (int(text.size()) < length) {
        text += words[next() % (sizeof words / sizeof *words)];
        if (++inSentence > 5 && next() % 4 == 0) {
            text += ".!?"[next() % 3];
            text += next() % 2 ? '\n' : ' ';
            inSentence = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(size_t(length));
    return text;
}

std::size_t expectedBufferLength(const std::string& text)
{
    std::size_t n = 0;
    for (char c : text)
        n += core::tokenFor(static_cast<unsigned char>(c)) ? core::kTokenLength : 0;
    return n;
}

void showAndWait(QWidget& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 10000))
        std::fprintf(stderr, "beamlet_bench: %s was not exposed\n", qPrintable(window.windowTitle()));
}

// The system's player, counting the chimes it is asked to play.
class CountingPlayer final : public platform::SoundPlayer {
public:
    explicit CountingPlayer(int& plays) : plays_(plays) {}
    void play(const QByteArray& wave) override
    {
        ++plays_;
        real_->play(wave);
    }
    void stop() override { real_->stop(); }

private:
    int& plays_;
    std::unique_ptr<platform::SoundPlayer> real_ = platform::native::makeSoundPlayer();
};

// The program as main.cpp builds it, on a given platform; its chimes are counted.
struct Program {
    Program() : notifier(desktop.services), window(desktop.services, notifier, gui::MakerData::embedded())
    {
        showAndWait(window);
        settle(200);
    }

    QWindow* handle() { return window.windowHandle(); }
    QAbstractButton* button(const char* name) { return window.findChild<QAbstractButton*>(QLatin1String(name)); }

    void openPack()
    {
        click(button("emotionsButton"));
        waitFor([this] { return !window.panels().animating(); }, 10000);
        settle(100);
    }

    // Sends the notification down and away at once, whatever phase it is in.
    void dismissNotification()
    {
        if (notifier.model().loaded()) {
            notifier.close();
            while (notifier.model().loaded())
                notifier.tick();
        }
        settle(30);
    }

    QPlainTextEdit& typingBox() { return *window.findChild<QPlainTextEdit*>(QStringLiteral("typingBox")); }
    QAbstractButton* tile(int number)
    {
        return window.findChild<QAbstractButton*>(QStringLiteral("tile%1").arg(number));
    }

    int chimes = 0;
    platform::DesktopServices desktop{&widgets::chimeBytes, std::make_unique<CountingPlayer>(chimes)};
    gui::Notifier notifier;
    gui::MainWindow window;
};

std::map<QString, QString> parseArgs(int argc, char* argv[])
{
    std::map<QString, QString> args;
    for (int i = 2; i + 1 < argc; i += 2)
        args[QString::fromLocal8Bit(argv[i])] = QString::fromLocal8Bit(argv[i + 1]);
    return args;
}

int intArg(const std::map<QString, QString>& args, const char* name, int fallback)
{
    const auto it = args.find(QLatin1String(name));
    return it == args.end() ? fallback : it->second.toInt();
}

// ---------------------------------------------------------------- typing

// The same keystrokes into the main typing box and into a bare QPlainTextEdit of
// the same size, alternating; the time is key event in to event handled (the
// code buffer is updated inside it). Painting runs between keys, untimed.
int runTyping(const std::map<QString, QString>& args)
{
    const int runs = intArg(args, "--runs", 21);
    const int chars = intArg(args, "--chars", 10000);
    Program program;
    QPlainTextEdit bare;
    bare.setWindowTitle(QStringLiteral("bare QPlainTextEdit"));
    bare.resize(program.typingBox().size());
    bare.move(0, 0);
    showAndWait(bare);
    bare.setFocus();
    program.typingBox().setFocus();
    settle(200);

    const std::string text = makeText(chars, 20120101u);
    const std::size_t wantBuffer = expectedBufferLength(text);

    const auto typeAll = [&](QWindow* window) {
        qint64 total = 0;
        for (int i = 0; i < chars; ++i) {
            const qint64 t0 = nowNs();
            typeKey(window, text[size_t(i)]);
            total += nowNs() - t0;
            if (i % 16 == 15)
                QCoreApplication::processEvents();
        }
        return double(total) / chars / 1000.0;  // microseconds per character
    };
    const auto ours = [&] {
        program.window.composer().empty();
        settle(20);
        const double us = typeAll(program.handle());
        const bool ok = size_t(program.window.composer().codeText().size()) == wantBuffer
            && program.typingBox().toPlainText().size() == chars;
        return std::make_pair(us, ok);
    };
    const auto reference = [&] {
        bare.clear();
        settle(20);
        const double us = typeAll(bare.windowHandle());
        return std::make_pair(us, bare.toPlainText().size() == chars);
    };

    for (int run = 0; run < runs; ++run) {
        std::pair<double, bool> a, b;
        if (run % 2 == 0) {
            a = ours();
            b = reference();
        } else {
            b = reference();
            a = ours();
        }
        emitLine(QStringLiteral("{\"bench\":\"typing\",\"run\":%1,\"ours_us\":%2,\"bare_us\":%3,\"ok\":%4}")
                     .arg(run)
                     .arg(a.first, 0, 'f', 4)
                     .arg(b.first, 0, 'f', 4)
                     .arg(a.second && b.second ? QStringLiteral("true") : QStringLiteral("false")));
    }
    return 0;
}

// ---------------------------------------------------------------- growth

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// What the first write to a page the process never touched costs here: on a
// virtual machine that hands out memory lazily it can dominate large buffers.
double firstTouchMicrosPerPage()
{
    constexpr std::size_t kBytes = 16u << 20;
    const long page = sysconf(_SC_PAGESIZE);
    void* memory = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return -1;
    auto* bytes = static_cast<volatile char*>(memory);
    const qint64 t0 = nowNs();
    for (std::size_t i = 0; i < kBytes; i += std::size_t(page))
        bytes[i] = 1;
    const qint64 elapsed = nowNs() - t0;
    munmap(memory, kBytes);
    return elapsed / 1000.0 / double(kBytes / std::size_t(page));
}

// Characters typed into a composer, from empty, through the typing box's own
// character signal (the text box itself is the typing benchmark's business).
// Beside it, as the machine's floor, the same tokens appended to a plain
// std::string from empty.
int runGrowth(const std::map<QString, QString>& args)
{
    const int runs = intArg(args, "--runs", 21);
    const int sizes[] = {1000, 10000, 100000, 1000000};
    constexpr int kTokensPerSize = 1000000;

    std::vector<char32_t> codes;
    std::vector<std::string_view> tokens;
    for (char32_t c = 32; c < 127; ++c) {
        if (const auto token = core::tokenFor(c)) {
            codes.push_back(c);
            tokens.push_back(*token);
        }
    }

    for (int run = 0; run < runs; ++run) {
        std::vector<double> perToken, plainPerToken, faultsPerThousand;
        bool ok = true;
        for (int size : sizes) {
            const int reps = kTokensPerSize / size;
            qint64 total = 0;
            long faults = 0;
            for (int rep = 0; rep < reps; ++rep) {
                // A new composer each time: the buffer grows from nothing.
                auto* box = new widgets::TypingBox(QStringLiteral("typingBox"), nullptr);
                auto* composer = new gui::Composer(*box, gui::Composer::EmptyOrder::BufferFirst);
                const long f0 = minorFaults();
                const qint64 t0 = nowNs();
                for (int k = 0; k < size; ++k)
                    emit box->characterTyped(codes[size_t(k) % codes.size()]);
                total += nowNs() - t0;
                faults += minorFaults() - f0;
                ok = ok && size_t(composer->codeText().size()) == size_t(size) * core::kTokenLength;
                delete composer;
                delete box;
            }
            qint64 plainTotal = 0;
            for (int rep = 0; rep < reps; ++rep) {
                std::string buffer;
                const qint64 t0 = nowNs();
                for (int k = 0; k < size; ++k)
                    buffer.append(tokens[size_t(k) % tokens.size()]);
                plainTotal += nowNs() - t0;
                ok = ok && buffer.size() == size_t(size) * core::kTokenLength;
            }
            perToken.push_back(double(total) / kTokensPerSize);
            plainPerToken.push_back(double(plainTotal) / kTokensPerSize);
            faultsPerThousand.push_back(double(faults) * 1000.0 / kTokensPerSize);
        }
        emitLine(QStringLiteral("{\"bench\":\"growth\",\"run\":%1,\"sizes\":[1000,10000,100000,1000000],"
                                "\"ns_per_token\":%2,\"plain_ns_per_token\":%3,\"faults_per_1000_tokens\":%4,"
                                "\"first_touch_us_per_page\":%5,\"ok\":%6}")
                     .arg(run)
                     .arg(jsonNumbers(perToken), jsonNumbers(plainPerToken), jsonNumbers(faultsPerThousand))
                     .arg(firstTouchMicrosPerPage(), 0, 'f', 3)
                     .arg(ok ? QStringLiteral("true") : QStringLiteral("false")));
    }
    return 0;
}

// ---------------------------------------------------------------- copy

// Records when a top-level window of a given name is first painted.
class WindowPaintProbe final : public QObject {
public:
    QString name;
    qint64 paintedAt = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && paintedAt == 0 && watched->objectName() == name
            && static_cast<QWidget*>(watched)->isWindow())
            paintedAt = nowNs();
        return false;
    }
};

// A click on Get Code or on a tile of the open pack panel, with the real
// clipboard: click in, clipboard set and the notification window shown (the
// click's handler has returned), and its first paint on the display.
int runCopy(const std::map<QString, QString>& args)
{
    const int runs = intArg(args, "--runs", 21);
    Program program;
    const std::string typed = "Hi there";
    for (char c : typed)
        typeKey(program.handle(), c);
    program.openPack();
    WindowPaintProbe probe;
    qApp->installEventFilter(&probe);
    QClipboard* clipboard = QGuiApplication::clipboard();

    const auto measure = [&](QWidget* target, const QString& want, bool grid) {
        program.dismissNotification();
        clipboard->setText(QStringLiteral("something else"));
        settle(20);
        probe.name = QStringLiteral("notificationWindow");
        probe.paintedAt = 0;
        const qint64 t0 = nowNs();
        click(target);
        const qint64 handled = nowNs();
        const bool shown = program.notifier.window() && program.notifier.window()->isVisible();
        const bool copied = clipboard->text() == want;
        waitFor([&] { return probe.paintedAt != 0; }, 2000);
        const qint64 painted = probe.paintedAt;
        emitLine(QStringLiteral("{\"bench\":\"copy\",\"what\":\"%1\",\"shown_ms\":%2,\"painted_ms\":%3,\"ok\":%4}")
                     .arg(grid ? QStringLiteral("tile") : QStringLiteral("getcode"))
                     .arg((handled - t0) / 1e6, 0, 'f', 4)
                     .arg(painted ? (painted - t0) / 1e6 : -1.0, 0, 'f', 4)
                     .arg(shown && copied ? QStringLiteral("true") : QStringLiteral("false")));
    };

    // The window system's share: a plain frameless tool window of the same size
    // at the same place, shown and painted, with nothing else to do.
    const auto measureBare = [&] {
        program.dismissNotification();
        settle(20);
        QWidget plain(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        plain.setObjectName(QStringLiteral("bareNotification"));
        plain.setAttribute(Qt::WA_ShowWithoutActivating);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        plain.setGeometry(area.right() + 1 - 335, area.bottom() + 1 - 11, 328, 152);
        probe.name = plain.objectName();
        probe.paintedAt = 0;
        const qint64 t0 = nowNs();
        plain.show();
        const qint64 handled = nowNs();
        waitFor([&] { return probe.paintedAt != 0; }, 2000);
        const qint64 painted = probe.paintedAt;
        emitLine(QStringLiteral("{\"bench\":\"copy\",\"what\":\"bare\",\"shown_ms\":%1,\"painted_ms\":%2,\"ok\":%3}")
                     .arg((handled - t0) / 1e6, 0, 'f', 4)
                     .arg(painted ? (painted - t0) / 1e6 : -1.0, 0, 'f', 4)
                     .arg(painted ? QStringLiteral("true") : QStringLiteral("false")));
    };

    QAbstractButton* getCode = program.button("getCodeButton");
    const QString code = program.window.composer().codeText();
    for (int run = 0; run < runs; ++run) {
        measureBare();
        const int number = 1 + (run * 7) % core::kEntryCount;
        const std::string& grid = core::gridText(number);
        if (run % 2 == 0) {
            measure(getCode, code, false);
            measure(program.tile(number), QString::fromLatin1(grid.data(), qsizetype(grid.size())), true);
        } else {
            measure(program.tile(number), QString::fromLatin1(grid.data(), qsizetype(grid.size())), true);
            measure(getCode, code, false);
        }
    }
    qApp->removeEventFilter(&probe);
    return 0;
}

// ---------------------------------------------------------------- cadence

// Time stamps of every tick of the stepping timers (QTimer, precise, at the
// shortest period), taken as the timer event is delivered.
class TickProbe final : public QObject {
public:
    std::vector<qint64> ticks;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer) {
            const auto* timer = qobject_cast<QTimer*>(watched);
            if (timer && timer->interval() == core::kShortestPeriodMs && timer->timerType() == Qt::PreciseTimer
                && static_cast<QTimerEvent*>(event)->timerId() == timer->timerId())
                ticks.push_back(nowNs());
        }
        return false;
    }
};

// Keys at a steady fast pace into a window, one per timer tick.
class Typist final : public QObject {
public:
    Typist(int periodMs, std::string text) : text_(std::move(text))
    {
        timer_.setInterval(periodMs);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (!window_)
                return;
            typeKey(window_, text_[next_++ % text_.size()]);
        });
    }
    void typeInto(QWindow* window)
    {
        window_ = window;
        if (!timer_.isActive())
            timer_.start();
    }
    void stop() { timer_.stop(); }
    int typed() const { return int(next_); }

private:
    QTimer timer_;
    std::string text_;
    QWindow* window_ = nullptr;
    std::size_t next_ = 0;
};

// Intervals, in ms, from the start of a stretch and between its ticks.
std::vector<double> intervalsFrom(qint64 start, const std::vector<qint64>& ticks)
{
    std::vector<double> out;
    qint64 previous = start;
    for (qint64 t : ticks) {
        out.push_back((t - previous) / 1e6);
        previous = t;
    }
    return out;
}

std::vector<qint64> ticksBetween(const std::vector<qint64>& all, qint64 from, qint64 to)
{
    std::vector<qint64> out;
    for (qint64 t : all) {
        if (t > from && t <= to)
            out.push_back(t);
    }
    return out;
}

// One full notification cycle (rise and fade in, then, after a short rest, the
// descent) while keys arrive fast in the typing box; and, alternating with it, a
// bare precise QTimer at the same period for the same number of ticks while the
// same keys go into a bare QPlainTextEdit: the machine's own timer jitter.
int runCadence(const std::map<QString, QString>& args)
{
    const int runs = intArg(args, "--runs", 20);
    const int typeMs = intArg(args, "--type-ms", 20);
    Program program;
    QPlainTextEdit bare;
    bare.resize(program.typingBox().size());
    bare.move(0, 0);
    showAndWait(bare);
    settle(200);

    TickProbe probe;
    qApp->installEventFilter(&probe);
    Typist typist(typeMs, makeText(5000, 7u));
    QAbstractButton* getCode = program.button("getCodeButton");
    const int period = core::kShortestPeriodMs;

    const auto ours = [&] {
        program.dismissNotification();
        program.window.composer().empty();
        typist.typeInto(program.handle());
        settle(100);
        const int typedBefore = typist.typed();
        probe.ticks.clear();
        qint64 start = 0;
        const QMetaObject::Connection loaded =
            QObject::connect(&program.notifier, &gui::Notifier::loaded, [&start] { start = nowNs(); });
        click(getCode);
        QObject::disconnect(loaded);
        // The click took the focus to the button; the user goes on typing in the box.
        program.typingBox().setFocus();
        const bool risen =
            waitFor([&] { return !program.notifier.model().rising() && !program.notifier.model().fading(); }, 10000);
        const qint64 rested = nowNs();
        settle(100);
        // The rest timer's tick, early: the descent starts.
        const qint64 down = nowNs();
        program.notifier.endRest();
        const bool sunk = waitFor([&] { return !program.notifier.model().loaded(); }, 10000);
        const qint64 end = nowNs();
        std::vector<double> up = intervalsFrom(start, ticksBetween(probe.ticks, start, rested));
        std::vector<double> downs = intervalsFrom(down, ticksBetween(probe.ticks, down, end));
        const int typed = typist.typed() - typedBefore;
        // Every key must have reached the typing box while the window moved.
        const bool typedIntoBox = program.typingBox().toPlainText().size() >= typed;
        emitLine(
            QStringLiteral("{\"bench\":\"cadence\",\"who\":\"ours\",\"up_ms\":%1,\"down_ms\":%2,\"keys\":%3,"
                           "\"seconds\":%4,\"ok\":%5}")
                .arg(jsonNumbers(up), jsonNumbers(downs))
                .arg(typed)
                .arg((end - start) / 1e9, 0, 'f', 3)
                .arg(risen && sunk && start != 0 && typedIntoBox ? QStringLiteral("true") : QStringLiteral("false")));
        return std::make_pair(int(up.size()), int(downs.size()));
    };

    const auto reference = [&](int upTicks, int downTicks) {
        bare.clear();
        typist.typeInto(bare.windowHandle());
        settle(100);
        QTimer timer;
        timer.setInterval(period);
        timer.setTimerType(Qt::PreciseTimer);
        int left = 0;
        int step = 0;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
            ++step;  // a trivial step, as cheap as a model tick
            if (--left == 0)
                timer.stop();
        });
        const auto stretch = [&](int count) {
            probe.ticks.clear();
            left = count;
            const qint64 start = nowNs();
            timer.start();
            waitFor([&] { return !timer.isActive(); }, 10000);
            return intervalsFrom(start, probe.ticks);
        };
        const std::vector<double> up = stretch(upTicks);
        settle(100);
        const std::vector<double> downs = stretch(downTicks);
        emitLine(QStringLiteral("{\"bench\":\"cadence\",\"who\":\"bare\",\"up_ms\":%1,\"down_ms\":%2,\"ok\":true}")
                     .arg(jsonNumbers(up), jsonNumbers(downs)));
    };

    // The first cycle tells how many ticks a cycle has; the reference matches it.
    int upTicks = 46, downTicks = 27;
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            std::tie(upTicks, downTicks) = ours();
            reference(upTicks, downTicks);
        } else {
            reference(upTicks, downTicks);
            std::tie(upTicks, downTicks) = ours();
        }
    }
    typist.stop();
    qApp->removeEventFilter(&probe);
    return 0;
}

// ---------------------------------------------------------------- memory

// Bytes the allocator has handed out and not had back: tells a leak (this
// grows) from a heap that only keeps its pages (the resident size grows alone).
double heapInUseMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// Copies by Get Code and by tiles, each followed by a whole notification cycle
// (sound written and played at each arrival), driven tick by tick; the resident
// size is read after the first cycle and along the way.
int runMemory(const std::map<QString, QString>& args)
{
    const int cycles = intArg(args, "--cycles", 1000);
    const int every = intArg(args, "--sample-every", 50);
    const QString what =
        args.count(QStringLiteral("--what")) ? args.at(QStringLiteral("--what")) : QStringLiteral("both");
    Program program;
    for (char c : std::string("Hi there"))
        typeKey(program.handle(), c);
    program.openPack();
    QAbstractButton* getCode = program.button("getCodeButton");
    gui::Notifier& notifier = program.notifier;

    std::vector<double> rssMiB, anonMiB, fileMiB, heapMiB, at;
    int arrivals = 0;
    QObject::connect(&notifier, &gui::Notifier::arrived, &notifier, [&] { ++arrivals; });
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const bool tile = what == QLatin1String("tile") || (what == QLatin1String("both") && cycle % 2 == 0);
        if (tile)
            click(program.tile(1 + (cycle / 2) % core::kEntryCount));
        else
            click(getCode);
        bool copiedAgain = false;
        while (notifier.model().loaded()) {
            if (notifier.model().resting() && !notifier.model().fading()) {
                if (!copiedAgain) {
                    // The sound file is written, and its chime started, while it rests.
                    waitFor([&] { return program.chimes >= arrivals; }, 5000);
                    // A second copy during the cycle changes nothing of it.
                    click(getCode);
                    copiedAgain = true;
                }
                notifier.endRest();
            }
            notifier.tick();
            QCoreApplication::processEvents();
        }
        settle(15);
        if (cycle == 1 || cycle % every == 0) {
            settle(200);
            rssMiB.push_back(statusKiB("VmRSS:") / 1024.0);
            anonMiB.push_back(statusKiB("RssAnon:") / 1024.0);
            fileMiB.push_back((statusKiB("RssFile:") + statusKiB("RssShmem:")) / 1024.0);
            heapMiB.push_back(heapInUseMiB());
            at.push_back(cycle);
        }
    }
    emitLine(
        QStringLiteral("{\"bench\":\"memory\",\"what\":\"%1\",\"cycles\":%2,\"arrivals\":%3,\"at\":%4,"
                       "\"rss_mib\":%5,\"anon_mib\":%6,\"file_mib\":%7,\"heap_mib\":%8,\"hwm_mib\":%9,\"ok\":%10}")
            .arg(what)
            .arg(cycles)
            .arg(arrivals)
            .arg(jsonNumbers(at), jsonNumbers(rssMiB), jsonNumbers(anonMiB), jsonNumbers(fileMiB), jsonNumbers(heapMiB))
            .arg(statusKiB("VmHWM:") / 1024.0, 0, 'f', 3)
            .arg(arrivals == cycles ? QStringLiteral("true") : QStringLiteral("false")));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("usage: beamlet_bench typing|growth|copy|cadence|memory [--option value]...\n", stderr);
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const auto args = parseArgs(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("beamlet"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.Beamlet"));
    widgets::installAccessibleRoles();
    benchClock();

    if (mode == QLatin1String("typing"))
        return runTyping(args);
    if (mode == QLatin1String("growth"))
        return runGrowth(args);
    if (mode == QLatin1String("copy"))
        return runCopy(args);
    if (mode == QLatin1String("cadence"))
        return runCadence(args);
    if (mode == QLatin1String("memory"))
        return runMemory(args);
    std::fprintf(stderr, "beamlet_bench: unknown mode %s\n", argv[1]);
    return 2;
}

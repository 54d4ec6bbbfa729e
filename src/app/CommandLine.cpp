#include "app/CommandLine.h"

#include "core/Catalogue.h"
#include "core/CodeBuffer.h"

#include <QCommandLineParser>
#include <QStringConverter>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include <poll.h>
#include <unistd.h>

namespace beamlet::app {
namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 3;

int fail(const QString& message)
{
    std::fprintf(stderr, "beamlet: %s\n", qPrintable(message));
    return kUsageError;
}

QString notUtf8(const QString& what)
{
    return QStringLiteral("%1 is not valid UTF-8 text").arg(what);
}

// Whether a read or write that failed with this error is to be tried again. A
// descriptor handed over non-blocking says EAGAIN when it has nothing yet: wait
// for it rather than take that for the end or for a fault.
bool tryAgain(int fd, short events)
{
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    pollfd wanted{fd, events, 0};
    return ::poll(&wanted, 1, -1) >= 0 || errno == EINTR;
}

// Every byte goes straight to the descriptor, so a failed write is seen here
// rather than lost in a buffer flushed at exit. A reader that closes early ends
// the program by SIGPIPE, quietly, as it ends any filter; only a caller that
// ignores SIGPIPE sees EPIPE, which is just as quiet.
int writeOut(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && tryAgain(STDOUT_FILENO, POLLOUT))
            continue;
        if (written < 0) {
            if (errno != EPIPE)
                std::fprintf(stderr, "beamlet: cannot write to standard output: %s\n", std::strerror(errno));
            return kWriteError;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

// What typing the text into the typing box would put in the code buffer.
void type(core::CodeBuffer& buffer, const QString& text)
{
    for (const char32_t codePoint : text.toUcs4())
        buffer.type(codePoint);
}

// Standard input a chunk at a time, each chunk's codes written before the next
// is read: memory stays the same however long the input, and a pipe that is
// still open gets its codes as its text arrives. The decoder carries a sequence
// split between two chunks over to the next.
int writeCodeOfStandardInput()
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    core::CodeBuffer buffer;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t read = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (read < 0 && tryAgain(STDIN_FILENO, POLLIN))
            continue;
        if (read < 0)
            return fail(
                QStringLiteral("cannot read standard input: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (read == 0)
            break;
        const QString text = decoder.decode(QByteArrayView(chunk, read));
        if (decoder.hasError())
            return fail(notUtf8(QStringLiteral("standard input")));
        type(buffer, text);
        if (const int status = writeOut(buffer.text()))
            return status;
        buffer.clear();
    }
    // A sequence cut short by the end of input is still waiting in the decoder;
    // one more plain byte makes it an error. (decode() only converts once its
    // result is taken as a string.)
    const QString end = decoder.decode(QByteArrayView("\n", 1));
    return decoder.hasError() ? fail(notUtf8(QStringLiteral("standard input"))) : 0;
}

int writeCode(const QString& argument)
{
    if (argument == QLatin1String("-"))
        return writeCodeOfStandardInput();
    core::CodeBuffer buffer;
    type(buffer, argument);
    return writeOut(buffer.text());
}

// Plain decimal digits only: no sign and no spaces. Leading zeros are fine, as
// `seq -w` writes them, and a long run of digits is simply out of range.
int writeEmoticon(const QString& argument)
{
    int number = argument.isEmpty() ? -1 : 0;
    for (const QChar digit : argument) {
        if (digit < u'0' || digit > u'9') {
            number = -1;
            break;
        }
        number = std::min(number * 10 + (digit.unicode() - u'0'), core::kEntryCount + 1);
    }
    if (number < 1 || number > core::kEntryCount)
        return fail(
            QStringLiteral("--emoticon takes a number from 1 to %1, not \"%2\"").arg(core::kEntryCount).arg(argument));
    return writeOut(core::gridText(number));
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    // The arguments are decoded strictly, as standard input is: a byte that is
    // not UTF-8 is an error rather than a character quietly dropped. The
    // program's own path may hold any bytes and is not needed.
    QStringList arguments{QStringLiteral("beamlet")};
    for (int i = 1; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        arguments << decoder.decode(QByteArrayView(argv[i]));
        if (decoder.hasError())
            return fail(notUtf8(QStringLiteral("argument %1").arg(i)));
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Type text, get chat codes: every typed character with a code adds its token, and Get Code copies them."));
    // Not addHelpOption(): its --help-all promises Qt's own options, which the
    // command line never reaches.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption code(
        QStringLiteral("code"),
        QStringLiteral("Write the chat code that typing TEXT would build, and exit. With -, the text is read "
                       "from standard input as UTF-8."),
        QStringLiteral("TEXT"));
    const QCommandLineOption emoticon(
        QStringLiteral("emoticon"),
        QStringLiteral("Write the grid of codes of emoticon N (1 to %1) as its tile copies it, and exit.")
            .arg(core::kEntryCount),
        QStringLiteral("N"));
    parser.addOption(code);
    parser.addOption(emoticon);
    // Without an application object the parser cannot name the program itself.
    const auto usage = [&parser] {
        return parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("beamlet"));
    };
    const auto usageError = [&usage](const QString& error) {
        std::fprintf(stderr, "beamlet: %s\n\n%s", qPrintable(error), qPrintable(usage()));
        return kUsageError;
    };

    // Asked for help or the version, the user gets it, whatever else the line
    // holds: a line that went wrong is the very one to ask about.
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help))
        return writeOut(usage().toStdString());
    if (parser.isSet(version))
        return writeOut("beamlet " BEAMLET_VERSION "\n");
    if (!parsed)
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));
    // Each asks for one output; which of two would be meant cannot be told.
    for (const QCommandLineOption& option : {code, emoticon}) {
        if (parser.values(option).size() > 1)
            return usageError(QStringLiteral("--%1 is given more than once").arg(option.names().constFirst()));
    }
    if (parser.isSet(code) && parser.isSet(emoticon))
        return usageError(QStringLiteral("--code and --emoticon cannot be given together"));
    if (parser.isSet(code))
        return writeCode(parser.value(code));
    if (parser.isSet(emoticon))
        return writeEmoticon(parser.value(emoticon));
    return std::nullopt;
}

}  // namespace beamlet::app

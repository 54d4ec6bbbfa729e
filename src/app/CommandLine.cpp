#include "app/CommandLine.h"

#include "core/Catalogue.h"
#include "core/CodeBuffer.h"
#include "platform/StandardStreams.h"

#include <QCommandLineParser>
#include <QStringConverter>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace beamlet::app {
namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 3;

// Messages are UTF-8 on every system, as the codes are: Windows' 8-bit code page
// would write '?' for what it cannot show (an argument quoted back, say).
int fail(const QString& message)
{
    std::fprintf(stderr, "beamlet: %s\n", qUtf8Printable(message));
    return kUsageError;
}

QString notUtf8(const QString& what)
{
    return QStringLiteral("%1 is not valid UTF-8 text").arg(what);
}

// Every byte goes straight out, so a failed write is seen here rather than lost
// in a buffer flushed at exit; a reader that went away is no fault worth a word.
int writeOut(std::string_view bytes)
{
    QString error;
    if (platform::native::writeStandardOutput(bytes, error))
        return 0;
    if (!error.isEmpty())
        std::fprintf(stderr, "beamlet: cannot write to standard output: %s\n", qUtf8Printable(error));
    return kWriteError;
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
        QString error;
        const qsizetype read = platform::native::readStandardInput(chunk, sizeof chunk, error);
        if (read < 0)
            return fail(QStringLiteral("cannot read standard input: %1").arg(error));
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

// The arguments, decoded strictly, as standard input is: a byte that is not
// UTF-8 is an error rather than a character quietly dropped. The program's own
// path may hold any bytes and is not needed.
std::optional<QStringList> decodeArguments(int argc, char* argv[], QString& error)
{
    QStringList arguments{QStringLiteral("beamlet")};
    for (int i = 1; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        arguments << decoder.decode(QByteArrayView(argv[i]));
        if (decoder.hasError()) {
            error = notUtf8(QStringLiteral("argument %1").arg(i));
            return std::nullopt;
        }
    }
    return arguments;
}

QCommandLineOption added(QCommandLineParser& parser, const QCommandLineOption& option)
{
    parser.addOption(option);
    return option;
}

// The options the command line takes, in the order its help lists them, and that help.
struct Options {
    Options();
    // Without an application object the parser cannot name the program itself.
    QString usage() const
    {
        return parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("beamlet"));
    }
    int usageError(const QString& error) const
    {
        std::fprintf(stderr, "beamlet: %s\n\n%s", qUtf8Printable(error), qUtf8Printable(usage()));
        return kUsageError;
    }
    // What is wrong with a line that parsed, or nothing.
    QString misuse() const;

    QCommandLineParser parser;
    // Not addHelpOption(): its --help-all promises Qt's own options, which the
    // command line never reaches.
    const QCommandLineOption help =
        added(parser,
              {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays help on commandline options.")});
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption code =
        added(parser,
              {QStringLiteral("code"),
               QStringLiteral("Write the chat code that typing TEXT would build, and exit. With -, the text "
                              "is read from standard input as UTF-8."),
               QStringLiteral("TEXT")});
    const QCommandLineOption emoticon =
        added(parser,
              {QStringLiteral("emoticon"),
               QStringLiteral("Write the grid of codes of emoticon N (1 to %1) as its tile copies it, and exit.")
                   .arg(core::kEntryCount),
               QStringLiteral("N")});
};

Options::Options()
{
    parser.setApplicationDescription(QStringLiteral(
        "Type text, get chat codes: every typed character with a code adds its token, and Get Code copies them."));
}

QString Options::misuse() const
{
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
    // Each asks for one output; which of two would be meant cannot be told.
    for (const QCommandLineOption& option : {code, emoticon}) {
        if (parser.values(option).size() > 1)
            return QStringLiteral("--%1 is given more than once").arg(option.names().constFirst());
    }
    if (parser.isSet(code) && parser.isSet(emoticon))
        return QStringLiteral("--code and --emoticon cannot be given together");
    return QString();
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    QString error;
    const std::optional<QStringList> arguments = decodeArguments(argc, argv, error);
    if (!arguments)
        return fail(error);
    Options options;
    // Asked for help or the version, the user gets it, whatever else the line
    // holds: a line that went wrong is the very one to ask about.
    const bool parsed = options.parser.parse(*arguments);
    if (options.parser.isSet(options.help))
        return writeOut(options.usage().toStdString());
    if (options.parser.isSet(options.version))
        return writeOut("beamlet " BEAMLET_VERSION "\n");
    if (!parsed)
        return options.usageError(options.parser.errorText());
    if (const QString misuse = options.misuse(); !misuse.isEmpty())
        return options.usageError(misuse);
    if (options.parser.isSet(options.code))
        return writeCode(options.parser.value(options.code));
    if (options.parser.isSet(options.emoticon))
        return writeEmoticon(options.parser.value(options.emoticon));
    return std::nullopt;
}

}  // namespace beamlet::app

#include "CommandLine.h"

#include "Catalogue.h"
#include "CodeBuffer.h"

#include <QCommandLineParser>
#include <QStringConverter>

#include <cstdio>
#include <string>

namespace beamlet::app {
namespace {

constexpr int kUsageError = 2;

int fail(const QString& message)
{
    std::fprintf(stderr, "beamlet: %s\n", qPrintable(message));
    return kUsageError;
}

bool write(const std::string& bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

QByteArray readStandardInput()
{
    QByteArray bytes;
    char chunk[1 << 16];
    while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, stdin))
        bytes.append(chunk, qsizetype(read));
    return bytes;
}

// What typing the text into the typing box would put in the code buffer.
int writeCode(const QString& argument)
{
    QString text = argument;
    if (argument == QLatin1String("-")) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder(readStandardInput());
        if (decoder.hasError())
            return fail(QStringLiteral("standard input is not valid UTF-8 text"));
    }
    core::CodeBuffer buffer;
    for (const char32_t codePoint : text.toUcs4())
        buffer.type(codePoint);
    return write(buffer.text()) ? 0 : 1;
}

int writeEmoticon(const QString& argument)
{
    bool isNumber = false;
    const int number = argument.toInt(&isNumber);
    if (!isNumber || number < 1 || number > core::kEntryCount)
        return fail(QStringLiteral("--emoticon takes a number from 1 to %1, not \"%2\"").arg(core::kEntryCount).arg(argument));
    return write(core::gridText(number)) ? 0 : 1;
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Type text, get chat codes: every typed character with a code adds its token, and Get Code copies them."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption code(QStringLiteral("code"),
        QStringLiteral("Write the chat code that typing TEXT would build, and exit. With -, the text is read "
                       "from standard input as UTF-8."),
        QStringLiteral("TEXT"));
    const QCommandLineOption emoticon(QStringLiteral("emoticon"),
        QStringLiteral("Write the grid of codes of emoticon N (1 to %1) as its tile copies it, and exit.").arg(core::kEntryCount),
        QStringLiteral("N"));
    parser.addOption(code);
    parser.addOption(emoticon);
    // Without an application object the parser cannot name the program itself.
    const auto usage = [&parser] {
        return parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("beamlet"));
    };

    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty()
            ? QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst())
            : parser.errorText();
        std::fprintf(stderr, "beamlet: %s\n\n%s", qPrintable(error), qPrintable(usage()));
        return kUsageError;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(usage()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs("beamlet " BEAMLET_VERSION "\n", stdout);
        return 0;
    }
    if (parser.isSet(code))
        return writeCode(parser.value(code));
    if (parser.isSet(emoticon))
        return writeEmoticon(parser.value(emoticon));
    return std::nullopt;
}

}  // namespace beamlet::app

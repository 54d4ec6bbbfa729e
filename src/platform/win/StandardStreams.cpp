#include "platform/win/StandardStreams.h"

#include <qt_windows.h>

namespace beamlet::platform::win {
namespace {

QString systemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    LocalFree(text);
    return message.isEmpty() ? QStringLiteral("error %1").arg(code) : message;
}

}  // namespace

qsizetype readStandardInput(char* into, qsizetype size, QString& error)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        error = systemMessage(ERROR_INVALID_HANDLE);
        return -1;
    }
    DWORD read = 0;
    if (ReadFile(input, into, DWORD(qMin<qsizetype>(size, MAXDWORD)), &read, nullptr))
        return qsizetype(read);
    // The writing end of a pipe closed: that is its end.
    const DWORD code = GetLastError();
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF)
        return 0;
    error = systemMessage(code);
    return -1;
}

bool writeStandardOutput(std::string_view bytes, QString& error)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        error = systemMessage(ERROR_INVALID_HANDLE);
        return false;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(output, bytes.data(), DWORD(qMin<size_t>(bytes.size(), 1u << 20)), &written, nullptr)) {
            // The reader went away: its pipe is closing, or (under Wine) no longer connected.
            const DWORD code = GetLastError();
            const bool readerGone =
                code == ERROR_BROKEN_PIPE || code == ERROR_NO_DATA || code == ERROR_PIPE_NOT_CONNECTED;
            error = readerGone ? QString() : systemMessage(code);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace beamlet::platform::win

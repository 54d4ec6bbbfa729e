#include "platform/win/Console.h"

#include <qt_windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace beamlet::platform::win {
namespace {

// UTF-16 to UTF-8, lone surrogates encoded as if they were characters (WTF-8).
std::string wtf8(const wchar_t* text)
{
    std::string bytes;
    for (std::size_t i = 0; text[i]; ++i) {
        char32_t c = char16_t(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char16_t(text[i + 1]) - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            bytes += char(c);
        } else if (c < 0x800) {
            bytes += char(0xC0 | (c >> 6));
            bytes += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += char(0xE0 | (c >> 12));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        } else {
            bytes += char(0xF0 | (c >> 18));
            bytes += char(0x80 | ((c >> 12) & 0x3F));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

}  // namespace

Arguments::Arguments(int argc, char* argv[])
{
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            values_.push_back(wtf8(wide[i]));
        LocalFree(wide);
    } else {
        values_.assign(argv, argv + argc);
    }
    for (std::string& value : values_)
        pointers_.push_back(value.data());
    pointers_.push_back(nullptr);
}

void useBinaryStandardError()
{
    _setmode(_fileno(stderr), _O_BINARY);
}

bool startWindowedProgram()
{
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* dot = length > 0 && length < MAX_PATH ? std::wcsrchr(path, L'.') : nullptr;
    if (!dot || std::wcslen(dot) != 4) {
        std::fputs("beamlet: cannot tell where the program is\n", stderr);
        return false;
    }
    std::wcscpy(dot, L".exe");
    // The command line as given; its first word, this program's name, is not read.
    std::wstring commandLine = GetCommandLineW();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "beamlet: cannot start %ls (error %lu)\n", path, GetLastError());
        return false;
    }
    // The program it started may take the foreground, which this one has.
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace beamlet::platform::win

/* The end-to-end tests' helper on the Windows side, run under Wine beside the
 * program: it reads and does what X11's tools cannot reach. Wine's bridge to the
 * X11 clipboard turns the Windows line ends (CR LF) into LF, so only a Windows
 * program reads the clipboard as a Windows chat box pastes it; and a window that
 * Windows does not know as minimized cannot be minimized from X11.
 *
 * Serves one command a line on standard input, answering each on standard output:
 *   clipboard        "<n>\n" and the clipboard's text (CF_UNICODETEXT) as n bytes of
 *                    UTF-8, or "-1\n" when the clipboard holds no text
 *   minimize TITLE   minimizes the visible top-level windows titled TITLE, as a
 *                    window switcher does, and answers "<how many>\n"
 * Made by wine_prefix.py with the MinGW-w64 C compiler.
 */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static void clipboard(void)
{
    /* The program may hold the clipboard a moment while it writes it. */
    int opened = 0;
    for (int tries = 0; tries < 200 && !(opened = OpenClipboard(NULL)); ++tries)
        Sleep(10);
    HANDLE data = opened ? GetClipboardData(CF_UNICODETEXT) : NULL;
    const wchar_t* text = data ? GlobalLock(data) : NULL;
    if (!text) {
        printf("-1\n");
    } else {
        const int length = (int)wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, NULL, 0, NULL, NULL);
        char* bytes = malloc(size ? size : 1);
        WideCharToMultiByte(CP_UTF8, 0, text, length, bytes, size, NULL, NULL);
        printf("%d\n", size);
        fwrite(bytes, 1, size, stdout);
        free(bytes);
        GlobalUnlock(data);
    }
    if (opened)
        CloseClipboard();
}

struct search {
    const wchar_t* title;
    int found;
};

static BOOL CALLBACK minimizeIfTitled(HWND window, LPARAM argument)
{
    struct search* search = (struct search*)argument;
    wchar_t title[256];
    if (IsWindowVisible(window) && !IsIconic(window) && GetWindowTextW(window, title, 256)
        && wcscmp(title, search->title) == 0) {
        ShowWindow(window, SW_MINIMIZE);
        ++search->found;
    }
    return TRUE;
}

int main(void)
{
    /* Binary: no line end is turned into another on the way. */
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    char line[1024];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        if (strcmp(line, "clipboard") == 0) {
            clipboard();
        } else if (strncmp(line, "minimize ", 9) == 0) {
            wchar_t title[256];
            MultiByteToWideChar(CP_UTF8, 0, line + 9, -1, title, 256);
            struct search search = {title, 0};
            EnumWindows(minimizeIfTitled, (LPARAM)&search);
            printf("%d\n", search.found);
        } else {
            printf("unknown command\n");
        }
        fflush(stdout);
    }
    return 0;
}

/* What the program sets up before its dialog: the instance handle, the command line and the
   common-control classes. */
#include "brisknote.h"
#include <commctrl.h>

HINSTANCE g_instance;
/* The command line as Windows gives it, before any conversion; NULL where there is none to read. */
const WCHAR *g_wideCommandLine;

/* A library of the system, taken from the system folder by its full path: Windows looks for a bare
   name such as "comctl32.dll" in the program's own folder first, and a portable program's folder
   (Downloads, a USB stick) may hold anything. */
HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH)
        return NULL;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}

/* The tooltip and the list view are common controls. Their classes are registered by calling the
   library at run time, so that Brisknote.exe imports nothing from it. */
BOOL RegisterControlClasses(void)
{
    typedef BOOL (WINAPI *InitProc)(const INITCOMMONCONTROLSEX *);
    HMODULE library = LoadSystemLibrary("comctl32.dll");
    if (!library)
        return FALSE;
    InitProc init = (InitProc)(void *)GetProcAddress(library, "InitCommonControlsEx");
    if (!init)
        return FALSE;
    INITCOMMONCONTROLSEX classes = { sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    return init(&classes);
}

/* Wide text in the given ANSI code page. A character that a double-byte or single-byte code page
   has no exact form for becomes "?", which no file name holds: Windows' own conversion would put a
   look-alike in its place ("é" as "e", "¥" as a backslash), and the path would name another file
   than the one the user chose. UTF-8 has an exact form for every character, and Windows refuses
   both the flag and the default character for it. lost, when given, tells whether a "?" was put
   in. The caller frees the text with HeapFree. */
char *ConvertToCodePage(const WCHAR *wide, UINT codePage, BOOL *lost)
{
    BOOL exact = codePage == CP_UTF8;
    DWORD flags = exact ? 0 : WC_NO_BEST_FIT_CHARS;
    const char *substitute = exact ? NULL : "?";
    BOOL *substituted = exact ? NULL : lost;
    if (lost)
        *lost = FALSE;
    int size = WideCharToMultiByte(codePage, flags, wide, -1, NULL, 0, substitute, NULL);
    char *text = size > 0 ? (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size) : NULL;
    if (text && !WideCharToMultiByte(codePage, flags, wide, -1, text, size, substitute, substituted)) {
        HeapFree(GetProcessHeap(), 0, text);
        text = NULL;
    }
    return text;
}

/* The command line in the process's ANSI code page, from the wide one; NULL when it cannot be
   converted. */
char *ReadCommandLine(void)
{
    return ConvertToCodePage(GetCommandLineW(), GetACP(), NULL);
}

/* At most this many names are listed in the notice of files the program cannot name; the rest
   are counted. */
#define NOTICE_NAMES    20
#define NOTICE_TEXT     (256 + NOTICE_NAMES * (MAX_PATH + 1))

static const WCHAR g_unnamableText[] =
    L"次のファイルは、このプログラムで使えない文字が名前に含まれているため、名前を変更できません。"
    L"これらのファイルには何もしていません。\n";
static const WCHAR g_unnamableRest[] = L"\n…ほか %d 件";

/* Whether the wide text has a character that the program's code page has no exact form for (a
   wave dash from a Mac, a separate voiced mark): converted as the command line is, it holds "?". */
static BOOL HasLostCharacter(const WCHAR *wide)
{
    BOOL lost = FALSE;
    char *text = ConvertToCodePage(wide, GetACP(), &lost);
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    return lost;
}

/* A path is told by its name, as Explorer shows it, unless the name is whole and a folder above
   it is what the code page cannot hold: then the whole path shows which name to change. */
static void AppendUnnamable(WCHAR *text, const WCHAR *path)
{
    const WCHAR *name = path;
    for (const WCHAR *p = path; *p; p++) {
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    }
    lstrcatW(text, L"\n");
    lstrcpynW(text + lstrlenW(text), HasLostCharacter(name) ? name : path, MAX_PATH + 1);
}

/* Keys typed while the program started belong to the first name: they reach the dialog before the
   notice comes up, which would otherwise take a letter or an Enter as its answer unread. A name
   field selects its base name when the notice gives the focus back: the selection of the focused
   field is put back as the typing left it, so that the next key does not replace what was typed. */
static void ShowNotice(HWND owner, const WCHAR *text, const WCHAR *caption)
{
    MSG msg;
    while (owner && PeekMessageA(&msg, NULL, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        if (IsDialogMessageA(owner, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    HWND focus = GetFocus();
    DWORD selection = focus ? (DWORD)SendMessageA(focus, EM_GETSEL, 0, 0) : 0;
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
    if (focus && GetFocus() == focus)
        SendMessageA(focus, EM_SETSEL, LOWORD(selection), HIWORD(selection));
}

/* Tells the user, once, of the paths the file list had to leave out because their names cannot
   be held; paths that name nothing are left out silently. The paths are the file list's own
   tokens, read from the wide command line by the same rules. Returns how many there were. */
int ReportUnnamablePaths(HWND owner)
{
    WCHAR path[PATH_TEXT];
    WCHAR caption[32];
    int found = 0;
    WCHAR *text = (WCHAR *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, NOTICE_TEXT * sizeof(WCHAR));
    if (!text)
        return 0;
    if (!g_wideCommandLine) {
        HeapFree(GetProcessHeap(), 0, text);
        return 0;
    }
    lstrcpyW(text, g_unnamableText);
    for (const WCHAR *p = SkipOptions(CommandTail(g_wideCommandLine)); *p;) {
        path[0] = 0;    /* stays empty when the token is too long to copy */
        p = NextToken(p, path, PATH_TEXT);
        if (HasLostCharacter(path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && ++found <= NOTICE_NAMES)
            AppendUnnamable(text, path);
    }
    if (found > NOTICE_NAMES)
        wsprintfW(text + lstrlenW(text), g_unnamableRest, found - NOTICE_NAMES);
    MultiByteToWideChar(CP_ACP, 0, g_programWord, -1, caption, 32);
    if (found)
        ShowNotice(owner, text, caption);
    HeapFree(GetProcessHeap(), 0, text);
    return found;
}

static const char *NextCharacter(const char *p)
{
    return IsDBCSLeadByte((BYTE)*p) && p[1] ? p + 2 : p + 1;
}

static const WCHAR *NextCharacter(const WCHAR *p)
{
    return p + 1;
}

/* The command line without the program's own name and the white space after it. The name ends
   at its closing quote, or unquoted at the first blank or tab; double-byte characters are
   stepped over whole, so a byte from 0x80 up is never taken for white space. */
template <typename Char> static const Char *TailOf(const Char *line)
{
    const Char *p = line;
    BOOL quoted = *p == '"';

    if (quoted)
        p++;
    while (*p && (quoted ? *p != '"' : *p != ' ' && *p != '\t'))
        p = NextCharacter(p);
    if (quoted && *p == '"')
        p++;
    return SkipSeparators(p);
}

const char *CommandTail(const char *line)
{
    return TailOf(line);
}

const WCHAR *CommandTail(const WCHAR *line)
{
    return TailOf(line);
}

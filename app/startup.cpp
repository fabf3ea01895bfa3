/* What the program sets up before its dialog: the instance handle, the command line and the
   common-control classes. */
#include "brisknote.h"
#include <commctrl.h>

HINSTANCE g_instance;

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

/* An existing file or folder whose name has a character that the program's code page has no
   exact form for (a wave dash from a Mac, a separate voiced mark): converted as the command line
   is, its path holds "?" and names nothing. */
static BOOL IsUnnamable(const WCHAR *path)
{
    BOOL lost = FALSE;
    char *text = ConvertToCodePage(path, GetACP(), &lost);
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    return lost && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

static void AppendFileName(WCHAR *text, const WCHAR *path)
{
    const WCHAR *name = path;
    for (const WCHAR *p = path; *p; p++) {
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    }
    lstrcatW(text, L"\n");
    lstrcpynW(text + lstrlenW(text), name, MAX_PATH);
}

/* Tells the user, once, of the paths the file list had to leave out because their names cannot
   be held, by the names Explorer shows; paths that name nothing are left out silently. Returns
   how many there were. */
int ReportUnnamablePaths(HWND owner)
{
    int count = 0;
    int found = 0;
    WCHAR caption[32];
    WCHAR **args = SplitCommandLine(&count);
    WCHAR *text = (WCHAR *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, NOTICE_TEXT * sizeof(WCHAR));
    if (args && text)
        lstrcpyW(text, g_unnamableText);
    for (int i = 1; args && text && i < count; i++) {
        if (IsUnnamable(args[i]) && ++found <= NOTICE_NAMES)
            AppendFileName(text, args[i]);
    }
    if (found > NOTICE_NAMES)
        wsprintfW(text + lstrlenW(text), g_unnamableRest, found - NOTICE_NAMES);
    MultiByteToWideChar(CP_ACP, 0, g_programWord, -1, caption, 32);
    if (found)
        MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    if (args)
        LocalFree(args);
    return found;
}

/* The command line without the program's own name and the white space after it. The name ends
   at its closing quote, or unquoted at the first blank or tab; double-byte characters are
   stepped over whole, so a byte from 0x80 up is never taken for white space. */
const char *CommandTail(const char *line)
{
    const char *p = line;
    BOOL quoted = *p == '"';

    if (quoted)
        p++;
    while (*p && (quoted ? *p != '"' : *p != ' ' && *p != '\t')) {
        if (IsDBCSLeadByte((BYTE)*p) && p[1])
            p++;
        p++;
    }
    if (quoted && *p == '"')
        p++;
    return SkipSeparators(p);
}

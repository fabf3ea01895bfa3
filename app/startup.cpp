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
   both the flag and the default character for it. The caller frees the text with HeapFree. */
char *ConvertToCodePage(const WCHAR *wide, UINT codePage)
{
    BOOL exact = codePage == CP_UTF8;
    DWORD flags = exact ? 0 : WC_NO_BEST_FIT_CHARS;
    const char *substitute = exact ? NULL : "?";
    int size = WideCharToMultiByte(codePage, flags, wide, -1, NULL, 0, substitute, NULL);
    char *text = size > 0 ? (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size) : NULL;
    if (text && !WideCharToMultiByte(codePage, flags, wide, -1, text, size, substitute, NULL)) {
        HeapFree(GetProcessHeap(), 0, text);
        text = NULL;
    }
    return text;
}

/* The command line in the process's ANSI code page, from the wide one; NULL when it cannot be
   converted. */
char *ReadCommandLine(void)
{
    return ConvertToCodePage(GetCommandLineW(), GetACP());
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

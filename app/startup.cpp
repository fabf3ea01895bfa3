/* What the program sets up before its dialog: the instance handle, the command line and the
   common-control classes. */
#include "brisknote.h"
#include <commctrl.h>

HINSTANCE g_instance;

/* The tooltip and the list view are common controls. Their classes are registered by calling the
   library at run time, so that Brisknote.exe imports nothing from it. */
BOOL RegisterControlClasses(void)
{
    typedef BOOL (WINAPI *InitProc)(const INITCOMMONCONTROLSEX *);
    HMODULE library = LoadLibraryA("comctl32.dll");
    if (!library)
        return FALSE;
    InitProc init = (InitProc)(void *)GetProcAddress(library, "InitCommonControlsEx");
    if (!init)
        return FALSE;
    INITCOMMONCONTROLSEX classes = { sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    return init(&classes);
}

/* The command line in the ANSI code page, from the process's wide one. A character that the code
   page has no exact form for becomes "?", which no file name holds: Windows' own conversion would
   put a look-alike in its place ("é" as "e", "¥" as a backslash), and the path would name another
   file than the one the user chose. The caller frees the text with HeapFree. */
char *ReadCommandLine(void)
{
    const WCHAR *wide = GetCommandLineW();
    BOOL replaced = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, NULL, 0, "?", &replaced);
    char *line = size > 0 ? (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size) : NULL;
    if (line && !WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, line, size, "?", &replaced)) {
        HeapFree(GetProcessHeap(), 0, line);
        line = NULL;
    }
    return line;
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

/* Brisknote's entry point: runs the rename dialog on the files named on the command line. */
#include "brisknote.h"
#include "../res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    g_wideCommandLine = GetCommandLineW();
    char *line = ReadCommandLine();
    const char *tail = line ? CommandTail(line) : "";
    /* A command line that cannot be read takes no file: the beep that says so at start-up. */
    if (!line)
        MessageBeep(MB_ICONWARNING);
    if (*tail)
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_RENAME), NULL, RenameDlgProc, (LPARAM)tail);
    if (line)
        HeapFree(GetProcessHeap(), 0, line);
    return 0;
}

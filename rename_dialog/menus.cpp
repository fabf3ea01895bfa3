/* The system menu's additions, the menu button's popup menu, and the commands behind them. */
#include "brisknote.h"
#include <shellapi.h>
#include "../res/resource.h"

int ExtendSystemMenu(HWND window)
{
    return GetSystemMenu(window, FALSE) != NULL;
}

void ToggleTopmost(HWND window, HMENU, UINT)
{
    BOOL topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(window, topmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ShowVersionBox(HWND)
{
}

void ShowFileMenu(HWND, HWND, DWORD, FileList)
{
}

void RevertEntry(FileList entries, DWORD index, HWND dlg)
{
    const char *name = FileNamePart(entries[index]->path);
    SetDlgItemTextA(dlg, IDC_NEW_NAME, name);
    lstrcpynA(entries[index]->newName, name, PATH_TEXT);
    SetListNewName(name, index);
}

void RevertAll(FileList entries, HWND dlg, DWORD count, DWORD current)
{
    if (!entries || current >= count)
        return;
    for (DWORD i = 0; i < count; i++) {
        const char *name = FileNamePart(entries[i]->path);
        lstrcpynA(entries[i]->newName, name, PATH_TEXT);
        SetListNewName(name, i);
    }
    SetDlgItemTextA(dlg, IDC_NEW_NAME, entries[current]->newName);
}

/* With no entry on display there is nothing to revert or open. */
static BOOL HasCurrentEntry(void)
{
    return g_entries && g_current < g_entryCount;
}

void RevertCurrent(HWND dlg)
{
    if (!HasCurrentEntry())
        return;
    RevertEntry(g_entries, g_current, dlg);
    FocusControl(dlg, GetDlgItem(dlg, IDC_NEW_NAME));
    /* When the field had the focus already, the focus move selected nothing. */
    SelectNamePart(GetDlgItem(dlg, IDC_NEW_NAME));
}

void OpenCurrentFile(HWND dlg)
{
    char path[PATH_TEXT];

    if (!HasCurrentEntry())
        return;
    lstrcpynA(path, g_entries[g_current]->path, sizeof(path));
    HINSTANCE result = ShellExecuteA(NULL, "open", path, NULL, NULL, SW_SHOWNORMAL);
    if ((UINT_PTR)result <= 32)
        ShowErrorTitle(dlg, g_openFailedTitle, g_current, g_entryCount);
}

/* The system menu's additions, the menu button's popup menu, and the commands behind them. */
#include "brisknote.h"
#include "../res/resource.h"

/* No item carries this command: an item inserted before it goes to the end of the menu. */
#define END_OF_MENU 0xFFFFFFFFu

static const char g_topmostText[] = "常に手前に表示(&A)";
static const char g_versionText[] = "Version(&V)";

static void InsertItem(HMENU menu, MENUITEMINFOA *info, UINT before)
{
    if (before == END_OF_MENU || !InsertMenuItemA(menu, before, FALSE, info))
        InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, info);
}

static void FillItemInfo(MENUITEMINFOA *info, UINT type, UINT command, const char *text)
{
    ZeroMemory(info, sizeof(*info));
    info->cbSize = sizeof(*info);
    info->fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    info->fType = type;
    info->wID = command;
    info->dwTypeData = (char *)text;
    info->cch = text ? lstrlenA(text) : 0;
}

void AddMenuItem(HMENU menu, const char *text, UINT command, UINT before)
{
    MENUITEMINFOA info;
    FillItemInfo(&info, MFT_STRING, command, text);
    InsertItem(menu, &info, before);
}

void AddMenuSeparator(HMENU menu, UINT before)
{
    MENUITEMINFOA info;
    FillItemInfo(&info, MFT_SEPARATOR, 0, NULL);
    InsertItem(menu, &info, before);
}

int ExtendSystemMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return 0;
    AddMenuItem(menu, g_topmostText, IDM_TOPMOST, SC_CLOSE);
    AddMenuItem(menu, g_versionText, IDM_VERSION, SC_CLOSE);
    AddMenuSeparator(menu, SC_CLOSE);
    return 1;
}

/* The state is the window's own topmost bit; the check mark follows it. The window keeps its
   place in the activation order: at start-up it is not yet shown. */
void ToggleTopmost(HWND window, HMENU menu, UINT command)
{
    BOOL topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    MENUITEMINFOA info;

    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = topmost ? 0 : MFS_CHECKED;
    SetMenuItemInfoA(menu, command, FALSE, &info);
    DrawMenuBar(window);
    HWND order = topmost ? HWND_NOTOPMOST : HWND_TOPMOST;
    SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    /* Wine inserts a window behind the topmost popups it owns (the path tooltip) instead of making
       it topmost. Set without an owner for that moment, the tooltip stays out of the way. */
    if (((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) == topmost && g_tooltip) {
        LONG_PTR owner = GetWindowLongPtrA(g_tooltip, GWLP_HWNDPARENT);
        SetWindowLongPtrA(g_tooltip, GWLP_HWNDPARENT, 0);
        SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowLongPtrA(g_tooltip, GWLP_HWNDPARENT, owner);
    }
}

void ShowVersionBox(HWND owner)
{
    char text[100];
    wsprintfA(text, "%s\nVer=%s        ", "wmxpf", "0.15");
    MessageBoxA(owner, text, g_programWord, MB_OK);
}

/* A menu shows "&" as the mark of the next letter; "&&" shows itself. A second byte is never "&". */
static void DoubleAmpersands(const char *name, char *out)
{
    for (const char *p = name; *p; p++) {
        if (*p == '&')
            *out++ = '&';
        *out++ = *p;
    }
    *out = 0;
}

/* One jump item per entry, with its current name. The text has room for the longest name with
   every byte doubled and the largest number. */
static void AddJumpItems(HMENU menu, DWORD count, FileList entries)
{
    char name[2 * PATH_TEXT];
    char text[2 * PATH_TEXT + 16];
    for (DWORD i = 0; i < count && entries && entries[i]; i++) {
        DoubleAmpersands(FileNamePart(entries[i]->path), name);
        wsprintfA(text, "&%d %s", i + 1, name);
        AddMenuItem(menu, text, IDM_JUMP_BASE + i, END_OF_MENU);
    }
}

HMENU BuildFileMenu(DWORD count, FileList entries)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return NULL;
    AddMenuItem(menu, "開く(&E)", IDM_OPEN, END_OF_MENU);
    AddMenuSeparator(menu, END_OF_MENU);
    AddMenuItem(menu, "現在のファイル名に戻す(&R)", IDM_REVERT, END_OF_MENU);
    if (count >= 2)
        AddMenuItem(menu, "現在のファイル名に全て戻す(&A)", IDM_REVERT_ALL, END_OF_MENU);
    AddMenuSeparator(menu, END_OF_MENU);
    AddMenuItem(menu, "リストを表示(&L)", IDM_SHOW_LIST, END_OF_MENU);
    AddMenuSeparator(menu, END_OF_MENU);
    AddJumpItems(menu, count, entries);
    return menu;
}

/* The menu opens at the button's right and top edges and keeps off the button. */
void ShowFileMenu(HWND owner, HWND button, DWORD count, FileList entries)
{
    RECT rect;
    GetWindowRect(button, &rect);
    TPMPARAMS params = {sizeof(params), rect};
    HMENU menu = BuildFileMenu(count, entries);
    if (!menu)
        return;
    TrackPopupMenuEx(menu, TPM_VERTICAL, rect.right, rect.top, owner, &params);
    DestroyMenu(menu);
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

void RevertCurrent(HWND dlg)
{
    if (!HasCurrentEntry())
        return;
    RevertEntry(g_entries, g_current, dlg);
    FocusControl(dlg, GetDlgItem(dlg, IDC_NEW_NAME));
    /* When the field had the focus already, the focus move selected nothing. */
    SelectNamePart(GetDlgItem(dlg, IDC_NEW_NAME));
}

/* The file opens under its current name, whatever new name is pending. */
/* The shell's open, unless the tests put a stand-in in its place that sees the path it is given. */
INT_PTR (*g_openFile)(const char *path) = OpenWithShell;

void OpenCurrentFile(HWND dlg)
{
    char path[PATH_TEXT];

    if (!HasCurrentEntry())
        return;
    lstrcpynA(path, g_entries[g_current]->path, sizeof(path));
    if (g_openFile(path) <= 32)
        ShowErrorTitle(dlg, g_openFailedTitle, g_current, g_entryCount);
}

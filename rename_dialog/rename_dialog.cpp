/* The rename dialog: start-up, the display of the entry on show, and moving between entries. */
#include "brisknote.h"
#include "../res/resource.h"

FileList g_entries;
DWORD g_entryCount;
DWORD g_current;
DWORD g_currentAttributes;
HWND g_tooltip;
WNDPROC g_editProc;
/* Set once the start-up has gone past the first paint: from then on every refresh shows the icon
   and the path tooltip too. */
static BOOL g_started;

const char g_programWord[] = "Quillmark";

/* The monitor where the user works: that of the window in front when the program starts (the
   Explorer window the files came from), else the one under the pointer. */
static void GetWorkingMonitor(RECT *monitor)
{
    MONITORINFO info = {sizeof(info), {0, 0, 0, 0}, {0, 0, 0, 0}, 0};
    POINT pointer = {0, 0};
    HWND front = GetForegroundWindow();

    GetCursorPos(&pointer);
    HMONITOR found = front ? MonitorFromWindow(front, MONITOR_DEFAULTTOPRIMARY) : MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY);
    if (!found || !GetMonitorInfoA(found, &info))
        GetWindowRect(GetDesktopWindow(), &info.rcMonitor);
    *monitor = info.rcMonitor;
}

/* On the primary monitor, whose rectangle starts at 0, 0, this is the desktop's centre. */
POINT CenterOnMonitor(const RECT *monitor, int width, int height)
{
    POINT at = {monitor->left + (monitor->right - monitor->left - width) / 2, monitor->top + (monitor->bottom - monitor->top - height) / 2};
    return at;
}

void CenterWindow(HWND window)
{
    RECT w, monitor;
    GetWindowRect(window, &w);
    GetWorkingMonitor(&monitor);
    int width = w.right - w.left;
    int height = w.bottom - w.top;
    POINT at = CenterOnMonitor(&monitor, width, height);
    MoveWindow(window, at.x, at.y, width, height, TRUE);
}

/* The buffer holds the program word and two counts of any size. */
void ShowCounterTitle(DWORD index, HWND dlg, DWORD count)
{
    char title[64];
    wsprintfA(title, "%s(%d/%d)", g_programWord, index + 1, count);
    SetWindowTextA(dlg, title);
}

int FormatAttributes(DWORD attributes, char *out)
{
    *out = 0;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        lstrcatA(out, "S");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        lstrcatA(out, "D");
    else if (attributes & FILE_ATTRIBUTE_ARCHIVE)
        lstrcatA(out, "A");
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        lstrcatA(out, "H");
    if (attributes & FILE_ATTRIBUTE_READONLY)
        lstrcatA(out, "R");
    if (attributes & FILE_ATTRIBUTE_COMPRESSED)
        lstrcatA(out, "C");
    return 1;
}

/* With no entry on display (an empty list) there is nothing to rename, revert or open. */
BOOL HasCurrentEntry(void)
{
    return g_entries && g_current < g_entryCount;
}

void FocusControl(HWND dlg, HWND control)
{
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)control, TRUE);
}

void SelectNamePart(HWND edit)
{
    char text[PATH_TEXT];
    int length = GetWindowTextA(edit, text, sizeof(text));
    int end = length;

    if (!(g_currentAttributes & FILE_ATTRIBUTE_DIRECTORY))
        end = (int)(FindExtension(text) - text);
    SendMessageA(edit, EM_SETSEL, 0, end);
}

/* The icon on display is destroyed when another takes its place: the shell hands out a new one
   at every query. */
static void SetFileIcon(HWND dlg, HICON icon)
{
    HICON old = (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_SETICON, (WPARAM)icon, 0);
    if (old)
        DestroyIcon(old);
}

/* A file kept only in the cloud would be downloaded for an icon that depends on its contents
   (programs, icons, shortcuts): its type's icon stands in, which the shell finds without opening
   the file. A vanished file gets no icon. */
UINT ChooseIconFlags(DWORD attributes)
{
    const DWORD online = FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS | FILE_ATTRIBUTE_RECALL_ON_OPEN | FILE_ATTRIBUTE_OFFLINE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & online))
        return SHGFI_ICON | SHGFI_USEFILEATTRIBUTES;
    return SHGFI_ICON;
}

/* A failed query (the file vanished, the shell cannot read it) may leave a stale handle in hIcon:
   the field then shows no icon rather than the previous file's. */
static void ShowFileIcon(HWND dlg, const char *path)
{
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    UINT flags = ChooseIconFlags(g_currentAttributes);
    SetFileIcon(dlg, GetShellFileInfo(path, g_currentAttributes, &info, flags) ? info.hIcon : NULL);
}

/* The default id, not only the look: Enter in the name field presses the button drawn as the
   default, and the dialog manager draws it so again whenever the focus returns to the field. */
void SetDefaultButton(HWND dlg, int id)
{
    SendMessageA(dlg, DM_SETDEFID, id, 0);
}

/* The two slow parts of a refresh, each a call into a library: the shell's icon and the tooltip. */
static void ShowIconAndPath(HWND dlg, const char *path)
{
    ShowFileIcon(dlg, path);
    UpdatePathTooltip(GetDlgItem(dlg, IDC_CURRENT_NAME), g_tooltip, IDC_CURRENT_NAME, path);
}

static void ShowAttributes(HWND dlg, const char *path)
{
    char label[8];

    g_currentAttributes = GetFileAttributesA(path);
    label[0] = '[';
    FormatAttributes(g_currentAttributes, label + 1);
    lstrcatA(label, "]");
    SetDlgItemTextA(dlg, IDC_ATTRIBUTES, label);
}

static BOOL ShowEntry(HWND dlg)
{
    char path[PATH_TEXT];

    if (g_current >= g_entryCount)
        return TRUE;
    FileEntry *entry = g_entries[g_current];
    BOOL last = g_current == g_entryCount - 1;
    ShowCounterTitle(g_current, dlg, g_entryCount);
    lstrcpynA(path, entry->path, sizeof(path));
    EnableWindow(GetDlgItem(dlg, IDC_PREV), g_current != 0);
    EnableWindow(GetDlgItem(dlg, IDC_NEXT), !last);
    SetDefaultButton(dlg, last ? IDOK : IDC_NEXT);
    const char *name = FileNamePart(path);
    SetDlgItemTextA(dlg, IDC_CURRENT_NAME, name);
    SetDlgItemTextA(dlg, IDC_NEW_NAME, entry->newName[0] ? entry->newName : name);
    ShowAttributes(dlg, path);
    /* When the user works in the list window, the refresh leaves the focus and the rows alone.
       Otherwise the focus goes back to the name field, also from a button just clicked: there
       the letters of the next name would press buttons as mnemonics. */
    if (GetForegroundWindow() == dlg) {
        if (IsListWindowOpen())
            SelectListRow(g_current);
        FocusControl(dlg, GetDlgItem(dlg, IDC_NEW_NAME));
    }
    SelectNamePart(GetDlgItem(dlg, IDC_NEW_NAME));
    /* Last: the shell's icon may take seconds on a slow share, and the texts are the new entry's
       meanwhile. */
    if (g_started) {
        UpdateWindow(dlg);    /* painted now: the message loop runs only after the shell's call */
        ShowIconAndPath(dlg, path);
    }
    return TRUE;
}

static void SubclassNameField(HWND dlg)
{
    HWND edit = GetDlgItem(dlg, IDC_NEW_NAME);
    g_editProc = (WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)NameEditProc);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(2, 0));
}

static void EndRenameDialog(HWND dlg)
{
    if (g_editProc) {
        SetWindowLongPtrA(GetDlgItem(dlg, IDC_NEW_NAME), GWLP_WNDPROC, (LONG_PTR)g_editProc);
        g_editProc = NULL;
    }
    SetFileIcon(dlg, NULL);
    FreeFileList(g_entries);
    g_entries = NULL;
    g_entryCount = 0;
    g_current = 0;
    EndDialog(dlg, 0);
}

static BOOL InitRenameDialog(HWND dlg, const char *commandLine)
{
    CenterWindow(dlg);
    SetFocus(NULL);
    const char *paths = ParseOptions(commandLine);
    g_current = 0;
    g_entries = BuildFileList(paths, &g_entryCount);
    /* The beep of the name errors tells that no file could be taken, unless the notice of files
       that cannot be named says more. */
    if (g_entryCount == 0) {
        if (!ReportUnnamablePaths(NULL))
            MessageBeep(MB_ICONWARNING);
        EndRenameDialog(dlg);
        return TRUE;
    }
    if (!g_entries[1]) {
        ShowWindow(GetDlgItem(dlg, IDC_PREV), SW_HIDE);
        ShowWindow(GetDlgItem(dlg, IDC_NEXT), SW_HIDE);
    } else {
        SortFileList(g_entries, g_entryCount);
    }
    SubclassNameField(dlg);
    ExtendSystemMenu(dlg);
    g_started = FALSE;
    g_tooltip = NULL;
    SendMessageA(dlg, WM_APP_SHOWENTRY, 0, 0);
    FocusControl(dlg, GetDlgItem(dlg, IDC_NEW_NAME));
    /* Always on top from the first sight. The list window of /p, owned by the dialog, is then
       created topmost as well, as every window owned by a topmost one is. */
    if (g_options & OPTION_TOPMOST)
        ToggleTopmost(dlg, GetSystemMenu(dlg, FALSE), IDM_TOPMOST);
    /* The dialog manager would show the dialog only once its queue runs empty: it is shown and
       painted now, and the rest follows right after. */
    ShowWindow(dlg, SW_SHOW);
    UpdateWindow(dlg);
    PostMessageA(dlg, WM_APP_FINISHSTART, 0, 0);
    return TRUE;
}

/* The list window of /p opens after the dialog is on screen, below it and without the activation:
   the user starts in the name field, and neither title bar flashes. */
static void OpenStartListWindow(HWND dlg)
{
    ListWindowParams params = { g_entries, (LONG)g_current, (LONG)g_entryCount, FALSE };
    if (OpenListWindow(dlg, &params))
        UpdateWindow(g_listWindow);
}

/* What the first paint does not need comes in two steps, each a posted message, so that the
   program answers and paints in between: first the common controls and the list window of /p
   (which needs them), painted at once; then the path tooltip and the shell's icon (the slowest,
   some 50 ms). */
static void FinishStart(HWND dlg, WPARAM step)
{
    if (!g_entries || g_started)
        return;
    if (step == 0) {
        RegisterControlClasses();
        if (g_options & OPTION_LIST)
            OpenStartListWindow(dlg);
        PostMessageA(dlg, WM_APP_FINISHSTART, 1, 0);
        return;
    }
    g_tooltip = CreatePathTooltip(GetDlgItem(dlg, IDC_CURRENT_NAME), IDC_CURRENT_NAME);
    g_started = TRUE;
    if (HasCurrentEntry())
        ShowIconAndPath(dlg, g_entries[g_current]->path);
    ReportUnnamablePaths(dlg);
}

/* Checks the typed name and stores it in the entry being left. id is the command that asked:
   when it names a button, a taken name makes that button the default, so that Enter tries the
   same move again. */
static BOOL StoreTypedName(HWND dlg, int id)
{
    char name[PATH_TEXT];
    int check = CheckTypedName(dlg, name);

    if (check == NAME_TAKEN && GetDlgItem(dlg, id))
        SetDefaultButton(dlg, id);
    if (check != NAME_OK)
        return FALSE;
    if (IsListWindowOpen())
        SetListNewName(name, g_current);
    lstrcpynA(g_entries[g_current]->newName, name, PATH_TEXT);
    return TRUE;
}

static void GoToEntry(HWND dlg, int id, DWORD index)
{
    if (!StoreTypedName(dlg, id))
        return;
    g_current = index;
    SendMessageA(dlg, WM_APP_SHOWENTRY, 0, 0);
}

static void MoveBy(HWND dlg, int id, int step)
{
    /* At the first entry, previous only sends the focus to OK and back, which selects the name afresh. */
    if (step < 0 && g_current == 0) {
        FocusControl(dlg, GetDlgItem(dlg, IDOK));
        FocusControl(dlg, GetDlgItem(dlg, IDC_NEW_NAME));
        return;
    }
    if (g_current + step >= g_entryCount)
        return;
    GoToEntry(dlg, id, g_current + step);
}

/* A jump to the entry on display is ignored: it is the list window's echo of our own row selection. */
static void JumpTo(HWND dlg, WPARAM wParam)
{
    DWORD index = (DWORD)LOWORD(wParam) - IDM_JUMP_BASE;
    if (HIWORD(wParam) != 0 || index == g_current || index >= g_entryCount)
        return;
    GoToEntry(dlg, LOWORD(wParam), index);
}

static void ShowListWindow(HWND dlg)
{
    if (IsListWindowOpen()) {
        ActivateListWindow();
        return;
    }
    ListWindowParams params = { g_entries, (LONG)g_current, (LONG)g_entryCount, TRUE };
    OpenListWindow(dlg, &params);
}

/* While the renames run, whatever still arrives (a posted shortcut, a list row, a button pressed
   behind the shell's own windows) is dropped: it would change or free the list being walked. */
static BOOL OnCommand(HWND dlg, WPARAM wParam)
{
    if (g_commitState != COMMIT_NONE)
        return TRUE;
    switch (LOWORD(wParam)) {
    case IDOK:            CommitRenames(dlg); return TRUE;
    case IDCANCEL:        EndRenameDialog(dlg); return FALSE;
    case IDC_NEXT:        MoveBy(dlg, IDC_NEXT, 1); return TRUE;
    case IDC_PREV:        MoveBy(dlg, IDC_PREV, -1); return TRUE;
    case IDC_MENU_BUTTON: ShowFileMenu(dlg, GetDlgItem(dlg, IDC_MENU_BUTTON), g_entryCount, g_entries); return TRUE;
    case IDM_SHOW_LIST:   ShowListWindow(dlg); return TRUE;
    case IDM_REVERT_EDIT:
    case IDM_REVERT:      RevertCurrent(dlg); return TRUE;
    case IDM_OPEN:        OpenCurrentFile(dlg); return TRUE;
    case IDM_REVERT_ALL:  RevertAll(g_entries, dlg, g_entryCount, g_current); return TRUE;
    default:              JumpTo(dlg, wParam); return TRUE;
    }
}

static void OnSysCommand(HWND dlg, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDM_VERSION: ShowVersionBox(dlg); break;
    case IDM_TOPMOST: ToggleTopmost(dlg, GetSystemMenu(dlg, FALSE), IDM_TOPMOST); break;
    }
}

INT_PTR CALLBACK RenameDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return InitRenameDialog(dlg, (const char *)lParam);
    case WM_COMMAND:
        return OnCommand(dlg, wParam);
    case WM_SYSCOMMAND:
        OnSysCommand(dlg, wParam);
        return FALSE;
    case WM_TIMER:
        KillTimer(dlg, TITLE_TIMER);
        if (g_commitState == COMMIT_NONE)
            ShowCounterTitle(g_current, dlg, g_entryCount);
        return FALSE;
    case WM_SETCURSOR:
        return ShowWaitCursor(dlg);
    case WM_MOVE:
        FollowRenameDialog(dlg);
        return FALSE;
    case WM_APP_SHOWENTRY:
        return ShowEntry(dlg);
    case WM_APP_FINISHSTART:
        FinishStart(dlg, wParam);
        return TRUE;
    }
    return FALSE;
}

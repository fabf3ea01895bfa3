/* The list window: every entry's current name, new name and path, kept in step with the dialog.
   It copies all texts when it opens and never reads the file list afterwards. */
#include "brisknote.h"
#include <commctrl.h>
#include "../res/resource.h"

HWND g_listWindow;
/* The list view's own window procedure, behind ListViewProc. */
static WNDPROC g_listViewProc;
/* Opened without the activation: the focus goes to the list when the window is first activated. */
static BOOL g_focusListOnActivate;

static const char g_listTitle[] = "リネームリスト";
static const char *const g_columnHeaders[] = {"現在の名前", "新しいの名前", "パス"};
static const int g_columnWidths[] = {120, 120, 200};
static const int LIST_HEIGHT = 220;

static LRESULT InsertListColumn(HWND list, int width, const char *text, int column, int format)
{
    LVCOLUMNA col;
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = (char *)text;
    col.iSubItem = column;
    return SendMessageA(list, LVM_INSERTCOLUMNA, column, (LPARAM)&col);
}

static LRESULT InsertListItem(HWND list, const char *text, int row, LPARAM data)
{
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.iSubItem = 0;
    item.pszText = (char *)text;
    item.lParam = data;
    return SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

static LRESULT SetListItemText(HWND list, const char *text, int row, int column)
{
    LVITEMA item;
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = (char *)text;
    return SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
}

static void SetRowSelected(HWND list, DWORD row)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

/* Where the list window stands below the rename dialog. The vertical frame metric serves the
   horizontal offset too. */
static POINT PositionBelow(HWND dlg, RECT *dialogRect)
{
    int dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
    GetWindowRect(dlg, dialogRect);
    POINT at = {dialogRect->left - dialogFrame, dialogRect->bottom + 2 * dialogFrame};
    return at;
}

static void PlaceBelowOwner(HWND window)
{
    RECT owner;
    POINT at = PositionBelow(GetParent(window), &owner);
    MoveWindow(window, at.x, at.y, owner.right - owner.left + GetSystemMetrics(SM_CYFRAME), LIST_HEIGHT, TRUE);
}

/* With redrawing off and room made first, a full command line of rows goes in quickly. */
static void FillRows(HWND list, FileList entries)
{
    int count = 0;
    while (entries && entries[count])
        count++;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, count, 0);
    for (int i = 0; i < count; i++) {
        InsertListItem(list, FileNamePart(entries[i]->path), i, i);
        SetListItemText(list, entries[i]->newName, i, 1);
        SetListItemText(list, entries[i]->path, i, 2);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

static int FillListWindow(HWND window, ListWindowParams *params)
{
    HWND list = GetDlgItem(window, IDC_LIST);

    if (!params)
        return 0;
    SetWindowTextA(window, g_listTitle);
    PlaceBelowOwner(window);
    LRESULT style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 3; column++)
        InsertListColumn(list, g_columnWidths[column], g_columnHeaders[column], column, LVCFMT_LEFT);
    FillRows(list, params->entries);
    /* Not scrolled into view; the selection echoes as a jump to the entry on display, which the
       dialog ignores. */
    SetRowSelected(list, params->current);
    /* Focusing a control activates its window, even a hidden one. */
    g_focusListOnActivate = !params->activate;
    if (params->activate)
        SendMessageA(window, WM_NEXTDLGCTL, (WPARAM)list, TRUE);
    return 1;
}

/* The list fills the window above the close button, which keeps its size in the corner. The
   window does not clip its children: erasing the area a larger window gains paints over the
   button that was just moved there with its old bits, and over the list's header. Everything is
   drawn again, the window before its children. */
static void LayoutListWindow(HWND window)
{
    RECT client, button;
    HWND close = GetDlgItem(window, IDCANCEL);
    GetClientRect(window, &client);
    GetClientRect(close, &button);
    MoveWindow(GetDlgItem(window, IDC_LIST), 0, 0, client.right, client.bottom - button.bottom - 8, TRUE);
    SetWindowPos(close, NULL, client.right - button.right - 2, client.bottom - button.bottom - 4, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

static void FocusNameField(HWND window)
{
    SendMessageA(window, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(GetParent(window), IDC_NEW_NAME), TRUE);
}

static void CloseListWindow(HWND window)
{
    FocusNameField(window);
    DestroyWindow(window);
    g_listWindow = NULL;
}

/* The rename dialog's loop gives this window no dialog keyboard handling, so Tab, Escape and the
   close button's Alt+X are taken from the list view's key notifications. */
static void OnListKey(HWND window, WORD key)
{
    switch (key) {
    case VK_TAB:
        FocusNameField(window);
        break;
    case 'X':    /* with Ctrl down too, Alt is AltGr, and X one of its letters */
        if (!(GetKeyState(VK_MENU) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000))
            break;
        /* fall through */
    case VK_ESCAPE:
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        break;
    }
}

/* Alt+X from a keyboard reaches the list view as a system character, which a list view leaves to
   the default handling and no key notification reports. */
static LRESULT CALLBACK ListViewProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCHAR && (wParam == 'x' || wParam == 'X')) {
        SendMessageA(GetParent(list), WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    return CallWindowProcA(g_listViewProc, list, msg, wParam, lParam);
}

static void SubclassListView(HWND window)
{
    HWND list = GetDlgItem(window, IDC_LIST);
    g_listViewProc = (WNDPROC)GetWindowLongPtrA(list, GWLP_WNDPROC);
    SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ListViewProc);
}

/* Only a row's change to selected and focused is a choice: a single-selection list reports the
   old row's steps down and partial states on the way. The code is looked at first: every row
   inserted is reported too, and under Wine each GetDlgItem asks the server, which made filling a
   long list eight times slower. */
static void OnListNotify(HWND window, NMHDR *header)
{
    if (header->code != LVN_KEYDOWN && header->code != LVN_ITEMCHANGED)
        return;
    if (header->hwndFrom != GetDlgItem(window, IDC_LIST))
        return;
    if (header->code == LVN_KEYDOWN) {
        OnListKey(window, ((NMLVKEYDOWN *)header)->wVKey);
    } else if (header->code == LVN_ITEMCHANGED) {
        NMLISTVIEW *change = (NMLISTVIEW *)header;
        if (change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
            SendMessageA(GetParent(window), WM_COMMAND, (WORD)(IDM_JUMP_BASE + change->iItem), 0);
    }
}

/* The list view works out its row height and scroll ranges at its first paint, and sets each
   scroll bar twice on the way. A paint into a memory DC while the window is still hidden settles
   them unseen, so the first paint on screen draws each bar once: a themed bar takes milliseconds
   to draw. */
static void MeasureListRows(HWND list)
{
    HDC memory = CreateCompatibleDC(NULL);
    if (!memory)
        return;
    SendMessageA(list, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT);
    DeleteDC(memory);
}

static INT_PTR CALLBACK ListDlgProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        /* Subclassed once the rows are in, which takes thousands of messages to the list view. */
        FillListWindow(window, (ListWindowParams *)lParam);
        SubclassListView(window);
        LayoutListWindow(window);
        MeasureListRows(GetDlgItem(window, IDC_LIST));
        return FALSE;
    case WM_SIZE:
        LayoutListWindow(window);
        return FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && g_focusListOnActivate) {
            g_focusListOnActivate = FALSE;
            SendMessageA(window, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(window, IDC_LIST), TRUE);
        }
        return FALSE;
    case WM_SYSCOLORCHANGE:
        /* Only top-level windows are told; the list view keeps its old colours otherwise. */
        SendDlgItemMessageA(window, IDC_LIST, WM_SYSCOLORCHANGE, wParam, lParam);
        return FALSE;
    case WM_NOTIFY:
        if (g_commitState == COMMIT_NONE)
            OnListNotify(window, (NMHDR *)lParam);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL || g_commitState != COMMIT_NONE)
            return FALSE;
        CloseListWindow(window);
        return TRUE;
    }
    return FALSE;
}

int OpenListWindow(HWND owner, ListWindowParams *params)
{
    g_listWindow = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_LIST), owner, ListDlgProc, (LPARAM)params);
    if (g_listWindow)
        ShowWindow(g_listWindow, params->activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    return g_listWindow != NULL;
}

int IsListWindowOpen(void)
{
    return g_listWindow ? IsWindow(g_listWindow) : 0;
}

BOOL ActivateListWindow(void)
{
    return SetForegroundWindow(g_listWindow);
}

void FollowRenameDialog(HWND dlg)
{
    RECT rect;
    if (IsWindowVisible(g_listWindow) != TRUE)
        return;
    POINT at = PositionBelow(dlg, &rect);
    SetWindowPos(g_listWindow, NULL, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetListNewName(const char *text, DWORD row)
{
    LVITEMA item;
    if (!text || !g_listWindow)
        return;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = 1;
    item.pszText = (char *)text;
    SendDlgItemMessageA(g_listWindow, IDC_LIST, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

/* A new pass holds only the files whose rename failed. Its rows are built afresh, so that row i is
   entry i again: the dialog's changes go by index, and the renamed files are done with. */
void RefillListWindow(FileList entries)
{
    HWND list = GetDlgItem(g_listWindow, IDC_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    FillRows(list, entries);
    InvalidateRect(list, NULL, TRUE);
}

void SelectListRow(DWORD row)
{
    HWND list = GetDlgItem(g_listWindow, IDC_LIST);
    SetRowSelected(list, row);
    SendMessageA(list, LVM_ENSUREVISIBLE, row, TRUE);
}

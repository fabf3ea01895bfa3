/* The list window with the real rename dialog: where it opens, how it follows and lays itself
   out, its rows, and the selection going both ways between the two windows. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <commctrl.h>

static HWND ListView(void)
{
    return GetDlgItem(g_listWindow, IDC_LIST);
}

static int SelectedRow(void)
{
    return (int)SendMessageA(ListView(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

static UINT RowState(int row)
{
    return (UINT)SendMessageA(ListView(), LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED);
}

static int RowCount(void)
{
    return (int)SendMessageA(ListView(), LVM_GETITEMCOUNT, 0, 0);
}

/* What a click or an arrow key does to a row. */
static void ChooseRow(int row)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(ListView(), LVM_SETITEMSTATE, row, (LPARAM)&item);
}

static RECT WindowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

class ListWindowTest : public RenameDialogTest {
protected:
    void Open(int files, const std::string &options = "/p ") { OpenNumbered(files, options, 0); }
    void ToDialog()
    {
        SetForegroundWindow(dlg);
        PumpMessages();
    }
    void ToList()
    {
        SetForegroundWindow(g_listWindow);
        SetFocus(ListView());
        PumpMessages();
    }
};

TEST_F(ListWindowTest, OpensBelowTheDialogWithTheCurrentRowChosen)
{
    Open(3);
    ASSERT_TRUE(IsListWindowOpen());
    RECT d = WindowRect(dlg), l = WindowRect(g_listWindow);
    int dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(d.left - dialogFrame, l.left);
    EXPECT_EQ(d.bottom + 2 * dialogFrame, l.top);
    EXPECT_EQ(d.right - d.left + GetSystemMetrics(SM_CYFRAME), l.right - l.left);
    EXPECT_EQ(220, l.bottom - l.top);
    EXPECT_EQ("リネームリスト", WindowText(g_listWindow));
    EXPECT_EQ(LVIS_SELECTED | LVIS_FOCUSED, RowState(0));
    EXPECT_EQ(0u, g_current);
    /* Opened later from the dialog, the window becomes active with the focus in the list. */
    SendMessageA(g_listWindow, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(dlg, WM_COMMAND, IDM_SHOW_LIST, 0);
    EXPECT_EQ(g_listWindow, GetForegroundWindow());
    EXPECT_EQ(ListView(), GetFocus());
    EXPECT_TRUE(SendMessageA(ListView(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    const char *headers[] = {"現在の名前", "新しいの名前", "パス"};
    for (int column = 0; column < 3; column++) {
        char text[64] = "";
        LVCOLUMNA col;
        ZeroMemory(&col, sizeof(col));
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = sizeof(text);
        SendMessageA(ListView(), LVM_GETCOLUMNA, column, (LPARAM)&col);
        EXPECT_STREQ(headers[column], text);
        EXPECT_EQ(column == 2 ? 200 : 120, col.cx);
    }
}

TEST_F(ListWindowTest, RowsHoldNamesNewNamesAndPaths)
{
    std::string j = folder.MakeFile("報告書.txt"), a = folder.MakeFile("a.txt");
    dlg = OpenRenameDialog("/p \"" + a + "\" \"" + j + "\" \"" + a + "\"");
    ASSERT_EQ(3, RowCount());
    EXPECT_EQ("a.txt", ListCell(0, 0));
    EXPECT_EQ("a.txt", ListCell(0, 1));
    EXPECT_EQ(a, ListCell(0, 2));
    EXPECT_EQ("a.txt", ListCell(1, 0)) << "a file named twice has two rows";
    EXPECT_EQ("報告書.txt", ListCell(2, 0));
    EXPECT_EQ("報告書.txt", ListCell(2, 1));
    EXPECT_EQ(j, ListCell(2, 2));
}

TEST_F(ListWindowTest, FollowsTheDialogOnlyWhileVisible)
{
    Open(2);
    SetWindowPos(g_listWindow, NULL, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(dlg, NULL, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT d = WindowRect(dlg), l = WindowRect(g_listWindow);
    int dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(d.left - dialogFrame, l.left);
    EXPECT_EQ(d.bottom + 2 * dialogFrame, l.top);
    EXPECT_EQ(400, l.right - l.left) << "the user's size stays";
    EXPECT_EQ(300, l.bottom - l.top);

    ShowWindow(g_listWindow, SW_HIDE);
    SetWindowPos(dlg, NULL, 100, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT hidden = WindowRect(g_listWindow);
    EXPECT_EQ(l.left, hidden.left) << "a hidden window does not follow";
    EXPECT_EQ(l.top, hidden.top);

    SendMessageA(g_listWindow, WM_COMMAND, IDCANCEL, 0);
    SetWindowPos(dlg, NULL, 120, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(IsListWindowOpen());
}

TEST_F(ListWindowTest, LayoutAfterResizing)
{
    Open(2);
    HWND close = GetDlgItem(g_listWindow, IDCANCEL);
    RECT before;
    GetClientRect(close, &before);
    int sizes[][2] = {{500, 300}, {260, 180}, {700, 500}};
    for (auto &size : sizes) {
        SetWindowPos(g_listWindow, NULL, 0, 0, size[0], size[1], SWP_NOMOVE | SWP_NOZORDER);
        RECT client, list, button;
        GetClientRect(g_listWindow, &client);
        GetWindowRect(ListView(), &list);
        MapWindowPoints(NULL, g_listWindow, (POINT *)&list, 2);
        GetWindowRect(close, &button);
        MapWindowPoints(NULL, g_listWindow, (POINT *)&button, 2);
        EXPECT_EQ(0, list.left);
        EXPECT_EQ(0, list.top);
        EXPECT_EQ(client.right, list.right);
        EXPECT_EQ(client.bottom - before.bottom - 8, list.bottom);
        EXPECT_EQ(client.right - 2, button.right);
        EXPECT_EQ(client.bottom - 4, button.bottom);
        EXPECT_EQ(before.right, button.right - button.left) << "the button keeps its size";
        EXPECT_EQ(before.bottom, button.bottom - button.top);
    }
}

TEST_F(ListWindowTest, MovesInTheDialogShowInTheList)
{
    Open(3);
    ToDialog();
    TypeName(dlg, "first.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("first.txt", ListCell(0, 1));
    EXPECT_EQ("file00.txt", ListCell(0, 0));
    EXPECT_EQ(LVIS_SELECTED | LVIS_FOCUSED, RowState(1));
    EXPECT_EQ(0u, RowState(0));
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus()) << "the refresh leaves the focus in the field";
    TypeName(dlg, "second.txt");
    Command(dlg, IDC_PREV);
    EXPECT_EQ("second.txt", ListCell(1, 1));
    EXPECT_EQ(0, SelectedRow());
    SendMessageA(dlg, WM_COMMAND, IDM_JUMP_BASE + 2, 0);
    EXPECT_EQ(2u, g_current);
    EXPECT_EQ(2, SelectedRow());
    EXPECT_EQ("first.txt", ListCell(0, 1));
}

TEST_F(ListWindowTest, ScrollsOnlyToARowOutOfSight)
{
    Open(40);
    ToDialog();
    EXPECT_EQ(0, SendMessageA(ListView(), LVM_GETTOPINDEX, 0, 0));
    SendMessageA(dlg, WM_COMMAND, IDM_JUMP_BASE + 2, 0);
    EXPECT_EQ(0, SendMessageA(ListView(), LVM_GETTOPINDEX, 0, 0)) << "a visible row needs no scrolling";
    SendMessageA(dlg, WM_COMMAND, IDM_JUMP_BASE + 35, 0);
    int top = (int)SendMessageA(ListView(), LVM_GETTOPINDEX, 0, 0);
    int perPage = (int)SendMessageA(ListView(), LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_LE(top, 35);
    EXPECT_GE(top + perPage, 35) << "row 35 was not scrolled into view";
    Command(dlg, IDC_PREV);
    EXPECT_EQ(top, SendMessageA(ListView(), LVM_GETTOPINDEX, 0, 0));
}

TEST_F(ListWindowTest, ChoosingARowJumpsWithoutTakingTheList)
{
    Open(3);
    ToList();
    ASSERT_EQ(g_listWindow, GetForegroundWindow());
    TypeName(dlg, "typed.txt");
    ChooseRow(2);
    EXPECT_EQ(2u, g_current);
    EXPECT_EQ("Quillmark(3/3)", WindowText(dlg));
    EXPECT_STREQ("typed.txt", g_entries[0]->newName);
    EXPECT_EQ("typed.txt", ListCell(0, 1));
    EXPECT_EQ(g_listWindow, GetForegroundWindow());
    EXPECT_EQ(ListView(), GetFocus());
    EXPECT_EQ(2, SelectedRow());
    SendMessageA(ListView(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(1u, g_current) << "an arrow key walks the dialog";
    EXPECT_EQ(ListView(), GetFocus());
}

TEST_F(ListWindowTest, ARefusedJumpLeavesTheDialogAndTheChosenRow)
{
    Open(3);
    ToList();
    TypeName(dlg, "");
    ChooseRow(2);
    EXPECT_EQ(0u, g_current);
    EXPECT_EQ("Quillmark(1/3) 名前を入力してください。", WindowText(dlg));
    EXPECT_EQ(2, SelectedRow()) << "the list keeps the chosen row";
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
}

TEST_F(ListWindowTest, TabAndShiftTabGoToTheNameField)
{
    Open(2);
    ToList();
    SendMessageA(ListView(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
    EXPECT_TRUE(IsListWindowOpen());
    ToList();
    keybd_event(VK_SHIFT, 0, 0, 0);
    SendMessageA(ListView(), WM_KEYDOWN, VK_TAB, 0);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
}

TEST_F(ListWindowTest, EscapeClosesAndFocusesTheNameField)
{
    Open(2);
    ToList();
    SendMessageA(ListView(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsListWindowOpen());
    EXPECT_EQ(nullptr, g_listWindow);
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
}

TEST_F(ListWindowTest, XClosesOnlyWithAlt)
{
    Open(2);
    SendMessageA(ListView(), WM_KEYDOWN, 'X', 0);
    EXPECT_TRUE(IsListWindowOpen());
    keybd_event(VK_MENU, 0, 0, 0);
    SendMessageA(ListView(), WM_KEYDOWN, 'X', 0);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    /* Alt pressed and released alone would open the system menu's modal loop. */
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        ;
    EXPECT_FALSE(IsListWindowOpen());
}

TEST_F(ListWindowTest, CloseButtonAndCloseBoxClose)
{
    Open(2);
    SendMessageA(GetDlgItem(g_listWindow, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsListWindowOpen());
    SendMessageA(dlg, WM_COMMAND, IDM_SHOW_LIST, 0);
    ASSERT_TRUE(IsListWindowOpen());
    SendMessageA(g_listWindow, WM_CLOSE, 0, 0);
    PumpMessages();     /* the dialog manager posts the close box's IDCANCEL */
    EXPECT_FALSE(IsListWindowOpen());
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
}

TEST_F(ListWindowTest, ShowListAgainOnlyBringsItForward)
{
    Open(2);
    HWND first = g_listWindow;
    SetListNewName("marker", 1);
    ToDialog();
    SendMessageA(dlg, WM_COMMAND, IDM_SHOW_LIST, 0);
    EXPECT_EQ(first, g_listWindow);
    EXPECT_EQ("marker", ListCell(1, 1)) << "the rows were rebuilt";
    EXPECT_EQ(g_listWindow, GetForegroundWindow());
}

TEST_F(ListWindowTest, OpensWhereTheDialogStands)
{
    Open(4, "");
    EXPECT_FALSE(IsListWindowOpen()) << "without /p the list stays closed";
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_NEXT);
    SendMessageA(dlg, WM_COMMAND, IDM_SHOW_LIST, 0);
    ASSERT_TRUE(IsListWindowOpen());
    EXPECT_EQ(2, SelectedRow());
    EXPECT_EQ(2u, g_current);
}

TEST_F(ListWindowTest, ANewPassKeepsTheOldRowsUntilReopened)
{
    Open(3);
    ToDialog();
    TypeName(dlg, "a.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "b.txt");
    HANDLE held = HoldOpen(paths[1]);
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
    }
    CloseHandle(held);
    ASSERT_EQ(1u, g_entryCount);
    EXPECT_EQ(3, RowCount()) << "the open window keeps the rows of the earlier pass";
    ToList();
    ChooseRow(2);
    EXPECT_EQ(0u, g_current) << "a row beyond the new count jumps nowhere";
    SendMessageA(g_listWindow, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(dlg, WM_COMMAND, IDM_SHOW_LIST, 0);
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ("file01.txt", ListCell(0, 0));
}

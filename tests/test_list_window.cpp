/* The list window with the real rename dialog: where it stands, its rows, its keys, and the
   selection going both ways between the two windows. */
#include "test_support.h"


/* The gaps, in pixels, from the client area's left, top and right to the list; from the list to
   the close button below it; from the button to the client area's right and bottom. */
static std::string Layout(void)
{
    RECT client, list = ScreenRect(ListView()), button = ScreenRect(GetDlgItem(g_listWindow, IDCANCEL));
    GetClientRect(g_listWindow, &client);
    MapWindowPoints(g_listWindow, NULL, (POINT *)&client, 2);
    std::string gaps;
    for (LONG gap : {list.left - client.left, list.top - client.top, client.right - list.right, button.top - list.bottom,
                     client.right - button.right, client.bottom - button.bottom})
        gaps += std::to_string(gap) + " ";
    return gaps;
}

using ListWindowTest = DialogTest;
static const std::vector<std::string> files = {"a.txt", "b.txt", "表.txt"};

TEST_F(ListWindowTest, OpensBelowTheDialogAndFollowsIt)
{
    Open(files, "/p");
    RECT d = ScreenRect(dlg), l = ScreenRect(g_listWindow);
    EXPECT_TRUE(l.top >= d.bottom && l.top < d.bottom + 20 && l.left <= d.left && l.right >= d.right && l.right < d.right + 10)
        << "list at " << l.left << "," << l.top << "-" << l.right << ", dialog at " << d.left << "-" << d.right << "," << d.bottom;
    EXPECT_EQ("0 0 0 4 2 4 ", Layout()) << "at the start";
    int columns = (int)SendMessageA((HWND)SendMessageA(ListView(), LVM_GETHEADER, 0, 0), HDM_GETITEMCOUNT, 0, 0);
    EXPECT_EQ("表.txt|表.txt|" + folder.Path("表.txt") + "|3", ListCell(2, 0) + "|" + ListCell(2, 1) + "|" + ListCell(2, 2) + "|" + std::to_string(columns));
    bool told = false;
    SpyOn(ListView(), [&](UINT msg) { told = told || msg == WM_SYSCOLORCHANGE; });
    SendMessageA(g_listWindow, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(told) << "a change of the system's colours reaches the list view";
    SetWindowPos(dlg, NULL, d.left + 30, d.top - 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT moved = ScreenRect(g_listWindow);
    EXPECT_EQ(std::to_string(l.left + 30) + "," + std::to_string(l.top - 40), std::to_string(moved.left) + "," + std::to_string(moved.top));
    PumpMessages();
    SetWindowPos(g_listWindow, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ("0 0 0 4 2 4 ", Layout()) << "after resizing";
    EXPECT_TRUE(GetUpdateRect(GetDlgItem(g_listWindow, IDCANCEL), NULL, FALSE)) << "the moved button is drawn again";
    ShowWindow(g_listWindow, SW_HIDE);
    SetWindowPos(dlg, NULL, d.left, d.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(moved.left, ScreenRect(g_listWindow).left) << "a hidden list does not follow";
    EXPECT_EQ(500, ScreenRect(g_listWindow).right - moved.left) << "its size is the user's";
}

/* Opened from the menu on entry 2, the list shows the name typed for entry 1 and selects row 1;
   afterwards the moves, a revert and revert all reach the rows, and a row chosen in the list moves
   the dialog. On a long list, a jump far down scrolls the row into view. */
TEST_F(ListWindowTest, SelectionAndNamesGoBothWays)
{
    Open(files);
    TypeName(dlg, "renamed.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDM_SHOW_LIST);
    EXPECT_EQ("a.txt renamed.txt 1 list focused",
              ListCell(0, 0) + " " + ListCell(0, 1) + " " + std::to_string(SelectedRow()) + (GetFocus() == ListView() ? " list focused" : ""));
    SetForegroundWindow(dlg);
    TypeName(dlg, "b2.txt");
    Command(dlg, IDC_PREV);
    Command(dlg, IDM_REVERT);
    EXPECT_EQ("a.txt b2.txt 0", ListCell(0, 1) + " " + ListCell(1, 1) + " " + std::to_string(SelectedRow()));
    Command(dlg, IDM_REVERT_ALL);
    EXPECT_EQ("b.txt", ListCell(1, 1)) << "revert all reaches the rows";
    SetForegroundWindow(g_listWindow);    /* the list keeps the focus it had */
    SendKeys({VK_DOWN, -VK_DOWN});
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg)) << "an arrow key in the list moves the dialog";
    EXPECT_EQ(ListView(), GetFocus()) << "and the focus stays in the list";
    TypeName(dlg, "");
    SendKeys({VK_UP, -VK_UP});
    EXPECT_EQ("Quillmark(2/3) 名前を入力してください。", WindowText(dlg)) << "a refused jump";
    EXPECT_EQ(0, SelectedRow()) << "the chosen row stays";
    EXPECT_EQ(edit, GetFocus());
    TypeName(dlg, "c.txt");
    Command(dlg, IDM_SHOW_LIST);
    EXPECT_EQ(g_listWindow, GetForegroundWindow()) << "showing the list again brings it forward";
    EXPECT_EQ("表.txt", ListCell(2, 1)) << "without rebuilding its rows";
    std::vector<std::string> many;
    for (int i = 0; i < 40; i++)
        many.push_back("f" + std::to_string(100 + i));
    Reopen(many, "/p");
    SetForegroundWindow(dlg);
    Command(dlg, IDM_JUMP_BASE + 39);
    int top = (int)SendMessageA(ListView(), LVM_GETTOPINDEX, 0, 0), rows = (int)SendMessageA(ListView(), LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_TRUE(top <= 39 && 39 <= top + rows) << "row 39 of 40 is out of view: rows " << top << " to " << top + rows;
}

TEST_F(ListWindowTest, KeysAndButtons)
{
    struct { const char *what; std::function<void()> act; const char *after; } rows[] = {
        {"Tab", [] { NMLVKEYDOWN key = {{ListView(), IDC_LIST, LVN_KEYDOWN}, VK_TAB, 0};
                     SendMessageA(g_listWindow, WM_NOTIFY, IDC_LIST, (LPARAM)&key); }, "open, name field"},
        {"X alone, AltGr+X", [] { SendKeys({'X', -'X', VK_CONTROL, VK_MENU, 'X', -'X', -VK_MENU, -VK_CONTROL}); }, "open, list"},
        {"Escape", [] { SendKeys({VK_ESCAPE, -VK_ESCAPE}); }, "closed, name field"},
        {"Alt+S, Alt+Shift+O", [] { SendKeys({VK_MENU, 'S', -'S', VK_SHIFT, 'O', -'O', -VK_SHIFT, -VK_MENU}); }, "open, list"},
        {"Alt+X", [] { SendKeys({VK_MENU, 'X', -'X', -VK_MENU}); }, "closed, name field"},
        {"Alt+Shift+X", [] { SendKeys({VK_MENU, VK_SHIFT, 'X', -'X', -VK_SHIFT, -VK_MENU}); }, "closed, name field"},
        {"the close box", [] { SendMessageA(g_listWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }, "closed, name field"},
    };
    for (const auto &row : rows) {
        Reopen(files, "/p");
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, IDCANCEL), TRUE);    /* the dialog's focus left on a button */
        SetForegroundWindow(g_listWindow);
        row.act();
        PumpMessages();
        std::string focus = GetFocus() == edit ? "name field" : GetFocus() == ListView() ? "list" : "elsewhere";
        EXPECT_EQ(row.after, (IsListWindowOpen() ? "open, " : "closed, ") + focus) << row.what;
    }
}

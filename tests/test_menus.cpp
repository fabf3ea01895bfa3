/* The system menu's additions, always-on-top, the version box, the file menu and the commands
   behind it, on the real dialog. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <commctrl.h>

struct Item {
    UINT type;
    UINT id;
    std::string text;
    UINT state;
};

static Item ItemAt(HMENU menu, int position)
{
    char text[300] = "";
    MENUITEMINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return {info.fType, info.wID, text, info.fState};
}

static int PositionOf(HMENU menu, UINT id)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        if (GetMenuItemID(menu, i) == id)
            return i;
    }
    return -1;
}

static void ExpectItem(HMENU menu, int position, UINT id, const char *text)
{
    Item item = ItemAt(menu, position);
    EXPECT_EQ((UINT)MFT_STRING, item.type) << "position " << position;
    EXPECT_EQ(id, item.id) << "position " << position;
    EXPECT_EQ(text, item.text) << "position " << position;
    EXPECT_EQ(0u, item.state) << "enabled and unchecked";
}

static void ExpectSeparator(HMENU menu, int position)
{
    EXPECT_EQ((UINT)MFT_SEPARATOR, ItemAt(menu, position).type) << "position " << position;
}

class MenusTest : public RenameDialogTest {
protected:
    void Open(int files, const std::string &options = "") { OpenNumbered(files, options); }
    bool Topmost() { return (GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool Checked()
    {
        return (GetMenuState(GetSystemMenu(dlg, FALSE), IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    void SysCommand(UINT id) { SendMessageA(dlg, WM_SYSCOMMAND, id, 0); }
};

TEST_F(MenusTest, SystemMenuGainsTopmostAndVersionBeforeClose)
{
    Open(1);
    HMENU menu = GetSystemMenu(dlg, FALSE);
    int close = PositionOf(menu, SC_CLOSE);
    ASSERT_GE(close, 3);
    ExpectItem(menu, close - 3, IDM_TOPMOST, "常に手前に表示(&A)");
    ExpectItem(menu, close - 2, IDM_VERSION, "Version(&V)");
    ExpectSeparator(menu, close - 1);
    EXPECT_GE(PositionOf(menu, SC_MOVE), 0);
    EXPECT_GE(PositionOf(menu, SC_MINIMIZE), 0);
}

TEST_F(MenusTest, SystemCommandsStillWork)
{
    Open(1);
    EXPECT_FALSE(RenameDlgProc(dlg, WM_SYSCOMMAND, SC_MOVE, 0)) << "left to the default handling";
    SysCommand(SC_MINIMIZE);
    EXPECT_TRUE(IsIconic(dlg));
    SysCommand(SC_RESTORE);
    EXPECT_FALSE(IsIconic(dlg));
    SysCommand(SC_CLOSE);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(dlg));
    EXPECT_EQ(nullptr, g_entries) << "close goes through cancel";
}

TEST_F(MenusTest, TopmostTogglesTheBitAndTheCheckMark)
{
    Open(1);
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(Checked());
    SysCommand(IDM_TOPMOST);
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked());
    SysCommand(IDM_TOPMOST);
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(Checked());
}

TEST_F(MenusTest, TopmostOptionStartsOnTop)
{
    Open(1, "/t ");
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked());
    SysCommand(IDM_TOPMOST);
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(Checked());
    SysCommand(IDM_TOPMOST);
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked());
}

TEST_F(MenusTest, VersionBox)
{
    Open(1);
    MessageBoxAnswerer answerer(IDOK);
    SysCommand(IDM_VERSION);
    ASSERT_EQ(1u, answerer.texts.size());
    EXPECT_EQ("wmxpf\nVer=0.15        ", answerer.texts[0]);
    EXPECT_EQ("Quillmark", answerer.captions[0]);
}

TEST_F(MenusTest, FileMenuForOneFile)
{
    Open(1);
    HMENU menu = BuildFileMenu(g_entryCount, g_entries);
    ASSERT_EQ(7, GetMenuItemCount(menu));
    ExpectItem(menu, 0, IDM_OPEN, "開く(&E)");
    ExpectSeparator(menu, 1);
    ExpectItem(menu, 2, IDM_REVERT, "現在のファイル名に戻す(&R)");
    ExpectSeparator(menu, 3);
    ExpectItem(menu, 4, IDM_SHOW_LIST, "リストを表示(&L)");
    ExpectSeparator(menu, 5);
    ExpectItem(menu, 6, IDM_JUMP_BASE, "&1 file01.txt");
    DestroyMenu(menu);
}

TEST_F(MenusTest, FileMenuForTwoAndTwelveFiles)
{
    Open(12);
    HMENU menu = BuildFileMenu(2, g_entries);
    ASSERT_EQ(9, GetMenuItemCount(menu));
    ExpectItem(menu, 2, IDM_REVERT, "現在のファイル名に戻す(&R)");
    ExpectItem(menu, 3, IDM_REVERT_ALL, "現在のファイル名に全て戻す(&A)");
    ExpectSeparator(menu, 4);
    ExpectItem(menu, 5, IDM_SHOW_LIST, "リストを表示(&L)");
    ExpectSeparator(menu, 6);
    ExpectItem(menu, 7, IDM_JUMP_BASE, "&1 file01.txt");
    ExpectItem(menu, 8, IDM_JUMP_BASE + 1, "&2 file02.txt");
    DestroyMenu(menu);

    menu = BuildFileMenu(g_entryCount, g_entries);
    ASSERT_EQ(19, GetMenuItemCount(menu));
    ExpectItem(menu, 15, IDM_JUMP_BASE + 8, "&9 file09.txt");
    ExpectItem(menu, 16, IDM_JUMP_BASE + 9, "&10 file10.txt");
    ExpectItem(menu, 18, IDM_JUMP_BASE + 11, "&12 file12.txt");
    DestroyMenu(menu);
}

TEST_F(MenusTest, JumpItemTextIsNeverCut)
{
    std::string name(MAX_PATH - folder.Dir().size() - 2, 'n');
    std::string path = folder.MakeFile(name);
    DWORD count = 0;
    FileList list = BuildFileList(("\"" + path + "\"").c_str(), &count);
    ASSERT_EQ(1u, count);
    HMENU menu = BuildFileMenu(count, list);
    EXPECT_EQ("&1 " + name, ItemAt(menu, 6).text);
    DestroyMenu(menu);
    FreeFileList(list);
}

/* Reads the popup menu while its loop runs, then chooses an item by its access key. */
static HHOOK g_menuHook;
static std::vector<Item> g_shownItems;
static RECT g_menuRect;
static WPARAM g_menuKey;

static LRESULT CALLBACK WatchMenu(int code, WPARAM wParam, LPARAM lParam)
{
    CWPSTRUCT *call = (CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) {
        HMENU menu = (HMENU)call->wParam;
        g_shownItems.clear();
        for (int i = 0; i < GetMenuItemCount(menu); i++)
            g_shownItems.push_back(ItemAt(menu, i));
        PostMessageA(call->hwnd, WM_KEYDOWN, g_menuKey, 0);
        PostMessageA(call->hwnd, WM_CHAR, g_menuKey | 0x20, 0);
    }
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED && IsWindowVisible(call->hwnd)) {
        char className[16] = "";
        GetClassNameA(call->hwnd, className, sizeof(className));
        if (lstrcmpA(className, "#32768") == 0)
            GetWindowRect(call->hwnd, &g_menuRect);
    }
    return CallNextHookEx(g_menuHook, code, wParam, lParam);
}

TEST_F(MenusTest, MenuButtonShowsTheMenuBesideItself)
{
    Open(3);
    g_menuKey = 'L';
    SetRectEmpty(&g_menuRect);
    g_menuHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenu, NULL, GetCurrentThreadId());
    Command(dlg, IDC_MENU_BUTTON);
    UnhookWindowsHookEx(g_menuHook);
    PumpMessages();     /* the chosen command is posted */
    ASSERT_EQ(10u, g_shownItems.size());
    EXPECT_EQ("開く(&E)", g_shownItems[0].text);
    EXPECT_EQ("&3 file03.txt", g_shownItems[9].text);
    EXPECT_TRUE(IsListWindowOpen()) << "the access key L chose the list";
    RECT button;
    GetWindowRect(GetDlgItem(dlg, IDC_MENU_BUTTON), &button);
    ASSERT_FALSE(IsRectEmpty(&g_menuRect)) << "the open menu was not seen";
    EXPECT_EQ(button.right, g_menuRect.left);
    EXPECT_EQ(button.top, g_menuRect.top);
}

TEST_F(MenusTest, JumpItemMovesTheDialog)
{
    Open(3);
    g_menuKey = '3';
    g_menuHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenu, NULL, GetCurrentThreadId());
    Command(dlg, IDC_MENU_BUTTON);
    UnhookWindowsHookEx(g_menuHook);
    PumpMessages();
    EXPECT_EQ("Quillmark(3/3)", WindowText(dlg));
}

TEST_F(MenusTest, JumpToTheEntryOnDisplayDoesNothing)
{
    Open(3);
    TypeName(dlg, "");
    SendMessageA(dlg, WM_COMMAND, IDM_JUMP_BASE, 0);
    EXPECT_EQ("Quillmark(1/3)", WindowText(dlg)) << "no check, no error title";
    EXPECT_EQ("", ItemText(dlg, IDC_NEW_NAME));
}

TEST_F(MenusTest, RevertPutsTheCurrentNameBack)
{
    Open(3);
    TypeName(dlg, "one.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_PREV);
    SetFocus(GetDlgItem(dlg, IDOK));
    SendMessageA(dlg, WM_COMMAND, IDM_REVERT, 0);
    EXPECT_EQ("file01.txt", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_STREQ("file01.txt", g_entries[0]->newName);
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
    EXPECT_EQ(MAKELONG(0, 6), Selection(GetDlgItem(dlg, IDC_NEW_NAME)));
}

TEST_F(MenusTest, RevertWithTheListWindowUpdatesItsRow)
{
    Open(2, "/p ");
    TypeName(dlg, "one.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_PREV);
    SendMessageA(dlg, WM_COMMAND, IDM_REVERT_EDIT, 0);
    EXPECT_EQ("file01.txt", ListCell(0, 1));
}

TEST_F(MenusTest, RevertAllReplacesEveryPendingNameAndTheTypedText)
{
    Open(3, "/p ");
    TypeName(dlg, "one.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "two.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "typing");
    HWND focus = GetFocus();
    SendMessageA(dlg, WM_COMMAND, IDM_REVERT_ALL, 0);
    EXPECT_EQ("file03.txt", ItemText(dlg, IDC_NEW_NAME));
    for (DWORD i = 0; i < 3; i++) {
        EXPECT_STREQ(FileNamePart(g_entries[i]->path), g_entries[i]->newName);
        EXPECT_EQ(g_entries[i]->newName, ListCell(i, 1));
    }
    EXPECT_EQ(focus, GetFocus()) << "the focus stays where it was";
    EXPECT_EQ(2u, g_current);
}

TEST_F(MenusTest, OpenWithoutAnAssociatedProgramShowsTheTitle)
{
    std::string odd = folder.MakeFile("data.brisknote-unknown");
    RenameDialogTest::Open({odd});
    SendMessageA(dlg, WM_COMMAND, IDM_OPEN, 0);
    EXPECT_EQ("Quillmark(1/1) 開けませんでした。", WindowText(dlg));
    EXPECT_EQ(ContentOf("data.brisknote-unknown"), ReadContent(odd));
    PumpMessages(2200);
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
}

TEST_F(MenusTest, CommandsOnAnEmptyListDoNothing)
{
    RenameDialogTest::Open({folder.Path("missing.txt")});
    TypeName(dlg, "typed");
    const int commands[] = {IDM_OPEN, IDM_REVERT, IDM_REVERT_EDIT, IDM_REVERT_ALL, IDM_JUMP_BASE, IDM_JUMP_BASE + 1};
    for (int command : commands)
        SendMessageA(dlg, WM_COMMAND, command, 0);
    EXPECT_EQ("Dialog", WindowText(dlg));
    EXPECT_EQ("typed", ItemText(dlg, IDC_NEW_NAME));
    HMENU menu = BuildFileMenu(g_entryCount, g_entries);
    EXPECT_EQ(6, GetMenuItemCount(menu)) << "no jump items";
    DestroyMenu(menu);
}

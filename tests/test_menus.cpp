/* The system menu's additions, always-on-top, the version box, the file menu and the commands
   behind it, on the real dialog. */
#include "test_support.h"

/* The menu's items as "text" (or "-" for a separator), each with its command, one per line. */
static std::string MenuItems(HMENU menu)
{
    std::string items;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[2 * PATH_TEXT] = "";
        MENUITEMINFOA info = {sizeof(info), MIIM_STATE | MIIM_ID | MIIM_TYPE};
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, i, TRUE, &info);
        items += info.fType == MFT_SEPARATOR ? std::string("-") : std::string(text) + " " + std::to_string(info.wID);
        items += info.fState ? " state " + std::to_string(info.fState) + "\n" : "\n";
    }
    return items;
}

class MenusTest : public DialogTest {};

TEST_F(MenusTest, SystemMenuTopmostAndVersion)
{
    Open({"a.txt"}, "/t");
    const std::string items = MenuItems(GetSystemMenu(dlg, FALSE)), topmostId = std::to_string(IDM_TOPMOST);
    const std::string ours = items.substr(items.find("常に手前に表示")), version = "Version(&V) " + std::to_string(IDM_VERSION);
    EXPECT_EQ("常に手前に表示(&A) " + topmostId + " state 8\n" + version + "\n-\n閉じる", ours.substr(0, ours.find("(&C)"))) << items;
    for (bool topmost : {true, false, true}) {
        EXPECT_EQ(topmost, (GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        EXPECT_NE(std::string::npos, MenuItems(GetSystemMenu(dlg, FALSE)).find(topmostId + (topmost ? " state 8\n" : "\n")));
        SendMessageA(dlg, WM_SYSCOMMAND, IDM_TOPMOST, 0);
    }
    EXPECT_EQ(dlg, GetWindow(g_tooltip, GW_OWNER)) << "the path tooltip keeps its owner";
    MessageBoxAnswerer answerer(IDOK);
    SendMessageA(dlg, WM_SYSCOMMAND, IDM_VERSION, 0);
    EXPECT_EQ(std::vector<std::string>{"Quillmark: wmxpf\nVer=0.15        "}, answerer.texts);
    SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(Ended()) << "the system's own commands still work";
}

/* On entry 2, after a name was typed for entry 1: the jump items show the current names, and
   "revert all" comes with the second file. Then the menu's commands; Open hands the shell the
   path of the file on display. Opened by its button, the menu stands beside it, and its own loop
   reads the dialog's queue: a jump item typed there is carried out. */
TEST_F(MenusTest, FileMenuAndItsCommands)
{
    Open({"a&表.txt", "b.txt", "c.txt", "data.brisknote-unknown"});
    TypeName(dlg, "a2.txt");
    Command(dlg, IDC_NEXT);
    auto id = [](int command) { return " " + std::to_string(command) + "\n"; };
    const std::string head = "開く(&E)" + id(IDM_OPEN) + "-\n現在のファイル名に戻す(&R)" + id(IDM_REVERT);
    const std::string tail = "-\nリストを表示(&L)" + id(IDM_SHOW_LIST) + "-\n&1 a&&表.txt" + id(IDM_JUMP_BASE);
    for (DWORD count : {1u, 2u}) {
        HMENU menu = BuildFileMenu(count, g_entries);
        EXPECT_EQ(count == 1 ? head + tail : head + "現在のファイル名に全て戻す(&A)" + id(IDM_REVERT_ALL) + tail + "&2 b.txt" + id(IDM_JUMP_BASE + 1),
                  MenuItems(menu)) << count << " files";
        DestroyMenu(menu);
    }
    struct { const char *typed; int command; const char *shown; } steps[] = {
        {"b2.txt", IDM_REVERT, "Quillmark(2/4) b.txt 0-1"},
        {"", IDM_JUMP_BASE + 1, "Quillmark(2/4)  0-0"},    /* a jump to the entry on display: not even checked */
        {NULL, IDM_JUMP_BASE + 4, "Quillmark(2/4)  0-0"},  /* just beyond the last */
        {"x", IDM_JUMP_BASE + 3, "Quillmark(4/4) data.brisknote-unknown 0-4"},
        {NULL, IDM_OPEN, "Quillmark(4/4) 開けませんでした。 data.brisknote-unknown 0-4"},
        {NULL, IDM_JUMP_BASE + 1, "Quillmark(2/4) x 0-1"},        /* a one-letter name kept */
        {"d.txt", IDM_REVERT_ALL, "Quillmark(2/4) b.txt 0-0"},
        {NULL, IDM_JUMP_BASE, "Quillmark(1/4) a&表.txt 0-4"},       /* revert all reached every entry */
    };
    for (const auto &step : steps) {
        if (step.typed)
            TypeName(dlg, step.typed);
        SendMessageA(dlg, WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.shown, WindowText(dlg) + " " + ItemText(dlg, IDC_NEW_NAME) + " " + Selection(edit)) << "command " << step.command;
    }
    static std::string opened;
    g_openFile = [](const char *path) -> INT_PTR { opened = path; return 33; };
    SendMessageA(dlg, WM_COMMAND, IDM_OPEN, 0);
    g_openFile = OpenWithShell;
    EXPECT_EQ(folder.Path("a&表.txt") + " Quillmark(1/4)", opened + " " + WindowText(dlg)) << "opened, and no error title";
    RECT menu = {0, 0, 0, 0}, button = ScreenRect(GetDlgItem(dlg, IDC_MENU_BUTTON)), overlap;
    SpyOn(dlg, [&](UINT msg) {    /* the menu is up and waits for the user */
        if (msg != WM_ENTERIDLE || menu.right)
            return;
        menu = ScreenRect(FindWindowA("#32768", NULL));
        PostMessageA(dlg, WM_KEYDOWN, '3', 0);
        PostMessageA(dlg, WM_CHAR, '3', 0);
    });
    Command(dlg, IDC_MENU_BUTTON);
    PumpMessages(dlg);
    EXPECT_TRUE(!IntersectRect(&overlap, &menu, &button) && menu.left >= button.right && abs(menu.top - button.top) < 8) << "beside its button";
    EXPECT_EQ("Quillmark(3/4)", WindowText(dlg)) << "the jump item typed in the menu";
}

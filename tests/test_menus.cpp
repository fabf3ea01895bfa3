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

TEST_F(MenusTest, FileMenuHoldsAJumpItemPerFile)
{
    auto id = [](int command) { return " " + std::to_string(command) + "\n"; };
    const std::string head = "開く(&E)" + id(IDM_OPEN) + "-\n現在のファイル名に戻す(&R)" + id(IDM_REVERT);
    const std::string all = "現在のファイル名に全て戻す(&A)" + id(IDM_REVERT_ALL), tail = "-\nリストを表示(&L)" + id(IDM_SHOW_LIST) + "-\n";
    struct { std::vector<std::string> files; std::string items; } rows[] = {
        {{}, head + tail},
        {{"R&D.txt"}, head + tail + "&1 R&&D.txt" + id(IDM_JUMP_BASE)},
        {{"b.txt", "表 a.txt"}, head + all + tail + "&1 b.txt" + id(IDM_JUMP_BASE) + "&2 表 a.txt" + id(IDM_JUMP_BASE + 1)},
    };
    for (const auto &row : rows) {
        Reopen(row.files);
        HMENU menu = BuildFileMenu(g_entryCount, g_entries);
        EXPECT_EQ(row.items, MenuItems(menu));
        DestroyMenu(menu);
    }
}

TEST_F(MenusTest, SystemMenuTopmostAndVersion)
{
    Open({"a.txt"}, "/t");
    std::string items = MenuItems(GetSystemMenu(dlg, FALSE));
    const std::string close = items.substr(items.find("常に手前に表示"));
    const std::string topmostId = std::to_string(IDM_TOPMOST), versionId = std::to_string(IDM_VERSION);
    EXPECT_EQ("常に手前に表示(&A) " + topmostId + " state 8\nVersion(&V) " + versionId + "\n-\n閉じる", close.substr(0, close.find("(&C)"))) << items;
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

TEST_F(MenusTest, RevertJumpAndOpen)
{
    Open({"a.txt", "b.txt", "c.txt", "data.brisknote-unknown"});
    TypeName(dlg, "a2.txt");
    Command(dlg, IDC_NEXT);
    HMENU menu = BuildFileMenu(g_entryCount, g_entries);
    EXPECT_NE(std::string::npos, MenuItems(menu).find("&1 a.txt")) << "a jump item shows the current name, not the one typed";
    DestroyMenu(menu);
    struct { const char *typed; int command; const char *shown; } steps[] = {
        {"b2.txt", IDM_REVERT, "Quillmark(2/4) b.txt 0-1"},
        {NULL, IDM_JUMP_BASE + 1, "Quillmark(2/4) b.txt 0-1"},    /* a jump to the entry on display */
        {NULL, IDM_JUMP_BASE + 4, "Quillmark(2/4) b.txt 0-1"},    /* just beyond the last */
        {"x", IDM_JUMP_BASE + 3, "Quillmark(4/4) data.brisknote-unknown 0-4"},
        {NULL, IDM_OPEN, "Quillmark(4/4) 開けませんでした。 data.brisknote-unknown 0-4"},
        {NULL, IDM_JUMP_BASE + 1, "Quillmark(2/4) x 0-1"},        /* a one-letter name kept */
        {"d.txt", IDM_REVERT_ALL, "Quillmark(2/4) b.txt 0-0"},
        {NULL, IDM_JUMP_BASE, "Quillmark(1/4) a.txt 0-1"},         /* revert all reached every entry */
    };
    for (const auto &step : steps) {
        if (step.typed)
            TypeName(dlg, step.typed);
        SendMessageA(dlg, WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.shown, WindowText(dlg) + " " + ItemText(dlg, IDC_NEW_NAME) + " " + Selection(edit)) << "command " << step.command;
    }
}

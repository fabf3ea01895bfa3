/* The rename dialog from its real template: walking the entries, the names it refuses, and OK
   with real files, failures offered again, and nothing let in while it renames. */
#include "test_support.h"

/* What the dialog shows: title, names, attribute letters, "<" and ">" for the usable moves, the
   button Enter presses and the buttons drawn as the default (by their captions), the selection in
   the name field. */
static std::string Shown(HWND dlg)
{
    std::string text = WindowText(dlg) + " " + ItemText(dlg, IDC_CURRENT_NAME) + " " + ItemText(dlg, IDC_NEW_NAME) + " " +
                       ItemText(dlg, IDC_ATTRIBUTES) + " ";
    for (int id : {IDC_PREV, IDC_NEXT})
        text += IsWindowEnabled(GetDlgItem(dlg, id)) && IsWindowVisible(GetDlgItem(dlg, id)) ? (id == IDC_PREV ? "<" : ">") : "";
    text += " " + ItemText(dlg, LOWORD(SendMessageA(dlg, DM_GETDEFID, 0, 0)));
    for (int id : {IDC_PREV, IDC_NEXT, IDOK})
        text += (GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? " " + ItemText(dlg, id) : "";
    return text + " " + Selection(GetDlgItem(dlg, IDC_NEW_NAME));
}

/* B.txt vanishes after the start: it shows no attributes, selects as a folder and keeps the icon
   shown before, since a failed icon query leaves a stale handle. Replaced icons are destroyed. */
TEST_F(DialogTest, WalksTheSortedEntries)
{
    Open({"c.txt", "a.txt", "dir.old/", "B.txt"});
    RECT r = ScreenRect(dlg), screen = ScreenRect(GetDesktopWindow());
    EXPECT_LE(abs(r.left + r.right - screen.right) + abs(r.top + r.bottom - screen.bottom), 2) << "centred on the screen";
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(folder.Path("B.txt").c_str());
    struct { int command; const char *shown; } steps[] = {
        {0, "Quillmark(1/4) a.txt a.txt [A] > >>(&N) >>(&N) 0-1"},
        {IDC_NEXT, "Quillmark(2/4) B.txt B.txt [] <> >>(&N) >>(&N) 0-5"},
        {IDC_NEXT, "Quillmark(3/4) c.txt c.txt [A] <> >>(&N) >>(&N) 0-1"},
        {IDC_NEXT, "Quillmark(4/4) dir.old dir.old [D] < OK(&O) OK(&O) 0-7"},
        {IDC_NEXT, "Quillmark(4/4) dir.old dir.old [D] < OK(&O) OK(&O) 0-0"},
        {IDC_PREV, "Quillmark(3/4) c.txt c.txt [A] <> >>(&N) >>(&N) 0-1"},
        {IDM_JUMP_BASE, "Quillmark(1/4) a.txt a.txt [AR] > >>(&N) >>(&N) 0-1"},
        {IDC_PREV, "Quillmark(1/4) a.txt a.txt [AR] > >>(&N) >>(&N) 0-1"},
    };
    std::vector<HICON> icons;
    for (const auto &step : steps) {
        if (step.command)    /* from a caret at the start: the moves select afresh */
            SendMessageA(edit, EM_SETSEL, 0, 0), Command(dlg, step.command);
        EXPECT_EQ(step.shown, Shown(dlg));
        char tip[PATH_TEXT] = "";
        TOOLINFOA info = {TTTOOLINFOA_V2_SIZE, 0, GetDlgItem(dlg, IDC_CURRENT_NAME), IDC_CURRENT_NAME, {}, NULL, tip};
        SendMessageA(g_tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&info);    /* a tool without a rectangle never shows */
        EXPECT_EQ(folder.Path(ItemText(dlg, IDC_CURRENT_NAME)) + " focus", tip + std::string(GetFocus() == edit ? " focus" : "") + (IsRectEmpty(&info.rect) ? " no rect" : ""));
        icons.push_back((HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0));
    }
    EXPECT_TRUE(icons[0] && icons[1] == icons[0] && icons[2] != icons[0]) << "a shown icon, kept for the vanished file";
    Command(dlg, IDCANCEL);
    ICONINFO iconInfo;
    for (HICON icon : icons)
        EXPECT_FALSE(GetIconInfo(icon, &iconInfo)) << "icon " << icon << " was not destroyed";
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    Reopen({"報告 表.txt"});    /* one file: no moves, and OK is the default */
    EXPECT_EQ("Quillmark(1/1) 報告 表.txt 報告 表.txt [A]  OK(&O) OK(&O) 0-7", Shown(dlg));
}

TEST_F(DialogTest, RefusedNamesGetTheirTitleAndStay)
{
    Open({"a.txt", "b.txt", "c.txt", "there.txt"});
    TypeName(dlg, "  pending.txt ");
    Command(dlg, IDC_NEXT);
    const std::string enter = "Quillmark(2/4) 名前を入力してください。", exists = "Quillmark(2/4) 既に存在している名前です。";
    struct { std::string typed; int command; std::string title, buttons; } rows[] = {
        {"", IDC_NEXT, enter, "<> >>(&N)"},
        {" \t ", IDC_NEXT, enter, "<> >>(&N)"},
        {".", IDC_PREV, enter, "<> >>(&N)"},
        {"sub\\x.txt", IDC_NEXT, enter, "<> >>(&N)"},
        {"*.txt", IDOK, enter, "<> >>(&N)"},
        {"a\x7F.txt", IDOK, enter, "<> >>(&N)"},
        {"a\x01.txt", IDC_NEXT, enter, "<> >>(&N)"},
        {"表?.txt", IDC_NEXT, enter, "<> >>(&N)"},
        {"there.txt", IDC_NEXT, exists, "<> >>(&N)"},
        {"pending.txt ", IDC_PREV, exists, "<> <<(&B)"},   /* Enter tries the same move again */
        {"PENDING.TXT ", IDC_NEXT, exists, "<> >>(&N)"},
        {"C.txt", IDC_NEXT, exists, "<> >>(&N)"},
        {"表.txt", IDC_NEXT, "Quillmark(3/4)", "<> >>(&N)"},
        {std::string(MAX_PATH - folder.dir.size(), 'n'), IDC_NEXT, "Quillmark(4/4)", "< OK(&O)"},   /* fails on OK */
    };
    for (const auto &row : rows) {
        TypeName(dlg, row.typed);
        Command(dlg, row.command);
        EXPECT_EQ(row.title, WindowText(dlg)) << "typed '" << row.typed << "'";
        EXPECT_NE(std::string::npos, Shown(dlg).find(row.buttons)) << "typed '" << row.typed << "': " << Shown(dlg);
        EXPECT_EQ(row.title.size() > 16 ? row.typed : "", row.title.size() > 16 ? ItemText(dlg, IDC_NEW_NAME) : "");
    }
    TypeName(dlg, "a.txt");
    Command(dlg, IDC_PREV);
    EXPECT_EQ("0-1", Selection(edit)) << "a refused name selects its base name";
    EXPECT_TRUE(KillTimer(dlg, TITLE_TIMER)) << "an error title starts the timer that ends it";
    SendMessageA(dlg, WM_TIMER, TITLE_TIMER, 0);
    EXPECT_EQ("Quillmark(4/4)", WindowText(dlg)) << "the timer brings the counter title back";
    TypeName(dlg, "there.txt");
    for (int i = 0; i < 3; i++)
        Command(dlg, IDC_PREV);
    EXPECT_EQ("pending.txt ", ItemText(dlg, IDC_NEW_NAME)) << "leading blanks go, trailing ones stay";
    Command(dlg, IDCANCEL);
    EXPECT_TRUE(Ended());
    EXPECT_EQ("a.txt<a.txt b.txt<b.txt c.txt<c.txt there.txt<there.txt", folder.Listing()) << "Cancel renames nothing";
}

/* Types a new name for each entry in turn (an empty one keeps the name) and leaves the last on
   display. */
static void TypeNames(HWND dlg, const std::vector<std::string> &names)
{
    for (size_t i = 0; i < names.size(); i++) {
        if (!names[i].empty())
            TypeName(dlg, names[i]);
        if (i + 1 < names.size())
            Command(dlg, IDC_NEXT);
    }
}

/* OK renames every changed file, each in its own folder, offers the failed one again, and ends
   when a pass has no file left: this one vanished meanwhile. The last file lies in another folder:
   a name meant for a file of the first folder is refused for it all the same. */
TEST_F(DialogTest, OkRenamesChangedFilesAndOffersFailuresAgain)
{
    TempFolder other(folder.dir + "\\z");
    Open({"a.txt", "b.txt", "c.txt", "dir/"}, "\"" + other.Make("x.txt") + "\"");
    folder.Make("dir/inside.txt");
    TypeNames(dlg, {"新しい.txt", "", "c2.txt", "dir2", "c2.txt"});
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(5/5) 既に存在している名前です。", WindowText(dlg));
    TypeName(dlg, "x2.txt");
    HANDLE held = HoldOpen(folder.Path("c.txt"));
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    CloseHandle(held);
    EXPECT_EQ(std::vector<std::string>{"Quillmark: エラーがあります。\n継続しますか?"}, answerer.texts);
    EXPECT_EQ("Quillmark(1/1) c.txt", WindowText(dlg) + " " + ItemText(dlg, IDC_NEW_NAME)) << "a pass of the failed file";
    EXPECT_EQ(edit, GetFocus());
    EXPECT_EQ("b.txt<b.txt c.txt<c.txt dir2/ " + other.dir.substr(folder.dir.size() + 1) + "/ 新しい.txt<a.txt", folder.Listing());
    EXPECT_EQ("x2.txt<x.txt", other.Listing());
    EXPECT_EQ("content of dir/inside.txt", ReadContent(folder.Path("dir2\\inside.txt")));
    DeleteFileA(folder.Path("c.txt").c_str());
    TypeName(dlg, "c3.txt");
    Command(dlg, IDOK);
    EXPECT_EQ(2u, answerer.texts.size());
    EXPECT_TRUE(Ended()) << "the vanished file was all the new pass had";
}

/* Enter held down on entry 1 of 2 repeats with the key's previous state set (bit 30): it moves on
   as >> does but does not press OK, whether it comes through the dialog manager (queued) or
   straight to the name field (sent; the first press always queued, since the field acts on Enter
   only once the dialog manager has asked it for its keys). After a key-up, a fresh Enter renames. */
TEST_F(DialogTest, AHeldEnterMovesOnButNeverRenames)
{
    for (bool queued : {true, false}) {
        DeleteFileA(folder.Path("a2.txt").c_str());
        Reopen({"a.txt", "b.txt"});
        TypeName(dlg, "a2.txt");
        std::string seen;
        for (DWORD keyData : {0x00000001u, 0x40000001u, 0x40000001u, 0x40000001u, 0xC0000001u, 0x00000001u}) {
            UINT msg = keyData & 0x80000000u ? WM_KEYUP : WM_KEYDOWN;
            (queued || seen.empty()) ? (void)PostMessageA(edit, msg, VK_RETURN, keyData) : (void)SendMessageA(edit, msg, VK_RETURN, keyData);
            PumpMessages(dlg);
            seen += WindowText(dlg).substr(0, 14) + " ";
        }
        EXPECT_EQ("Quillmark(2/2) Quillmark(2/2) Quillmark(2/2) Quillmark(2/2) Quillmark(2/2) ended a2.txt<a.txt b.txt<b.txt",
                  seen.substr(0, 75) + (Ended() ? "ended " : "") + folder.Listing()) << (queued ? "queued" : "sent");
    }
}

/* Runs act when a message loop next dispatches: the commit's own loop does between two renames,
   where the shell's own windows would run theirs. */
static std::function<void()> g_onDispatch;
static LRESULT CALLBACK RunOnDispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP)
        g_onDispatch();
    return DefWindowProcA(window, msg, wParam, lParam);
}

static void RunAtNextDispatch(std::function<void()> act)
{
    static WNDCLASSA runnerClass = {0, RunOnDispatch, 0, 0, NULL, NULL, NULL, NULL, NULL, "RunOnDispatch"};
    static HWND runner = RegisterClassA(&runnerClass) ? CreateWindowA("RunOnDispatch", NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL) : NULL;
    g_onDispatch = act;
    PostMessageA(runner, WM_APP, 0, 0);
}

/* Whatever the user does while the retry question is up, or between two renames while the dialog
   is enabled again (as the shell enables its owner when its own error window closes), changes
   nothing: each file is renamed once. The list window of a new pass shows that pass's files. */
TEST_F(DialogTest, NothingReentersACommit)
{
    struct { const char *what; std::function<void(HWND)> act; int answer; } rows[] = {
        {"Cancel", [](HWND d) { Command(d, IDCANCEL); }, IDYES},
        {"OK", [](HWND d) { Command(d, IDOK); }, IDYES},
        {"a jump", [](HWND d) { Command(d, IDM_JUMP_BASE + 2); }, IDNO},
        {"a list row", [](HWND) { SelectListRow(2); }, IDYES},
        {"closing the list", [](HWND) { SendMessageA(g_listWindow, WM_COMMAND, IDCANCEL, 0); }, IDYES},
    };
    for (const auto &row : rows) {
        for (bool renaming : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (renaming ? " between two renames" : " while asking"));
            for (const char *name : {"a2.txt", "c2.txt"})
                DeleteFileA(folder.Path(name).c_str());
            Reopen({"a.txt", "b.txt", "c.txt"}, "/p");
            TypeNames(dlg, {"a2.txt", "b2.txt", "c2.txt"});
            HANDLE held = HoldOpen(folder.Path("b.txt"));
            std::string meanwhile;
            auto act = [&] {
                std::string title = WindowText(dlg);    /* how far it has come, between renames */
                SendMessageA(dlg, WM_SETCURSOR, (WPARAM)dlg, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                meanwhile = title.substr(0, renaming ? title.rfind(' ') + 1 : title.size()) + (IsWindowEnabled(g_listWindow) ? ", list enabled" : "") +
                            (GetCursor() == LoadCursorA(NULL, (LPCSTR)IDC_WAIT) ? ", wait cursor" : "");
                EnableWindow(dlg, TRUE);
                row.act(dlg);
            };
            if (renaming)
                RunAtNextDispatch(act);
            MessageBoxAnswerer answerer(row.answer, renaming ? std::function<void()>() : act);
            Command(dlg, IDOK);
            CloseHandle(held);
            EXPECT_EQ(renaming ? "名前を変更しています… , wait cursor" : "名前を変更しています… 3/3", meanwhile);
            EXPECT_EQ(1u, answerer.texts.size());
            EXPECT_EQ("a2.txt<a.txt b.txt<b.txt c2.txt<c.txt", folder.Listing());
            std::string after = WindowText(dlg) + " " + ItemText(dlg, IDC_CURRENT_NAME) + " " + std::to_string(IsWindowEnabled(dlg)) +
                                std::to_string(IsWindowEnabled(g_listWindow)) + ", list: " + ListCell(0, 0) + " of " + std::to_string(ListRows());
            EXPECT_EQ(row.answer == IDYES ? "Quillmark(1/1) b.txt 11, list: b.txt of 1" : "ended", Ended() ? "ended" : after);
        }
    }
}

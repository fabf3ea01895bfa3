/* The rename dialog from its real template: walking the entries, the names it refuses, and OK
   with real files, failures offered again, and nothing let in while it renames. */
#include "test_support.h"

/* What the dialog shows: title, names, attribute letters, "<" and ">" for the usable moves ("-"
   for one shown disabled, nothing for one hidden), the button Enter presses and the buttons drawn
   as the default (by their captions), the selection in the name field. */
static std::string Shown(HWND dlg)
{
    std::string text = WindowText(dlg) + " " + ItemText(dlg, IDC_CURRENT_NAME) + " " + ItemText(dlg, IDC_NEW_NAME) + " " +
                       ItemText(dlg, IDC_ATTRIBUTES) + " ";
    for (int id : {IDC_PREV, IDC_NEXT})
        text += !IsWindowVisible(GetDlgItem(dlg, id)) ? "" : !IsWindowEnabled(GetDlgItem(dlg, id)) ? "-" : id == IDC_PREV ? "<" : ">";
    text += " " + ItemText(dlg, LOWORD(SendMessageA(dlg, DM_GETDEFID, 0, 0)));
    for (int id : {IDC_PREV, IDC_NEXT, IDOK})
        text += (GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? " " + ItemText(dlg, id) : "";
    return text + " " + Selection(GetDlgItem(dlg, IDC_NEW_NAME));
}

static bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

/* Where a start-up leaves the user, with a letter typed at once (before its posted steps ran):
   after the dialog, the active window and the focus, the visible moves, the order of the entries,
   where Tab goes from there, the list window's row, and which windows stand on top. Then, in some
   rows, a click on >> (which takes the focus, as a real press does) and a letter: it goes into the
   next entry's name, never to a button as its mnemonic ("o" is OK's). */
TEST_F(DialogTest, StartUpEndsInTheNameField)
{
    const std::string tabs = " | tab >>(&N) 中止(&S) OK(&O) &M name";
    const std::string three = "Quillmark(1/3) a.txt k.txt [A] -> >>(&N) >>(&N) 1-1 | dialog name a.txt b.txt c.txt" + tabs;
    const std::string one = "Quillmark(1/1) c.txt k.txt [A]  OK(&O) OK(&O) 1-1 | dialog name c.txt | tab 中止(&S) OK(&O) &M name";
    const std::string clicked = " | Quillmark(2/3) b.txt o.txt [A] <> >>(&N) >>(&N) 1-1";
    struct { const char *options; size_t files; std::string seen; bool click, notice = false; } rows[] = {
        {"", 1, one + " | top 0"}, {"", 2, "Quillmark(1/2) b.txt k.txt [A] -> >>(&N) >>(&N) 1-1 | dialog name b.txt c.txt" + tabs + " | top 0"},
        {"", 3, three + " | top 0 | notice of 21 lines over k.txt" + clicked, true, true},    /* the letter typed ahead was read first */
        {"/p", 3, three + " | list 0 | top 00" + clicked + " | list 1", true},
        {"/p /t", 1, one + " | list 0 | top 11"}, {"/p /t", 3, three + " | list 0 | top 11"},
    };
    typedAhead = {'K', -'K'};
    const std::wstring unnamable = Wide(folder.dir) + L"\\1月\u301C3月.txt";
    std::wstring line = L"Brisknote.exe";
    for (int i = 0; i < 20; i++)    /* as many as the notice names: the intro's line and one each */
        line += L" \"" + unnamable + L"\"";
    CloseHandle(CreateFileW(unnamable.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    for (const auto &row : rows) {
        g_wideCommandLine = row.notice ? line.c_str() : NULL;
        std::vector<std::string> names = {"c.txt", "b.txt", "a.txt"};
        names.resize(row.files);
        std::string underNotice;
        MessageBoxAnswerer watch(IDOK, [&] { underNotice = ItemText(dlg, IDC_NEW_NAME); });    /* sees every activation too */
        Reopen(names, row.options);
        std::string seen = Shown(dlg) + " | " + (GetForegroundWindow() == dlg ? "dialog" : "other") + (GetFocus() == edit ? " name" : " elsewhere");
        for (DWORD i = 0; i < g_entryCount; i++)
            seen += std::string(" ") + FileNamePart(g_entries[i]->path);
        seen += " | tab";
        for (HWND focus = NULL; focus != edit && seen.size() < 500;) {
            SendKeys({VK_TAB, -VK_TAB}, false);
            PumpMessages(dlg);
            focus = GetFocus();
            seen += " " + (focus == edit ? "name" : WindowText(focus));
        }
        bool listActivated = std::count(watch.activated.begin(), watch.activated.end(), g_listWindow);
        seen += IsListWindowOpen() ? " | list " + std::to_string(SelectedRow()) + (listActivated ? " activated" : "") : "";
        seen += " | top " + std::to_string(IsTopmost(dlg)) + (IsListWindowOpen() ? std::to_string(IsTopmost(g_listWindow)) : "") +
                (watch.texts.empty() ? "" : " | notice of " + std::to_string(std::count(watch.texts[0].begin(), watch.texts[0].end(), '\n')) + " lines over " + underNotice);
        if (row.click) {
            SendDlgItemMessageA(dlg, IDC_NEXT, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            SendDlgItemMessageA(dlg, IDC_NEXT, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            SendKeys({'O', -'O'}, false);
            PumpMessages(dlg);
            seen += " | " + (Ended() ? "ended" : Shown(dlg)) + (IsListWindowOpen() ? " | list " + std::to_string(SelectedRow()) : "");
        }
        EXPECT_EQ(row.seen, seen) << "options '" << row.options << "', " << row.files << " files";
    }
}

/* B.txt vanishes after the start: it shows no attributes, selects as a folder and shows no icon,
   never the one of the file shown before. Replaced icons are destroyed. The icon, which may be
   slow to come, is asked for when everything else shows and has painted the new entry. */
TEST_F(DialogTest, WalksTheSortedEntries)
{
    Open({"c.txt", "a.txt", "dir.old/", "B.txt"});
    RECT r = ScreenRect(dlg), screen = ScreenRect(GetDesktopWindow());
    EXPECT_LE(abs(r.left + r.right - screen.right) + abs(r.top + r.bottom - screen.bottom), 2) << "centred on the screen";
    EXPECT_EQ(2, (short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0))) << "the name starts 2 pixels into its field";
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(folder.Path("B.txt").c_str());
    struct { int command; const char *shown; } steps[] = {
        {0, "Quillmark(1/4) a.txt a.txt [A] -> >>(&N) >>(&N) 0-1"},
        {IDC_NEXT, "Quillmark(2/4) B.txt B.txt [] <> >>(&N) >>(&N) 0-5"},
        {IDC_NEXT, "Quillmark(3/4) c.txt c.txt [A] <> >>(&N) >>(&N) 0-1"},
        {IDC_NEXT, "Quillmark(4/4) dir.old dir.old [D] <- OK(&O) OK(&O) 0-7"},
        {IDC_NEXT, "Quillmark(4/4) dir.old dir.old [D] <- OK(&O) OK(&O) 0-0"},
        {IDC_PREV, "Quillmark(3/4) c.txt c.txt [A] <> >>(&N) >>(&N) 0-1"},
        {IDM_JUMP_BASE, "Quillmark(1/4) a.txt a.txt [AR] -> >>(&N) >>(&N) 0-1"},
        {IDC_PREV, "Quillmark(1/4) a.txt a.txt [AR] -> >>(&N) >>(&N) 0-1"},
    };
    std::vector<HICON> icons;
    std::string atIcon;
    SpyOn(GetDlgItem(dlg, IDC_FILE_ICON), [&](UINT msg) { atIcon = msg == STM_SETICON ? Shown(dlg) + (GetQueueStatus(QS_PAINT) ? " unpainted" : "") : atIcon; });
    for (const auto &step : steps) {
        if (step.command) {    /* from a caret at the start: the moves select afresh */
            SendMessageA(edit, EM_SETSEL, 0, 0);
            atIcon = "";
            Command(dlg, step.command);
        }
        EXPECT_EQ(step.shown, Shown(dlg));
        EXPECT_TRUE(atIcon.empty() || atIcon == step.shown) << "when the icon was asked for: " << atIcon;
        char tip[PATH_TEXT] = "";
        TOOLINFOA info = {TTTOOLINFOA_V2_SIZE, 0, GetDlgItem(dlg, IDC_CURRENT_NAME), IDC_CURRENT_NAME, {}, NULL, tip};
        SendMessageA(g_tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&info);    /* a tool without a rectangle never shows */
        EXPECT_EQ(folder.Path(ItemText(dlg, IDC_CURRENT_NAME)) + " focus", tip + std::string(GetFocus() == edit ? " focus" : "") + (IsRectEmpty(&info.rect) ? " no rect" : ""));
        icons.push_back((HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0));
    }
    EXPECT_TRUE(icons[0] && !icons[1] && icons[2] && icons[2] != icons[0]) << "an icon each, none for the vanished file";
    Command(dlg, IDCANCEL);
    ICONINFO iconInfo;
    for (HICON icon : icons)
        EXPECT_FALSE(GetIconInfo(icon, &iconInfo)) << "icon " << icon << " was not destroyed";
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DialogTest, RefusedNamesGetTheirTitleAndStay)
{
    Open({"a.txt", "b.txt", "c.txt", "there.txt"});
    TypeName(dlg, "  pending.txt ");
    Command(dlg, IDC_NEXT);
    const std::string enter = "Quillmark(2/4) 名前を入力してください。", exists = "Quillmark(2/4) 既に存在している名前です。";
    struct { std::string typed; int command; std::string title, buttons; } rows[] = {
        {"", IDC_NEXT, enter, "<> >>(&N)"}, {" \t ", IDC_NEXT, enter, "<> >>(&N)"}, {".", IDC_PREV, enter, "<> >>(&N)"},
        {"sub\\x.txt", IDOK, enter, "<> >>(&N)"}, {"a\x7F.txt", IDOK, enter, "<> >>(&N)"}, {"a\x01.txt", IDC_NEXT, enter, "<> >>(&N)"},
        {"表?.txt", IDC_NEXT, enter, "<> >>(&N)"}, {"there.txt", IDC_NEXT, exists, "<> >>(&N)"},
        {"pending.txt ", IDC_PREV, exists, "<> <<(&B)"},   /* Enter tries the same move again */
        {"PENDING.TXT ", IDC_NEXT, exists, "<> >>(&N)"}, {"表.txt", IDC_NEXT, "Quillmark(3/4)", "<> >>(&N)"},
        {std::string(MAX_PATH - folder.dir.size(), 'n'), IDC_NEXT, "Quillmark(4/4)", "<- OK(&O)"},   /* fails on OK */
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
    SetTimer(dlg, TITLE_TIMER, 60000, NULL);
    SendMessageA(dlg, WM_TIMER, TITLE_TIMER, 0);
    EXPECT_FALSE(KillTimer(dlg, TITLE_TIMER)) << "the timer ends at its first tick";
    EXPECT_EQ("Quillmark(4/4)", WindowText(dlg)) << "the timer brings the counter title back";
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

/* OK renames every changed file, each in its own folder, a change of letter case included, and a
   file inside a folder of the batch before that folder. A file that vanished fails, and the pass
   offered for it, with no file left, ends the dialog. The last file lies in another folder: a name
   meant for a file of the first folder is refused for it all the same. */
TEST_F(DialogTest, OkRenamesChangedFilesAndOffersFailuresAgain)
{
    TempFolder other(folder.dir + "\\z");
    Open({"a.txt", "b.txt", "c.txt", "dir/", "dir/inside.txt"}, "/p \"" + other.Make("x.txt") + "\"");
    TypeNames(dlg, {"新しい.txt", "B.TXT", "C.txt", "dir2", "inside2.txt", "dir2"});
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(6/6) 既に存在している名前です。 B.TXT", WindowText(dlg) + " " + ListCell(1, 1));
    TypeName(dlg, "x2.txt");
    DeleteFileA(folder.Path("c.txt").c_str());
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    EXPECT_EQ(std::vector<std::string>{"Quillmark: エラーがあります。\n継続しますか?"}, answerer.texts);
    EXPECT_TRUE(Ended()) << "the vanished file was all the new pass had";
    EXPECT_EQ("B.TXT<b.txt dir2/ " + other.dir.substr(folder.dir.size() + 1) + "/ 新しい.txt<a.txt", folder.Listing());
    EXPECT_EQ("x2.txt<x.txt", other.Listing());
    EXPECT_EQ("content of dir/inside.txt", ReadContent(folder.Path("dir2\\inside2.txt")));
}

/* Under Windows' rules, where the shell replaces a target that exists: a name taken after it was
   accepted (by a hard link of the file itself, made before OK), or while a change of case runs (by
   a link of another file, made after the first step), is not renamed onto, nor is the old name
   that the newcomer also takes. The retry pass offers the file where it is,
   with the name typed for it selected and focused, and OK renames it. */
TEST_F(DialogTest, TheCommitReplacesNoFileUnderWindowsRules)
{
    const std::string exists = "Quillmark(1/1) 既に存在している名前です。", renamed = "ended: A.TXT<a.txt b.txt<b.txt";
    struct { const char *typed; int taken; std::vector<int> fail; int linkAt; const char *linkTo; std::string seen; } rows[] = {
        {"x.txt", 0, {}, 0, "a.txt", "Quillmark(1/1) a.txt x.txt 0-1 | a.txt<a.txt b.txt<b.txt x.txt<a.txt || " + exists},
        {"A.TXT", 0, {}, 1, "b.txt", "Quillmark(1/1) ~0 A.TXT 0-1 | A.TXT<b.txt b.txt<b.txt ~0<a.txt || " + exists},
        {"A.TXT", 0, {2}, -1, "", "Quillmark(1/1) a.txt A.TXT 0-1 | a.txt<a.txt b.txt<b.txt || " + renamed},
        {"A.TXT", 0, {2, 3}, -1, "", "Quillmark(1/1) ~0 A.TXT 0-1 | b.txt<b.txt ~0<a.txt || " + renamed},
        {"A.TXT", 100, {}, -1, "", "Quillmark(1/1) a.txt A.TXT 0-1 | a.txt<a.txt b.txt<b.txt || " + renamed},
    };
    for (const auto &row : rows) {
        Reopen({"a.txt", "b.txt"});
        TypeNames(dlg, {row.typed, ""});
        for (int i = 0; i < row.taken; i++)
            folder.Make("~" + std::to_string(i));
        WindowsShell shell(row.fail, [&](int call) { if (call == row.linkAt) CreateHardLinkA(folder.Path(row.typed).c_str(), folder.Path(row.linkTo).c_str(), NULL); });
        shell.after(0);
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
        for (int i = 0; i < row.taken; i++)
            DeleteFileA(folder.Path("~" + std::to_string(i)).c_str());
        std::string seen = WindowText(dlg) + " " + ItemText(dlg, IDC_CURRENT_NAME) + " " + ItemText(dlg, IDC_NEW_NAME) + " " +
                           (GetFocus() == edit ? Selection(edit) : "unfocused") + " | " + folder.Listing();
        Command(dlg, IDOK);
        EXPECT_EQ(row.seen, seen + " || " + (Ended() ? "ended: " + folder.Listing() : WindowText(dlg))) << "typed " << row.typed;
        EXPECT_EQ(row.linkAt == 0 ? "" : "名前を変更しています… 0/1", shell.titles.empty() ? "" : shell.titles[0]) << "as the first rename starts";
        for (const char *name : {"a.txt", "~0", "x.txt"})
            DeleteFileA(folder.Path(name).c_str());
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
                meanwhile = title.substr(0, renaming ? title.rfind(' ') + 1 : title.size()) + (IsWindowEnabled(dlg) ? ", dialog enabled" : "") +
                            (IsWindowEnabled(g_listWindow) ? ", list enabled" : "") +
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
                                std::to_string(IsWindowEnabled(g_listWindow)) + ", list: " + ListCell(0, 0) + " of " + std::to_string(SendDlgItemMessageA(g_listWindow, IDC_LIST, LVM_GETITEMCOUNT, 0, 0));
            EXPECT_EQ(row.answer == IDYES ? "Quillmark(1/1) b.txt 11, list: b.txt of 1" : "ended", Ended() ? "ended" : after);
        }
    }
}

/* The rename dialog from its real template: walking the entries, the names it refuses, and OK
   with real files, other programs' doings before it, and failures offered again. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <commctrl.h>

static std::string TooltipText(HWND dlg)
{
    char text[PATH_TEXT] = "";
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = GetDlgItem(dlg, IDC_CURRENT_NAME);
    info.uId = IDC_CURRENT_NAME;
    info.lpszText = text;
    SendMessageA(g_tooltip, TTM_GETTEXTA, sizeof(text), (LPARAM)&info);
    return text;
}

static bool Enabled(HWND dlg, int id)
{
    return IsWindowEnabled(GetDlgItem(dlg, id)) && IsWindowVisible(GetDlgItem(dlg, id));
}

/* The button that Enter presses, and the buttons drawn as the default, as "id:look id:look". */
static std::string Defaults(HWND dlg)
{
    std::string text = std::to_string(LOWORD(SendMessageA(dlg, DM_GETDEFID, 0, 0)));
    for (int id : {IDC_PREV, IDC_NEXT, IDOK})
        if ((GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            text += " " + std::to_string(id);
    return text;
}

static HICON ShownIcon(HWND dlg)
{
    return (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0);
}

static const std::string NEXT = std::to_string(IDC_NEXT), OK = std::to_string(IDOK);

TEST_F(DialogTest, WalksTheSortedEntries)
{
    Open({"c.txt", "a.txt", "dir.old/", "B.txt"});
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    struct { int command; const char *title, *name, *attributes; bool prev, next; std::string defaults; } steps[] = {
        {0, "Quillmark(1/4)", "a.txt", "[A]", false, true, NEXT + " " + NEXT},
        {IDC_NEXT, "Quillmark(2/4)", "B.txt", "[A]", true, true, NEXT + " " + NEXT},
        {IDC_NEXT, "Quillmark(3/4)", "c.txt", "[A]", true, true, NEXT + " " + NEXT},
        {IDC_NEXT, "Quillmark(4/4)", "dir.old", "[D]", true, false, OK + " " + OK},
        {IDC_NEXT, "Quillmark(4/4)", "dir.old", "[D]", true, false, OK + " " + OK},
        {IDC_PREV, "Quillmark(3/4)", "c.txt", "[A]", true, true, NEXT + " " + NEXT},
        {IDM_JUMP_BASE, "Quillmark(1/4)", "a.txt", "[AR]", false, true, NEXT + " " + NEXT},
        {IDC_PREV, "Quillmark(1/4)", "a.txt", "[AR]", false, true, NEXT + " " + NEXT},
    };
    for (const auto &step : steps) {
        if (step.command)
            Command(dlg, step.command);
        SCOPED_TRACE(step.title);
        EXPECT_EQ(step.title, WindowText(dlg));
        EXPECT_EQ(step.name, ItemText(dlg, IDC_CURRENT_NAME));
        EXPECT_EQ(step.name, ItemText(dlg, IDC_NEW_NAME));
        EXPECT_EQ(step.attributes, ItemText(dlg, IDC_ATTRIBUTES));
        EXPECT_EQ(folder.Path(step.name), TooltipText(dlg));
        EXPECT_EQ(step.prev, Enabled(dlg, IDC_PREV));
        EXPECT_EQ(step.next, Enabled(dlg, IDC_NEXT));
        EXPECT_EQ(step.defaults, Defaults(dlg)) << "default id, then the buttons drawn as default";
        EXPECT_EQ(edit, GetFocus());
        EXPECT_EQ(std::string(step.name) == "dir.old" ? "0-7" : "0-1", Selection(edit));
    }
    SetFileAttributesA(folder.Path("a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DialogTest, OneFileHidesTheMoveButtonsAndOkIsTheDefault)
{
    Open({"報告 表.txt"});
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_PREV)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_NEXT)));
    EXPECT_EQ(OK + " " + OK, Defaults(dlg));
    EXPECT_NE(nullptr, ShownIcon(dlg));
}

TEST_F(DialogTest, ReplacedIconsAreDestroyedAndAVanishedFileKeepsTheLast)
{
    Open({"a.txt", "b.txt"});
    std::vector<HICON> shown;
    for (int i = 0; i < 20; i++) {
        shown.push_back(ShownIcon(dlg));
        Command(dlg, i % 2 ? IDC_PREV : IDC_NEXT);
    }
    ICONINFO info;
    for (HICON icon : shown)
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "icon " << icon << " was not destroyed";
    HICON last = ShownIcon(dlg);
    DeleteFileA(folder.Path("b.txt").c_str());
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("[]", ItemText(dlg, IDC_ATTRIBUTES));
    EXPECT_EQ(last, ShownIcon(dlg)) << "a failed icon query leaves the icon shown before";
    EXPECT_EQ("0-5", Selection(edit)) << "an entry without attributes selects as a folder";
}

TEST_F(DialogTest, RefusedNamesGetTheirTitleAndStay)
{
    Open({"a.txt", "b.txt", "c.txt", "there.txt"});
    TypeName(dlg, "  pending.txt ");
    Command(dlg, IDC_NEXT);
    const std::string enter = " 名前を入力してください。", exists = " 既に存在している名前です。";
    const std::string longName(MAX_PATH - folder.dir.size(), 'n');
    struct { std::string typed; int command; std::string title, defaults; } rows[] = {
        {"", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},       {" \t ", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},
        {".", IDC_PREV, "Quillmark(2/4)" + enter, NEXT},      {"sub\\x.txt", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},
        {"../x", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},   {"*.txt", IDOK, "Quillmark(2/4)" + enter, NEXT},
        {"a?", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},     {"c:x", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},
        {"<>|", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},    {"\"q\"", IDC_NEXT, "Quillmark(2/4)" + enter, NEXT},
        {"there.txt", IDC_NEXT, "Quillmark(2/4)" + exists, NEXT},
        {"pending.txt ", IDC_PREV, "Quillmark(2/4)" + exists, std::to_string(IDC_PREV)},
        {"PENDING.TXT ", IDC_NEXT, "Quillmark(2/4)" + exists, NEXT},
        {"C.txt", IDC_NEXT, "Quillmark(2/4)" + exists, NEXT},
        {"表.txt", IDC_NEXT, "Quillmark(3/4)", NEXT},
        {longName, IDC_NEXT, "Quillmark(4/4)", OK},          /* too long to exist: fails on OK */
    };
    for (const auto &row : rows) {
        TypeName(dlg, row.typed);
        Command(dlg, row.command);
        EXPECT_EQ(row.title, WindowText(dlg)) << "typed '" << row.typed << "'";
        EXPECT_EQ(row.defaults, Defaults(dlg).substr(0, row.defaults.size())) << "typed '" << row.typed << "'";
        if (row.title.size() > 16) {
            EXPECT_EQ(row.typed, ItemText(dlg, IDC_NEW_NAME)) << "the typed text stays";
        }
    }
    TypeName(dlg, "");
    Command(dlg, IDC_PREV);
    SendMessageA(dlg, WM_TIMER, TITLE_TIMER, 0);
    EXPECT_EQ("Quillmark(4/4)", WindowText(dlg)) << "the timer brings the counter title back";
    TypeName(dlg, "there.txt");
    Command(dlg, IDC_PREV);
    Command(dlg, IDC_PREV);
    Command(dlg, IDC_PREV);
    EXPECT_EQ("pending.txt ", ItemText(dlg, IDC_NEW_NAME)) << "leading blanks go, trailing ones stay";
    Command(dlg, IDCANCEL);
    EXPECT_TRUE(Ended());
    EXPECT_EQ("a.txt<a.txt b.txt<b.txt c.txt<c.txt there.txt<there.txt", folder.Listing()) << "Cancel renames nothing";
}

TEST_F(DialogTest, OkRenamesChangedFilesAndOffersFailuresAgain)
{
    Open({"a.txt", "b.txt", "c.txt", "dir/"});
    folder.MakeFile("dir/inside.txt");
    TypeName(dlg, "新しい.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "c2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "dir2");
    HANDLE held = HoldOpen(folder.Path("c.txt"));
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
        EXPECT_EQ(std::vector<std::string>{"Quillmark: エラーがあります。\n継続しますか?"}, answerer.texts);
    }
    CloseHandle(held);
    ASSERT_FALSE(Ended());
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ("c.txt", ItemText(dlg, IDC_NEW_NAME)) << "the new pass starts from the current name";
    EXPECT_EQ(edit, GetFocus());
    TypeName(dlg, "c3.txt");
    MessageBoxAnswerer none(IDNO);
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(none.texts.empty());
    EXPECT_EQ("b.txt<b.txt c3.txt<c.txt dir2/ 新しい.txt<a.txt", folder.Listing());
    EXPECT_EQ("content of dir/inside.txt", ReadContent(folder.Path("dir2\\inside.txt")));
}

/* Another program that makes a file of each renamed file's old name as soon as it is gone, as
   an editor's lock file may: the renames are done all the same. */
static volatile LONG g_remaking;

static DWORD WINAPI RemakeOldNames(void *paths)
{
    while (g_remaking)
        for (const std::string &path : *(std::vector<std::string> *)paths)
            if (!Exists(path))
                CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    return 0;
}

TEST_F(DialogTest, ARenameIsDoneWhateverMakesTheOldNameAnew)
{
    std::vector<std::string> names, paths;
    for (int i = 10; i < 30; i++) {
        names.push_back("f" + std::to_string(i));
        paths.push_back(folder.Path(names.back()));
    }
    Open(names);
    for (const std::string &name : names) {
        TypeName(dlg, "new " + name);
        if (name != names.back())
            Command(dlg, IDC_NEXT);
    }
    g_remaking = 1;
    HANDLE remaker = CreateThread(NULL, 0, RemakeOldNames, &paths, 0, NULL);
    MessageBoxAnswerer answerer(IDNO);
    Command(dlg, IDOK);
    g_remaking = 0;
    WaitForSingleObject(remaker, INFINITE);
    CloseHandle(remaker);
    EXPECT_TRUE(answerer.texts.empty()) << "a rename was taken for a failure";
    for (const std::string &name : names)
        EXPECT_EQ("content of " + name, ReadContent(folder.Path("new " + name)));
}

/* What another program does to the files between start-up and OK, and what is on disk after. */
TEST_F(DialogTest, OtherProgramsChangesBeforeOk)
{
    struct Row {
        const char *what;
        std::function<HANDLE(TempFolder &)> meddle;
        const char *listing;
        bool asked;
    } rows[] = {
        {"nothing", [](TempFolder &) { return (HANDLE)NULL; }, "a2.txt<a.txt b2.txt<b.txt", false},
        {"made a's target", [](TempFolder &f) { f.MakeFile("a2.txt"); return (HANDLE)NULL; },
         "a.txt<a.txt a2.txt<a2.txt b2.txt<b.txt", true},
        {"removed a", [](TempFolder &f) { DeleteFileA(f.Path("a.txt").c_str()); return (HANDLE)NULL; },
         "b2.txt<b.txt", true},
        {"holds a open", [](TempFolder &f) { return HoldOpen(f.Path("a.txt")); }, "a.txt<a.txt b2.txt<b.txt", true},
        {"made a read-only", [](TempFolder &f) { SetFileAttributesA(f.Path("a.txt").c_str(), FILE_ATTRIBUTE_READONLY); return (HANDLE)NULL; },
         "a2.txt<a.txt b2.txt<b.txt", false},
        {"replaced a by a folder", [](TempFolder &f) { DeleteFileA(f.Path("a.txt").c_str()); f.MakeFolder("a.txt"); return (HANDLE)NULL; },
         "a2.txt/ b2.txt<b.txt", false},
    };
    for (Row &row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        RemoveDirectoryA(folder.Path("a.txt").c_str());
        DeleteFileA(folder.Path("a2.txt").c_str());
        DeleteFileA(folder.Path("b2.txt").c_str());
        Open({"a.txt", "b.txt"});
        TypeName(dlg, "a2.txt");
        Command(dlg, IDC_NEXT);
        TypeName(dlg, "b2.txt");
        HANDLE held = row.meddle(folder);
        MessageBoxAnswerer answerer(IDNO);
        Command(dlg, IDOK);
        if (held)
            CloseHandle(held);
        SetFileAttributesA(folder.Path("a2.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(Ended());
        EXPECT_EQ(row.asked, answerer.texts.size() == 1);
        EXPECT_EQ(row.listing, folder.Listing());
    }
}

/* Whatever the user does while the retry question is up (the shell's own error windows leave
   the dialog as reachable on Windows) changes nothing: each file is renamed once. */
TEST_F(DialogTest, NothingReentersACommit)
{
    struct { const char *what; std::function<void(HWND)> act; int answer; const char *title; } rows[] = {
        {"Cancel", [](HWND d) { Command(d, IDCANCEL); }, IDYES, "Quillmark(1/1)"},
        {"OK", [](HWND d) { Command(d, IDOK); }, IDYES, "Quillmark(1/1)"},
        {"a jump", [](HWND d) { Command(d, IDM_JUMP_BASE + 2); }, IDNO, NULL},
        {"a list row", [](HWND) {
             LVITEMA item = {};
             item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
             SendDlgItemMessageA(g_listWindow, IDC_LIST, LVM_SETITEMSTATE, 2, (LPARAM)&item);
         }, IDYES, "Quillmark(1/1)"},
        {"closing the list", [](HWND) { SendMessageA(g_listWindow, WM_COMMAND, IDCANCEL, 0); }, IDNO, NULL},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        for (const char *name : {"a2.txt", "b.txt", "c2.txt"})
            DeleteFileA(folder.Path(name).c_str());
        Open({"a.txt", "b.txt", "c.txt"}, "/p");
        TypeName(dlg, "a2.txt");
        Command(dlg, IDC_NEXT);
        TypeName(dlg, "b2.txt");
        Command(dlg, IDC_NEXT);
        TypeName(dlg, "c2.txt");
        HANDLE held = HoldOpen(folder.Path("b.txt"));
        std::string titleMeanwhile;
        BOOL listEnabled = TRUE;
        MessageBoxAnswerer answerer(row.answer, [&] {
            titleMeanwhile = WindowText(dlg);
            listEnabled = IsWindowEnabled(g_listWindow);
            row.act(dlg);
        });
        Command(dlg, IDOK);
        CloseHandle(held);
        EXPECT_EQ("名前を変更しています… 3/3", titleMeanwhile);
        EXPECT_FALSE(listEnabled) << "the list window takes no command during a commit";
        EXPECT_EQ(1u, answerer.texts.size());
        EXPECT_EQ("a2.txt<a.txt b.txt<b.txt c2.txt<c.txt", folder.Listing());
        if (row.title) {
            EXPECT_EQ(row.title, WindowText(dlg));
            EXPECT_EQ("b.txt", ItemText(dlg, IDC_CURRENT_NAME));
            EXPECT_TRUE(IsWindowEnabled(dlg) && IsWindowEnabled(g_listWindow));
        } else {
            EXPECT_TRUE(Ended());
        }
    }
}

TEST_F(DialogTest, APassWithNoFileLeftEndsTheDialog)
{
    OpenTail("\"" + folder.Path("none.txt") + "\" /p");
    EXPECT_TRUE(Ended()) << "no file at start-up";
    TearDown();
    Open({"a.txt", "b.txt"});
    TypeName(dlg, "a2.txt");
    HANDLE held = HoldOpen(folder.Path("a.txt"));
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
    }
    CloseHandle(held);
    ASSERT_EQ("Quillmark(1/1)", WindowText(dlg));
    DeleteFileA(folder.Path("a.txt").c_str());
    TypeName(dlg, "a3.txt");
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    EXPECT_EQ(1u, answerer.texts.size());
    EXPECT_TRUE(Ended()) << "the vanished file was all the new pass had";
    EXPECT_EQ("b.txt<b.txt", folder.Listing());
}

/* The rename dialog built from its real template: start-up, moving between entries, the title-bar
   errors, and OK with real files, including failures offered again. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <commctrl.h>

static LONG ButtonType(HWND dlg, int id)
{
    return GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & BS_TYPEMASK;
}

static bool Visible(HWND dlg, int id)
{
    return (GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

static bool Enabled(HWND dlg, int id)
{
    return IsWindowEnabled(GetDlgItem(dlg, id)) != 0;
}

static std::string TooltipText(HWND dlg)
{
    char text[PATH_TEXT] = "";
    TOOLINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = GetDlgItem(dlg, IDC_CURRENT_NAME);
    info.uId = IDC_CURRENT_NAME;
    info.lpszText = text;
    SendMessageA(g_tooltip, TTM_GETTEXTA, sizeof(text), (LPARAM)&info);
    return text;
}

class DialogTest : public RenameDialogTest {};

TEST_F(DialogTest, OneFileShowsItsNameIconAttributesAndPath)
{
    std::string a = folder.MakeFile("報告 表.txt");
    Open({a});
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ("報告 表.txt", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_EQ("報告 表.txt", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_EQ("[A]", ItemText(dlg, IDC_ATTRIBUTES));
    EXPECT_FALSE(Visible(dlg, IDC_PREV));
    EXPECT_FALSE(Visible(dlg, IDC_NEXT));
    EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(dlg, IDOK));
    EXPECT_NE(nullptr, (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0));
    ASSERT_NE(nullptr, g_tooltip);
    EXPECT_EQ(a, TooltipText(dlg));
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
}

TEST_F(DialogTest, NextOnTheOnlyFileDoesNothing)
{
    Open({folder.MakeFile("a.txt")});
    TypeName(dlg, "");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg)) << "no validation at the last entry";
    Command(dlg, IDC_PREV);
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus()) << "previous at the first entry returns the focus";
}

TEST_F(DialogTest, ThreeFilesAreSortedAndTheButtonsFollowThePosition)
{
    std::string c = folder.MakeFile("c.txt"), a = folder.MakeFile("a.txt"), b = folder.MakeFile("B.txt");
    Open({c, a, b});
    EXPECT_EQ("Quillmark(1/3)", WindowText(dlg));
    EXPECT_EQ("a.txt", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_TRUE(Visible(dlg, IDC_PREV));
    EXPECT_FALSE(Enabled(dlg, IDC_PREV));
    EXPECT_TRUE(Enabled(dlg, IDC_NEXT));

    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg));
    EXPECT_EQ("B.txt", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_TRUE(Enabled(dlg, IDC_PREV));
    EXPECT_TRUE(Enabled(dlg, IDC_NEXT));
    EXPECT_EQ(b, TooltipText(dlg));

    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(3/3)", WindowText(dlg));
    EXPECT_FALSE(Enabled(dlg, IDC_NEXT));
    EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(dlg, IDOK));
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());

    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(3/3)", WindowText(dlg));
    Command(dlg, IDC_PREV);
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg));
    EXPECT_TRUE(Enabled(dlg, IDC_NEXT));
    /* IDOK is the dialog's default id: the dialog manager gives it the default look again whenever
       the refresh puts the focus into the name field, so its plain look is not checked here. */
}

TEST_F(DialogTest, NoExistingFileLeavesTheTemplateAsItIs)
{
    Open({folder.Path("missing.txt")}, "/t ");
    EXPECT_EQ("Dialog", WindowText(dlg));
    EXPECT_EQ("スタティック", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_EQ("", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_FALSE(Visible(dlg, IDC_NEXT));
    Command(dlg, IDC_NEXT);
    Command(dlg, IDM_REVERT_ALL);
    Command(dlg, IDM_OPEN);
    EXPECT_EQ("Dialog", WindowText(dlg));
    TypeName(dlg, "typed.txt");
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended()) << "OK on an empty list ends the dialog as Cancel does";
}

TEST_F(DialogTest, TypedNamesAreKeptPerEntry)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    TypeName(dlg, "  first.txt ");
    Command(dlg, IDC_NEXT);
    EXPECT_STREQ("first.txt ", g_entries[0]->newName) << "leading blanks go, trailing ones stay";
    EXPECT_EQ("b.txt", ItemText(dlg, IDC_NEW_NAME));
    TypeName(dlg, "second.txt");
    Command(dlg, IDC_PREV);
    EXPECT_EQ("a.txt", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_EQ("first.txt ", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_STREQ("second.txt", g_entries[1]->newName);
}

TEST_F(DialogTest, UnusableNamesShowTheEnterANameTitle)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    const char *bad[] = {"", " \t ", ".", "sub\\x.txt", "../x.txt", "*.txt", "a?", "c:x", "<", ">", "|", "\"q\""};
    for (const char *name : bad) {
        TypeName(dlg, name);
        Command(dlg, IDC_NEXT);
        EXPECT_EQ("Quillmark(1/2) 名前を入力してください。", WindowText(dlg)) << "name '" << name << "'";
        EXPECT_EQ(0u, g_current);
        EXPECT_STREQ("a.txt", g_entries[0]->newName);
        EXPECT_EQ(name, ItemText(dlg, IDC_NEW_NAME)) << "the typed text stays";
        EXPECT_EQ(BS_PUSHBUTTON, ButtonType(dlg, IDC_NEXT));
    }
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());
    TypeName(dlg, "表.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(2/2)", WindowText(dlg)) << "a second byte of 0x5C is no backslash";
}

TEST_F(DialogTest, TakenNamesShowTheNameExistsTitleAndMarkTheButton)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt"), folder.MakeFile("c.txt")});
    folder.MakeFile("there.txt");
    TypeName(dlg, "there.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(1/3) 既に存在している名前です。", WindowText(dlg));
    EXPECT_EQ(0u, g_current);
    EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(dlg, IDC_NEXT));

    TypeName(dlg, "x.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "x.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(2/3) 既に存在している名前です。", WindowText(dlg)) << "another entry's pending name";
    TypeName(dlg, "..");
    Command(dlg, IDC_PREV);
    EXPECT_EQ("Quillmark(2/3) 既に存在している名前です。", WindowText(dlg));
    EXPECT_EQ(BS_DEFPUSHBUTTON, ButtonType(dlg, IDC_PREV));
    EXPECT_EQ(1u, g_current);
}

TEST_F(DialogTest, TheCounterTitleReturnsAfterTwoSeconds)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    TypeName(dlg, "");
    Command(dlg, IDC_NEXT);
    PumpMessages(1500);
    EXPECT_EQ("Quillmark(1/2) 名前を入力してください。", WindowText(dlg));
    PumpMessages(1000);
    EXPECT_EQ("Quillmark(1/2)", WindowText(dlg));
}

TEST_F(DialogTest, TheCounterTitleHoldsAnyCount)
{
    Open({folder.MakeFile("a.txt")});
    ShowCounterTitle(4294967294u, dlg, 4294967295u);
    EXPECT_EQ("Quillmark(-1/-1)", WindowText(dlg)) << "the format's %d, with nothing cut or overrun";
    ShowCounterTitle(999999, dlg, 1000000);
    EXPECT_EQ("Quillmark(1000000/1000000)", WindowText(dlg));
    SendMessageA(dlg, WM_TIMER, TITLE_TIMER, 0);
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
}

TEST_F(DialogTest, AttributesAndFolders)
{
    std::string ro = folder.MakeFile("ro.txt");
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    std::string dir = folder.MakeFolder("dir");
    Open({ro, dir});
    EXPECT_EQ("dir", ItemText(dlg, IDC_CURRENT_NAME));
    EXPECT_EQ("[D]", ItemText(dlg, IDC_ATTRIBUTES));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, g_currentAttributes & FILE_ATTRIBUTE_DIRECTORY);
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("[AR]", ItemText(dlg, IDC_ATTRIBUTES));
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DialogTest, AVanishedFileKeepsTheIconAndShowsNoAttributes)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    HICON first = (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0);
    DeleteFileA(b.c_str());
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("[]", ItemText(dlg, IDC_ATTRIBUTES));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, g_currentAttributes);
    EXPECT_EQ(first, (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0))
        << "a failed icon query leaves the icon shown before";
}

TEST_F(DialogTest, ReplacedIconsAreDestroyed)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    std::vector<HICON> shown;
    for (int i = 0; i < 50; i++) {
        shown.push_back((HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0));
        Command(dlg, i % 2 ? IDC_PREV : IDC_NEXT);
    }
    ICONINFO info;
    for (HICON icon : shown) {
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "icon " << icon << " was not destroyed";
    }
}

TEST_F(DialogTest, CancelRenamesNothing)
{
    std::string a = folder.MakeFile("a.txt");
    Open({a});
    TypeName(dlg, "b.txt");
    Command(dlg, IDCANCEL);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
    EXPECT_FALSE(Exists(folder.Path("b.txt")));
}

TEST_F(DialogTest, OkRenamesEveryChangedFileAndEnds)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt"), c = folder.MakeFile("c.txt");
    std::string dir = folder.MakeFolder("dir");
    Open({a, b, c, dir});
    TypeName(dlg, "新しい.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_NEXT);               /* b.txt unchanged */
    TypeName(dlg, "c2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "dir2");
    MessageBoxAnswerer answerer(IDNO);
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(answerer.texts.empty()) << "no question without a failure";
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("新しい.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(b));
    EXPECT_EQ(ContentOf("c.txt"), ReadContent(folder.Path("c2.txt")));
    EXPECT_TRUE(Exists(folder.Path("dir2")));
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(c));
}

TEST_F(DialogTest, OkWithAnUnusableNameStaysOpen)
{
    std::string a = folder.MakeFile("a.txt");
    Open({a});
    TypeName(dlg, "a/b");
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(1/1) 名前を入力してください。", WindowText(dlg));
    EXPECT_FALSE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
}

TEST_F(DialogTest, FailedFilesAreOfferedAgainAfterYes)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt"), c = folder.MakeFile("c.txt");
    Open({a, b, c});
    TypeName(dlg, "a2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "b2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "c2.txt");
    HANDLE held = HoldOpen(b);
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
        ASSERT_EQ(1u, answerer.texts.size());
        EXPECT_EQ("エラーがあります。\n継続しますか?", answerer.texts[0]);
        EXPECT_EQ("Quillmark", answerer.captions[0]);
    }
    CloseHandle(held);
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("a2.txt")));
    EXPECT_EQ(ContentOf("c.txt"), ReadContent(folder.Path("c2.txt")));
    ASSERT_FALSE(Ended());
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ("b.txt", ItemText(dlg, IDC_NEW_NAME)) << "the new pass starts from the current name";
    EXPECT_EQ(GetDlgItem(dlg, IDC_NEW_NAME), GetFocus());

    TypeName(dlg, "b3.txt");
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(folder.Path("b3.txt")));
}

TEST_F(DialogTest, NoToTheQuestionEndsWithTheFailedFileUntouched)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    TypeName(dlg, "a2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "b2.txt");
    HANDLE held = HoldOpen(b);
    MessageBoxAnswerer answerer(IDNO);
    Command(dlg, IDOK);
    CloseHandle(held);
    EXPECT_EQ(1u, answerer.texts.size());
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("a2.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(b));
}

TEST_F(DialogTest, ATargetMadeAfterItWasAcceptedIsNotReplaced)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    TypeName(dlg, "late.txt");
    Command(dlg, IDC_NEXT);
    folder.MakeFile("late.txt");
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    EXPECT_EQ(1u, answerer.texts.size());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
    EXPECT_EQ(ContentOf("late.txt"), ReadContent(folder.Path("late.txt")));
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ("a.txt", ItemText(dlg, IDC_CURRENT_NAME));
}

TEST_F(DialogTest, ANewPassWhoseFilesVanishedIsEmptyAndOkEndsIt)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    TypeName(dlg, "a2.txt");
    HANDLE held = HoldOpen(a);
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
    }
    CloseHandle(held);
    ASSERT_EQ(1u, g_entryCount);
    DeleteFileA(a.c_str());
    /* The vanished file fails again; the pass after it has no entry at all. */
    TypeName(dlg, "a3.txt");
    {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
        EXPECT_EQ(1u, answerer.texts.size());
    }
    EXPECT_EQ(0u, g_entryCount);
    EXPECT_FALSE(Ended());
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(b));
}

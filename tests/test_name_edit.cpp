/* The name field in the real dialog: the selection it makes on focus, F2 and double-click, the
   characters it refuses, and the Ctrl shortcuts it turns into dialog commands. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"

#define EXPECT_SELECTION(edit, start, end) \
    EXPECT_EQ(MAKELONG(start, end), Selection(edit)) \
        << "expected (" << (start) << ", " << (end) << "), got (" << LOWORD(Selection(edit)) << ", " << HIWORD(Selection(edit)) << ")"

/* Records the commands posted to the dialog and, while swallow is set, keeps them from it. */
static HWND g_watched;
static std::vector<int> g_posted;
static bool g_swallow;
static HHOOK g_getMessageHook;

static LRESULT CALLBACK RecordPosted(int code, WPARAM wParam, LPARAM lParam)
{
    MSG *msg = (MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd == g_watched && msg->message == WM_COMMAND) {
        g_posted.push_back(LOWORD(msg->wParam));
        if (g_swallow)
            msg->message = WM_NULL;
    }
    return CallNextHookEx(g_getMessageHook, code, wParam, lParam);
}

static void PressCtrl(bool down)
{
    keybd_event(VK_CONTROL, 0, down ? 0 : KEYEVENTF_KEYUP, 0);
    PumpMessages();
}

class NameEditTest : public RenameDialogTest {
protected:
    HWND edit = NULL;
    void Open(const std::vector<std::string> &paths)
    {
        RenameDialogTest::Open(paths);
        edit = GetDlgItem(dlg, IDC_NEW_NAME);
        g_watched = dlg;
        g_posted.clear();
        g_swallow = true;
        g_getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, RecordPosted, NULL, GetCurrentThreadId());
    }
    void OpenOn(const std::string &name) { Open({folder.MakeFile(name)}); }
    void Key(WPARAM key) { SendMessageA(edit, WM_KEYDOWN, key, 1); }
    void Char(WPARAM code) { SendMessageA(edit, WM_CHAR, code, 1); }
    void TearDown() override
    {
        PressCtrl(false);
        UnhookWindowsHookEx(g_getMessageHook);
        RenameDialogTest::TearDown();
    }
};

TEST_F(NameEditTest, FocusSelectsTheBaseName)
{
    struct { const char *name; int start, end; } cases[] = {
        {"report.txt", 0, 6}, {"archive.tar.gz", 0, 11}, {"my file.old version", 0, 19},
        {"noext", 0, 5}, {".profile", 0, 0}, {"a. b", 0, 4},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        Open({folder.MakeFile(c.name)});
        EXPECT_EQ(edit, GetFocus());
        EXPECT_SELECTION(edit, c.start, c.end);
        /* Away and back by Tab: the dialog manager must not select the whole text. */
        SendMessageA(dlg, WM_NEXTDLGCTL, 0, FALSE);
        EXPECT_NE(edit, GetFocus());
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)edit, TRUE);
        EXPECT_SELECTION(edit, c.start, c.end);
        TearDown();
    }
    Open({folder.MakeFile("last.txt")});
}

TEST_F(NameEditTest, FocusSelectsAFoldersWholeName)
{
    Open({folder.MakeFolder("photos.2024")});
    EXPECT_SELECTION(edit, 0, 11);
}

TEST_F(NameEditTest, AnEmptyFieldGetsACaret)
{
    Open({folder.MakeFolder("dir") + "\\"});
    EXPECT_EQ("", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_SELECTION(edit, 0, 0);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 0);
}

TEST_F(NameEditTest, F2CyclesBaseNameExtensionWholeName)
{
    OpenOn("report.txt");
    EXPECT_SELECTION(edit, 0, 6);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 7, 10);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 10);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 6);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 6) << "from a bare caret";
    SendMessageA(edit, EM_SETSEL, 9, 9);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 6) << "from a caret in the extension";
    SendMessageA(edit, EM_SETSEL, 2, 8);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 6) << "from a selection that begins before the dot";
    SendMessageA(edit, EM_SETSEL, 6, 8);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 10) << "from a selection that begins at the dot";
    EXPECT_EQ("report.txt", ItemText(dlg, IDC_NEW_NAME));
}

TEST_F(NameEditTest, F2WithoutExtension)
{
    OpenOn("noext");
    Key(VK_F2);
    EXPECT_SELECTION(edit, 5, 5);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 5);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 5, 5);
}

TEST_F(NameEditTest, F2WithTheExtensionAtTheStart)
{
    OpenOn(".profile");
    EXPECT_SELECTION(edit, 0, 0);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 1, 8);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 8);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 8);
}

TEST_F(NameEditTest, F2OnAFolderAlternatesWholeNameAndCaret)
{
    Open({folder.MakeFolder("dir.old")});
    EXPECT_SELECTION(edit, 0, 7);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 0);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 7);
    SendMessageA(edit, EM_SETSEL, 7, 7);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 0) << "a caret at the end is followed by the caret at the start";
}

TEST_F(NameEditTest, AnEntryWithoutAttributesCountsAsAFolder)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    DeleteFileA(b.c_str());
    Command(dlg, IDC_NEXT);
    EXPECT_SELECTION(edit, 0, 5);
    Key(VK_F2);
    EXPECT_SELECTION(edit, 0, 0);
}

TEST_F(NameEditTest, RefusedCharactersInsertNothing)
{
    OpenOn("a.txt");
    SetWindowTextA(edit, "");
    const char refused[] = "\"*/:<>?\\|";
    for (const char *c = refused; *c; c++) {
        Char('x');
        Char((BYTE)*c);
    }
    EXPECT_EQ("xxxxxxxxx", ItemText(dlg, IDC_NEW_NAME));
    Char('.');
    Char(' ');
    Char('-');
    EXPECT_EQ("xxxxxxxxx. -", ItemText(dlg, IDC_NEW_NAME));
}

TEST_F(NameEditTest, DoubleByteCharactersArriveAsPairs)
{
    OpenOn("a.txt");
    SetWindowTextA(edit, "");
    const char *typed = "表ソ能あ";    /* three of them end in 0x5C */
    for (const char *c = typed; *c; c++)
        Char((BYTE)*c);
    Char('\\');
    EXPECT_EQ("表ソ能あ", ItemText(dlg, IDC_NEW_NAME));
}

TEST_F(NameEditTest, CtrlShortcutsPostTheirCommandOnce)
{
    OpenOn("a.txt");
    struct { WPARAM key; int command; } table[] = {
        {'B', IDC_PREV}, {VK_NUMPAD2, IDC_PREV}, {'M', IDC_MENU_BUTTON}, {VK_SUBTRACT, IDC_MENU_BUTTON},
        {'N', IDC_NEXT}, {VK_DECIMAL, IDC_NEXT}, {'O', IDOK}, {VK_DIVIDE, IDOK}, {'S', IDCANCEL}, {VK_F4, IDCANCEL},
    };
    PressCtrl(true);
    for (auto &row : table) {
        g_posted.clear();
        SetWindowTextA(edit, "name");
        Key(row.key);
        Char(row.key >= 'A' && row.key <= 'Z' ? row.key - 'A' + 1 : 0x7F);
        PumpMessages();
        ASSERT_EQ(1u, g_posted.size()) << "key " << row.key;
        EXPECT_EQ(row.command, g_posted[0]) << "key " << row.key;
        EXPECT_EQ("name", ItemText(dlg, IDC_NEW_NAME)) << "the control character reached the field";
    }
    PressCtrl(false);
    g_posted.clear();
    SendMessageA(edit, EM_SETSEL, 4, 4);
    Key('N');
    Char('n');
    PumpMessages();
    EXPECT_TRUE(g_posted.empty()) << "without Ctrl a letter is typed";
    EXPECT_EQ("namen", ItemText(dlg, IDC_NEW_NAME));
}

TEST_F(NameEditTest, ShortcutsMoveTheDialog)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt"), folder.MakeFile("c.txt")});
    g_swallow = false;
    PressCtrl(true);
    Key('N');
    PumpMessages();
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg));
    Key(VK_DECIMAL);
    PumpMessages();
    EXPECT_EQ("Quillmark(3/3)", WindowText(dlg));
    Key('B');
    PumpMessages();
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg));
    EXPECT_EQ(edit, GetFocus());
    Key('S');
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(dlg)) << "Ctrl+S cancels";
}

TEST_F(NameEditTest, OtherCtrlKeysStillReachTheField)
{
    OpenOn("a.txt");
    SetWindowTextA(edit, "copy me");
    PressCtrl(true);
    SendMessageA(edit, EM_SETSEL, 0, 4);
    Key('C');
    Char(0x03);
    SendMessageA(edit, EM_SETSEL, 7, 7);
    Key('V');
    Char(0x16);
    PumpMessages();
    EXPECT_TRUE(g_posted.empty());
    EXPECT_EQ("copy mecopy", ItemText(dlg, IDC_NEW_NAME)) << "Ctrl+C and Ctrl+V keep working";
    Key(VK_HOME);
    EXPECT_SELECTION(edit, 0, 0) << "keys with Ctrl outside the table reach the edit control";
    Key(VK_END);
    EXPECT_SELECTION(edit, 11, 11);
}

TEST_F(NameEditTest, CtrlF2RevertsAndSelectsTheBaseName)
{
    Open({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    TypeName(dlg, "changed.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_PREV);
    EXPECT_EQ("changed.txt", ItemText(dlg, IDC_NEW_NAME));
    PressCtrl(true);
    Key(VK_F2);
    EXPECT_EQ("a.txt", ItemText(dlg, IDC_NEW_NAME));
    EXPECT_STREQ("a.txt", g_entries[0]->newName);
    EXPECT_EQ(edit, GetFocus());
    EXPECT_SELECTION(edit, 0, 1);
    EXPECT_TRUE(g_posted.empty()) << "the revert is sent, not posted";
}

/* Width of text in the field's own font. */
static int FieldTextWidth(HWND edit, const char *text)
{
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(edit, WM_GETFONT, 0, 0));
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return size.cx;
}

TEST_F(NameEditTest, DoubleClickSelectsThePartItLandsOn)
{
    OpenOn("photo.jpeg");
    int whole = FieldTextWidth(edit, "photo.jpeg");
    int extension = FieldTextWidth(edit, "jpeg");
    struct { int x; int start, end; } clicks[] = {
        {1, 0, 5}, {whole - extension - 1, 0, 5}, {whole - extension, 0, 5},
        {whole - extension + 1, 6, 10}, {whole, 6, 10}, {whole + 1, 0, 10}, {whole + 50, 0, 10},
    };
    for (auto &c : clicks) {
        SendMessageA(edit, EM_SETSEL, 0, 0);
        EXPECT_EQ(1, SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.x, 5)));
        EXPECT_SELECTION(edit, c.start, c.end) << "click at " << c.x << " of " << whole;
    }
}

TEST_F(NameEditTest, DoubleClickWithoutExtensionSelectsEverything)
{
    OpenOn("README");
    SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 5));
    EXPECT_SELECTION(edit, 0, 6);
}

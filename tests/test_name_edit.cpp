/* The name field in the real dialog: the selection it makes on focus, F2 and double-click, the
   characters it refuses, and the Ctrl shortcuts it turns into dialog commands. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"

/* Records the commands posted to the dialog and keeps them from it. */
static std::vector<int> g_posted;
static HHOOK g_getMessageHook;

static LRESULT CALLBACK RecordPosted(int code, WPARAM wParam, LPARAM lParam)
{
    MSG *msg = (MSG *)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_COMMAND && !msg->lParam) {
        g_posted.push_back(LOWORD(msg->wParam));
        msg->message = WM_NULL;
    }
    return CallNextHookEx(g_getMessageHook, code, wParam, lParam);
}

class NameEditTest : public DialogTest {
protected:
    void Key(WPARAM key) { SendMessageA(edit, WM_KEYDOWN, key, 1); }
    void Char(BYTE code) { SendMessageA(edit, WM_CHAR, code, 1); }
    void Type(const char *bytes)
    {
        for (const char *c = bytes; *c; c++)
            Char(*c);
    }
};

TEST_F(NameEditTest, FocusAndF2SelectThePartsOfTheName)
{
    struct { const char *name; const char *caret; int f2; const char *selection; } rows[] = {
        {"report.txt", NULL, 0, "0-6"},        {"report.txt", NULL, 1, "7-10"},
        {"report.txt", NULL, 2, "0-10"},       {"report.txt", NULL, 3, "0-6"},
        {"report.txt", "3-3", 1, "0-6"},       {"report.txt", "9-9", 1, "0-6"},
        {"report.txt", "2-8", 1, "0-6"},       {"report.txt", "6-8", 1, "0-10"},
        {"archive.tar.gz", NULL, 0, "0-11"},   {"my file.old version", NULL, 0, "0-19"},
        {"noext", NULL, 1, "5-5"},             {"noext", NULL, 2, "0-5"},
        {".profile", NULL, 0, "0-0"},          {".profile", NULL, 1, "1-8"},
        {".profile", NULL, 3, "0-8"},          {"a. b", NULL, 0, "0-4"},
        {"dir.old/", NULL, 0, "0-7"},          {"dir.old/", NULL, 1, "0-0"},
        {"dir.old/", NULL, 2, "0-7"},          {"dir.old/", "7-7", 1, "0-0"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.caret ? std::string(" from ") + row.caret : "") + ", F2 x" + std::to_string(row.f2));
        TearDown();
        Open({row.name});
        /* Away and back as Tab does: the dialog manager must not select the whole text. */
        SendMessageA(dlg, WM_NEXTDLGCTL, 0, FALSE);
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)edit, TRUE);
        if (row.caret)
            SendMessageA(edit, EM_SETSEL, atoi(row.caret), atoi(strchr(row.caret, '-') + 1));
        for (int i = 0; i < row.f2; i++)
            Key(VK_F2);
        EXPECT_EQ(row.selection, Selection(edit));
    }
}

static int TextWidth(HWND edit, const char *text)
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
    Open({"photo.jpeg", "README"});
    int whole = TextWidth(edit, "photo.jpeg"), base = whole - TextWidth(edit, "jpeg");
    struct { int x; const char *selection; } clicks[] = {
        {1, "0-5"}, {base, "0-5"}, {base + 1, "6-10"}, {whole, "6-10"}, {whole + 1, "0-10"}, {whole + 50, "0-10"},
    };
    for (const auto &click : clicks) {
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(click.x, 5));
        EXPECT_EQ(click.selection, Selection(edit)) << "click at " << click.x << " of " << whole;
    }
    Command(dlg, IDC_NEXT);
    SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 5));
    EXPECT_EQ("0-6", Selection(edit)) << "a name without extension";
}

TEST_F(NameEditTest, TypedCharacters)
{
    Open({"a.txt", "b.txt"});
    TypeName(dlg, "changed.txt");
    Command(dlg, IDC_NEXT);
    Command(dlg, IDC_PREV);
    PressKey(VK_CONTROL, true);
    Key(VK_F2);
    PressKey(VK_CONTROL, false);
    EXPECT_EQ("a.txt", ItemText(dlg, IDC_NEW_NAME)) << "Ctrl+F2 puts the current name back";
    EXPECT_EQ("0-1", Selection(edit));
    /* An input method delivers a pair with no key-down between: after Ctrl+F2 too. */
    Type("\x95\x5C");
    EXPECT_EQ("表.txt", ItemText(dlg, IDC_NEW_NAME));
    struct { const char *typed, *text; } rows[] = {
        {"x\"x*x/x:x<x>x?x\\x|", "xxxxxxxxx"},
        {". -", ". -"},
        {"表ソ能あ\\", "表ソ能あ"},     /* three of them end in 0x5C */
    };
    for (const auto &row : rows) {
        TypeName(dlg, "");
        Type(row.typed);
        EXPECT_EQ(row.text, ItemText(dlg, IDC_NEW_NAME)) << "typed " << row.typed;
    }
    TypeName(dlg, "");
    Char(0x95);
    Key(VK_LEFT);
    Char('x');
    EXPECT_EQ("x", ItemText(dlg, IDC_NEW_NAME)) << "a key-down drops a pending lead byte";
}

TEST_F(NameEditTest, CtrlShortcutsPostTheirCommandOnce)
{
    Open({"a.txt", "b.txt", "c.txt"});
    g_getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, RecordPosted, NULL, GetCurrentThreadId());
    struct { WPARAM key; int command; } rows[] = {
        {'B', IDC_PREV}, {VK_NUMPAD2, IDC_PREV}, {'M', IDC_MENU_BUTTON}, {VK_SUBTRACT, IDC_MENU_BUTTON},
        {'N', IDC_NEXT}, {VK_DECIMAL, IDC_NEXT}, {'O', IDOK}, {VK_DIVIDE, IDOK}, {'S', IDCANCEL}, {VK_F4, IDCANCEL},
        {'C', 0}, {VK_HOME, 0},
    };
    PressKey(VK_CONTROL, true);
    for (const auto &row : rows) {
        g_posted.clear();
        TypeName(dlg, "name");
        SendMessageA(edit, EM_SETSEL, 4, 4);
        Key(row.key);
        if (row.key >= 'A' && row.key <= 'Z')
            Char(row.key - 'A' + 1);
        PumpMessages();
        EXPECT_EQ(row.command ? std::vector<int>{row.command} : std::vector<int>{}, g_posted) << "key " << row.key;
        EXPECT_EQ("name", ItemText(dlg, IDC_NEW_NAME)) << "key " << row.key;
    }
    EXPECT_EQ("0-0", Selection(edit)) << "Ctrl+Home reaches the edit control";
    UnhookWindowsHookEx(g_getMessageHook);
    Key('N');
    PumpMessages();
    EXPECT_EQ("Quillmark(2/3)", WindowText(dlg));
    Key('S');
    PumpMessages();
    EXPECT_TRUE(Ended()) << "Ctrl+S cancels";
    PressKey(VK_CONTROL, false);
}

/* The name field in the real dialog: the selection it makes on focus, F2 and double-click, the
   characters it refuses, and the Ctrl shortcuts it turns into dialog commands. */
#include "test_support.h"

class NameEditTest : public DialogTest {
protected:
    void Key(WPARAM key) { SendMessageA(edit, WM_KEYDOWN, key, 1); }
    void Type(const char *bytes) { for (; *bytes; bytes++) SendMessageA(edit, WM_CHAR, (BYTE)*bytes, 1); }
};

TEST_F(NameEditTest, FocusAndF2SelectThePartsOfTheName)
{
    struct { const char *name, *from; int f2; const char *selection; } rows[] = {
        {"report.txt", "", 0, "0-6"}, {"report.txt", "", 1, "7-10"}, {"report.txt", "", 2, "0-10"},
        {"report.txt", "", 3, "0-6"}, {"report.txt", "3-3", 1, "0-6"}, {"report.txt", "9-9", 1, "0-6"},
        {"report.txt", "2-8", 1, "0-6"}, {"report.txt", "6-8", 1, "0-10"}, {"archive.tar.gz", "", 0, "0-11"},
        {"my file.old version", "", 0, "0-19"}, {"noext", "", 1, "5-5"}, {"noext", "", 2, "0-5"},
        {".profile", "", 0, "0-0"}, {".profile", "", 1, "1-8"}, {".profile", "", 3, "0-8"}, {"a. b", "", 0, "0-4"},
        {"dir.old/", "", 0, "0-7"}, {"dir.old/", "", 1, "0-0"}, {"dir.old/", "", 2, "0-7"}, {"dir.old/", "7-7", 1, "0-0"},
    };
    for (const auto &row : rows) {
        Reopen({row.name});
        /* Away and back as Tab does: the dialog manager must not select the whole text. */
        SendMessageA(dlg, WM_NEXTDLGCTL, 0, FALSE);
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)edit, TRUE);
        if (*row.from)
            SendMessageA(edit, EM_SETSEL, atoi(row.from), atoi(row.from + 2));
        for (int i = 0; i < row.f2; i++)
            Key(VK_F2);
        EXPECT_EQ(row.selection, Selection(edit)) << row.name << " from '" << row.from << "', F2 x" << row.f2;
    }
}

/* Width of text in the field's own font. */
static int TextWidth(HWND edit, const char *text)
{
    HDC dc = GetDC(edit);
    SIZE size;
    SelectObject(dc, (HFONT)SendMessageA(edit, WM_GETFONT, 0, 0));
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return ReleaseDC(edit, dc), size.cx;
}

TEST_F(NameEditTest, DoubleClickSelectsThePartItLandsOn)
{
    Open({"photo.jpeg"});
    /* A proportional font that the set-up installs: in a fixed-pitch one "jpeg" and ".jpe" are as wide. */
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "IPAPGothic");
    SendMessageA(edit, WM_SETFONT, (WPARAM)font, FALSE);
    int whole = TextWidth(edit, "photo.jpeg"), base = whole - TextWidth(edit, "jpeg");
    struct { int x; const char *selection; } clicks[] = {
        {1, "0-5"}, {base, "0-5"}, {base + 1, "6-10"}, {whole, "6-10"}, {whole + 1, "0-10"}, {whole + 50, "0-10"},
    };
    for (const auto &click : clicks) {
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(click.x, 5));
        EXPECT_EQ(click.selection, Selection(edit)) << "click at " << click.x << " of " << whole;
    }
    DeleteObject(font);
}

/* What the name field hands on to the platform's edit control. */
static WNDPROC g_platformEditProc;
static std::string g_handedOn;

static LRESULT CALLBACK RecordHandedOn(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CHAR)
        g_handedOn += (char)wParam;
    return CallWindowProcA(g_platformEditProc, edit, msg, wParam, lParam);
}

TEST_F(NameEditTest, TypedCharacters)
{
    Open({"a.txt", "b.txt"});
    g_platformEditProc = g_editProc, g_editProc = RecordHandedOn;
    TypeName(dlg, "changed.txt");
    PressKey(VK_CONTROL, true);
    Key(VK_F2);
    PressKey(VK_CONTROL, false);
    EXPECT_EQ("a.txt 0-1", ItemText(dlg, IDC_NEW_NAME) + " " + Selection(edit)) << "Ctrl+F2 puts the current name back";
    Type("\x95\x5C");    /* as an input method delivers a pair: no key-down between, after Ctrl+F2 too */
    EXPECT_EQ("表.txt", ItemText(dlg, IDC_NEW_NAME));
    struct { const char *typed, *text; } rows[] = {
        {"x\"x*x/x:x<x>x?x\\x|", "xxxxxxxxx"}, {". -", ". -"}, {"表ソ能あ\\", "表ソ能あ"},   /* three end in 0x5C */
        {"a\x7F\x02\x1F\t\rbc\b", "ab"},    /* Windows' edit control would insert DEL (Ctrl+Backspace) */
    };
    for (const auto &row : rows) {
        TypeName(dlg, "");
        Type(row.typed);
        EXPECT_EQ(row.text, ItemText(dlg, IDC_NEW_NAME)) << "typed " << row.typed;
    }
    TypeName(dlg, "");
    Type("\x95");
    Key(VK_LEFT);
    Type("x");
    EXPECT_EQ("x", ItemText(dlg, IDC_NEW_NAME)) << "a key-down drops a pending lead byte";
    MSG queued;
    EXPECT_FALSE(PeekMessageA(&queued, dlg, WM_COMMAND, WM_COMMAND, PM_NOREMOVE)) << "a key without Ctrl presses no button";
    EXPECT_EQ(std::string::npos, g_handedOn.find_first_of("\x7F\x02\x1F\t\r")) << "the field itself stops control characters";
    g_editProc = g_platformEditProc;
}

TEST_F(NameEditTest, CtrlShortcutsPostTheirCommandOnce)
{
    Open({"a.txt", "b.txt", "c.txt"});
    /* With Alt too (AltGr), a letter makes no control character: the text that follows is kept. */
    struct { WPARAM key; int command; bool alt; } rows[] = {
        {'B', IDC_PREV}, {VK_NUMPAD2, IDC_PREV}, {'M', IDC_MENU_BUTTON}, {VK_SUBTRACT, IDC_MENU_BUTTON}, {'N', IDC_NEXT},
        {VK_DECIMAL, IDC_NEXT}, {'O', IDOK}, {VK_DIVIDE, IDOK}, {'S', IDCANCEL}, {VK_F4, IDCANCEL}, {'C', 0}, {VK_HOME, 0},
        {'N', IDC_NEXT, true},
    };
    PressKey(VK_CONTROL, true);
    for (const auto &row : rows) {
        TypeName(dlg, "name");
        SendMessageA(edit, EM_SETSEL, 4, 4);
        if (row.alt)    /* after Ctrl: not the menu key */
            PressKey(VK_MENU, true);
        Key(row.key);
        char control[2] = {(char)(row.key - 'A' + 1), 0};
        Type(row.key >= 'A' && row.key <= 'Z' && !row.alt ? control : "");
        Type("x");    /* as an input method's text arrives: no key-down before it */
        std::vector<int> posted;    /* taken from the queue before the dialog sees them */
        for (MSG msg; PeekMessageA(&msg, dlg, WM_COMMAND, WM_COMMAND, PM_REMOVE);)
            posted.push_back(LOWORD(msg.wParam));
        EXPECT_EQ(row.command ? std::vector<int>{row.command} : std::vector<int>{}, posted) << "key " << row.key;
        EXPECT_EQ(row.key == VK_HOME ? "xname" : "namex", ItemText(dlg, IDC_NEW_NAME)) << "key " << row.key;
        if (row.alt)
            PressKey(VK_MENU, false);
    }
}

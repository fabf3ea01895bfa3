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
        {"報告 表.txt", "", 0, "0-7"},    /* positions in bytes */
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
    ReleaseDC(edit, dc);
    return size.cx;
}

/* Measured from where the field shows the name's start: after its margin, or, as here, left of
   the field when a long name is scrolled to its end. */
TEST_F(NameEditTest, DoubleClickSelectsThePartItLandsOn)
{
    const std::string name = std::string(60, 'p') + ".jpeg";
    Open({name});
    /* A proportional font that the set-up installs: in a fixed-pitch one "jpeg" and ".jpe" are as wide. */
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "IPAPGothic");
    SendMessageA(edit, WM_SETFONT, (WPARAM)font, FALSE);
    int whole = TextWidth(edit, name.c_str()), base = whole - TextWidth(edit, "jpeg");
    struct { int x; const char *selection; } clicks[] = {
        {base - 2, "0-60"}, {base, "0-60"}, {base + 1, "61-65"}, {whole, "61-65"}, {whole + 1, "0-65"}, {whole + 50, "0-65"},
    };
    for (const auto &click : clicks) {
        SendMessageA(edit, EM_SETSEL, name.size(), name.size());
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        int origin = (short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0));
        SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(origin + click.x, 5));
        EXPECT_EQ(click.selection, Selection(edit)) << "click at " << click.x << " of " << whole << " from " << origin;
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
    g_platformEditProc = g_editProc;
    g_editProc = RecordHandedOn;
    for (WPARAM code : {0x955C, (int)'?'})    /* an input method's own message, the lead byte high */
        SendMessageA(edit, WM_IME_CHAR, code, 1);
    EXPECT_EQ("表.txt", ItemText(dlg, IDC_NEW_NAME)) << "an input method's text replaces the base name, by the typing rules";
    struct { const char *typed, *text; } rows[] = {
        {"x\"x*x/x:x<x>x?x\\x|", "xxxxxxxxx"}, {". -", ". -"}, {"表ソ能あ\\", "表ソ能あ"},   /* pairs with no key-down between; three end in 0x5C */
        {"a\x7F\x02\x1F\t\rbc\b", "ab"}, {"ab\x1A", ""},    /* Windows' edit control would insert DEL (Ctrl+Backspace); Ctrl+Z undoes */
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
    EXPECT_EQ(std::string::npos, g_handedOn.find_first_of("\x7F\x02\x1F\t\r")) << "the field itself stops control characters";
    g_editProc = g_platformEditProc;
}

/* Keys queued in one go before the program reads them act as they were typed, and each Ctrl
   shortcut (or keypad twin) acts once: only where Ctrl was down for its own key, though Ctrl is
   up again, or newly down, by the time it is read; the letter's control character goes, the text
   after it stays. Ctrl+Alt (AltGr) with a letter is no shortcut. Enter held down repeats with the
   key's previous state set: it walks on as >> does but never presses OK; a fresh Enter renames. */
TEST_F(NameEditTest, KeysTypedAheadActAsTyped)
{
    const int ctrl = VK_CONTROL;
    const std::string renamed = "ended: b.txt<b.txt c.txt<c.txt x.txt<a.txt", none = "ended: a.txt<a.txt b.txt<b.txt c.txt<c.txt";
    struct { std::vector<int> keys; std::string seen; } rows[] = {
        {{'X', -'X', 'O', -'O', ctrl, 'N', -'N', -ctrl}, "Quillmark(2/3) b.txt, first xo.txt"},
        {{'S', -'S', ctrl, 'N', -'N'}, "Quillmark(2/3) b.txt, first s.txt"},
        {{ctrl, 'N', -'N', 'N', -'N', VK_NUMPAD2, -VK_NUMPAD2, -ctrl}, "Quillmark(2/3) b.txt, first a.txt"},
        {{ctrl, VK_DECIMAL, -VK_DECIMAL, 'B', -'B', -ctrl, 'X', -'X'}, "Quillmark(1/3) x.txt, first a.txt"},
        {{ctrl, 'M', -'M', -ctrl, VK_ESCAPE, -VK_ESCAPE, 'X', -'X'}, "Quillmark(1/3) x.txt, first a.txt"},    /* the menu's Escape */
        {{ctrl, VK_SUBTRACT, -VK_SUBTRACT, -ctrl, VK_ESCAPE, -VK_ESCAPE}, "Quillmark(1/3) a.txt, first a.txt"},
        {{ctrl, 'C', -'C', VK_HOME, -VK_HOME, -ctrl, 'X', -'X'}, "Quillmark(1/3) xa.txt, first a.txt"},
        {{'X', -'X', ctrl, VK_F2, -VK_F2, -ctrl, 'Y', -'Y'}, "Quillmark(1/3) y.txt, first a.txt"},    /* the name back, its base selected */
        {{'X', -'X', ctrl, 'O', -'O', -ctrl}, renamed},
        {{'X', -'X', ctrl, VK_DIVIDE, -VK_DIVIDE, -ctrl}, renamed},
        {{'X', -'X', ctrl, 'S', -'S', -ctrl}, none},
        {{'X', -'X', ctrl, VK_F4, -VK_F4, -ctrl}, none},
        {{ctrl, VK_MENU, 'N', -'N', 'O', -'O', 'S', -'S', 'B', -'B', 'M', -'M', -VK_MENU, -ctrl}, "Quillmark(1/3) a.txt, first a.txt"},
        {{'X', -'X', VK_RETURN, VK_RETURN, VK_RETURN, VK_RETURN, -VK_RETURN}, "Quillmark(3/3) c.txt, first x.txt"},
        {{'X', -'X', VK_RETURN, VK_RETURN, VK_RETURN, -VK_RETURN, VK_RETURN, -VK_RETURN}, renamed},
    };
    for (const auto &row : rows) {
        DeleteFileA(folder.Path("x.txt").c_str());
        Reopen({"a.txt", "b.txt", "c.txt"});
        SendKeys(row.keys, false);
        PumpMessages(dlg);
        EXPECT_EQ(row.seen, Ended() ? "ended: " + folder.Listing() : WindowText(dlg) + " " + ItemText(dlg, IDC_NEW_NAME) + ", first " + g_entries[0]->newName)
            << "row " << &row - rows;
    }
}

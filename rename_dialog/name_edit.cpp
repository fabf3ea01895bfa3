/* The name field's own behaviour in front of the platform's edit control: the selection of the
   name's parts, refused characters, and the Ctrl shortcuts that act as the dialog's buttons. */
#include "brisknote.h"
#include "../res/resource.h"

/* Set when the latest key-down was a letter shortcut, so that its control character is swallowed.
   A key that makes no character (F2, F4, the keypad twins) leaves it clear: the next character,
   which may come from an input method with no key-down, must not be swallowed instead. */
DWORD g_ctrlHeld;
/* The lead byte of a double-byte character whose second byte is still to come, or 0. Its second
   byte may be any value, 0x5C (a backslash) included, and is never refused. */
static BYTE g_leadByte;

/* The key's state as of the message being handled, not the keyboard's now: when the program is
   behind the typing, keys typed ahead have moved on since. */
static BOOL IsKeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

static BOOL IsDirectoryOnShow(void)
{
    return (g_currentAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

/* Reads the field's text; returns its length and the position of the extension's dot in *dot. */
static int ReadNameParts(HWND edit, char *text, int *dot)
{
    int length = GetWindowTextA(edit, text, PATH_TEXT);
    *dot = (int)(FindExtension(text) - text);
    return length;
}

static int ShortcutCommand(WPARAM key)
{
    switch (key) {
    case 'B': case VK_NUMPAD2:  return IDC_PREV;
    case 'M': case VK_SUBTRACT: return IDC_MENU_BUTTON;
    case 'N': case VK_DECIMAL:  return IDC_NEXT;
    case 'O': case VK_DIVIDE:   return IDOK;
    case 'S': case VK_F4:       return IDCANCEL;
    }
    return 0;
}

/* F2 walks base name, extension, whole name; a directory between whole name and a caret. */
static void CycleSelection(HWND edit)
{
    char text[PATH_TEXT];
    int dot;
    int length = ReadNameParts(edit, text, &dot);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);

    if (IsDirectoryOnShow())
        SendMessageA(edit, EM_SETSEL, 0, (int)end == length ? 0 : length);
    else if (start == 0 && (int)end == dot)
        SendMessageA(edit, EM_SETSEL, dot + 1, length);
    else if ((int)start >= dot && start != end)
        SendMessageA(edit, EM_SETSEL, 0, length);
    else
        SendMessageA(edit, EM_SETSEL, 0, dot);
}

/* Held down, Enter repeats about thirty times a second: it may walk on as >> does, but it must
   not rename the batch before a name was read. OK by Enter needs a fresh press (bit 30 of the key
   data is the key's previous state). */
static BOOL IsHeldEnterOnOk(HWND edit, WPARAM key, LPARAM keyData)
{
    return key == VK_RETURN && (keyData & 0x40000000) &&
           LOWORD(SendMessageA(GetParent(edit), DM_GETDEFID, 0, 0)) == IDOK;
}

/* The dialog manager would select the whole text when the focus arrives by Tab; the selection
   made on WM_SETFOCUS is to stand. It presses the default button for an Enter it sees first; a
   held one is taken into the field instead, which drops it. */
static LRESULT OnGetDlgCode(HWND edit, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    BOOL keyDown = msg && msg->message == WM_KEYDOWN;
    if (keyDown && IsHeldEnterOnOk(edit, msg->wParam, msg->lParam))
        return DLGC_WANTALLKEYS;
    return CallWindowProcA(g_editProc, edit, WM_GETDLGCODE, wParam, lParam) & ~DLGC_HASSETSEL;
}

static LRESULT OnKeyDown(HWND edit, WPARAM key, LPARAM lParam)
{
    HWND dlg = GetParent(edit);
    BOOL ctrl = IsKeyDown(VK_CONTROL);
    BOOL letter = key >= 'A' && key <= 'Z';

    g_ctrlHeld = 0;
    g_leadByte = 0;
    if (IsHeldEnterOnOk(edit, key, lParam))
        return 0;
    if (key == VK_F2) {
        if (!ctrl) {
            CycleSelection(edit);
            return 1;
        }
        SendMessageA(dlg, WM_COMMAND, IDM_REVERT_EDIT, 0);
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)edit, TRUE);
        return 1;
    }
    /* AltGr comes as Ctrl+Alt: with Alt down a letter types the layout's character (ó, {). */
    int command = ctrl && !(letter && IsKeyDown(VK_MENU)) ? ShortcutCommand(key) : 0;
    if (command) {
        g_ctrlHeld = letter;
        PostMessageA(dlg, WM_COMMAND, command, 0);
        return 0;
    }
    return CallWindowProcA(g_editProc, edit, WM_KEYDOWN, key, lParam);
}

/* The pair is inserted as one character: handed on one byte at a time, the edit control may take
   each byte for a character of its own. */
static void InsertDoubleByte(HWND edit, BYTE lead, BYTE second)
{
    char pair[3] = {(char)lead, (char)second, 0};
    SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)pair);
}

/* Control characters that the edit control takes as commands, not as text: Backspace, and Ctrl
   with A, C, V, X or Z. */
static BOOL IsEditCommand(WPARAM code)
{
    return code == VK_BACK || code == 0x01 || code == 0x03 || code == 0x16 || code == 0x18 || code == 0x1A;
}

/* Tab, Enter and Escape do their work at their key-down; their characters are no typing error. */
static BOOL IsDialogKeyChar(WPARAM code)
{
    return code == '\t' || code == '\r' || code == '\n' || code == 0x1B;
}

static LRESULT OnChar(HWND edit, WPARAM code, LPARAM lParam)
{
    if (g_leadByte) {
        InsertDoubleByte(edit, g_leadByte, (BYTE)code);
        g_leadByte = 0;
        return 0;
    }
    if (g_ctrlHeld) {
        g_ctrlHeld = 0;
        return 0;
    }
    if (IsEditCommand(code))
        return CallWindowProcA(g_editProc, edit, WM_CHAR, code, lParam);
    if (IsForbiddenNameChar(code)) {
        if (!IsDialogKeyChar(code))
            MessageBeep(MB_OK);
        return 0;
    }
    if (code < 0x100 && IsDBCSLeadByte((BYTE)code)) {
        g_leadByte = (BYTE)code;
        return 0;
    }
    return CallWindowProcA(g_editProc, edit, WM_CHAR, code, lParam);
}

/* An input method's text, by the same rules as typed text: the edit control would insert it
   as it comes, a half-width ? or / included. A double-byte character has its lead byte in the
   high byte. */
static LRESULT OnImeChar(HWND edit, WPARAM code, LPARAM lParam)
{
    g_leadByte = 0;
    if (code > 0xFF) {
        InsertDoubleByte(edit, HIBYTE(LOWORD(code)), LOBYTE(code));
        return 0;
    }
    return OnChar(edit, code, lParam);
}

/* Measured in its wide form: GDI's ANSI functions read the system's code page, which need not be
   the program's own. */
static int TextWidth(HDC dc, const char *text, int length)
{
    WCHAR wide[PATH_TEXT];
    SIZE size = {0, 0};
    int wideLength = length > 0 ? MultiByteToWideChar(CP_ACP, 0, text, length, wide, PATH_TEXT) : 0;
    GetTextExtentPoint32W(dc, wide, wideLength, &size);
    return size.cx;
}

/* A double-click selects the part of the name it lands on, measured in the field's own font from
   where the field shows the first character: after its margin, and left of the field when a long
   name is scrolled. The first character's position is the same in bytes and in characters. */
static void SelectClickedPart(HWND edit, LPARAM lParam)
{
    char text[PATH_TEXT];
    int dot;
    int length = ReadNameParts(edit, text, &dot);
    HDC dc = GetDC(edit);
    HFONT font = (HFONT)SendMessageA(edit, WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : NULL;
    int whole = TextWidth(dc, text, length);
    int extension = dot < length ? TextWidth(dc, text + dot + 1, length - dot - 1) : 0;
    int x = (short)LOWORD(lParam) - (short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0));

    if (x <= whole - extension)
        SendMessageA(edit, EM_SETSEL, 0, dot);
    else if (x <= whole)
        SendMessageA(edit, EM_SETSEL, dot + 1, length);
    else
        SendMessageA(edit, EM_SETSEL, 0, length);
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(edit, dc);
}

LRESULT CALLBACK NameEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFOCUS:
        g_leadByte = 0;
        SelectNamePart(edit);
        break;
    case WM_KILLFOCUS:
        g_leadByte = 0;
        break;
    case WM_GETDLGCODE:
        return OnGetDlgCode(edit, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(edit, wParam, lParam);
    case WM_CHAR:
        return OnChar(edit, wParam, lParam);
    case WM_IME_CHAR:
        return OnImeChar(edit, wParam, lParam);
    case WM_LBUTTONDBLCLK:
        SelectClickedPart(edit, lParam);
        return 1;
    }
    return CallWindowProcA(g_editProc, edit, msg, wParam, lParam);
}

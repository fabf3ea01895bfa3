/* Helpers shared by the tests: a folder of real files, the dialog under test, message boxes. */
#ifndef BRISKNOTE_TEST_SUPPORT_H
#define BRISKNOTE_TEST_SUPPORT_H

#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "resource.h"
#include "brisknote.h"

/* A fresh folder under base (the temporary folder by default), removed with all it holds. */
struct TempFolder {
    std::string dir;
    explicit TempFolder(const std::string &base = "");
    ~TempFolder();
    std::string Path(const std::string &name) const { return dir + "\\" + name; }
    /* A file whose content names it ("content of NAME"), or a folder for a name ending in "/". */
    std::string Make(const std::string &name) const;
    /* Every name in the folder, sorted, as "name<origin" with the name a file was made with, or
       "name/" for a folder: what was renamed, and that nothing else appeared or went. */
    std::string Listing() const;
};

/* Holds a file open without delete sharing, so that renaming it fails. */
inline HANDLE HoldOpen(const std::string &path) { return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL); }
/* Text of the ANSI code page as wide text. */
inline std::wstring Wide(const std::string &text)
{
    std::wstring wide(text.size() + 1, 0);
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], wide.size()) - 1);
    return wide;
}
inline bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string ReadContent(const std::string &path);
/* A file list of these paths, with no new names; FreeFileList releases it. */
FileList MakeList(const std::vector<std::string> &paths);

/* Runs the queued messages; given a dialog, its dialog manager sees keys first, as in the program. */
inline void PumpMessages(HWND dlg = NULL)
{
    for (MSG m; PeekMessageA(&m, NULL, 0, 0, PM_REMOVE);) {
        if (dlg && IsDialogMessageA(dlg, &m))
            continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
/* Asked with messages, which reach a control of another process too. */
inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof(text), (LPARAM)text);
    return text;
}
inline std::string ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }
/* A cell of the list window's rows. */
inline std::string ListCell(int row, int column)
{
    char text[PATH_TEXT] = "";
    LVITEMA item = {0, 0, column, 0, 0, text, sizeof(text)};
    SendDlgItemMessageA(g_listWindow, IDC_LIST, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}
inline HWND ListView(void) { return GetDlgItem(g_listWindow, IDC_LIST); }
inline int SelectedRow(void) { return (int)SendMessageA(ListView(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
inline RECT ScreenRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}
inline void TypeName(HWND dlg, const std::string &name) { SendDlgItemMessageA(dlg, IDC_NEW_NAME, WM_SETTEXT, 0, (LPARAM)name.c_str()); }
/* What a click on the control sends. */
inline void Command(HWND dlg, int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id)); }
/* The selection of an edit control as "start-end". */
inline std::string Selection(HWND edit) { DWORD s = SendMessageA(edit, EM_GETSEL, 0, 0); return std::to_string(LOWORD(s)) + "-" + std::to_string(HIWORD(s)); }
/* Lets spy see each message of one window before its own procedure does, until the test ends. */
void SpyOn(HWND window, std::function<void(UINT)> spy);
/* Key events as the keyboard gives them, in one call: a key is pressed at a positive code and
   released at its negative. Then this thread reads them, unless they are to wait in its queue. */
void SendKeys(const std::vector<int> &keys, bool read = true);

/* While it lives, the commit renames as Windows' shell does where Wine's refuses: a target that
   exists is replaced. Calls numbered from 1 in fail fail; after runs after each call. Keeps the
   title of the window that asked, at each call. */
struct WindowsShell {
    std::vector<int> fail;
    std::function<void(int)> after;
    std::vector<std::string> titles;
    int calls = 0;
    WindowsShell(std::vector<int> fail, std::function<void(int)> after);
    ~WindowsShell() { g_fileOperation = RunShellOperation; }
};

/* Answers every message box of this thread while it lives: first calls meanwhile (what the user
   does while the box is up), then answers. Keeps each box's "caption: text". */
struct MessageBoxAnswerer {
    int answer;
    std::function<void()> meanwhile;
    std::vector<std::string> texts;
    std::vector<HWND> activated;    /* every window activated meanwhile */
    explicit MessageBoxAnswerer(int answer, std::function<void()> meanwhile = nullptr);
    ~MessageBoxAnswerer();
};

/* A fresh folder of real files and the rename dialog, modeless, from the real template and
   procedure. Open makes the files and opens on them, each path quoted, after the options. */
class DialogTest : public testing::Test {
protected:
    TempFolder folder;
    HWND dlg = NULL, edit = NULL;
    void Open(const std::vector<std::string> &names, const std::string &options = "");
    /* Queued before the start-up's steps run, as keys typed at once. */
    std::vector<int> typedAhead;
    /* Ends the dialog of an earlier row and opens anew. */
    void Reopen(const std::vector<std::string> &names, const std::string &options = "")
    {
        TearDown();
        Open(names, options);
    }
    /* The dialog has ended: hidden, its list released. */
    bool Ended() { return !IsWindowVisible(dlg) && !g_entries; }
    void TearDown() override;
};

#endif

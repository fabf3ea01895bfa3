/* Starts the real Brisknote.exe with a command line and drives it from this process to finished
   renames, then checks the files on disk. */
#include "test_support.h"
#include "resource.h"
#include <commctrl.h>
#include <algorithm>

struct Program {
    PROCESS_INFORMATION info = {};
    bool Start(const std::string &arguments)
    {
        std::string line = "\"" + ProgramPath() + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info) != 0;
    }
    /* Exit code, or STILL_ACTIVE when it has not ended within the time. */
    DWORD WaitForEnd(DWORD milliseconds = 10000)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    ~Program()
    {
        if (!info.hProcess)
            return;
        if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
};

struct WindowSearch {
    DWORD process;
    std::string prefix;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window))
        return TRUE;
    if (WindowText(window).compare(0, search->prefix.size(), search->prefix) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

/* Waits for a visible top-level window of the program whose title begins with prefix. */
static HWND WaitForWindow(const Program &program, const std::string &prefix, DWORD milliseconds = 10000)
{
    WindowSearch search = {program.info.dwProcessId, prefix, NULL};
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        Sleep(20);
    }
    return NULL;
}

/* Another process's edit control answers GetWindowText with nothing: ask it with WM_GETTEXT. */
static std::string EditText(HWND dlg)
{
    char text[MAX_PATH + 1] = "";
    SendMessageA(GetDlgItem(dlg, IDC_NEW_NAME), WM_GETTEXT, sizeof(text), (LPARAM)text);
    return text;
}

static void SetEditText(HWND dlg, const std::string &text)
{
    SendMessageA(GetDlgItem(dlg, IDC_NEW_NAME), WM_SETTEXT, 0, (LPARAM)text.c_str());
}

static void Click(HWND dlg, int id)
{
    PostMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

TEST(EndToEnd, NoArgumentsEndsAtOnceWithZero)
{
    Program program;
    ASSERT_TRUE(program.Start(""));
    EXPECT_EQ(0u, program.WaitForEnd());
}

TEST(EndToEnd, RenamesTheTypedNamesAndEnds)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b c.txt"), j = folder.MakeFile("表紙.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + j + "\" \"" + a + "\" \"" + b + "\" \"" + folder.Path("none.txt") + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/3)");
    ASSERT_NE(nullptr, dlg) << "the dialog did not appear";
    EXPECT_EQ("a.txt", EditText(dlg));
    SetEditText(dlg, "renamed a.txt");
    Click(dlg, IDC_NEXT);
    ASSERT_NE(nullptr, WaitForWindow(program, "Quillmark(2/3)"));
    EXPECT_EQ("b c.txt", EditText(dlg));
    Click(dlg, IDC_NEXT);
    ASSERT_NE(nullptr, WaitForWindow(program, "Quillmark(3/3)"));
    EXPECT_EQ("表紙.txt", EditText(dlg));
    SetEditText(dlg, "表紙2.txt");
    Click(dlg, IDOK);
    EXPECT_EQ(0u, program.WaitForEnd());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("renamed a.txt")));
    EXPECT_EQ(ContentOf("b c.txt"), ReadContent(b));
    EXPECT_EQ(ContentOf("表紙.txt"), ReadContent(folder.Path("表紙2.txt")));
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(j));
}

TEST(EndToEnd, AFailedFileIsOfferedAgain)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + a + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/1)");
    ASSERT_NE(nullptr, dlg);
    HANDLE held = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    SetEditText(dlg, "b.txt");
    Click(dlg, IDOK);
    /* The question is a dialog of its own whose title is the program word alone. */
    HWND box = NULL;
    for (DWORD start = GetTickCount(); !box && GetTickCount() - start < 10000; Sleep(20))
        box = FindWindowExA(NULL, NULL, "#32770", "Quillmark");
    ASSERT_NE(nullptr, box) << "the retry question did not appear";
    CloseHandle(held);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    for (DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < 10000; Sleep(20))
        ;
    EXPECT_TRUE(IsWindow(dlg)) << "the dialog stays for the new pass";
    EXPECT_EQ("Quillmark(1/1)", WindowText(dlg));
    EXPECT_EQ("a.txt", EditText(dlg));
    SetEditText(dlg, "b.txt");
    Click(dlg, IDOK);
    EXPECT_EQ(0u, program.WaitForEnd());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("b.txt")));
}

static void SendCtrl(bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    /* Wine keeps a process's view of the key state for up to 50 ms; let it see the change. */
    Sleep(100);
}

TEST(EndToEnd, CtrlShortcutsTypedIntoTheNameField)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + a + "\" \"" + b + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/2)");
    ASSERT_NE(nullptr, dlg);
    HWND edit = GetDlgItem(dlg, IDC_NEW_NAME);
    /* Activation resynchronises the key state from the X keyboard some time after it is asked for;
       a Ctrl pressed before that is forgotten. A few tries allow for a slow machine. */
    HWND second = NULL;
    for (int attempt = 0; attempt < 3 && !second; attempt++) {
        SetEditText(dlg, "first.txt");
        SetForegroundWindow(dlg);
        Sleep(300 + 500 * attempt);
        SendCtrl(true);
        PostMessageA(edit, WM_KEYDOWN, 'N', 1);
        second = WaitForWindow(program, "Quillmark(2/2)", 3000);
        SendCtrl(false);
    }
    ASSERT_NE(nullptr, second) << "Ctrl+N did not move to the next file; field: " << EditText(dlg);
    EXPECT_EQ("b.txt", EditText(dlg));
    SetEditText(dlg, "second.txt");
    SendCtrl(true);
    PostMessageA(edit, WM_KEYDOWN, 'O', 1);
    DWORD code = program.WaitForEnd();
    SendCtrl(false);
    EXPECT_EQ(0u, code) << "Ctrl+O did not finish the renames";
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("first.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(folder.Path("second.txt")));
}

/* A list view's items live in the other process: the item and its text buffer are made there. */
static std::string RemoteCell(HANDLE process, HWND list, int row, int column)
{
    const SIZE_T textSize = MAX_PATH + 1;
    BYTE *remote = (BYTE *)VirtualAllocEx(process, NULL, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = (char *)(remote + sizeof(LVITEMA));
    item.cchTextMax = textSize;
    WriteProcessMemory(process, remote, &item, sizeof(item), NULL);
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)remote);
    char text[MAX_PATH + 1] = "";
    ReadProcessMemory(process, remote + sizeof(LVITEMA), text, textSize, NULL);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

TEST(EndToEnd, ListWindowFollowsTheDialog)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt"), c = folder.MakeFile("報告.txt");
    Program program;
    ASSERT_TRUE(program.Start("/p \"" + c + "\" \"" + b + "\" \"" + a + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/3)");
    HWND listWindow = WaitForWindow(program, "リネームリスト");
    ASSERT_NE(nullptr, dlg);
    ASSERT_NE(nullptr, listWindow);
    HWND list = GetDlgItem(listWindow, IDC_LIST);
    ASSERT_EQ(3, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("a.txt", RemoteCell(program.info.hProcess, list, 0, 0));
    EXPECT_EQ("報告.txt", RemoteCell(program.info.hProcess, list, 2, 1));
    EXPECT_EQ(c, RemoteCell(program.info.hProcess, list, 2, 2));
    EXPECT_EQ(0, SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));

    SetForegroundWindow(dlg);
    Sleep(200);
    SetEditText(dlg, "renamed.txt");
    Click(dlg, IDC_NEXT);
    ASSERT_NE(nullptr, WaitForWindow(program, "Quillmark(2/3)"));
    EXPECT_EQ("renamed.txt", RemoteCell(program.info.hProcess, list, 0, 1));
    EXPECT_EQ("a.txt", RemoteCell(program.info.hProcess, list, 0, 0));
    EXPECT_EQ(1, SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, program.WaitForEnd());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a)) << "cancel renames nothing";
}

TEST(EndToEnd, PopupMenuCommand)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + a + "\" \"" + b + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/2)");
    ASSERT_NE(nullptr, dlg);
    Click(dlg, IDC_MENU_BUTTON);
    HWND menu = NULL;
    for (DWORD start = GetTickCount(); !menu && GetTickCount() - start < 10000; Sleep(20)) {
        HWND found = FindWindowExA(NULL, NULL, "#32768", NULL);
        DWORD process = 0;
        GetWindowThreadProcessId(found, &process);
        if (found && IsWindowVisible(found) && process == program.info.dwProcessId)
            menu = found;
    }
    ASSERT_NE(nullptr, menu) << "the popup menu did not open";
    /* The menu's own loop reads the keys from the program's queue. */
    PostMessageA(dlg, WM_KEYDOWN, '2', 0);
    PostMessageA(dlg, WM_CHAR, '2', 0);
    EXPECT_NE(nullptr, WaitForWindow(program, "Quillmark(2/2)")) << "the jump item was not carried out";
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, program.WaitForEnd());
}

TEST(EndToEnd, ACommandLineAtThePlatformLimit)
{
    TempFolder folder("C:\\");
    std::string line = "\"" + ProgramPath() + "\"";
    std::string first;
    for (int i = 0; i < 2000; i++) {
        char name[8];
        wsprintfA(name, "%04d", i);
        std::string path = folder.MakeFile(name);
        if (i == 0)
            first = path;
        line += " " + path;
    }
    /* Missing paths fill the line to 32,766 characters and its terminator. */
    const size_t limit = 32766;
    while (line.size() < limit) {
        size_t room = limit - line.size() - 1;
        line += " " + std::string(std::min<size_t>(room, 200), 'm');
    }
    ASSERT_EQ(limit, line.size());
    Program program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &program.info));
    HWND dlg = WaitForWindow(program, "Quillmark(1/2000)", 60000);
    ASSERT_NE(nullptr, dlg) << "the dialog did not come up on 2,000 files";
    EXPECT_EQ("0000", EditText(dlg));
    SetEditText(dlg, "renamed");
    Click(dlg, IDOK);
    EXPECT_EQ(0u, program.WaitForEnd(30000));
    EXPECT_EQ(ContentOf("0000"), ReadContent(folder.Path("renamed")));
    EXPECT_EQ(ContentOf("1999"), ReadContent(folder.Path("1999")));
}

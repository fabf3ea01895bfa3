/* Starts the real Brisknote.exe with a command line and drives it from this process: what only a
   second process shows (the command line as the platform gives it, keys typed into the program,
   the file menu's own loop, the program ending). */
#include "test_support.h"
#include "resource.h"
#include <algorithm>

struct Program {
    PROCESS_INFORMATION info = {};
    bool Start(const std::string &arguments, const char *folder = NULL)
    {
        return StartLine("\"" + ProgramPath() + "\" " + arguments, folder);
    }
    bool StartLine(std::string line, const char *folder = NULL)
    {
        STARTUPINFOA startup = {sizeof(startup)};
        return CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, folder, &startup, &info) != 0;
    }
    bool StartWide(std::wstring line, const std::string &folder)
    {
        WCHAR dir[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, dir, MAX_PATH);
        STARTUPINFOW startup = {sizeof(startup)};
        return CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, dir, &startup, &info) != 0;
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
    std::string prefix, className;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD process = 0;
    char className[32] = "";
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, className, sizeof(className));
    if (process != search->process || !IsWindowVisible(window) || search->className != className ||
        WindowText(window).compare(0, search->prefix.size(), search->prefix) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

/* Waits for a visible top-level window of the program whose title begins with prefix. */
static HWND WaitForWindow(const Program &program, const std::string &prefix, const char *className = "#32770")
{
    WindowSearch search = {program.info.dwProcessId, prefix, className, NULL};
    for (DWORD start = GetTickCount(); !search.found && GetTickCount() - start < 20000; Sleep(20))
        EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
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

static void Tap(WORD key)
{
    PressKey(key, true);
    PressKey(key, false);
}

TEST(EndToEnd, NoUsableFileEndsAtOnce)
{
    TempFolder folder;
    const std::string rows[] = {"", "/p", "/p /t \"" + folder.Path("none.txt") + "\"", folder.Path(std::string(300, 'x'))};
    for (const std::string &arguments : rows) {
        Program program;
        ASSERT_TRUE(program.Start(arguments));
        EXPECT_EQ(0u, program.WaitForEnd()) << "arguments: " << arguments;
    }
}

TEST(EndToEnd, EnterMovesOnAndOnTheLastEntryRenames)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b c.txt"), j = folder.MakeFile("表紙.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + j + "\" \"" + a + "\" \"" + b + "\" \"" + folder.Path("none.txt") + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/3)");
    ASSERT_NE(nullptr, dlg) << "the dialog did not appear";
    EXPECT_EQ("a.txt", EditText(dlg));
    SetEditText(dlg, "renamed a.txt");
    SetForegroundWindow(dlg);
    Tap(VK_RETURN);
    ASSERT_NE(nullptr, WaitForWindow(program, "Quillmark(2/3)")) << "Enter on entry 1 of 3 moves on";
    EXPECT_EQ("a.txt<a.txt b c.txt<b c.txt 表紙.txt<表紙.txt", folder.Listing()) << "and renames nothing";
    Tap(VK_RETURN);
    ASSERT_NE(nullptr, WaitForWindow(program, "Quillmark(3/3)"));
    EXPECT_EQ("表紙.txt", EditText(dlg));
    SetEditText(dlg, "表紙2.txt");
    Tap(VK_RETURN);
    EXPECT_EQ(0u, program.WaitForEnd());
    EXPECT_EQ("b c.txt<b c.txt renamed a.txt<a.txt 表紙2.txt<表紙.txt", folder.Listing());
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
    SetEditText(dlg, "first.txt");
    SetForegroundWindow(dlg);
    PressKey(VK_CONTROL, true);
    PostMessageA(edit, WM_KEYDOWN, 'N', 1);
    HWND second = WaitForWindow(program, "Quillmark(2/2)");
    PressKey(VK_CONTROL, false);
    ASSERT_NE(nullptr, second) << "Ctrl+N did not move to the next file; field: " << EditText(dlg);
    SetEditText(dlg, "second.txt");
    PressKey(VK_CONTROL, true);
    PostMessageA(edit, WM_KEYDOWN, 'O', 1);
    DWORD code = program.WaitForEnd();
    PressKey(VK_CONTROL, false);
    EXPECT_EQ(0u, code) << "Ctrl+O did not finish the renames";
    EXPECT_EQ("first.txt<a.txt second.txt<b.txt", folder.Listing());
}

TEST(EndToEnd, TheFileMenuOpensByItsButton)
{
    TempFolder folder;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Program program;
    ASSERT_TRUE(program.Start("\"" + a + "\" \"" + b + "\""));
    HWND dlg = WaitForWindow(program, "Quillmark(1/2)");
    ASSERT_NE(nullptr, dlg);
    PostMessageA(GetDlgItem(dlg, IDC_MENU_BUTTON), BM_CLICK, 0, 0);
    ASSERT_NE(nullptr, WaitForWindow(program, "", "#32768")) << "the popup menu did not open";
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
    for (int i = 0; i < 2000; i++) {
        char name[8];
        wsprintfA(name, "%04d", i);
        line += " " + folder.MakeFile(name);
    }
    /* Missing paths fill the line to 32,766 characters and its terminator. */
    const size_t limit = 32766;
    while (line.size() < limit)
        line += " " + std::string(std::min<size_t>(limit - line.size() - 1, 200), 'm');
    Program program;
    ASSERT_TRUE(program.StartLine(line));
    HWND dlg = WaitForWindow(program, "Quillmark(1/2000)");
    ASSERT_NE(nullptr, dlg) << "the dialog did not come up on 2,000 files";
    EXPECT_EQ("0000", EditText(dlg));
    SetEditText(dlg, "renamed");
    PostMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(0u, program.WaitForEnd(30000));
    EXPECT_EQ("content of 0000", ReadContent(folder.Path("renamed")));
    EXPECT_EQ("content of 1999", ReadContent(folder.Path("1999")));
}

/* The program's name unquoted, with double-byte characters in it or after it, and characters
   that code page 932 has no form for, which Windows' own conversion would turn into the name of
   another file ("é" into "e", "¥" into a backslash). */
TEST(EndToEnd, TheCommandLineAsThePlatformGivesIt)
{
    TempFolder folder;
    folder.MakeFile("表紙.txt");
    folder.MakeFile("cafe.txt");
    folder.MakeFolder("価格");
    folder.MakeFile("価格\\100.txt");
    for (const wchar_t *name : {L"café.txt", L"価格¥100.txt"}) {
        WCHAR path[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, (folder.dir + "\\").c_str(), -1, path, MAX_PATH);
        CloseHandle(CreateFileW((std::wstring(path) + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    }
    std::string tools = folder.MakeFolder("ツール") + "\\Brisknote.exe";
    CopyFileA(ProgramPath().c_str(), tools.c_str(), FALSE);
    ASSERT_EQ(std::string::npos, ProgramPath().find(' ')) << "the build folder must hold no blank";
    struct { const char *what; std::string line; std::wstring wide; const char *shown, *name, *list; } rows[] = {
        {"a relative name", ProgramPath() + " 表紙.txt", L"", "Quillmark(1/1)", "表紙.txt", NULL},
        {"an unquoted program", tools + " /p 表紙.txt", L"", "Quillmark(1/1)", "表紙.txt", "リネームリスト"},
        {"e acute", "", L"Brisknote.exe café.txt 表紙.txt", "Quillmark(1/1)", "表紙.txt", NULL},
        {"yen sign", "", L"Brisknote.exe \"" + std::wstring(L"価格¥100.txt\" 表紙.txt"), "Quillmark(1/1)", "表紙.txt", NULL},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Program program;
        if (row.wide.empty())
            ASSERT_TRUE(program.StartLine(row.line, folder.dir.c_str()));
        else
            ASSERT_TRUE(program.StartWide(row.wide, folder.dir));
        HWND dlg = WaitForWindow(program, "Quillmark(");
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ(row.shown, WindowText(dlg));
        EXPECT_EQ(row.name, EditText(dlg));
        if (row.list) {
            EXPECT_NE(nullptr, WaitForWindow(program, row.list));
        }
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, program.WaitForEnd());
    }
}

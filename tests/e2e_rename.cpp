/* Starts the real Brisknote.exe with a command line and drives it from this process: what only a
   second process shows (the command line as the platform gives it, keys typed into the program,
   the program ending). */
#include "test_support.h"
#include <algorithm>

/* A file the build puts beside the test programs, Brisknote.exe by default. */
static std::string ProgramPath(const char *name = "Brisknote.exe")
{
    char path[MAX_PATH];
    std::string self(path, GetModuleFileNameA(NULL, path, sizeof(path)));
    return self.substr(0, self.rfind('\\') + 1) + name;
}

/* How long a wait for the program may take before the test gives up: far beyond what any start or
   commit takes on a loaded machine. How long they do take is the benchmark's business. */
static const DWORD GENEROUS_BOUND = 60000;

/* The program started with one wide command line, ended at the latest when the test is done. */
struct Program {
    PROCESS_INFORMATION info = {};
    bool Start(std::wstring line, const std::string &folder = "")
    {
        STARTUPINFOW startup = {sizeof(startup)};
        return CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, folder.empty() ? NULL : Wide(folder).c_str(), &startup, &info);
    }
    /* Exit code, or STILL_ACTIVE when it has not ended within the bound. */
    DWORD WaitForEnd(void)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, GENEROUS_BOUND) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    ~Program()
    {
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
};

/* Waits, with one generous bound, for a visible top-level window of the program whose title
   begins with prefix, or is exactly that. */
static HWND WaitForWindow(const Program &program, const std::string &prefix, const char *className = "#32770", bool exact = false)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start <= GENEROUS_BOUND; Sleep(20)) {
        for (HWND window = NULL; (window = FindWindowExA(NULL, window, className, NULL));) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            std::string title = WindowText(window);
            if (process == program.info.dwProcessId && IsWindowVisible(window) && (exact ? title == prefix : title.find(prefix) == 0))
                return window;
        }
    }
    return NULL;
}

/* The program's name unquoted, with double-byte characters in it or after it, characters that
   code page 932 has no form for, which Windows' own conversion would turn into the name of another
   file ("é" into "e", "¥" into a backslash), and a line at the platform's limit: 2,000 files and
   missing paths. e2e_code_page runs it where Wine gives code
   page 1252 to a program that does not ask for its own, as a Windows that is not Japanese does:
   表 (0x95 0x5C) is still read, shown and renamed whole. */
TEST(EndToEnd, TheCommandLineAsThePlatformGivesIt)
{
    TempFolder folder;
    for (const char *name : {"表紙.txt", "cafe.txt", "価格/", "価格\\100.txt", "ツール/", "a"})
        folder.Make(name);
    const wchar_t *unnamable[] = {L"\\café.txt", L"\\価格¥100.txt", L"\\1月\u301C3月.txt", L"\\\u304B\u3099.txt"};
    for (const wchar_t *name : unnamable)
        CloseHandle(CreateFileW((Wide(folder.dir) + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    const std::wstring photos = Wide(folder.dir) + L"\\写真\u301C2026", photosNotice = L"\n" + photos + L"\\plain.txt";
    CreateDirectoryW(photos.c_str(), NULL);
    CloseHandle(CreateFileW((photos + L"\\plain.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    std::string tools = folder.Path("ツール\\BrisknoteCopy.exe");
    CopyFileA(ProgramPath().c_str(), tools.c_str(), FALSE);
    /* A comctl32.dll beside the program, as a download folder may hold one, is never loaded. Wine
       takes its own whatever lies there unless the prefix prefers one beside the program: it is
       told so for this copy's name alone, so that the prefix's own Brisknote.exe (the demo, the
       benchmark) keeps Wine's choice. */
    CopyFileA(ProgramPath("planted\\comctl32.dll").c_str(), folder.Path("ツール\\comctl32.dll").c_str(), FALSE);
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\BrisknoteCopy.exe\\DllOverrides", "comctl32", REG_SZ, "native,builtin", 15);
    const std::wstring exe = Wide(ProgramPath()), copy = Wide(tools);
    std::string limit = "\"" + ProgramPath() + "\"";
    for (int i = 0; i < 2000; i++)
        limit += " " + folder.Make(std::to_string(10000 + i).substr(1)).substr(folder.dir.size() + 1);
    while (limit.size() < 32766)    /* missing paths fill the line to the limit, with its terminator */
        limit += " " + std::string(std::min<size_t>(32766 - limit.size() - 1, 200), 'm');
    /* Names the program cannot hold are told in one notice, by the names Explorer shows (with the
       folder where only the folder's name is at fault), and left alone: owned by the dialog, or
       by no window when no file is left. The notice reads the paths the file list reads, a quoted
       folder that ends in a backslash among them. */
    struct { std::wstring line; const wchar_t *notice; const char *shown, *list, *renameTo; } rows[] = {
        {exe + L" a", NULL, "Quillmark(1/1) a", NULL},
        {copy + L" /p 表紙.txt", NULL, "Quillmark(1/1) 表紙.txt", "リネームリスト"},
        {L"Brisknote.exe café.txt 1月\u301C3月.txt \u304B\u3099.txt 表紙.txt", L"\ncafé.txt\n1月\u301C3月.txt\n\u304B\u3099.txt", "Quillmark(1/1) 表紙.txt", NULL},
        {L"Brisknote.exe \"価格¥100.txt\" 表紙.txt", L"\n価格¥100.txt", "Quillmark(1/1) 表紙.txt", NULL},
        {L"Brisknote.exe \"" + Wide(folder.dir) + L"\\\" \"" + Wide(folder.dir) + L"\\1月\u301C3月.txt\" 表紙.txt", L"\n1月\u301C3月.txt", "Quillmark(1/2) ", NULL},
        {L"Brisknote.exe \"" + photos + L"\\plain.txt\" 表紙.txt", photosNotice.c_str(), "Quillmark(1/1) 表紙.txt", NULL},
        {L"Brisknote.exe \"" + Wide(folder.dir) + L"\\café.txt\" \u304B\u3099.txt", L"\ncafé.txt\n\u304B\u3099.txt", NULL, NULL},
        {copy + L" /p", NULL, NULL, NULL},
        {exe + L" " + Wide(folder.Path(std::string(300, 'x'))), NULL, NULL, NULL},
        {exe + L" 表紙.txt", NULL, "Quillmark(1/1) 表紙.txt", NULL, "表紙2.txt"},
        {Wide(limit), NULL, "Quillmark(1/2000) 0000", NULL, "renamed"},
    };
    for (const auto &row : rows) {
        Program program;
        ASSERT_TRUE(program.Start(row.line, folder.dir)) << "error " << GetLastError() << ", row " << &row - rows;
        HWND box = row.notice ? WaitForWindow(program, "Quillmark", "#32770", true) : NULL;
        HWND dlg = row.shown ? WaitForWindow(program, "Quillmark(") : NULL;
        if (row.notice) {
            WCHAR text[1024] = L"";
            SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, (LPARAM)text);
            EXPECT_TRUE(wcsstr(text, row.notice) && !wcsstr(text, L"表紙") && GetWindow(box, GW_OWNER) == dlg) << "row " << &row - rows;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        if (!row.shown) {
            EXPECT_EQ(0u, program.WaitForEnd()) << "no file: ends at once; row " << &row - rows;
            continue;
        }
        EXPECT_EQ(row.shown, WindowText(dlg) + " " + ItemText(dlg, IDC_NEW_NAME)) << "row " << &row - rows;
        EXPECT_TRUE(!row.list || WaitForWindow(program, row.list)) << "row " << &row - rows;
        TypeName(dlg, row.renameTo ? row.renameTo : "typed");
        if (row.renameTo) {
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        } else {    /* Escape ends without renaming */
            SetForegroundWindow(dlg);
            SendKeys({VK_ESCAPE, -VK_ESCAPE});
        }
        EXPECT_EQ(0u, program.WaitForEnd());
        EXPECT_FALSE(Exists(folder.Path("typed")));
        EXPECT_TRUE(!row.renameTo || ReadContent(folder.Path(row.renameTo)) == "content of " + std::string(strchr(row.shown, ' ') + 1)) << row.renameTo;
    }
    EXPECT_FALSE(Exists(folder.Path("comctl32 loaded"))) << "the program loaded the comctl32.dll beside it";
    /* Names compare in the program's code page whatever the user's locale: read as code page 1252,
       ア (0x83 0x41) and ヂ (0x83 0x61) differ only in the case of a letter. */
    for (bool fallback : {false, true}) {
        FileList list = MakeList({"Z:\\n\\ヂ.txt", "Z:\\n\\ア.txt"});
        fallback ? ExchangeSortByCompareString(list, 2) : SortFileList(list, 2);
        EXPECT_STREQ("Z:\\n\\ア.txt", list[0]->path) << (fallback ? "the exchange sort" : "the sort");
        lstrcpyA(list[1]->newName, "ア.txt");
        EXPECT_FALSE(IsNameTaken(list, "ヂ.txt", 0)) << "ヂ.txt is meant for no other file";
        FreeFileList(list);
    }
}


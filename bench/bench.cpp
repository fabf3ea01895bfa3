/* Brisknote's benchmark: start-up against a bare dialog program, one move, the commit against a
   bare loop of shell renames, memory and handles over many moves, and the size of the program.
   It prints a table of medians; it asserts nothing. */
#include "brisknote.h"
#include "resource.h"
#include <shellapi.h>
#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "pe_imports.h"

static const char ROOT[] = "C:\\bn";
static int g_runs = 11;

static double Now(void)
{
    static LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

static std::string Beside(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

static void MakeFiles(const std::string &dir, int count, std::vector<std::string> *paths)
{
    CreateDirectoryA(ROOT, NULL);
    CreateDirectoryA(dir.c_str(), NULL);
    for (int i = 0; i < count; i++) {
        char name[16];
        wsprintfA(name, "\\%04d", i);
        std::string path = dir + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written;
        WriteFile(file, name, 5, &written, NULL);
        CloseHandle(file);
        if (paths)
            paths->push_back(path);
    }
}

static void RemoveFiles(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (found.cFileName[0] != '.')
                DeleteFileA((dir + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

static std::string Join(const std::vector<std::string> &paths, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count && i < paths.size(); i++)
        text += paths[i] + " ";
    return text;
}

/* What a start waits for: the dialog on screen with its title, the dialog complete with its icon
   and path tooltip, or the list window holding every row, painted. */
enum Ready { SHOWN, COMPLETE, LIST_FILLED };

static BOOL IsOfProcess(HWND window, DWORD process)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return window && owner == process;
}

static bool IsReady(HWND dlg, DWORD process, Ready ready, int rows)
{
    if (ready == COMPLETE) {
        HWND tip = NULL;
        while ((tip = FindWindowExA(NULL, tip, "tooltips_class32", NULL)) && !IsOfProcess(tip, process)) {
        }
        return tip && SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0);
    }
    if (ready == LIST_FILLED) {    /* and painted: nothing left to draw */
        HWND list = FindWindowA(NULL, "リネームリスト");
        return IsOfProcess(list, process) && IsWindowVisible(list) &&
               SendDlgItemMessageA(list, IDC_LIST, LVM_GETITEMCOUNT, 0, 0) == rows && !GetUpdateRect(GetDlgItem(list, IDC_LIST), NULL, FALSE);
    }
    return true;
}

/* Milliseconds from process start until a visible window with this title exists and is ready;
   *wait gets the time from the window's first sight to its being ready. */
static double TimeStart(const std::string &exe, const std::string &arguments, const char *title, Ready ready, int rows,
                        double *wait)
{
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    double start = Now();
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return -1;
    double shown = -1, seen = -1;
    HWND window = NULL;
    while (Now() - start < 30000) {
        window = FindWindowA(NULL, title);
        bool visible = window && IsWindowVisible(window);
        if (visible && seen < 0)
            seen = Now() - start;
        if (visible && IsReady(window, info.dwProcessId, ready, rows)) {
            shown = Now() - start;
            break;
        }
        Sleep(1);
    }
    *wait = shown - seen;
    if (window)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return shown;
}

struct StartCase {
    std::string exe, arguments;
    const char *title;
    Ready ready;
    int rows;
    std::vector<double> times, waits;
};

/* The cases take turns, run after run, so that a slow spell of the machine falls on all alike. */
static void TimeStarts(std::vector<StartCase> &cases)
{
    double wait;
    for (StartCase &c : cases)
        TimeStart(c.exe, c.arguments, c.title, c.ready, c.rows, &wait);     /* warms the file cache */
    for (int run = 0; run < g_runs; run++) {
        for (StartCase &c : cases) {
            c.times.push_back(TimeStart(c.exe, c.arguments, c.title, c.ready, c.rows, &wait));
            c.waits.push_back(wait);
        }
    }
}

static HWND OpenDialog(const std::string &tail)
{
    static std::string kept;
    kept = tail;
    HWND dlg = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_RENAME), NULL, RenameDlgProc, (LPARAM)kept.c_str());
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    return dlg;
}

static void CloseDialog(HWND dlg)
{
    if (g_entries)
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dlg);
}

static void Pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

/* The median of 1,000 moves: at one file the refresh alone, otherwise next and previous in turn
   in the middle of the list. */
static double MedianMove(const std::vector<std::string> &paths, size_t count)
{
    HWND dlg = OpenDialog(Join(paths, count));
    if (count > 2)
        SendMessageA(dlg, WM_COMMAND, IDM_JUMP_BASE + count / 2, 0);
    std::vector<double> times;
    for (int i = 0; i < 1000; i++) {
        double start = Now();
        if (count == 1)
            SendMessageA(dlg, WM_APP_SHOWENTRY, 0, 0);
        else
            SendMessageA(dlg, WM_COMMAND, i % 2 ? IDC_PREV : IDC_NEXT, 0);
        times.push_back(Now() - start);
        Pump();
    }
    CloseDialog(dlg);
    return Median(times);
}

struct Resources {
    double privateKb;
    DWORD gdi, user;
};

static Resources ReadResources(void)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters, sizeof(counters));
    /* Wine reports no PrivateUsage; its PagefileUsage is the same commit charge. */
    SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return {bytes / 1024.0, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

/* 10,000 moves; returns the resources before and after, and how many replaced icons live on. */
static void MeasureLeaks(const std::vector<std::string> &paths, Resources *before, Resources *after, int *liveIcons)
{
    HWND dlg = OpenDialog(Join(paths, 2));
    std::vector<HICON> replaced;
    for (int i = 0; i < 100; i++) {
        SendMessageA(dlg, WM_COMMAND, i % 2 ? IDC_PREV : IDC_NEXT, 0);
        Pump();
    }
    *before = ReadResources();
    for (int i = 0; i < 10000; i++) {
        HICON shown = (HICON)SendDlgItemMessageA(dlg, IDC_FILE_ICON, STM_GETICON, 0, 0);
        if (i % 100 == 0)
            replaced.push_back(shown);
        SendMessageA(dlg, WM_COMMAND, i % 2 ? IDC_PREV : IDC_NEXT, 0);
        Pump();
    }
    *after = ReadResources();
    *liveIcons = 0;
    ICONINFO info;
    for (HICON icon : replaced) {
        if (GetIconInfo(icon, &info)) {
            (*liveIcons)++;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    CloseDialog(dlg);
}

static double TimeCommit(int count)
{
    std::vector<std::string> paths;
    std::string dir = std::string(ROOT) + "\\commit";
    MakeFiles(dir, count, &paths);
    HWND dlg = OpenDialog(Join(paths, paths.size()));
    for (DWORD i = 0; i < g_entryCount; i++)
        wsprintfA(g_entries[i]->newName, "r%04lu", i);
    lstrcpyA(g_entries[0]->newName, "r0000");
    SetDlgItemTextA(dlg, IDC_NEW_NAME, "r0000");
    double start = Now();
    SendMessageA(dlg, WM_COMMAND, IDOK, 0);
    double elapsed = Now() - start;
    CloseDialog(dlg);
    RemoveFiles(dir);
    return elapsed;
}

static double TimeBareRenames(int count, bool shell)
{
    std::vector<std::string> paths;
    std::string dir = std::string(ROOT) + (shell ? "\\shell" : "\\move");
    MakeFiles(dir, count, &paths);
    double start = Now();
    for (int i = 0; i < count; i++) {
        char from[MAX_PATH + 1] = {0}, to[MAX_PATH + 1] = {0};
        lstrcpyA(from, paths[i].c_str());
        wsprintfA(to, "%s\\r%04d", dir.c_str(), i);
        if (shell) {
            SHFILEOPSTRUCTA op = {};
            op.wFunc = FO_RENAME;
            op.pFrom = from;
            op.pTo = to;
            op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
            SHFileOperationA(&op);
        } else {
            MoveFileA(from, to);
        }
    }
    double elapsed = Now() - start;
    RemoveFiles(dir);
    return elapsed;
}

/* Existence tests as the commit makes them, in a folder of 1,000 files: of a name that is there,
   and of one that is not. */
static void TimeExistence(double *present, double *absent)
{
    std::vector<std::string> paths;
    std::string dir = std::string(ROOT) + "\\exist";
    MakeFiles(dir, 1000, &paths);
    double start = Now();
    for (int i = 0; i < 1000; i++)
        FileExists(paths[i].c_str());
    *present = (Now() - start) / 1000;
    start = Now();
    for (int i = 0; i < 1000; i++)
        FileExists((paths[i] + "x").c_str());
    *absent = (Now() - start) / 1000;
    RemoveFiles(dir);
}

static double TimeNameChecks(const std::vector<std::string> &paths)
{
    DWORD count = 0;
    FileList list = BuildFileList(Join(paths, paths.size()).c_str(), &count);
    double start = Now();
    for (int i = 0; i < 100; i++)
        IsNameTaken(list, "new name.txt", i);
    double elapsed = (Now() - start) / 100;
    FreeFileList(list);
    return elapsed;
}

static double TimeSort(const std::vector<std::string> &paths, bool reference)
{
    DWORD count = 0;
    FileList list = BuildFileList(Join(paths, paths.size()).c_str(), &count);
    std::reverse(list, list + count);
    double start = Now();
    if (reference) {
        for (DWORD k = 0; k + 1 < count; k++)
            for (DWORD i = k + 1; i < count; i++)
                if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH, list[k]->path, -1, list[i]->path, -1) ==
                    CSTR_GREATER_THAN)
                    std::swap(list[k], list[i]);
    } else {
        SortFileList(list, count);
    }
    double elapsed = Now() - start;
    FreeFileList(list);
    return elapsed;
}

static std::string Imports(const std::string &path, DWORD *size)
{
    PeFacts facts = ReadPeFacts(path);
    std::string names;
    *size = facts.image.size();
    for (const std::string &dll : facts.dlls)
        names += (names.empty() ? "" : ", ") + dll;
    return names;
}

#ifdef _WIN64
#define BUILD_NAME "64-bit"
#else
#define BUILD_NAME "32-bit"
#endif

int main(int argc, char **argv)
{
    if (argc > 1)
        g_runs = atoi(argv[1]);
    g_instance = GetModuleHandleA(NULL);

    /* Fixed costs of a compliant start, each paid once per process. */
    double start = Now();
    RegisterControlClasses();
    double controls = Now() - start;
    std::vector<std::string> paths;
    MakeFiles(std::string(ROOT) + "\\f", 2000, &paths);
    SHFILEINFOA info = {};
    start = Now();
    SHGetFileInfoA(paths[0].c_str(), 0, &info, sizeof(info), SHGFI_ICON);
    double firstIcon = Now() - start;
    DestroyIcon(info.hIcon);

    std::string program = Beside("Brisknote.exe");
    std::vector<StartCase> starts = {
        {Beside("floor.exe"), "", "Floor(1/1)", SHOWN, 0, {}},
        {program, Join(paths, 1), "Quillmark(1/1)", SHOWN, 0, {}},
        {program, Join(paths, 1), "Quillmark(1/1)", COMPLETE, 0, {}},
        {program, Join(paths, 500), "Quillmark(1/500)", SHOWN, 0, {}},
        {program, Join(paths, 2000), "Quillmark(1/2000)", SHOWN, 0, {}},
        {program, "/p " + Join(paths, 2000), "Quillmark(1/2000)", SHOWN, 0, {}},
        {program, "/p " + Join(paths, 2000), "Quillmark(1/2000)", LIST_FILLED, 2000, {}},
    };
    TimeStarts(starts);
    double floor = Median(starts[0].times), one = Median(starts[1].times), oneComplete = Median(starts[2].times);
    double five = Median(starts[3].times), two = Median(starts[4].times), twoList = Median(starts[5].times);
    double twoListFilled = Median(starts[6].times);
    /* Each run's wait after the dialog came into sight: free of the spread of Wine's process starts. */
    double completeWait = Median(starts[2].waits), listWait = Median(starts[6].waits);
    if (argc > 2) {
        printf("%s build, start-up: floor %.1f, N=1 %.1f (complete %.1f, +%.1f), N=500 %.1f, N=2000 %.1f, /p N=2000 %.1f (list filled %.1f, +%.1f) ms\n",
               BUILD_NAME, floor, one, oneComplete, completeWait, five, two, twoList, twoListFilled, listWait);
        return 0;
    }

    double sort = Median({TimeSort(paths, false), TimeSort(paths, false), TimeSort(paths, false)});
    double sortReference = TimeSort(paths, true);
    double moveOne = MedianMove(paths, 1);
    double moveTwo = MedianMove(paths, 2000);
    Resources before, after;
    int liveIcons = 0;
    MeasureLeaks(paths, &before, &after, &liveIcons);
    /* Shell renames vary by tens of per cent from run to run: the commit and the bare loop take
       turns, and the medians are compared. */
    std::vector<double> commits, bareShells;
    for (int i = 0; i < 5; i++) {
        commits.push_back(TimeCommit(1000));
        bareShells.push_back(TimeBareRenames(1000, true));
    }
    double commit = Median(commits), bareShell = Median(bareShells);
    double bareMove = TimeBareRenames(1000, false);
    double present = 0, absent = 0;
    TimeExistence(&present, &absent);
    double nameCheck = TimeNameChecks(paths);
    DWORD size = 0;
    std::string imports = Imports(program, &size);
    RemoveFiles(std::string(ROOT) + "\\f");
    RemoveDirectoryA(ROOT);

    printf("| Measure | Brisknote, %s build | Floor or reference (same build) | Ratio | Target |\n", BUILD_NAME);
    printf("|---|---|---|---|---|\n");
    printf("| Start-up, N = 1 | %.1f ms | bare dialog %.1f ms | %.2fx | <= 1.15x |\n", one, floor, one / floor);
    printf("| Start-up complete (icon, path tooltip), N = 1 | %.1f ms | bare dialog %.1f ms | %.2fx | |\n", oneComplete, floor,
           oneComplete / floor);
    printf("| Icon and path tooltip after the dialog came into sight, N = 1 | %.1f ms | | | |\n", completeWait);
    printf("| Start-up, N = 500 | %.1f ms | N = 1: %.1f ms | %.2fx | |\n", five, one, five / one);
    printf("| Start-up, N = 2,000 | %.1f ms | N = 1: %.1f ms | %.2fx | <= 1.25x |\n", two, one, two / one);
    printf("| Start-up, N = 2,000 with /p | %.1f ms | N = 1: %.1f ms | %.2fx | |\n", twoList, one, twoList / one);
    printf("| List window with all rows, N = 2,000 with /p | %.1f ms | N = 1: %.1f ms | %.2fx | <= 1.4x |\n", twoListFilled, one,
           twoListFilled / one);
    printf("| List window after the dialog came into sight, N = 2,000 with /p | %.1f ms | | | |\n", listWait);
    printf("| Fixed cost: common controls | %.1f ms | | | |\n", controls);
    printf("| Fixed cost: first shell icon | %.1f ms | | | |\n", firstIcon);
    printf("| SortFileList, N = 2,000 | %.1f ms | CompareStringA exchange sort %.1f ms | %.3fx | < 50 ms |\n", sort,
           sortReference, sort / sortReference);
    printf("| One move in the middle, N = 2,000 | %.3f ms | refresh alone, N = 1: %.3f ms | %.2fx | <= 1.5x |\n", moveTwo, moveOne,
           moveTwo / moveOne);
    printf("| Commit of 1,000 renames | %.0f ms | SHFileOperationA loop %.0f ms (MoveFileA loop %.0f ms) | %.2fx | <= 1.2x |\n",
           commit, bareShell, bareMove, commit / bareShell);
    printf("| Name check (IsNameTaken), N = 2,000 | %.3f ms | | | |\n", nameCheck);
    printf("| Existence test in a folder of 1,000 files | absent: %.3f ms | present: %.3f ms | | |\n", absent, present);
    printf("| Private bytes over 10,000 moves | %+.0f KB | before %.0f KB | | < 1 MB |\n",
           after.privateKb - before.privateKb, before.privateKb);
    if (before.gdi || before.user)
        printf("| GDI / USER objects over 10,000 moves | %+ld / %+ld | before %lu / %lu | | no growth |\n",
               (long)after.gdi - (long)before.gdi, (long)after.user - (long)before.user, before.gdi, before.user);
    else
        printf("| GDI / USER objects over 10,000 moves | not counted by Wine | | | no growth |\n");
    printf("| Replaced icons still valid (of 100 sampled) | %d | | | 0 |\n", liveIcons);
    printf("| Brisknote.exe | %lu bytes (%.1f KB) | imports %s | | <= 64 KB |\n", size, size / 1024.0, imports.c_str());
    return 0;
}

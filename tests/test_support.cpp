/* Helpers shared by the tests, and the start of every test program. */
#include "test_support.h"
#include <shellapi.h>
#include <algorithm>
#include <set>

static int g_folderSerial;

TempFolder::TempFolder(const std::string &base)
{
    char temp[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    wsprintfA(name, "%sb%lu-%d", base.empty() ? temp : base.c_str(), GetCurrentProcessId() % 1000, ++g_folderSerial);
    dir = name;
    CreateDirectoryA(name, NULL);
}

TempFolder::~TempFolder()
{
    std::string from = dir + '\0';
    SHFILEOPSTRUCTA op = {NULL, FO_DELETE, from.c_str(), NULL, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI};
    SHFileOperationA(&op);
}

std::string TempFolder::Make(const std::string &name) const
{
    std::string path = Path(name.substr(0, name.find_last_not_of('/') + 1)), content = "content of " + name;
    if (name.back() == '/') {
        CreateDirectoryA(path.c_str(), NULL);
        return path;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, content.data(), content.size(), &written, NULL);
    CloseHandle(file);
    return path;
}

std::string TempFolder::Listing() const
{
    std::multiset<std::string> names;    /* in order */
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(Path("*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        std::string name = found.cFileName, content = ReadContent(Path(name));
        if (name != "." && name != "..")
            names.insert(name + (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "/" : "<" + content.substr(std::min<size_t>(11, content.size()))));
    }
    FindClose(find);
    std::string listing;
    for (const std::string &name : names)
        listing += " " + name;
    return listing.substr(listing.empty() ? 0 : 1);
}

std::string ReadContent(const std::string &path)
{
    char buffer[4096];
    DWORD read = 0;
    HANDLE file = HoldOpen(path);
    ReadFile(file, buffer, sizeof(buffer), &read, NULL);
    CloseHandle(file);
    return std::string(buffer, read);
}

FileList MakeList(const std::vector<std::string> &paths)
{
    FileList list = (FileList)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (paths.size() + 2) * sizeof(FileEntry *));
    for (size_t i = 0; i < paths.size(); i++) {
        list[i] = (FileEntry *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FileEntry));
        lstrcpyA(list[i]->path, paths[i].c_str());
    }
    return list;
}

void SendKeys(const std::vector<int> &keys, bool read)
{
    std::vector<INPUT> inputs(keys.size());
    for (size_t i = 0; i < keys.size(); i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = (WORD)abs(keys[i]);
        inputs[i].ki.dwFlags = keys[i] < 0 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(inputs.size(), inputs.data(), sizeof(INPUT));
    if (read)
        PumpMessages();
}

static WNDPROC g_spiedProc;
static std::function<void(UINT)> g_spy;

static LRESULT CALLBACK Spy(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_spy)
        g_spy(msg);
    return CallWindowProcA(g_spiedProc, window, msg, wParam, lParam);
}

void SpyOn(HWND window, std::function<void(UINT)> spy)
{
    g_spy = spy;
    g_spiedProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)Spy);
}

static WindowsShell *g_windowsShell;

/* A source and target that differ only in letter case are one file, whose name changes. */
static int RenameAsWindows(SHFILEOPSTRUCTA *op)
{
    WindowsShell &shell = *g_windowsShell;
    int call = ++shell.calls, result = ERROR_ACCESS_DENIED;
    shell.titles.push_back(WindowText(op->hwnd));
    if (std::count(shell.fail.begin(), shell.fail.end(), call) == 0) {
        if (lstrcmpiA(op->pFrom, op->pTo) != 0 && !DeleteFileA(op->pTo))
            RemoveDirectoryA(op->pTo);
        result = MoveFileA(op->pFrom, op->pTo) ? 0 : GetLastError();
    }
    shell.after(call);
    return result;
}

WindowsShell::WindowsShell(std::vector<int> fail, std::function<void(int)> after) : fail(fail), after(after)
{
    g_windowsShell = this;
    g_fileOperation = RenameAsWindows;
}

static MessageBoxAnswerer *g_answerer;
static HHOOK g_hook;

/* A box is answered when it becomes active, before its own loop waits for the user. */
static LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = (HWND)wParam;
    if (code == HCBT_ACTIVATE && g_answerer)
        g_answerer->activated.push_back(box);
    if (code == HCBT_ACTIVATE && g_answerer && GetDlgItem(box, 0xFFFF)) {
        g_answerer->texts.push_back(WindowText(box) + ": " + WindowText(GetDlgItem(box, 0xFFFF)));
        if (g_answerer->meanwhile)
            g_answerer->meanwhile();
        PostMessageA(box, WM_COMMAND, g_answerer->answer, 0);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

MessageBoxAnswerer::MessageBoxAnswerer(int answer, std::function<void()> meanwhile) : answer(answer), meanwhile(meanwhile)
{
    g_answerer = this;
    g_hook = SetWindowsHookExA(WH_CBT, AnswerHook, NULL, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(g_hook);
    g_answerer = NULL;
}

/* The tail lives as long as the dialog may look at it. */
static std::string g_tail;

void DialogTest::Open(const std::vector<std::string> &names, const std::string &options)
{
    g_tail = options;
    for (const std::string &name : names)
        g_tail += " \"" + folder.Make(name) + "\"";
    dlg = CreateDialogParamA(NULL, MAKEINTRESOURCEA(IDD_RENAME), NULL, RenameDlgProc, (LPARAM)g_tail.c_str());
    ASSERT_NE(nullptr, dlg);
    edit = GetDlgItem(dlg, IDC_NEW_NAME);
    SetForegroundWindow(dlg);
    SendKeys(typedAhead, false);
    PumpMessages();    /* the icon, the path tooltip and the options follow the first paint */
}

void DialogTest::TearDown()
{
    SendKeys({-VK_CONTROL, -VK_MENU});
    g_spy = nullptr;
    if (IsWindow(dlg) && g_entries)
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dlg);
    PumpMessages();
    g_listWindow = NULL;
}

int main(int argc, char **argv)
{
    g_instance = GetModuleHandleA(NULL);
    RegisterControlClasses();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

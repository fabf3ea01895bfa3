/* Helpers shared by the tests, and the start of every test program. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <commctrl.h>

static int g_folderSerial;

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof(base), base);
    char name[MAX_PATH];
    wsprintfA(name, "%sbrisknote-%lu-%d", base, GetCurrentProcessId(), ++g_folderSerial);
    dir_ = name;
    CreateDirectoryA(dir_.c_str(), NULL);
}

TempFolder::TempFolder(const std::string &base)
{
    char name[MAX_PATH];
    wsprintfA(name, "%sb%lu", base.c_str(), GetCurrentProcessId() % 1000);
    dir_ = name;
    CreateDirectoryA(dir_.c_str(), NULL);
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

TempFolder::~TempFolder()
{
    RemoveTree(dir_);
}

std::string ContentOf(const std::string &name)
{
    return "content of " + name + "\r\n";
}

std::string TempFolder::MakeFile(const std::string &name)
{
    std::string path = Path(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    std::string content = ContentOf(name);
    DWORD written = 0;
    WriteFile(file, content.data(), content.size(), &written, NULL);
    CloseHandle(file);
    return path;
}

std::string TempFolder::MakeFolder(const std::string &name)
{
    std::string path = Path(name);
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

std::string ReadContent(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[4096];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer), &read, NULL);
    CloseHandle(file);
    return std::string(buffer, read);
}

std::string ProgramPath(void)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\')) + "\\Brisknote.exe";
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

/* The tail lives as long as the dialog may look at it. */
static std::string g_tail;

HWND OpenRenameDialog(const std::string &tail)
{
    g_tail = tail;
    HWND dlg = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_RENAME), NULL, RenameDlgProc,
                                  (LPARAM)g_tail.c_str());
    if (!dlg) {
        printf("CreateDialogParamA failed: %lu\n", GetLastError());
        return NULL;
    }
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    PumpMessages();
    return dlg;
}

void CloseRenameDialog(HWND dlg)
{
    if (!IsWindow(dlg))
        return;
    if (g_entries)
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dlg);
    PumpMessages();
}

void RenameDialogTest::Open(const std::vector<std::string> &paths, const std::string &options)
{
    std::string tail = options;
    for (auto &p : paths)
        tail += "\"" + p + "\" ";
    dlg = OpenRenameDialog(tail);
    ASSERT_NE(nullptr, dlg);
}

void RenameDialogTest::OpenNumbered(int files, const std::string &options, int first)
{
    for (int i = 0; i < files; i++) {
        char name[32];
        wsprintfA(name, "file%02d.txt", i + first);
        paths.push_back(folder.MakeFile(name));
    }
    Open(paths, options);
}

bool RenameDialogTest::Ended()
{
    return !IsWindowVisible(dlg) && g_entries == NULL;
}

void RenameDialogTest::TearDown()
{
    CloseRenameDialog(dlg);
    g_listWindow = NULL;
}

HANDLE HoldOpen(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
}

std::string ListCell(int row, int column)
{
    char text[PATH_TEXT] = "";
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendDlgItemMessageA(g_listWindow, IDC_LIST, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

std::string WindowText(HWND window)
{
    char text[1024];
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ItemText(HWND dlg, int id)
{
    return WindowText(GetDlgItem(dlg, id));
}

void TypeName(HWND dlg, const std::string &name)
{
    SetDlgItemTextA(dlg, IDC_NEW_NAME, name.c_str());
}

void Command(HWND dlg, int id)
{
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
}

DWORD Selection(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return MAKELONG(start, end);
}

static MessageBoxAnswerer *g_answerer;
static HHOOK g_hook;

/* Message boxes are answered when they become active, before their own loop waits for the user. */
static LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_answerer) {
        HWND box = (HWND)wParam;
        char className[32];
        GetClassNameA(box, className, sizeof(className));
        if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF)) {
            g_answerer->texts.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
            g_answerer->captions.push_back(WindowText(box));
            PostMessageA(box, WM_COMMAND, g_answerer->answer, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

MessageBoxAnswerer::MessageBoxAnswerer(int answerWith) : answer(answerWith)
{
    g_answerer = this;
    g_hook = SetWindowsHookExA(WH_CBT, AnswerHook, NULL, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(g_hook);
    g_answerer = NULL;
}

int main(int argc, char **argv)
{
    g_instance = GetModuleHandleA(NULL);
    RegisterControlClasses();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

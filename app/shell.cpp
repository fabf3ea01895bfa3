/* The shell's functions, looked up when the program first needs them. Imported, shell32 and
   shlwapi were mapped by the loader before WinMain, some 15 ms under Wine that the first paint
   waited for; the dialog needs the shell only from its icon on. */
#include "brisknote.h"

static HMODULE g_shell;

/* The shell's function of that name, or NULL when shell32 cannot be loaded. */
static FARPROC FindShellFunction(const char *name)
{
    if (!g_shell)
        g_shell = LoadSystemLibrary("shell32.dll");
    return g_shell ? GetProcAddress(g_shell, name) : NULL;
}

DWORD_PTR GetShellFileInfo(const char *path, DWORD attributes, SHFILEINFOA *info, UINT flags)
{
    typedef DWORD_PTR (WINAPI *InfoProc)(LPCSTR, DWORD, SHFILEINFOA *, UINT, UINT);
    InfoProc getInfo = (InfoProc)(void *)FindShellFunction("SHGetFileInfoA");
    return getInfo ? getInfo(path, attributes, info, sizeof(*info), flags) : 0;
}

/* Zero when the operation succeeded, as SHFileOperationA. */
int RunShellOperation(SHFILEOPSTRUCTA *op)
{
    typedef int (WINAPI *OperationProc)(SHFILEOPSTRUCTA *);
    OperationProc operate = (OperationProc)(void *)FindShellFunction("SHFileOperationA");
    return operate ? operate(op) : ERROR_MOD_NOT_FOUND;
}

/* Above 32 when the file was opened, as ShellExecuteA. */
INT_PTR OpenWithShell(const char *path)
{
    typedef HINSTANCE (WINAPI *ExecuteProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    ExecuteProc execute = (ExecuteProc)(void *)FindShellFunction("ShellExecuteA");
    return execute ? (INT_PTR)execute(NULL, "open", path, NULL, NULL, SW_SHOWNORMAL) : SE_ERR_DLLNOTFOUND;
}

/* A stranger's comctl32.dll, as a download folder may hold one: loaded, it leaves the file
   "loaded" beside itself, and does nothing else. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *)
{
    char path[MAX_PATH];
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(instance, path, MAX_PATH - 8)) {
        lstrcpyA(path + lstrlenA(path) - lstrlenA("comctl32.dll"), "loaded");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }
    return TRUE;
}

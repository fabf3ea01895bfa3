/* A stranger's comctl32.dll, as a download folder may hold one: loaded, it leaves a file of that
   name in the current folder, and does nothing else. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH)
        CloseHandle(CreateFileA("comctl32 loaded", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}

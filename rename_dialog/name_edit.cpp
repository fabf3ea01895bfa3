/* The name field's own behaviour in front of the platform's edit control. */
#include "brisknote.h"

LRESULT CALLBACK NameEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_editProc, edit, msg, wParam, lParam);
}

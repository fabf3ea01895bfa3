/* What the program sets up before its dialog: the instance handle and the common-control classes. */
#include "brisknote.h"
#include <commctrl.h>

HINSTANCE g_instance;

/* The tooltip and the list view are common controls. Their classes are registered by calling the
   library at run time, so that Brisknote.exe imports nothing from it. */
BOOL RegisterControlClasses(void)
{
    typedef BOOL (WINAPI *InitProc)(const INITCOMMONCONTROLSEX *);
    HMODULE library = LoadLibraryA("comctl32.dll");
    if (!library)
        return FALSE;
    InitProc init = (InitProc)(void *)GetProcAddress(library, "InitCommonControlsEx");
    if (!init)
        return FALSE;
    INITCOMMONCONTROLSEX classes = { sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    return init(&classes);
}

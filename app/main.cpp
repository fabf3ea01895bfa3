/* Brisknote's entry point: runs the rename dialog on the files named on the command line. */
#include "brisknote.h"
#include "../res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int)
{
    g_instance = instance;
    if (!tail || !*tail)
        return 0;
    RegisterControlClasses();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_RENAME), NULL, RenameDlgProc, (LPARAM)tail);
    return 0;
}

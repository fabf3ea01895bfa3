/* The floor of the start-up benchmark: a program that shows an empty dialog and does nothing
   else, started the same way as Brisknote. Its title appears once the dialog is set up. */
#include <windows.h>

static INT_PTR CALLBACK FloorProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        SetWindowTextA(dlg, "Floor(1/1)");
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(100), NULL, FloorProc, 0);
    return 0;
}

/* Sends a command to a running Brisknote from outside, for screenshots: poke TITLE-PREFIX ID
   posts WM_COMMAND ID to the first visible window whose title begins with TITLE-PREFIX;
   poke TITLE-PREFIX WIDTH HEIGHT sizes that window as a drag of its corner does. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *g_prefix;
static HWND g_found;

static BOOL CALLBACK Match(HWND window, LPARAM)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (IsWindowVisible(window) && strncmp(title, g_prefix, strlen(g_prefix)) == 0) {
        g_found = window;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: poke TITLE-PREFIX COMMAND-ID | poke TITLE-PREFIX WIDTH HEIGHT\n");
        return 2;
    }
    g_prefix = argv[1];
    EnumWindows(Match, 0);
    if (!g_found) {
        fprintf(stderr, "poke: no window titled %s...\n", g_prefix);
        return 1;
    }
    if (argc == 4)
        SetWindowPos(g_found, NULL, 0, 0, atoi(argv[2]), atoi(argv[3]), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        PostMessageA(g_found, WM_COMMAND, atoi(argv[2]), 0);
    return 0;
}

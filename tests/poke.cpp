/* Sends a command to a running Brisknote from outside, for screenshots: poke TITLE-PREFIX ID
   posts WM_COMMAND ID to the first visible window whose title begins with TITLE-PREFIX. */
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
    if (argc != 3) {
        fprintf(stderr, "usage: poke TITLE-PREFIX COMMAND-ID\n");
        return 2;
    }
    g_prefix = argv[1];
    EnumWindows(Match, 0);
    if (!g_found) {
        fprintf(stderr, "poke: no window titled %s...\n", g_prefix);
        return 1;
    }
    PostMessageA(g_found, WM_COMMAND, atoi(argv[2]), 0);
    return 0;
}

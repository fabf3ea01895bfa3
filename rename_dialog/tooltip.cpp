/* The tooltip that shows the full path of the entry on display over its name. */
#include "brisknote.h"
#include <commctrl.h>

/* 44 bytes: the size that every version of the tooltip control accepts with these fields. */
static void FillToolInfo(TOOLINFOA *info, HWND label, UINT toolId, char *text)
{
    ZeroMemory(info, sizeof(*info));
    info->cbSize = TTTOOLINFOA_V2_SIZE;
    info->uFlags = TTF_SUBCLASS;
    info->hwnd = label;
    info->uId = toolId;
    GetClientRect(label, &info->rect);
    info->lpszText = text;
}

HWND CreatePathTooltip(HWND label, UINT toolId)
{
    TOOLINFOA info;
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, label, NULL, g_instance, NULL);
    if (!tooltip)
        return NULL;
    FillToolInfo(&info, label, toolId, NULL);
    if (SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&info) != TRUE) {
        DestroyWindow(tooltip);
        return NULL;
    }
    return tooltip;
}

void UpdatePathTooltip(HWND label, HWND tooltip, UINT toolId, const char *text)
{
    TOOLINFOA info;
    if (!tooltip)
        return;
    FillToolInfo(&info, label, toolId, (char *)text);
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&info);
}

/* Checking typed names, and the title-bar errors of a name that cannot be used. */
#include "brisknote.h"
#include "../res/resource.h"

const char g_nameExistsTitle[] = "%s(%d/%d) 既に存在している名前です。";
const char g_enterNameTitle[] = "%s(%d/%d) 名前を入力してください。";
const char g_openFailedTitle[] = "%s(%d/%d) 開けませんでした。";

/* The nine characters a file name cannot hold, and the control characters: no Windows file name
   holds one below 0x20, and DEL (which Ctrl+Backspace types on Windows) would be invisible in it. */
BOOL IsForbiddenNameChar(unsigned code)
{
    if (code < 0x20 || code == 0x7F)
        return TRUE;
    switch (code) {
    case '"': case '*': case '/': case ':': case '<': case '>': case '?': case '\\': case '|':
        return TRUE;
    }
    return FALSE;
}

/* A pasted forbidden character would reach the shell, which moves the file into another folder
   for a separator, may overwrite another file for a wildcard, and fails on a control character. */
BOOL HasForbiddenChar(const char *name)
{
    for (const char *p = name; *p; p++) {
        if (IsDBCSLeadByte((BYTE)*p)) {
            if (!p[1])
                break;
            p++;    /* a second byte may be 0x5C */
            continue;
        }
        if (IsForbiddenNameChar((BYTE)*p))
            return TRUE;
    }
    return FALSE;
}

BOOL ReadNewName(HWND dlg, char *out, int outSize)
{
    char text[PATH_TEXT];
    const char *name = text;

    GetDlgItemTextA(dlg, IDC_NEW_NAME, text, sizeof(text));
    while (*name == ' ' || *name == '\t')
        name++;
    if (!*name || lstrcmpA(name, ".") == 0 || HasForbiddenChar(name))
        return FALSE;
    lstrcpynA(out, name, outSize);
    return TRUE;
}

/* Joins the directory part of path with name; returns FALSE when the result is no usable path. */
BOOL JoinPath(const char *path, const char *name, char *out)
{
    int dirLength = (int)(FileNamePart(path) - path);
    int nameLength = lstrlenA(name);

    if (dirLength + nameLength >= MAX_PATH)
        return FALSE;
    CopyMemory(out, path, dirLength);
    CopyMemory(out + dirLength, name, nameLength + 1);
    return TRUE;
}

/* Every entry shares the candidate's directory in this comparison, so comparing the pending names
   alone decides it. */
BOOL IsNameTaken(FileList list, const char *candidate, DWORD index)
{
    char full[PATH_TEXT];
    FileEntry *entry = list[index];

    if (lstrcmpA(FileNamePart(entry->path), candidate) == 0)
        return FALSE;
    for (DWORD i = 0; list[i]; i++) {
        if (i != index && IsSameNameIgnoringCase(list[i]->newName, candidate))
            return TRUE;
    }
    /* A joined path beyond the platform's limit cannot exist; the rename of it fails on OK. */
    if (!JoinPath(entry->path, candidate, full))
        return FALSE;
    return FileExists(full) && !IsOwnNameInOtherCase(entry->path, candidate, full);
}

void ShowErrorTitle(HWND dlg, const char *format, DWORD index, DWORD total)
{
    char title[272];
    HWND edit = GetDlgItem(dlg, IDC_NEW_NAME);

    wsprintfA(title, format, g_programWord, index + 1, total);
    SetWindowTextA(dlg, title);
    MessageBeep(MB_ICONWARNING);
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)edit, TRUE);
    SetTimer(dlg, TITLE_TIMER, 2000, NULL);
    SelectNamePart(edit);
}

/* Reads the typed name of the entry on display into name (PATH_TEXT bytes) and checks it; a name
   that cannot be used gets its error title. */
int CheckTypedName(HWND dlg, char *name)
{
    if (!ReadNewName(dlg, name, PATH_TEXT)) {
        ShowErrorTitle(dlg, g_enterNameTitle, g_current, g_entryCount);
        return NAME_UNUSABLE;
    }
    if (IsNameTaken(g_entries, name, g_current)) {
        ShowErrorTitle(dlg, g_nameExistsTitle, g_current, g_entryCount);
        return NAME_TAKEN;
    }
    return NAME_OK;
}

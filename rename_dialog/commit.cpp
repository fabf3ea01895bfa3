/* The commit: renaming the changed files on OK, its progress title, and a new pass for the files
   whose rename failed. */
#include "brisknote.h"
#include "../res/resource.h"

static const char g_retryQuestion[] = "エラーがあります。\n継続しますか?";
static const char g_progressTitle[] = "名前を変更しています… %lu/%lu";

/* The progress title changes, and the windows are painted, at most this often, in milliseconds. */
#define PROGRESS_INTERVAL 100
/* Free names tried for the first step of a change of letter case: "~0" to "~99". */
#define TEMPORARY_NAMES 100

int g_commitState;

/* Every rename goes through here: the shell's, which on Windows replaces a target that exists. */
int (*g_fileOperation)(SHFILEOPSTRUCTA *op) = RunShellOperation;

/* One rename by the shell. Its paths end in a double terminator. The shell's own error windows
   (a file in use, access denied) belong to owner: an owned window stands above its owner, an
   always-on-top dialog included, and is centred on it. */
static BOOL ShellRename(const char *source, const char *target, HWND owner)
{
    char from[PATH_TEXT + 1];
    char to[PATH_TEXT + 1];

    ZeroMemory(from, sizeof(from));
    ZeroMemory(to, sizeof(to));
    lstrcpynA(from, source, PATH_TEXT);
    lstrcpynA(to, target, PATH_TEXT);
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof(op));
    op.hwnd = owner;
    op.wFunc = FO_RENAME;
    op.pFrom = from;
    op.pTo = to;
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return g_fileOperation(&op) == 0;
}

/* A free name in the entry's folder, for the first of two steps; short, so that it fits wherever
   the file's own name of two characters or more does. */
static BOOL MakeTemporaryPath(const char *path, char *out)
{
    char name[8];
    for (DWORD i = 0; i < TEMPORARY_NAMES; i++) {
        wsprintfA(name, "~%lu", i);
        if (JoinPath(path, name, out) && !FileExists(out))
            return TRUE;
    }
    return FALSE;
}

/* A change of letter case alone: a single rename does nothing on FAT and exFAT and still reports
   success, and the shell may refuse it as a name that exists. So the file goes to a free name
   first, then to its new one. Each step is checked like any rename: once the file is under the
   free name, whatever has the new name or the old one is another program's file, which the shell
   would replace. When the second step fails, the first is undone; when that fails or cannot be
   done, the entry takes the name the file has now, so that the retry pass offers it. */
static BOOL RenameThroughFreeName(FileEntry *entry, const char *to, HWND owner)
{
    char spare[PATH_TEXT];

    if (!MakeTemporaryPath(entry->path, spare) || !ShellRename(entry->path, spare, owner))
        return FALSE;
    if (!FileExists(to) && ShellRename(spare, to, owner))
        return TRUE;
    if (FileExists(entry->path) || !ShellRename(spare, entry->path, owner))
        lstrcpynA(entry->path, spare, PATH_TEXT);
    return FALSE;
}

/* The new name as the disk stores it: a change of letter case that did not happen fails. A
   trailing blank or dot, which the platform drops, is no such change. */
static BOOL HasNewSpelling(const char *to, const char *name)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(to, &found);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(find);
    return lstrcmpA(found.cFileName, name) == 0 || !IsSameNameIgnoringCase(found.cFileName, name);
}

/* Renames one entry's file; TRUE when it now has its new name. The target is tested again just
   before the call, since another program may have made it, and the shell would replace it; only
   the entry's own name in another letter case is no such target. The result is checked on disk
   as well, its spelling only where that can differ. The old name is not looked at: another
   program (an editor's lock file) may make it anew. */
BOOL RenameEntry(FileEntry *entry, HWND owner)
{
    char to[PATH_TEXT];

    /* A path ending in a separator names a folder by its inside: renamed, it would move into itself. */
    if (!*FileNamePart(entry->path) || !*entry->newName || HasForbiddenChar(entry->newName))
        return FALSE;
    /* The shell copies paths into fixed buffers of MAX_PATH without a bound. */
    if (lstrlenA(entry->path) >= MAX_PATH || !JoinPath(entry->path, entry->newName, to))
        return FALSE;
    if (IsOwnNameInOtherCase(entry->path, entry->newName, to))
        return RenameThroughFreeName(entry, to, owner) && HasNewSpelling(to, entry->newName);
    return !FileExists(to) && ShellRename(entry->path, to, owner) && FileExists(to);
}

static BOOL AskRetry(HWND dlg)
{
    return MessageBoxA(dlg, g_retryQuestion, g_programWord, MB_YESNO | MB_ICONWARNING) == IDYES;
}

/* The failed paths, each in quotes, with nothing between them: the tokenizer reads them apart. */
static char *JoinFailedPaths(FileList list, DWORD size)
{
    char *text = (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!text)
        return NULL;
    char *end = text;
    for (DWORD i = 0; list[i]; i++) {
        if (list[i]->renameOk)
            continue;
        *end++ = '"';
        int length = lstrlenA(list[i]->path);
        CopyMemory(end, list[i]->path, length);
        end += length;
        *end++ = '"';
    }
    return text;
}

/* The user asked for these names and may retry them at once: each file of the new pass, which holds
   the failed entries that still exist in their order, keeps the name typed for it. */
static void KeepTypedNames(FileList list, FileList next)
{
    DWORD k = 0;
    for (DWORD i = 0; list[i] && next[k]; i++) {
        if (!list[i]->renameOk && lstrcmpA(list[i]->path, next[k]->path) == 0)
            lstrcpynA(next[k++]->newName, list[i]->newName, PATH_TEXT);
    }
}

/* The new list is built before the old one is released, so a failure leaves the old list whole
   for the clean-up on cancel. */
FileList CollectFailures(FileList list, HWND dlg, DWORD *count)
{
    DWORD size = 0;

    *count = 0;
    if (!list || !list[0])
        return NULL;
    for (DWORD i = 0; list[i]; i++) {
        if (!list[i]->renameOk)
            size += lstrlenA(list[i]->path) + 3;
    }
    if (size == 0 || !AskRetry(dlg))
        return NULL;
    char *text = JoinFailedPaths(list, size + 10);
    if (!text)
        return NULL;
    FileList next = BuildFileList(text, count);
    HeapFree(GetProcessHeap(), 0, text);
    if (!next)
        return NULL;
    KeepTypedNames(list, next);
    FreeFileList(list);
    return next;
}

BOOL ShowWaitCursor(HWND dlg)
{
    if (g_commitState != COMMIT_RENAMING)
        return FALSE;
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static void ShowProgressTitle(HWND dlg, DWORD done, DWORD total)
{
    char title[64];
    wsprintfA(title, g_progressTitle, done, total);
    SetWindowTextA(dlg, title);
}

/* Keeps the windows painted and the program answering while the renames run. The windows are
   disabled, and the commit state drops any command that is dispatched here or while a window of
   the shell is up (which enables its owner again when it closes). */
static void PumpWhileRenaming(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static BOOL IsChanged(const FileEntry *entry)
{
    return lstrcmpA(FileNamePart(entry->path), entry->newName) != 0;
}

/* The folders above a path: an entry inside another entry's folder has more. */
static int CountSeparators(const char *path)
{
    int count = 0;
    for (const char *p = path; *p; p = CharNextA(p))
        count += *p == '\\' || *p == '/';
    return count;
}

/* Deepest paths first, in list order at each depth: a file inside a folder of the batch is renamed
   while its path still holds, before the folder. */
static void RenameChangedEntries(HWND dlg)
{
    DWORD total = 0, done = 0;
    int deepest = 0;
    for (DWORD i = 0; g_entries[i]; i++) {
        total += IsChanged(g_entries[i]);
        int depth = CountSeparators(g_entries[i]->path);
        deepest = depth > deepest ? depth : deepest;
    }
    DWORD shown = GetTickCount();
    ShowProgressTitle(dlg, 0, total);
    for (int depth = deepest; depth >= 0; depth--) {
        for (DWORD i = 0; g_entries[i]; i++) {
            FileEntry *entry = g_entries[i];
            if (!IsChanged(entry) || CountSeparators(entry->path) != depth)
                continue;
            if (!RenameEntry(entry, dlg))
                entry->renameOk = 0;
            done++;
            if (done == total || GetTickCount() - shown >= PROGRESS_INTERVAL) {
                ShowProgressTitle(dlg, done, total);
                shown = GetTickCount();
            }
            PumpWhileRenaming();
        }
    }
}

/* Neither window takes a command from the first rename to the next pass or the end. */
static void BeginCommit(HWND dlg)
{
    g_commitState = COMMIT_RENAMING;
    EnableWindow(dlg, FALSE);
    if (IsListWindowOpen())
        EnableWindow(g_listWindow, FALSE);
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
}

/* The question disables its owner itself, and gives it back enabled and active when it ends. */
static void BeginAsking(HWND dlg)
{
    EnableWindow(dlg, TRUE);
    g_commitState = COMMIT_ASKING;
}

static void EndCommit(void)
{
    g_commitState = COMMIT_NONE;
    if (IsListWindowOpen())
        EnableWindow(g_listWindow, TRUE);
}

/* A pass with no file left (they all vanished meanwhile) ends the dialog. */
static void StartNewPass(HWND dlg, FileList next, DWORD count)
{
    g_entries = next;
    g_entryCount = count;
    g_current = 0;
    if (count == 0) {
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (IsListWindowOpen())
        RefillListWindow(next);
    SendMessageA(dlg, WM_APP_SHOWENTRY, 0, 0);
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, IDC_NEW_NAME), TRUE);
}

/* OK with no entry to rename ends the dialog as Cancel does. */
void CommitRenames(HWND dlg)
{
    char name[PATH_TEXT];
    DWORD count;

    if (!HasCurrentEntry()) {
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (CheckTypedName(dlg, name) != NAME_OK)
        return;
    lstrcpynA(g_entries[g_current]->newName, name, PATH_TEXT);
    BeginCommit(dlg);
    RenameChangedEntries(dlg);
    BeginAsking(dlg);
    FileList next = CollectFailures(g_entries, dlg, &count);
    EndCommit();
    if (next)
        StartNewPass(dlg, next, count);
    else
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
}

/* The command line's options and paths, and the list of files to rename that is built from them. */
#include "brisknote.h"

DWORD g_options;

static const char *SkipBlanks(const char *p)
{
    while (*p == ' ')
        p++;
    return p;
}

/* Options stand only at the start: a slash, one letter and one more character, whatever it is. */
const char *ParseOptions(const char *tail)
{
    const char *p = SkipBlanks(tail);

    g_options = 0;
    while (*p == '/') {
        char letter = p[1];
        if (letter == 'p')
            g_options |= OPTION_LIST;
        else if (letter == 't')
            g_options |= OPTION_TOPMOST;
        if (!letter)
            return p + 1;
        if (!p[2])
            return p + 2;
        p = SkipBlanks(p + 3);
    }
    return p;
}

/* Finds the token at text: its characters run from *start to *end; returns where scanning stops,
   past a closing quote or blank. */
static const char *ScanToken(const char *text, const char **start, const char **end)
{
    const char *p = text;
    char stop = ' ';

    if (*p == '"') {
        stop = '"';
        p++;
    }
    *start = p;
    while (*p && *p != stop)
        p++;
    *end = p;
    return *p ? p + 1 : p;
}

static const char *SkipSeparators(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

const char *NextToken(const char *text, char *out, int outSize)
{
    const char *start, *end;
    const char *p = ScanToken(text, &start, &end);

    /* The span counts a closing quote or blank, so such a token must be a byte shorter. */
    if (p - start < outSize) {
        int length = (int)(end - start);
        CopyMemory(out, start, length);
        out[length] = 0;
    }
    return SkipSeparators(p);
}

static DWORD CountTokens(const char *text)
{
    DWORD count = 0;
    const char *start, *end;

    do {
        text = SkipSeparators(ScanToken(text, &start, &end));
        count++;
    } while (*text);
    return count;
}

static FileEntry *MakeEntry(const char *path)
{
    FileEntry *entry = (FileEntry *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FileEntry));
    if (!entry)
        return NULL;
    lstrcpynA(entry->path, path, PATH_TEXT);
    lstrcpynA(entry->newName, FileNamePart(entry->path), PATH_TEXT);
    entry->renameOk = 1;
    return entry;
}

FileList BuildFileList(const char *text, DWORD *count)
{
    DWORD tokens = CountTokens(text);
    DWORD made = 0;
    FileList list = (FileList)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (tokens + 2) * sizeof(FileEntry *));

    *count = 0;
    if (!list)
        return NULL;
    for (DWORD i = 0; i < tokens; i++) {
        char path[PATH_TEXT];
        path[0] = 0;    /* stays empty when the token is too long to copy */
        text = NextToken(text, path, PATH_TEXT);
        /* Windows' ANSI file functions take at most MAX_PATH - 1 bytes: a longer path could not be
           renamed, nor offered again, so it is left out like a missing file. */
        if (!path[0] || lstrlenA(path) >= MAX_PATH || !FileExists(path))
            continue;
        FileEntry *entry = MakeEntry(path);
        if (entry)
            list[made++] = entry;
    }
    *count = made;
    return list;
}

void SortFileList(FileList list, DWORD count)
{
    if (count < 2)
        return;
    for (DWORD k = 0; k + 1 < count; k++) {
        for (DWORD i = k + 1; i < count; i++) {
            if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH, list[k]->path, -1,
                               list[i]->path, -1) == CSTR_GREATER_THAN) {
                FileEntry *swap = list[k];
                list[k] = list[i];
                list[i] = swap;
            }
        }
    }
}

void FreeFileList(FileList list)
{
    if (!list)
        return;
    for (FileEntry **slot = list; *slot; slot++)
        HeapFree(GetProcessHeap(), 0, *slot);
    HeapFree(GetProcessHeap(), 0, list);
}

/* Steps over double-byte characters as pairs: their second byte may be 0x5C, a backslash. */
const char *FileNamePart(const char *path)
{
    const char *name = path;

    for (const char *p = path; *p; p++) {
        if (IsDBCSLeadByte((BYTE)*p)) {
            if (!p[1])
                break;
            p++;
        } else if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

BOOL FileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

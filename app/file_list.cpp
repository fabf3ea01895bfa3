/* The command line's options and paths, and the list of files to rename that is built from them. */
#include "brisknote.h"
#include <stdlib.h>

DWORD g_options;

/* The command line is read by these rules twice: as the program's code page holds it, for the
   file list, and as the wide text Windows gives, for the notice of names that code page cannot
   hold. Written once for both, the two readings find the same tokens. */
template <typename Char> static const Char *SkipBlanks(const Char *p)
{
    while (*p == ' ')
        p++;
    return p;
}

/* Options stand only at the start: a slash, one letter and one more character, whatever it is. */
template <typename Char> static const Char *ReadOptions(const Char *tail, DWORD *options)
{
    const Char *p = SkipBlanks(tail);

    *options = 0;
    while (*p == '/') {
        Char letter = p[1];
        if (letter == 'p')
            *options |= OPTION_LIST;
        else if (letter == 't')
            *options |= OPTION_TOPMOST;
        if (!letter)
            return p + 1;
        if (!p[2])
            return p + 2;
        p = SkipBlanks(p + 3);
    }
    return p;
}

const char *ParseOptions(const char *tail)
{
    return ReadOptions(tail, &g_options);
}

const WCHAR *SkipOptions(const WCHAR *tail)
{
    DWORD options;
    return ReadOptions(tail, &options);
}

/* Finds the token at text: its characters run from *start to *end; returns where scanning stops,
   past a closing quote or blank. */
template <typename Char> static const Char *ScanToken(const Char *text, const Char **start, const Char **end)
{
    const Char *p = text;
    Char stop = ' ';

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

/* Blanks and tabs part the tokens of a command line. */
template <typename Char> static const Char *SkipSeparatorsOf(const Char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

const char *SkipSeparators(const char *p)
{
    return SkipSeparatorsOf(p);
}

const WCHAR *SkipSeparators(const WCHAR *p)
{
    return SkipSeparatorsOf(p);
}

template <typename Char> static const Char *NextTokenOf(const Char *text, Char *out, int outSize)
{
    const Char *start, *end;
    const Char *p = ScanToken(text, &start, &end);

    /* The span counts a closing quote or blank, so such a token must be a byte shorter. */
    if (p - start < outSize) {
        int length = (int)(end - start);
        CopyMemory(out, start, length * sizeof(Char));
        out[length] = 0;
    }
    return SkipSeparators(p);
}

const char *NextToken(const char *text, char *out, int outSize)
{
    return NextTokenOf(text, out, outSize);
}

const WCHAR *NextToken(const WCHAR *text, WCHAR *out, int outSize)
{
    return NextTokenOf(text, out, outSize);
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

/* The order is that of an exchange sort comparing paths with CompareStringA under the user's
   locale, ignoring width; equal paths keep exactly the places that sort leaves them in. It is
   also what the list gets when the sort keys cannot be made. The locale functions read their
   bytes in the locale's own code page unless told to take the program's, which the manifest
   makes 932 whatever the user's locale. */
void ExchangeSortByCompareString(FileList list, DWORD count)
{
    for (DWORD k = 0; k + 1 < count; k++) {
        for (DWORD i = k + 1; i < count; i++) {
            if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH | LOCALE_USE_CP_ACP, list[k]->path, -1,
                               list[i]->path, -1) == CSTR_GREATER_THAN) {
                FileEntry *swap = list[k];
                list[k] = list[i];
                list[i] = swap;
            }
        }
    }
}

struct SortKey {
    BYTE *bytes;    /* the locale's sort key: compared bytewise, it orders as CompareStringA does */
    DWORD position; /* the entry's slot before sorting */
};

static int CompareSortKeys(const void *a, const void *b)
{
    const BYTE *x = ((const SortKey *)a)->bytes, *y = ((const SortKey *)b)->bytes;
    while (*x && *x == *y) {
        x++;
        y++;
    }
    return (int)*x - (int)*y;
}

static BYTE *MakeSortKey(const char *path)
{
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNOREWIDTH | LOCALE_USE_CP_ACP;
    int size = LCMapStringA(LOCALE_USER_DEFAULT, flags, path, -1, NULL, 0);
    BYTE *key = size > 0 ? (BYTE *)HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    if (key && LCMapStringA(LOCALE_USER_DEFAULT, flags, path, -1, (char *)key, size) != size) {
        HeapFree(GetProcessHeap(), 0, key);
        key = NULL;
    }
    return key;
}

/* Gives each slot the rank of its path: equal paths share a rank, a greater path has a greater
   one. FALSE when a key could not be made. */
static BOOL RankPaths(FileList list, DWORD count, SortKey *keys, DWORD *ranks)
{
    BOOL made = TRUE;
    for (DWORD i = 0; i < count; i++) {
        keys[i].position = i;
        keys[i].bytes = MakeSortKey(list[i]->path);
        made = made && keys[i].bytes;
    }
    if (made) {
        qsort(keys, count, sizeof(SortKey), CompareSortKeys);
        for (DWORD i = 0, rank = 0; i < count; i++) {
            if (i > 0 && CompareSortKeys(&keys[i - 1], &keys[i]) != 0)
                rank = i;
            ranks[keys[i].position] = rank;
        }
    }
    for (DWORD i = 0; i < count; i++) {
        if (keys[i].bytes)
            HeapFree(GetProcessHeap(), 0, keys[i].bytes);
    }
    return made;
}

/* The same exchange sort on the ranks: the same swaps, each decided by comparing two integers
   instead of calling CompareStringA, which would take seconds for a full command line. */
static void ExchangeSortByRank(FileList list, DWORD count, DWORD *ranks)
{
    for (DWORD k = 0; k + 1 < count; k++) {
        for (DWORD i = k + 1; i < count; i++) {
            if (ranks[k] > ranks[i]) {
                DWORD rank = ranks[k];
                ranks[k] = ranks[i];
                ranks[i] = rank;
                FileEntry *swap = list[k];
                list[k] = list[i];
                list[i] = swap;
            }
        }
    }
}

void SortFileList(FileList list, DWORD count)
{
    if (count < 2)
        return;
    HANDLE heap = GetProcessHeap();
    SortKey *keys = (SortKey *)HeapAlloc(heap, HEAP_ZERO_MEMORY, count * sizeof(SortKey));
    DWORD *ranks = (DWORD *)HeapAlloc(heap, HEAP_ZERO_MEMORY, count * sizeof(DWORD));
    if (keys && ranks && RankPaths(list, count, keys, ranks))
        ExchangeSortByRank(list, count, ranks);
    else
        ExchangeSortByCompareString(list, count);
    if (keys)
        HeapFree(heap, 0, keys);
    if (ranks)
        HeapFree(heap, 0, ranks);
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

/* The extension's dot in the last part of a path, or the path's end when it has none. A blank or
   a separator after the last dot means no extension, as for the shell's PathFindExtension. */
const char *FindExtension(const char *path)
{
    const char *dot = NULL;
    for (const char *p = path; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == ' ')
            dot = NULL;
        else if (*p == '.')
            dot = p;
    }
    return dot ? dot : path + lstrlenA(path);
}

BOOL FileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

/* Names as the file systems the program renames on compare them: letter case aside. The bytes are
   read in the program's code page, not the user's locale's. */
BOOL IsSameNameIgnoringCase(const char *a, const char *b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | LOCALE_USE_CP_ACP, a, -1, b, -1) == CSTR_EQUAL;
}

/* Whether name is the file name of path in another letter case, compared as file systems compare
   names: case-blind and nothing else ignored, where the locale's comparison also ignores width. */
static BOOL IsNameInOtherCase(const char *path, const char *name)
{
    WCHAR own[PATH_TEXT], other[PATH_TEXT];
    if (!MultiByteToWideChar(CP_ACP, 0, FileNamePart(path), -1, own, PATH_TEXT) || !MultiByteToWideChar(CP_ACP, 0, name, -1, other, PATH_TEXT))
        return FALSE;
    return CompareStringOrdinal(own, -1, other, -1, TRUE) == CSTR_EQUAL;
}

/* Whether joined, path's folder with name, is path's own file under another letter case. Only the
   name can say so: a hard link's other name, a link's target, and on some network drives any other
   file share the identity. The identity then tells two names of a folder that tells case apart. */
BOOL IsOwnNameInOtherCase(const char *path, const char *name, const char *joined)
{
    return IsNameInOtherCase(path, name) && IsSameFile(joined, path);
}

/* Whether two paths reach one file or folder, by its volume and index: never by the names, since
   a folder may tell letter case apart, and there "readme" and "README" are two files. */
BOOL IsSameFile(const char *a, const char *b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const char *paths[2] = {a, b};
    for (int i = 0; i < 2; i++) {
        HANDLE file = CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return FALSE;
        BOOL read = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!read)
            return FALSE;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber && info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

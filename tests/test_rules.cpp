/* The program's pure rules, one table each: the command line's tail, conversion, options and
   tokens, name parts, attribute letters, the sort, and single renames. */
#include "test_support.h"
#include <algorithm>

TEST(Rules, CommandLineTailCodePageOptionsAndTokens)
{
    struct { const char *line, *tail; } rows[] = {
        {"\"C:\\a b\\Brisknote.exe\" /p a.txt", "/p a.txt"}, {"Brisknote.exe \t  x", "x"},
        {"C:\\ツール\\Brisknote.exe /p a.txt", "/p a.txt"},  /* ツ is 0x83 0x63, no blank */
        {"Brisknote.exe 表紙.txt", "表紙.txt"},               /* 表 is 0x95 0x5C */
        {"\"C:\\表\\Brisknote.exe\"\"a.txt\"", "\"a.txt\""},
        {"\"C:\\unclosed quote", ""}, {"Brisknote.exe", ""},
    };
    for (const auto &row : rows)
        EXPECT_STREQ(row.tail, CommandTail(row.line)) << "line: " << row.line;
    /* UTF-8 (Windows' "Beta: Use Unicode UTF-8" code page) takes neither the flag nor the default
       character that keep look-alikes out of code page 932. */
    struct { UINT codePage; const char *text; } conversions[] = {
        {932, "caf? ? \x95\x5C"}, {65001, "caf\xC3\xA9 \xC2\xA5 \xE8\xA1\xA8"},
    };
    for (const auto &row : conversions) {
        char *text = ConvertToCodePage(L"café ¥ 表", row.codePage, NULL);
        EXPECT_STREQ(row.text, text ? text : "(failed)") << "code page " << row.codePage;
        HeapFree(GetProcessHeap(), 0, text);
    }
    /* Options stand only at the start of the tail. */
    struct { const char *tail; DWORD options; const char *rest; } options[] = {
        {"/p /t a.txt", OPTION_LIST | OPTION_TOPMOST, "a.txt"}, {"  /t   \"a b\"", OPTION_TOPMOST, "\"a b\""},
        {"/pt a.txt", OPTION_LIST, "a.txt"},   /* the character after the letter is consumed */
        {"/P /x a.txt /p", 0, "a.txt /p"}, {"a.txt /p", 0, "a.txt /p"}, {"/p", OPTION_LIST, ""}, {"/", 0, ""},
    };
    for (const auto &row : options) {
        std::string rest = ParseOptions(row.tail);
        EXPECT_EQ(std::to_string(row.options) + " " + row.rest, std::to_string(g_options) + " " + rest) << "tail: " << row.tail;
    }
    /* Tokens are quoted or end at a blank, and are copied only when they fit. */
    struct { const char *text; int size; const char *token, *rest; bool wide = true; } tokens[] = {
        {"\"a b\" c", 10, "a b", "c"}, {"\"a\"\"b\"", 10, "a", "\"b\""}, {"a\tb c", 10, "a\tb", "c"},
        {"a \t b", 10, "a", "b"}, {"\"unclosed b", 20, "unclosed b", ""}, {"a\"b\" c", 10, "a\"b\"", "c"},
        {"abc d", 5, "abc", "d"},    /* the blank after a token counts in its length */
        {"abcd e", 5, "", "e"}, {"abcd", 5, "abcd", ""}, {"\"abc\" d", 4, "", "d"}, {"\"", 5, "", ""}, {"a\"", 5, "a\"", ""},
        {"\"\" b", 5, "", "b"}, {"\x95\\ b", 5, "\x95\\", "b"}, {"\"\x95\"\"", 5, "\x95", "\"", false},    /* no wide text has a lead byte */
    };
    /* The same rules read the wide command line, here each row's text in code page 932. */
    for (const auto &row : tokens) {
        char out[32];    /* guard characters after the size given */
        WCHAR wideOut[32];
        std::fill(out, out + 32, '#');
        std::fill(wideOut, wideOut + 32, L'#');
        out[0] = 0;
        wideOut[0] = 0;
        std::string rest = NextToken(row.text, out, row.size), guard(out + row.size, sizeof(out) - row.size);
        EXPECT_EQ(std::string(row.token) + "|" + row.rest + "|" + std::string(guard.size(), '#'), out + ("|" + rest + "|" + guard))
            << "text: " << row.text;
        if (!row.wide)
            continue;
        std::wstring text = Wide(row.text), wideRest = NextToken(text.c_str(), wideOut, row.size), wideGuard(wideOut + row.size, 32 - row.size);
        EXPECT_EQ(Wide(row.token) + L"|" + Wide(row.rest) + L"|" + std::wstring(wideGuard.size(), L'#'), wideOut + (L"|" + wideRest + L"|" + wideGuard)) << row.text;
    }
}

/* Name parts; the attribute letters, and the icon asked for by the type alone for a file kept only
   in the cloud; the place of a window centred on a monitor, the primary one's at 0, 0. */
TEST(Rules, NamePartsAttributesAndPlacement)
{
    struct { const char *path, *name; } names[] = {
        {"C:\\dir\\a.txt", "a.txt"}, {"C:/dir/b", "b"}, {"plain", "plain"}, {"C:\\dir\\", ""}, {"C:\\表\\ソ", "ソ"}, {"C:\\x\\能", "能"},
        {"a\\\x95\0\\b", "\x95"},    /* a lead byte last: nothing after the terminator is read */
    };
    for (const auto &row : names)
        EXPECT_STREQ(row.name, FileNamePart(row.path)) << "path: " << row.path;
    const DWORD all = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_COMPRESSED;
    const UINT icon = SHGFI_ICON, type = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES;
    struct { DWORD attributes; const char *letters; int result; UINT iconFlags; } letters[] = {
        {FILE_ATTRIBUTE_ARCHIVE, "A", 1, icon}, {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE, "D", 1, icon},
        {all, "SAHRC", 1, icon}, {FILE_ATTRIBUTE_NORMAL, "", 1, icon}, {INVALID_FILE_ATTRIBUTES, "", 0, icon},
        {FILE_ATTRIBUTE_READONLY, "R", 1, icon},
        {FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_ARCHIVE, "A", 1, type},
        {FILE_ATTRIBUTE_RECALL_ON_OPEN | FILE_ATTRIBUTE_READONLY, "R", 1, type},
        {FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS | FILE_ATTRIBUTE_DIRECTORY, "D", 1, type},
    };
    for (const auto &row : letters) {
        char out[8] = "junk";
        EXPECT_EQ(row.result, FormatAttributes(row.attributes, out)) << "attributes " << row.attributes;
        EXPECT_STREQ(row.letters, out) << "attributes " << row.attributes;
        EXPECT_EQ(row.iconFlags, ChooseIconFlags(row.attributes)) << "icon flags for attributes " << row.attributes;
    }
    struct { RECT monitor; int width, height; std::string at; } places[] = {
        {{0, 0, 1920, 1080}, 400, 201, "760,439"},
        {{-1920, 0, 0, 1080}, 400, 201, "-1160,439"},
        {{0, -1080, 1920, 0}, 400, 201, "760,-641"},
        {{0, 0, 300, 100}, 401, 201, "-50,-50"},    /* divisions round toward zero */
    };
    for (const auto &row : places) {
        POINT at = CenterOnMonitor(&row.monitor, row.width, row.height);
        EXPECT_EQ(row.at, std::to_string(at.x) + "," + std::to_string(at.y)) << "monitor from " << row.monitor.left << "," << row.monitor.top;
    }
}

/* The program's order is that of its plain exchange sort by CompareStringA, which it falls back
   on when the sort keys cannot be made. */
TEST(Rules, SortFollowsTheCompareStringExchangeSort)
{
    std::vector<std::vector<std::string>> rows = {
        {"D:\\e.txt", "D:\\E.txt", "D:\\b.txt", "D:\\a.txt"},
        {"x\\ｱ", "x\\ア", "x\\Ａ", "x\\A", "x\\12", "x\\１２", "x\\a"},
        {"same", "same", "other", "same", "other"}, {"z", "y"}, {},
    };
    srand(7);
    for (int i = 0; i < 300; i++)
        rows.back().push_back("C:\\" + std::to_string(rand() % 50) + (rand() % 2 ? "ｶﾞ" : "ガ"));
    for (const auto &paths : rows) {
        DWORD count = paths.size();
        FileList sorted = MakeList(paths);
        std::vector<FileEntry *> expected(sorted, sorted + count + 1);
        ExchangeSortByCompareString(expected.data(), count);
        SortFileList(sorted, count);
        for (DWORD i = 0; i < count; i++)
            EXPECT_EQ(expected[i], sorted[i]) << "slot " << i << ": expected " << expected[i]->path << ", got " << sorted[i]->path;
        FreeFileList(sorted);
    }
}

/* Names that can only reach a rename by some other way than the dialog's checks, and a change of
   letter case through a free name, which fits in a folder near the length limit. Only the entry's
   own name in another case is its own: a hard link's other name is taken. */
TEST(Rules, RenameEntryRefusesWhatTheShellWouldMisuse)
{
    TempFolder folder;
    for (const char *name : {"a.txt", "there.txt", "sub/", "photo.JPG", "README", "h.txt", "dir/"})
        folder.Make(name);
    CreateHardLinkA(folder.Path("h-link.txt").c_str(), folder.Path("h.txt").c_str(), NULL);
    std::string a = folder.Path("a.txt"), deep = std::string(246 - folder.dir.size(), 'd');    /* a name of 5 fits in it */
    folder.Make(deep + "/");
    struct { std::string path, newName; BOOL taken, renamed; } rows[] = {
        {a, "sub\\x.txt", FALSE, FALSE}, {a, "a\x7F.txt", FALSE, FALSE}, {a, "there.txt", TRUE, FALSE},
        {a, std::string(MAX_PATH - folder.dir.size() - 1, 'n'), FALSE, FALSE}, {folder.Path("sub\\"), "sub2", FALSE, FALSE},
        {folder.Path("none.txt"), "b.txt", FALSE, FALSE},
        {folder.Path("h.txt"), "h-link.txt", TRUE, FALSE},
        {folder.Path("h.txt"), "H-LINK.TXT", TRUE, FALSE},
        {folder.Path("h.txt"), "H.txt", FALSE, TRUE},
        {folder.Path("dir"), "DIR", FALSE, TRUE},
        {folder.Make(deep + "\\A.TXT"), "a.txt", FALSE, TRUE},
        {a, "b.txt", FALSE, TRUE}, {folder.Path("sub"), "sub2", FALSE, TRUE},
        {folder.Path("photo.JPG"), "photo.jpg", FALSE, TRUE}, {folder.Path("README"), "ReadMe", FALSE, TRUE},
    };
    for (const auto &row : rows) {
        FileList list = MakeList({row.path});
        lstrcpynA(list[0]->newName, row.newName.c_str(), PATH_TEXT);
        EXPECT_EQ(row.taken, IsNameTaken(list, row.newName.c_str(), 0)) << "is " << row.newName << " taken for " << row.path;
        EXPECT_EQ(row.renamed, RenameEntry(list[0], NULL)) << row.path << " to " << row.newName;
        FreeFileList(list);
    }
    EXPECT_EQ("DIR/ H.txt<h.txt ReadMe<README b.txt<a.txt " + deep + "/ h-link.txt<h.txt photo.jpg<photo.JPG sub2/ there.txt<there.txt", folder.Listing());
}

/* The program's pure rules, one table each: the command tail, options and tokens, the file list
   from real files, name parts, attribute letters, the sort, and single renames. */
#include "test_support.h"
#include "brisknote.h"
#include <cstring>

TEST(Rules, CommandTailWithoutTheProgramName)
{
    struct { const char *line, *tail; } rows[] = {
        {"\"C:\\a b\\Brisknote.exe\" /p a.txt", "/p a.txt"},
        {"C:\\ツール\\Brisknote.exe /p a.txt", "/p a.txt"},   /* ツ is 0x83 0x63: no blank */
        {"Brisknote.exe 表紙.txt", "表紙.txt"},                /* 表 is 0x95 0x5C */
        {"Brisknote.exe \t  x", "x"},
        {"\"C:\\表\\Brisknote.exe\"\"a.txt\"", "\"a.txt\""},
        {"\"C:\\unclosed quote", ""},
        {"Brisknote.exe", ""},
        {"", ""},
    };
    for (const auto &row : rows)
        EXPECT_STREQ(row.tail, CommandTail(row.line)) << "line: " << row.line;
}

TEST(Rules, OptionsStandOnlyAtTheStart)
{
    struct { const char *tail; DWORD options; const char *rest; } rows[] = {
        {"/p /t a.txt", OPTION_LIST | OPTION_TOPMOST, "a.txt"},
        {"  /t   \"a b\"", OPTION_TOPMOST, "\"a b\""},
        {"/pt a.txt", OPTION_LIST, "a.txt"},      /* the character after the letter is consumed */
        {"/P /x a.txt /p", 0, "a.txt /p"},
        {"a.txt /p", 0, "a.txt /p"},
        {"/p", OPTION_LIST, ""},
        {"/", 0, ""},
    };
    for (const auto &row : rows) {
        const char *rest = ParseOptions(row.tail);
        EXPECT_EQ(row.options, g_options) << "tail: " << row.tail;
        EXPECT_STREQ(row.rest, rest) << "tail: " << row.tail;
    }
}

TEST(Rules, TokensQuotedOrSplitAtBlanks)
{
    struct { const char *text; int size; const char *token, *rest; } rows[] = {
        {"\"a b\" c", 10, "a b", "c"},
        {"\"a\"\"b\"", 10, "a", "\"b\""},
        {"a\tb c", 10, "a\tb", "c"},
        {"a \t b", 10, "a", "b"},
        {"\"unclosed b", 20, "unclosed b", ""},
        {"a\"b\" c", 10, "a\"b\"", "c"},
        {"abc d", 5, "abc", "d"},         /* the blank after a token counts in its length */
        {"abcd e", 5, "", "e"},           /* too long: nothing is copied */
        {"abcd", 5, "abcd", ""},
        {"\"abc\" d", 4, "", "d"},
    };
    for (const auto &row : rows) {
        char out[32];
        memset(out, '#', sizeof(out));
        out[0] = 0;
        const char *rest = NextToken(row.text, out, row.size);
        EXPECT_STREQ(row.token, out) << "text: " << row.text;
        EXPECT_STREQ(row.rest, rest) << "text: " << row.text;
        for (int i = row.size; i < (int)sizeof(out); i++)
            ASSERT_EQ('#', out[i]) << "written beyond " << row.size << " bytes for " << row.text;
    }
}

/* Random tails end, and never write past the buffer they are given. */
TEST(Rules, RandomTailsEndWithinTheirBuffers)
{
    char seedText[16] = "";
    unsigned seed = GetEnvironmentVariableA("BRISKNOTE_SEED", seedText, sizeof(seedText)) ? atoi(seedText) : 1;
    srand(seed);
    const char alphabet[] = " \t\"/pta\x95\\";
    for (int round = 0; round < 20000; round++) {
        char text[24], out[12];
        int length = rand() % 20;
        for (int i = 0; i < length; i++)
            text[i] = alphabet[rand() % (sizeof(alphabet) - 1)];
        text[length] = 0;
        int size = 1 + rand() % 8;
        const char *p = ParseOptions(text);
        for (int tokens = 0; *p; tokens++) {
            ASSERT_LT(tokens, length) << "no end; seed " << seed << ", text " << text;
            memset(out, '#', sizeof(out));
            const char *next = NextToken(p, out, size);
            ASSERT_TRUE(next > p && next <= text + length) << "seed " << seed << ", text " << text;
            for (int i = size; i < (int)sizeof(out); i++)
                ASSERT_EQ('#', out[i]) << "seed " << seed << ", text " << text;
            p = next;
        }
    }
}

TEST(Rules, FileNamePartAndAttributeLetters)
{
    struct { const char *path, *name; } names[] = {
        {"C:\\dir\\a.txt", "a.txt"}, {"C:/dir/b", "b"}, {"plain", "plain"}, {"C:\\dir\\", ""},
        {"C:\\表\\ソ", "ソ"}, {"C:\\x\\能", "能"}, {"a\\\x95", "\x95"},
    };
    for (const auto &row : names)
        EXPECT_STREQ(row.name, FileNamePart(row.path)) << "path: " << row.path;

    struct { DWORD attributes; const char *letters; int result; } letters[] = {
        {FILE_ATTRIBUTE_ARCHIVE, "A", 1},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE, "D", 1},
        {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY |
             FILE_ATTRIBUTE_COMPRESSED, "SAHRC", 1},
        {FILE_ATTRIBUTE_NORMAL, "", 1},
        {INVALID_FILE_ATTRIBUTES, "", 0},
    };
    for (const auto &row : letters) {
        char out[8] = "junk";
        EXPECT_EQ(row.result, FormatAttributes(row.attributes, out)) << "attributes " << row.attributes;
        EXPECT_STREQ(row.letters, out) << "attributes " << row.attributes;
    }
}

/* The names the list holds, in its order, and that the slots after the count are null. */
static std::string ListedNames(FileList list, DWORD count)
{
    std::string names;
    for (DWORD i = 0; i < count; i++)
        names += std::string(i ? " " : "") + FileNamePart(list[i]->path) + (lstrcmpA(list[i]->newName, FileNamePart(list[i]->path)) ? "!" : "");
    if (list[count] || list[count + 1])
        names += " <no null slots>";
    return names;
}

TEST(Rules, FileListKeepsTheExistingPaths)
{
    TempFolder folder;
    folder.MakeFile("a.txt");
    folder.MakeFile("b c.txt");
    folder.MakeFile("表紙.txt");
    folder.MakeFolder("dir");
    std::string d = folder.dir + "\\";
    struct { std::string text, names; } rows[] = {
        {"\"" + d + "b c.txt\" " + d + "a.txt \"" + d + "none.txt\" \"" + d + "表紙.txt\"", "b c.txt a.txt 表紙.txt"},
        {"\"" + d + "a.txt\"\"" + d + "a.txt\"" + d + "dir", "a.txt a.txt dir"},
        {d + "a.txt\t" + d + "dir", ""},                    /* a tab does not end an unquoted path */
        {d + "dir \"" + d + "dir\\\"", "dir "},             /* a trailing separator names the inside */
        {"\"" + d + std::string(300, 'x') + "\"", ""},
        {"", ""},
    };
    for (const auto &row : rows) {
        DWORD count = 99;
        FileList list = BuildFileList(row.text.c_str(), &count);
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(row.names, ListedNames(list, count)) << "text: " << row.text;
        FreeFileList(list);
    }
}

static FileList MakeList(const std::vector<std::string> &paths)
{
    FileList list = (FileList)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (paths.size() + 2) * sizeof(FileEntry *));
    for (size_t i = 0; i < paths.size(); i++) {
        list[i] = (FileEntry *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FileEntry));
        lstrcpyA(list[i]->path, paths[i].c_str());
    }
    return list;
}

/* The order the program promises: a plain exchange sort by CompareStringA. */
static void ReferenceSort(FileList list, DWORD count)
{
    for (DWORD k = 0; k + 1 < count; k++)
        for (DWORD i = k + 1; i < count; i++)
            if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH, list[k]->path, -1, list[i]->path, -1) == CSTR_GREATER_THAN)
                std::swap(list[k], list[i]);
}

TEST(Rules, SortFollowsTheCompareStringExchangeSort)
{
    std::vector<std::vector<std::string>> rows = {
        {"D:\\e.txt", "D:\\E.txt", "D:\\b.txt", "D:\\a.txt"},
        {"x\\ｱ.txt", "x\\ア.txt", "x\\Ａ", "x\\A", "x\\12", "x\\１２", "x\\a"},
        {"same", "same", "other", "same", "other"},
        {"z", "y"},
    };
    std::vector<std::string> many;
    srand(7);
    for (int i = 0; i < 300; i++)
        many.push_back("C:\\" + std::to_string(rand() % 50) + (rand() % 2 ? "ｶﾞ" : "ガ"));
    rows.push_back(many);
    for (const auto &paths : rows) {
        FileList sorted = MakeList(paths), expected = MakeList(paths);
        std::vector<FileEntry *> entries(sorted, sorted + paths.size());
        for (size_t i = 0; i < paths.size(); i++)
            expected[i] = entries[i];
        SortFileList(sorted, paths.size());
        ReferenceSort(expected, paths.size());
        for (size_t i = 0; i < paths.size(); i++)
            EXPECT_EQ(expected[i], sorted[i]) << "slot " << i << " of a list starting " << paths[0] << ": expected "
                                              << expected[i]->path << ", got " << sorted[i]->path;
        FreeFileList(sorted);
        HeapFree(GetProcessHeap(), 0, expected);
    }
    FileList list = MakeList({"c", "b", "a"});
    SortFileList(list, 2);
    EXPECT_STREQ("a", list[2]->path) << "only the first count slots are sorted";
    FreeFileList(list);
}

/* Names that can only reach a rename by some other way than the dialog's checks. */
TEST(Rules, RenameEntryRefusesWhatTheShellWouldMisuse)
{
    TempFolder folder;
    folder.MakeFile("a.txt");
    folder.MakeFile("there.txt");
    folder.MakeFolder("sub");
    struct { std::string path, newName; BOOL renamed; } rows[] = {
        {folder.Path("a.txt"), "sub\\x.txt", FALSE}, {folder.Path("a.txt"), "*.txt", FALSE},
        {folder.Path("a.txt"), "there.txt", FALSE},  {folder.Path("a.txt"), "", FALSE},
        {folder.Path("a.txt"), std::string(MAX_PATH - folder.dir.size() - 1, 'n'), FALSE},
        {folder.Path("sub") + "\\", "sub2", FALSE},   {folder.Path("none.txt"), "b.txt", FALSE},
        {folder.Path("a.txt"), "b.txt", TRUE},        {folder.Path("sub"), "sub2", TRUE},
    };
    for (const auto &row : rows) {
        FileEntry entry = {};
        lstrcpynA(entry.path, row.path.c_str(), PATH_TEXT);
        lstrcpynA(entry.newName, row.newName.c_str(), PATH_TEXT);
        EXPECT_EQ(row.renamed, RenameEntry(&entry)) << row.path << " to " << row.newName;
    }
    EXPECT_EQ("b.txt<a.txt sub2/ there.txt<there.txt", folder.Listing());
}

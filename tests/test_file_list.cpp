/* The command line's options and tokens, the file list built from real files, its order, and the
   small text rules that every part of the program relies on. */
#include "test_support.h"
#include "brisknote.h"

static std::vector<std::string> Tokens(const char *text)
{
    std::vector<std::string> tokens;
    do {
        char out[PATH_TEXT] = "<not copied>";
        text = NextToken(text, out, PATH_TEXT);
        tokens.push_back(out);
    } while (*text);
    return tokens;
}

TEST(Options, LeadingOptionsSetTheirBits)
{
    EXPECT_STREQ("a.txt", ParseOptions("/p a.txt"));
    EXPECT_EQ(OPTION_LIST, g_options);
    EXPECT_STREQ("a.txt", ParseOptions("  /t /p a.txt"));
    EXPECT_EQ(OPTION_LIST | OPTION_TOPMOST, g_options);
}

TEST(Options, CannotBeGroupedAndConsumeTheCharacterAfterTheLetter)
{
    EXPECT_STREQ("a.txt", ParseOptions("/pt a.txt"));
    EXPECT_EQ(OPTION_LIST, g_options);
    EXPECT_STREQ("t a.txt", ParseOptions("/p/t a.txt"));
    EXPECT_EQ(OPTION_LIST, g_options);
}

TEST(Options, OtherLettersAreIgnoredAndCaseCounts)
{
    EXPECT_STREQ("a.txt", ParseOptions("/P a.txt"));
    EXPECT_EQ(0u, g_options);
    EXPECT_STREQ("a.txt", ParseOptions("/x a.txt"));
    EXPECT_EQ(0u, g_options);
}

TEST(Options, NeverScanPastTheEnd)
{
    const char *tail = "a.txt /t";
    EXPECT_EQ(tail, ParseOptions(tail)) << "a slash after a path is part of the paths";
    const char *endsInOption = "/p /t";
    EXPECT_STREQ("", ParseOptions(endsInOption));
    EXPECT_EQ(OPTION_LIST | OPTION_TOPMOST, g_options);
    EXPECT_STREQ("", ParseOptions("/"));
    EXPECT_STREQ("", ParseOptions("/p"));
    EXPECT_EQ(OPTION_LIST, g_options);
    EXPECT_STREQ("\ta.txt", ParseOptions("/t \ta.txt")) << "only blanks are skipped";
}

TEST(Tokens, QuotedAndUnquoted)
{
    auto tokens = Tokens("\"D:\\My Files\\a b.txt\" D:\\d.txt");
    ASSERT_EQ(2u, tokens.size());
    EXPECT_EQ("D:\\My Files\\a b.txt", tokens[0]);
    EXPECT_EQ("D:\\d.txt", tokens[1]);
}

TEST(Tokens, AdjacentQuotedPathsAreTwoTokens)
{
    auto tokens = Tokens("\"a.txt\"\"b c.txt\"");
    ASSERT_EQ(2u, tokens.size());
    EXPECT_EQ("a.txt", tokens[0]);
    EXPECT_EQ("b c.txt", tokens[1]);
}

TEST(Tokens, TabDoesNotEndAnUnquotedTokenButIsSkippedAfterOne)
{
    auto tokens = Tokens("D:\\a.txt\tD:\\b.txt");
    ASSERT_EQ(1u, tokens.size());
    EXPECT_EQ("D:\\a.txt\tD:\\b.txt", tokens[0]);
    tokens = Tokens("a \t b");
    ASSERT_EQ(2u, tokens.size());
    EXPECT_EQ("b", tokens[1]);
}

TEST(Tokens, UnterminatedQuoteRunsToTheEnd)
{
    auto tokens = Tokens("\"a b.txt");
    ASSERT_EQ(1u, tokens.size());
    EXPECT_EQ("a b.txt", tokens[0]);
}

TEST(Tokens, QuoteInsideUnquotedTokenIsOrdinary)
{
    auto tokens = Tokens("a\"b c");
    ASSERT_EQ(2u, tokens.size());
    EXPECT_EQ("a\"b", tokens[0]);
}

TEST(Tokens, LengthLimitCountsTheClosingBlankOrQuote)
{
    std::string n259(259, 'x'), n260(260, 'y');
    EXPECT_EQ(n259, Tokens((n259 + " z").c_str())[0]);
    EXPECT_EQ("<not copied>", Tokens((n260 + " z").c_str())[0]);
    EXPECT_EQ("z", Tokens((n260 + " z").c_str())[1]) << "the next token is still found";
    EXPECT_EQ(n260, Tokens(n260.c_str())[0]);
    EXPECT_EQ("<not copied>", Tokens(("\"" + n260 + "\"").c_str())[0]);
    EXPECT_EQ(n259, Tokens(("\"" + n259 + "\"").c_str())[0]);
    EXPECT_EQ("<not copied>", Tokens(std::string(261, 'w').c_str())[0]);
}

TEST(Tokens, NoWriteBeyondTheBuffer)
{
    char out[16];
    memset(out, '#', sizeof(out));
    NextToken("abcdefghijklmnopqrstuvwxyz", out + 4, 8);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ('#', out[i]) << "byte " << i << " was written";
    NextToken("abcdef", out + 4, 8);
    EXPECT_STREQ("abcdef", out + 4);
    EXPECT_EQ('#', out[3]);
    EXPECT_EQ('#', out[12]);
}

TEST(FileNamePart, AfterTheLastSeparator)
{
    EXPECT_STREQ("a.txt", FileNamePart("C:\\dir\\a.txt"));
    EXPECT_STREQ("b.txt", FileNamePart("C:/dir\\x/b.txt"));
    EXPECT_STREQ("a.txt", FileNamePart("a.txt"));
    EXPECT_STREQ("", FileNamePart("C:\\dir\\"));
}

TEST(FileNamePart, SecondByteOf0x5CIsNoSeparator)
{
    /* 表 is 0x95 0x5C and ソ 0x83 0x5C in code page 932. */
    EXPECT_STREQ("表.txt", FileNamePart("C:\\dir\\表.txt"));
    EXPECT_STREQ("ソ表", FileNamePart("C:\\ソ\\ソ表"));
    const char trailingLead[] = "C:\\dir\\a\x95";
    EXPECT_STREQ("a\x95", FileNamePart(trailingLead)) << "a lead byte at the end stops the scan";
}

TEST(Attributes, LettersInTheirFixedOrder)
{
    char out[8];
    EXPECT_EQ(1, FormatAttributes(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, out));
    EXPECT_STREQ("AR", out);
    FormatAttributes(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, out);
    EXPECT_STREQ("SDH", out);
    FormatAttributes(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE, out);
    EXPECT_STREQ("D", out) << "D and A exclude each other";
    FormatAttributes(FILE_ATTRIBUTE_NORMAL, out);
    EXPECT_STREQ("", out);
    FormatAttributes(0xFFFFFFF7u & ~FILE_ATTRIBUTE_DIRECTORY, out);
    EXPECT_STREQ("SAHRC", out);
    EXPECT_EQ(0, FormatAttributes(INVALID_FILE_ATTRIBUTES, out));
    EXPECT_STREQ("", out);
}

class FileListTest : public testing::Test {
protected:
    TempFolder folder;
    FileList list = NULL;
    DWORD count = 99;
    void TearDown() override { FreeFileList(list); }
};

TEST_F(FileListTest, KeepsExistingPathsInOrderAndDropsTheRest)
{
    std::string a = folder.MakeFile("a b.txt"), c = folder.MakeFile("c.txt");
    std::string dir = folder.MakeFolder("sub");
    std::string text = "\"" + a + "\" " + folder.Path("missing.txt") + " " + c + " \"" + dir + "\" " + c;
    list = BuildFileList(text.c_str(), &count);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(4u, count);
    EXPECT_EQ(a, list[0]->path);
    EXPECT_STREQ("a b.txt", list[0]->newName);
    EXPECT_EQ(c, list[1]->path);
    EXPECT_EQ(dir, list[2]->path);
    EXPECT_STREQ("sub", list[2]->newName);
    EXPECT_EQ(c, list[3]->path) << "a file named twice gives two entries";
    for (DWORD i = 0; i < count; i++)
        EXPECT_EQ(1, list[i]->renameOk);
    EXPECT_EQ(nullptr, list[4]);
    EXPECT_EQ(nullptr, list[5]) << "one slot for each of the five tokens and two more";
}

TEST_F(FileListTest, EmptyTextGivesAnEmptyListWithTwoNullSlots)
{
    list = BuildFileList("", &count);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0u, count);
    EXPECT_EQ(nullptr, list[0]);
    EXPECT_EQ(nullptr, list[1]);
}

TEST_F(FileListTest, RelativeNameAndTrailingSeparator)
{
    folder.MakeFile("rel.txt");
    char old[MAX_PATH];
    GetCurrentDirectoryA(sizeof(old), old);
    SetCurrentDirectoryA(folder.Dir().c_str());
    std::string text = "rel.txt \"" + folder.Dir() + "\\\"";
    list = BuildFileList(text.c_str(), &count);
    SetCurrentDirectoryA(old);
    ASSERT_EQ(2u, count);
    EXPECT_STREQ("rel.txt", list[0]->path);
    EXPECT_STREQ("rel.txt", list[0]->newName);
    EXPECT_STREQ("", list[1]->newName);
}

TEST_F(FileListTest, TabSeparatedPathsNameNothing)
{
    std::string text = folder.MakeFile("a.txt") + "\t" + folder.MakeFile("b.txt");
    list = BuildFileList(text.c_str(), &count);
    EXPECT_EQ(0u, count);
}

TEST_F(FileListTest, JapaneseNamesWith0x5C)
{
    std::string path = folder.MakeFile("表紙.txt");
    list = BuildFileList(("\"" + path + "\"").c_str(), &count);
    ASSERT_EQ(1u, count);
    EXPECT_STREQ("表紙.txt", list[0]->newName);
}

static FileEntry *Entry(const char *path)
{
    FileEntry *entry = (FileEntry *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FileEntry));
    lstrcpyA(entry->path, path);
    entry->renameOk = 1;
    return entry;
}

static FileList MakeList(std::vector<const char *> paths)
{
    FileList list = (FileList)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (paths.size() + 2) * sizeof(FileEntry *));
    for (size_t i = 0; i < paths.size(); i++)
        list[i] = Entry(paths[i]);
    return list;
}

TEST(Sort, UserLocaleOrderNotByteOrder)
{
    FileList list = MakeList({"D:\\E.txt", "D:\\b.txt", "D:\\a.txt"});
    SortFileList(list, 3);
    EXPECT_STREQ("D:\\a.txt", list[0]->path);
    EXPECT_STREQ("D:\\b.txt", list[1]->path);
    EXPECT_STREQ("D:\\E.txt", list[2]->path);
    FreeFileList(list);
}

TEST(Sort, EqualPathsAreNotStable)
{
    FileList list = MakeList({"B", "B", "A"});
    FileEntry *b1 = list[0], *b2 = list[1];
    SortFileList(list, 3);
    EXPECT_STREQ("A", list[0]->path);
    EXPECT_EQ(b2, list[1]) << "the exchange sort puts the second B first";
    EXPECT_EQ(b1, list[2]);
    FreeFileList(list);
}

TEST(Sort, WidthIsIgnoredAndCaseCounts)
{
    /* Full-width Ａ equals A; a lower-case letter sorts before its capital. */
    FileList list = MakeList({"Ｂ.txt", "A.txt", "a.txt", "b.txt"});
    SortFileList(list, 4);
    EXPECT_STREQ("a.txt", list[0]->path);
    EXPECT_STREQ("A.txt", list[1]->path);
    EXPECT_STREQ("b.txt", list[2]->path);
    EXPECT_STREQ("Ｂ.txt", list[3]->path);
    FreeFileList(list);
}

TEST(Sort, OnlyTheFirstCountSlots)
{
    FileList list = MakeList({"c", "b", "a"});
    SortFileList(list, 2);
    EXPECT_STREQ("b", list[0]->path);
    EXPECT_STREQ("c", list[1]->path);
    EXPECT_STREQ("a", list[2]->path);
    SortFileList(list, 1);
    EXPECT_STREQ("b", list[0]->path);
    FreeFileList(list);
}

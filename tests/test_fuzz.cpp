/* Random command tails against a small reference model of the option and token rules, with guard
   bytes around every output buffer. The seed is fixed unless BRISKNOTE_SEED names another. */
#include "test_support.h"
#include "brisknote.h"
#include <random>
#include <cstdlib>
#include <cstring>
#include <algorithm>

namespace {

struct ModelToken {
    bool copied;
    std::string text;
};

struct Model {
    DWORD options = 0;
    size_t pathsAt = 0;
    std::vector<ModelToken> tokens;
};

/* The rules written out plainly, one character at a time. */
Model ParseModel(const std::string &s, int outSize)
{
    Model m;
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ')
        i++;
    while (i < n && s[i] == '/') {
        if (i + 1 >= n) { i = n; break; }
        if (s[i + 1] == 'p') m.options |= OPTION_LIST;
        if (s[i + 1] == 't') m.options |= OPTION_TOPMOST;
        if (i + 2 >= n) { i = n; break; }
        i += 3;
        while (i < n && s[i] == ' ')
            i++;
    }
    m.pathsAt = i;
    do {
        size_t start, end, next;
        if (i < n && s[i] == '"') {
            start = i + 1;
            end = s.find('"', start);
            if (end == std::string::npos) end = next = n;
            else next = end + 1;
        } else {
            start = i;
            end = s.find(' ', start);
            if (end == std::string::npos) end = next = n;
            else next = end + 1;
        }
        bool copied = next - start < (size_t)outSize;
        m.tokens.push_back({copied, copied ? s.substr(start, end - start) : std::string()});
        i = next;
        while (i < n && (s[i] == ' ' || s[i] == '\t'))
            i++;
    } while (i < n);
    return m;
}

class TailGenerator {
public:
    explicit TailGenerator(unsigned seed) : rng_(seed) {}
    std::string Next()
    {
        std::string s;
        int pieces = Pick(0, 12);
        for (int k = 0; k < pieces; k++)
            AddPiece(s);
        return s;
    }

private:
    std::mt19937 rng_;
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    char Byte(int low, int high) { return (char)Pick(low, high); }
    void AddDoubleByte(std::string &s)
    {
        s += Pick(0, 1) ? Byte(0x81, 0x9F) : Byte(0xE0, 0xFC);
        s += Pick(0, 3) == 0 ? '\\' : Byte(0x40, 0xFC);
    }
    void AddPiece(std::string &s)
    {
        static const char *const options[] = {"/p", "/t", "/P", "/T", "/x", "/", "/pt", "/p/t"};
        switch (Pick(0, 11)) {
        case 0: s += '"'; break;
        case 1: s += std::string(Pick(1, 3), ' '); break;
        case 2: s += '\t'; break;
        case 3: s += options[Pick(0, 7)]; break;
        case 4: s += "\"C:\\dir\\a b.txt\""; break;
        case 5: s += "C:\\x\\y.txt"; break;
        case 6: AddDoubleByte(s); break;
        case 7: s += Pick(0, 1) ? Byte(0x81, 0x9F) : Byte(0xE0, 0xFC); break;   /* a lead byte alone */
        case 8: s += std::string(Pick(258, 262), 'L'); break;
        case 9: s += "\"" + std::string(Pick(257, 261), 'Q') + "\""; break;
        case 10: for (int i = Pick(1, 6); i > 0; i--) s += Byte(0x21, 0x7E); break;
        case 11: for (int i = Pick(1, 4); i > 0; i--) AddDoubleByte(s); break;
        }
    }
};

unsigned FuzzSeed(void)
{
    const char *seed = getenv("BRISKNOTE_SEED");
    return seed && *seed ? (unsigned)strtoul(seed, NULL, 10) : 20261206u;
}

const int GUARD = 32;
const char GUARD_BYTE = (char)0xA5;
const char UNTOUCHED = (char)0x5A;

}  // namespace

TEST(Fuzz, CommandTailsMatchTheModel)
{
    unsigned seed = FuzzSeed();
    printf("command-tail seed %u (BRISKNOTE_SEED=%u repeats this run)\n", seed, seed);
    TailGenerator generator(seed);
    std::mt19937 sizes(seed ^ 0x5eed);
    std::vector<char> buffer(GUARD + 400 + GUARD);
    const int cases = 100000;
    int failures = 0;
    for (int c = 0; c < cases && failures < 5; c++) {
        std::string tail = generator.Next();
        int outSize = c % 4 ? PATH_TEXT : std::uniform_int_distribution<int>(1, 400)(sizes);
        Model model = ParseModel(tail, outSize);
        const char *paths = ParseOptions(tail.c_str());
        bool ok = g_options == model.options && (size_t)(paths - tail.c_str()) == model.pathsAt;
        const char *p = paths;
        for (size_t t = 0; ok && t < model.tokens.size(); t++) {
            std::fill(buffer.begin(), buffer.end(), GUARD_BYTE);
            std::fill(buffer.begin() + GUARD, buffer.begin() + GUARD + outSize, UNTOUCHED);
            char *out = &buffer[GUARD];
            p = NextToken(p, out, outSize);
            for (int g = 0; g < GUARD; g++) {
                ok = ok && buffer[g] == GUARD_BYTE && buffer[GUARD + outSize + g] == GUARD_BYTE;
            }
            if (model.tokens[t].copied)
                ok = ok && model.tokens[t].text == out;
            else
                ok = ok && std::all_of(out, out + outSize, [](char b) { return b == UNTOUCHED; });
        }
        ok = ok && *p == 0;
        if (!ok) {
            failures++;
            ADD_FAILURE() << "case " << c << " (seed " << seed << ", out size " << outSize << ") differs: ["
                          << tail << "]";
        }
    }
    EXPECT_EQ(0, failures);
}

TEST(Fuzz, FileListKeepsExactlyTheExistingTokens)
{
    unsigned seed = FuzzSeed();
    std::mt19937 rng(seed);
    TempFolder folder;
    std::vector<std::string> existing = {folder.MakeFile("a.txt"), folder.MakeFile("b c.txt"),
                                         folder.MakeFile("表紙.txt"), folder.MakeFolder("dir")};
    std::string missing = folder.Path("missing.txt");
    for (int c = 0; c < 2000; c++) {
        std::string tail;
        std::vector<std::string> expected;
        int tokens = std::uniform_int_distribution<int>(0, 8)(rng);
        for (int t = 0; t < tokens; t++) {
            int pick = std::uniform_int_distribution<int>(0, 5)(rng);
            bool quoted = pick >= 4 || std::uniform_int_distribution<int>(0, 1)(rng);
            const std::string &path = pick < 4 ? existing[pick] : missing;
            bool hasBlank = path.find(' ') != std::string::npos;
            tail += quoted || hasBlank ? "\"" + path + "\"" : path;
            tail += std::uniform_int_distribution<int>(0, 2)(rng) ? " " : (quoted || hasBlank ? "" : " ");
            if (pick < 4)
                expected.push_back(path);
        }
        DWORD count = 99;
        FileList list = BuildFileList(tail.c_str(), &count);
        ASSERT_NE(nullptr, list);
        ASSERT_EQ(expected.size(), count) << "tail [" << tail << "]";
        for (DWORD i = 0; i < count; i++)
            EXPECT_EQ(expected[i], list[i]->path);
        EXPECT_EQ(nullptr, list[count]);
        FreeFileList(list);
    }
}

namespace {

/* The plain exchange sort with CompareStringA: the order the program must keep. */
void ReferenceSort(std::vector<FileEntry *> &list)
{
    for (size_t k = 0; k + 1 < list.size(); k++) {
        for (size_t i = k + 1; i < list.size(); i++) {
            if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH, list[k]->path, -1, list[i]->path, -1) ==
                CSTR_GREATER_THAN)
                std::swap(list[k], list[i]);
        }
    }
}

/* Path pieces that sort close to each other: both cases, digits, half- and full-width forms,
   kana and kanji, voiced marks written as one or two characters. */
const char *const g_pieces[] = {
    "a", "A", "b", "B", "e", "E", "z", "1", "2", "10", "１", "２", "Ａ", "ａ", "Ｂ", "ｱ", "ア", "あ", "ｶﾞ",
    "ガ", "か", "表", "ソ", "能", "漢", "_", "-", ".", " ", "~", "\\", "C:\\d\\", "C:\\D\\", "'",
};

std::string RandomPath(std::mt19937 &rng, const std::vector<std::string> &earlier)
{
    int pick = std::uniform_int_distribution<int>(0, 9)(rng);
    if (!earlier.empty() && pick == 0)      /* a duplicate */
        return earlier[std::uniform_int_distribution<size_t>(0, earlier.size() - 1)(rng)];
    std::string path;
    if (!earlier.empty() && pick == 1)      /* a prefix of another, or another with more after it */
        path = earlier[std::uniform_int_distribution<size_t>(0, earlier.size() - 1)(rng)];
    int pieces = std::uniform_int_distribution<int>(pick == 1 ? 0 : 1, 6)(rng);
    const int count = sizeof(g_pieces) / sizeof(g_pieces[0]);
    for (int i = 0; i < pieces; i++)
        path += g_pieces[std::uniform_int_distribution<int>(0, count - 1)(rng)];
    if (pick == 2 && path.size() > 1)
        path.resize(path.size() / 2);
    if (path.empty() || IsDBCSLeadByte((BYTE)path.back()))
        path += "x";
    return path;
}

}  // namespace

TEST(Fuzz, SortKeepsTheCompareStringOrder)
{
    unsigned seed = FuzzSeed();
    std::mt19937 rng(seed);
    for (int c = 0; c < 300; c++) {
        int n = std::uniform_int_distribution<int>(2, c % 10 == 0 ? 200 : 25)(rng);
        std::vector<std::string> paths;
        for (int i = 0; i < n; i++)
            paths.push_back(RandomPath(rng, paths));
        FileList list = (FileList)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (n + 2) * sizeof(FileEntry *));
        for (int i = 0; i < n; i++) {
            list[i] = (FileEntry *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FileEntry));
            lstrcpynA(list[i]->path, paths[i].c_str(), PATH_TEXT);
            list[i]->renameOk = 1;
        }
        std::vector<FileEntry *> expected(list, list + n);
        ReferenceSort(expected);
        SortFileList(list, n);
        for (int i = 0; i < n; i++) {
            ASSERT_EQ(expected[i], list[i]) << "case " << c << " (seed " << seed << "), slot " << i << ": expected "
                                            << expected[i]->path << ", got " << list[i]->path;
            EXPECT_EQ(1, list[i]->renameOk);
        }
        FreeFileList(list);
    }
}

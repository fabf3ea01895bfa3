/* Nothing is lost: bad names pasted or typed, odd paths, and other programs changing the files
   between start-up and OK. Every file either gets its new name, with its content, or stays as it
   was and is offered again. */
#include "test_support.h"
#include "brisknote.h"
#include "resource.h"
#include <algorithm>
#include <cstring>

static void Paste(HWND dlg, const std::string &text)
{
    HWND edit = GetDlgItem(dlg, IDC_NEW_NAME);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(dlg));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_PASTE, 0, 0);
}

/* The names in the folder, to prove nothing else appeared or went. */
static std::vector<std::string> Listing(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, ".."))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

static const char g_enterName[] = "Quillmark(1/1) 名前を入力してください。";

class FaultsTest : public RenameDialogTest {};

TEST_F(FaultsTest, PastedForbiddenCharactersNeverReachTheShell)
{
    std::string a = folder.MakeFile("a.txt");
    folder.MakeFile("ab.txt");
    folder.MakeFolder("sub");
    Open({a});
    const char forbidden[] = "\"*/:<>?\\|";
    for (const char *c = forbidden; *c; c++) {
        std::string variants[] = {std::string(1, *c) + "x.txt", "x" + std::string(1, *c) + "y.txt",
                                  "x.txt" + std::string(1, *c)};
        for (const std::string &name : variants) {
            Paste(dlg, name);
            ASSERT_EQ(name, ItemText(dlg, IDC_NEW_NAME)) << "a paste is not filtered";
            Command(dlg, IDOK);
            EXPECT_EQ(g_enterName, WindowText(dlg)) << name;
        }
    }
    Paste(dlg, "sub\\a.txt");
    Command(dlg, IDOK);
    Paste(dlg, "a*");
    Command(dlg, IDOK);
    EXPECT_FALSE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
    EXPECT_EQ(ContentOf("ab.txt"), ReadContent(folder.Path("ab.txt")));
    EXPECT_EQ((std::vector<std::string>{"a.txt", "ab.txt", "sub"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, ABadNameStoredSomehowIsStillRefusedAtTheShell)
{
    std::string a = folder.MakeFile("a.txt");
    folder.MakeFile("ab.txt");
    DWORD count = 0;
    FileList list = BuildFileList(("\"" + a + "\"").c_str(), &count);
    const char *names[] = {"a*", "..\\a.txt", "x:y", ""};
    for (const char *name : names) {
        lstrcpyA(list[0]->newName, name);
        EXPECT_FALSE(RenameEntry(list[0])) << name;
    }
    FreeFileList(list);
    EXPECT_EQ(ContentOf("ab.txt"), ReadContent(folder.Path("ab.txt")));
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
}

TEST_F(FaultsTest, OverlongBlankAndDotNames)
{
    std::string a = folder.MakeFile("a.txt");
    Open({a});
    const char *unusable[] = {"   ", "\t\t", " \t", "."};
    for (const char *name : unusable) {
        TypeName(dlg, name);
        Command(dlg, IDOK);
        EXPECT_EQ(g_enterName, WindowText(dlg)) << "'" << name << "'";
    }
    TypeName(dlg, "..");
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(1/1) 既に存在している名前です。", WindowText(dlg));
    for (int length : {260, 300, 1000}) {
        MessageBoxAnswerer answerer(IDYES);
        TypeName(dlg, std::string(length, 'n'));
        Command(dlg, IDOK);
        EXPECT_EQ(1u, answerer.texts.size()) << "a name of " << length << " bytes fails and is offered again";
        ASSERT_EQ(1u, g_entryCount);
    }
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(a));
    EXPECT_EQ((std::vector<std::string>{"a.txt"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, DeviceNamesRenameNothing)
{
    std::string a = folder.MakeFile("a.txt");
    Open({a});
    for (const char *name : {"CON", "nul.txt", "aux", "COM1.txt"}) {
        MessageBoxAnswerer answerer(IDYES);
        TypeName(dlg, name);
        Command(dlg, IDOK);
        EXPECT_FALSE(Ended()) << name;
        EXPECT_EQ(ContentOf("a.txt"), ReadContent(a)) << name;
    }
    EXPECT_EQ((std::vector<std::string>{"a.txt"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, PathsAtThePlatformLimit)
{
    std::vector<std::string> paths;
    for (size_t length : {259u, 260u, 261u}) {
        std::string path = folder.Dir() + "\\" + std::string(length - folder.Dir().size() - 1, 'a' + length % 10);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        CloseHandle(file);
        paths.push_back(path);
    }
    Open(paths);
    EXPECT_EQ(1u, g_entryCount) << "only a path of 259 bytes can be renamed";
    EXPECT_EQ(paths[0], g_entries[0]->path);
    std::string name(paths[0].size() - folder.Dir().size() - 1, 'z');
    TypeName(dlg, name);
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(Exists(folder.Path(name)));
}

TEST_F(FaultsTest, TrailingSeparatorNeverMovesAFolderIntoItself)
{
    std::string dir = folder.MakeFolder("dir");
    folder.MakeFile("dir\\inside.txt");
    Open({dir + "\\"});
    EXPECT_EQ("", ItemText(dlg, IDC_NEW_NAME));
    MessageBoxAnswerer answerer(IDNO);
    TypeName(dlg, "moved");
    Command(dlg, IDOK);
    EXPECT_EQ(1u, answerer.texts.size()) << "failed and offered again";
    EXPECT_EQ(ContentOf("dir\\inside.txt"), ReadContent(folder.Path("dir\\inside.txt")));
    EXPECT_EQ((std::vector<std::string>{"inside.txt"}), Listing(dir));
}

TEST_F(FaultsTest, AFileNamedTwice)
{
    std::string a = folder.MakeFile("a.txt");
    Open({a, a});
    ASSERT_EQ(2u, g_entryCount);
    TypeName(dlg, "first.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "first.txt");
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(2/2) 既に存在している名前です。", WindowText(dlg));
    TypeName(dlg, "second.txt");
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    EXPECT_EQ(1u, answerer.texts.size()) << "the second rename finds the file gone";
    EXPECT_EQ(0u, g_entryCount) << "and the new pass has nothing left to offer";
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("first.txt")));
    EXPECT_EQ((std::vector<std::string>{"first.txt"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, FilesChangedByAnotherProgramBeforeOk)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt"), c = folder.MakeFile("c.txt");
    std::string d = folder.MakeFile("d.txt");
    Open({a, b, c, d});
    const char *names[] = {"a2.txt", "b2.txt", "c2.txt", "d2.txt"};
    for (int i = 0; i < 4; i++) {
        TypeName(dlg, names[i]);
        if (i < 3)
            Command(dlg, IDC_NEXT);
    }
    DeleteFileA(a.c_str());                                          /* deleted */
    MoveFileA(b.c_str(), folder.Path("b-elsewhere.txt").c_str());    /* renamed */
    DeleteFileA(c.c_str());                                          /* replaced by a folder */
    folder.MakeFolder("c.txt");
    folder.MakeFile("c.txt\\inner.txt");
    MessageBoxAnswerer answerer(IDYES);
    Command(dlg, IDOK);
    EXPECT_EQ(1u, answerer.texts.size());
    EXPECT_EQ(0u, g_entryCount) << "the failed files are gone from where they were";
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(folder.Path("b-elsewhere.txt")));
    EXPECT_EQ(ContentOf("c.txt\\inner.txt"), ReadContent(folder.Path("c2.txt\\inner.txt")))
        << "what stands at the path now is renamed, with its content";
    EXPECT_EQ(ContentOf("d.txt"), ReadContent(folder.Path("d2.txt")));
    EXPECT_EQ((std::vector<std::string>{"b-elsewhere.txt", "c2.txt", "d2.txt"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, ReadOnlyFilesAndFoldersWithFiles)
{
    std::string ro = folder.MakeFile("ro.txt");
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string dir = folder.MakeFolder("photos");
    folder.MakeFile("photos\\1.jpg");
    folder.MakeFile("photos\\2.jpg");
    Open({ro, dir});
    TypeName(dlg, "pictures");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "ro2.txt");
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("ro.txt"), ReadContent(folder.Path("ro2.txt")));
    EXPECT_TRUE(GetFileAttributesA(folder.Path("ro2.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ContentOf("photos\\1.jpg"), ReadContent(folder.Path("pictures\\1.jpg")));
    EXPECT_EQ(ContentOf("photos\\2.jpg"), ReadContent(folder.Path("pictures\\2.jpg")));
    SetFileAttributesA(folder.Path("ro2.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FaultsTest, ARetryThatFailsTwiceThenNo)
{
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt");
    Open({a, b});
    TypeName(dlg, "a2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "b2.txt");
    HANDLE held = HoldOpen(b);
    for (int pass = 0; pass < 2; pass++) {
        MessageBoxAnswerer answerer(IDYES);
        Command(dlg, IDOK);
        EXPECT_EQ(1u, answerer.texts.size());
        ASSERT_EQ(1u, g_entryCount) << "pass " << pass;
        EXPECT_EQ("b.txt", ItemText(dlg, IDC_NEW_NAME));
        TypeName(dlg, "b3.txt");
    }
    MessageBoxAnswerer answerer(IDNO);
    Command(dlg, IDOK);
    CloseHandle(held);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("a2.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(b));
    EXPECT_EQ((std::vector<std::string>{"a2.txt", "b.txt"}), Listing(folder.Dir()));
}

TEST_F(FaultsTest, SamePendingNameInTwoFoldersAndChains)
{
    TempFolder other;
    std::string a = folder.MakeFile("a.txt"), b = folder.MakeFile("b.txt"), x = other.MakeFile("x.txt");
    Open({a, b, x});
    TypeName(dlg, "b.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(1/3) 既に存在している名前です。", WindowText(dlg)) << "a to b while b exists";
    TypeName(dlg, "same.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "a.txt");
    Command(dlg, IDC_NEXT);
    EXPECT_EQ("Quillmark(2/3) 既に存在している名前です。", WindowText(dlg)) << "a still exists on disk";
    TypeName(dlg, "b2.txt");
    Command(dlg, IDC_NEXT);
    TypeName(dlg, "same.txt");
    Command(dlg, IDOK);
    EXPECT_EQ("Quillmark(3/3) 既に存在している名前です。", WindowText(dlg)) << "another folder's pending name";
    TypeName(dlg, "x2.txt");
    Command(dlg, IDOK);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("same.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(folder.Path("b2.txt")));
    EXPECT_EQ(ContentOf("x.txt"), ReadContent(other.Path("x2.txt")));
}

TEST(Limits, TwoThousandFilesAreListedInOrder)
{
    TempFolder folder;
    std::string tail;
    for (int i = 1999; i >= 0; i--) {
        char name[16];
        wsprintfA(name, "f%04d", i);
        tail += folder.MakeFile(name) + " ";
    }
    DWORD count = 0;
    FileList list = BuildFileList(tail.c_str(), &count);
    ASSERT_EQ(2000u, count);
    SortFileList(list, count);
    for (DWORD i = 0; i + 1 < count; i++) {
        ASSERT_NE(CSTR_GREATER_THAN, CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNOREWIDTH, list[i]->path, -1,
                                                    list[i + 1]->path, -1)) << "at " << i;
    }
    EXPECT_STREQ("f0000", list[0]->newName);
    EXPECT_STREQ("f1999", list[1999]->newName);
    FreeFileList(list);
}

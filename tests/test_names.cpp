/* When a name may become an entry's new name, and renaming one entry's file on disk. */
#include "test_support.h"
#include "brisknote.h"

class NamesTest : public testing::Test {
protected:
    TempFolder folder;
    TempFolder other;
    FileList list = NULL;
    DWORD count = 0;
    void Build(const std::vector<std::string> &paths)
    {
        std::string text;
        for (auto &p : paths)
            text += "\"" + p + "\"";
        list = BuildFileList(text.c_str(), &count);
    }
    void TearDown() override { FreeFileList(list); }
};

TEST_F(NamesTest, KeepingTheCurrentNameIsAlwaysAllowed)
{
    Build({folder.MakeFile("a.txt"), other.MakeFile("b.txt")});
    lstrcpyA(list[1]->newName, "a.txt");
    EXPECT_FALSE(IsNameTaken(list, "a.txt", 0));
}

TEST_F(NamesTest, AnotherEntrysPendingNameIsTakenWhateverItsFolder)
{
    Build({folder.MakeFile("a.txt"), other.MakeFile("b.txt")});
    lstrcpyA(list[1]->newName, "new.txt");
    EXPECT_TRUE(IsNameTaken(list, "new.txt", 0));
    EXPECT_TRUE(IsNameTaken(list, "b.txt", 1) == FALSE);
    EXPECT_FALSE(IsNameTaken(list, "free.txt", 0));
}

TEST_F(NamesTest, SwappingTwoNamesIsRefused)
{
    Build({folder.MakeFile("a.txt"), folder.MakeFile("b.txt")});
    EXPECT_TRUE(IsNameTaken(list, "b.txt", 0));
    EXPECT_TRUE(IsNameTaken(list, "a.txt", 1));
}

TEST_F(NamesTest, SomethingExistingBesideTheFileIsTaken)
{
    Build({folder.MakeFile("a.txt")});
    folder.MakeFile("there.txt");
    folder.MakeFolder("dir");
    EXPECT_TRUE(IsNameTaken(list, "there.txt", 0));
    EXPECT_TRUE(IsNameTaken(list, "dir", 0));
    EXPECT_TRUE(IsNameTaken(list, "..", 0)) << "the parent folder exists";
    EXPECT_TRUE(IsNameTaken(list, "A.TXT", 0)) << "the file system ignores case";
    EXPECT_FALSE(IsNameTaken(list, "other.txt", 0));
}

TEST_F(NamesTest, LongJoinedNameIsNotTruncatedIntoAnExistingOne)
{
    Build({folder.MakeFile("a.txt")});
    std::string longName(300, 'n');
    /* Cut to 260 bytes, the joined path could name an existing file; it must not be looked up cut. */
    EXPECT_FALSE(IsNameTaken(list, longName.c_str(), 0));
}

TEST_F(NamesTest, RenameEntryKeepsTheContent)
{
    Build({folder.MakeFile("a.txt")});
    lstrcpyA(list[0]->newName, "名前 表.txt");
    EXPECT_TRUE(RenameEntry(list[0]));
    EXPECT_FALSE(Exists(folder.Path("a.txt")));
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("名前 表.txt")));
}

TEST_F(NamesTest, RenameEntryNeverReplacesATargetThatAppeared)
{
    Build({folder.MakeFile("a.txt")});
    lstrcpyA(list[0]->newName, "b.txt");
    folder.MakeFile("b.txt");
    EXPECT_FALSE(RenameEntry(list[0]));
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path("a.txt")));
    EXPECT_EQ(ContentOf("b.txt"), ReadContent(folder.Path("b.txt")));
}

TEST_F(NamesTest, RenameEntryRefusesPathsBeyondThePlatformLimit)
{
    Build({folder.MakeFile("a.txt")});
    std::string name(MAX_PATH - folder.Dir().size() - 1, 'z');
    lstrcpyA(list[0]->newName, name.c_str());
    EXPECT_FALSE(RenameEntry(list[0])) << "a 260-byte target must not reach the shell";
    EXPECT_TRUE(Exists(folder.Path("a.txt")));
    name.resize(name.size() - 1);
    lstrcpyA(list[0]->newName, name.c_str());
    EXPECT_TRUE(RenameEntry(list[0])) << "259 bytes are still a path";
    EXPECT_EQ(ContentOf("a.txt"), ReadContent(folder.Path(name)));
}

TEST_F(NamesTest, RenameEntryOfAVanishedFileFails)
{
    Build({folder.MakeFile("a.txt")});
    lstrcpyA(list[0]->newName, "b.txt");
    DeleteFileA(folder.Path("a.txt").c_str());
    EXPECT_FALSE(RenameEntry(list[0]));
    EXPECT_FALSE(Exists(folder.Path("b.txt")));
}

TEST_F(NamesTest, RenameEntryMovesAFolderWithItsFiles)
{
    std::string dir = folder.MakeFolder("dir");
    folder.MakeFile("dir\\inside.txt");
    Build({dir});
    lstrcpyA(list[0]->newName, "renamed");
    EXPECT_TRUE(RenameEntry(list[0]));
    EXPECT_EQ(ContentOf("dir\\inside.txt"), ReadContent(folder.Path("renamed\\inside.txt")));
}

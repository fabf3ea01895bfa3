/* Helpers shared by the tests: a folder of real files, the dialog under test, message boxes. */
#ifndef BRISKNOTE_TEST_SUPPORT_H
#define BRISKNOTE_TEST_SUPPORT_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>

/* A fresh folder under base (the temporary folder by default), removed with all it holds. */
struct TempFolder {
    std::string dir;
    explicit TempFolder(const std::string &base = "");
    ~TempFolder();
    std::string Path(const std::string &name) const { return dir + "\\" + name; }
    /* A file whose content names it ("content of NAME"); returns its full path. */
    std::string MakeFile(const std::string &name) const;
    std::string MakeFolder(const std::string &name) const;
    /* Every name in the folder, sorted, as "name<origin" where origin is the name the file was
       made with (from its content), or "name/" for a folder: nothing else appeared or went. */
    std::string Listing() const;
};

std::string ReadContent(const std::string &path);
bool Exists(const std::string &path);
/* Brisknote.exe, which the build puts beside the test programs. */
std::string ProgramPath(void);
/* Holds a file open without delete sharing, so that renaming it fails. */
HANDLE HoldOpen(const std::string &path);

void PumpMessages(void);
std::string WindowText(HWND window);
std::string ItemText(HWND dlg, int id);
void TypeName(HWND dlg, const std::string &name);
/* What a click on the control sends. */
void Command(HWND dlg, int id);
/* The selection of an edit control as "start-end". */
std::string Selection(HWND edit);
std::string ListCell(int row, int column);
/* Presses (or releases) a key as the keyboard does, and lets this thread see it. */
void PressKey(WORD key, bool down);

/* Answers every message box of this thread while it lives: first calls meanwhile (the user's
   other doings while the box is up), then answers with answer. Keeps the boxes' texts. */
struct MessageBoxAnswerer {
    explicit MessageBoxAnswerer(int answer, std::function<void()> meanwhile = nullptr);
    ~MessageBoxAnswerer();
    int answer;
    std::function<void()> meanwhile;
    std::vector<std::string> texts;
};

/* A fresh folder of real files and the rename dialog opened on some of them, modeless, from
   the real template and procedure. */
class DialogTest : public testing::Test {
protected:
    TempFolder folder;
    HWND dlg = NULL;
    HWND edit = NULL;
    /* Makes these files (a name ending in "/" is a folder) and opens the dialog on them, each
       path quoted, after the options. */
    void Open(const std::vector<std::string> &names, const std::string &options = "");
    /* Opens on this command tail as it stands. */
    void OpenTail(const std::string &tail);
    /* The dialog has ended: hidden, its list released. */
    bool Ended();
    void TearDown() override;
};

#endif

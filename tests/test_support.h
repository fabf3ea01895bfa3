/* Helpers shared by the tests: a folder of real files, the dialog under test, message boxes. */
#ifndef BRISKNOTE_TEST_SUPPORT_H
#define BRISKNOTE_TEST_SUPPORT_H

#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

/* A fresh folder under the temporary folder, removed with everything in it at the end. */
class TempFolder {
public:
    TempFolder();
    /* A folder right under base, for short paths. */
    explicit TempFolder(const std::string &base);
    ~TempFolder();
    std::string Path(const std::string &name) const { return dir_ + "\\" + name; }
    const std::string &Dir() const { return dir_; }
    /* Makes a file whose content names it, and returns its full path. */
    std::string MakeFile(const std::string &name);
    std::string MakeFolder(const std::string &name);

private:
    std::string dir_;
};

std::string ReadContent(const std::string &path);
bool Exists(const std::string &path);
/* Brisknote.exe, which the build puts beside the test programs. */
std::string ProgramPath(void);
/* The content MakeFile gives a file. */
std::string ContentOf(const std::string &name);

/* Creates the rename dialog modeless from the real template with this command tail, shows it,
   makes it the foreground window and lets it settle. */
HWND OpenRenameDialog(const std::string &tail);
/* Cancels the dialog and destroys it. */
void CloseRenameDialog(HWND dlg);
void PumpMessages(DWORD milliseconds = 0);
std::string WindowText(HWND window);
std::string ItemText(HWND dlg, int id);
void TypeName(HWND dlg, const std::string &name);
void Command(HWND dlg, int id);
DWORD Selection(HWND edit);     /* MAKELONG(start, end) */

/* Holds a file open without delete sharing, so that renaming it fails. */
HANDLE HoldOpen(const std::string &path);
/* The text of a cell of the open list window. */
std::string ListCell(int row, int column);

/* Answers every message box of this thread with `answer` while it lives, and keeps their texts. */
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer);
    ~MessageBoxAnswerer();
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    int answer;
};

/* A fresh folder of real files and the rename dialog opened on some of them. */
class RenameDialogTest : public testing::Test {
protected:
    TempFolder folder;
    HWND dlg = NULL;
    /* Opens the dialog with the options and these paths, each in quotes. */
    std::vector<std::string> paths;
    void Open(const std::vector<std::string> &paths, const std::string &options = "");
    /* Makes files "file01.txt" on (numbered from first) and opens the dialog on them. */
    void OpenNumbered(int files, const std::string &options = "", int first = 1);
    /* Cancel's clean-up ran and the modeless dialog is hidden. */
    bool Ended();
    void TearDown() override;
};

#endif

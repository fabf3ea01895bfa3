/* Brisknote's shared state and the functions each file offers the others, grouped by file. */
#ifndef BRISKNOTE_H
#define BRISKNOTE_H

#include <windows.h>
#include <shellapi.h>

/* Room for a path's text: 260 bytes and the terminator. */
#define PATH_TEXT       (MAX_PATH + 1)
/* Room for a directory joined with a name, neither longer than a path. */
#define JOINED_TEXT     (2 * PATH_TEXT)

#define WM_APP_SHOWENTRY    WM_APP
/* Posted at the end of the dialog's set-up: what the first paint does not need comes after it. */
#define WM_APP_FINISHSTART  (WM_APP + 1)
#define TITLE_TIMER         1000

#define OPTION_LIST     1   /* /p */
#define OPTION_TOPMOST  2   /* /t */

struct FileEntry {
    char path[PATH_TEXT];
    char newName[PATH_TEXT];
    LONG renameOk;
};
typedef FileEntry **FileList;

struct ListWindowParams {
    FileList entries;
    LONG current;
    LONG count;
    BOOL activate;    /* FALSE: shown behind the active window, its list focused when it is activated */
};

/* Files kept only in the cloud; the platform's headers lack the first two. */
#ifndef FILE_ATTRIBUTE_RECALL_ON_OPEN
#define FILE_ATTRIBUTE_RECALL_ON_OPEN           0x00040000
#endif
#ifndef FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
#define FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS    0x00400000
#endif

/* app/startup.cpp */
extern HINSTANCE g_instance;
HMODULE LoadSystemLibrary(const char *name);
BOOL RegisterControlClasses(void);
char *ConvertToCodePage(const WCHAR *wide, UINT codePage, BOOL *lost);
char *ReadCommandLine(void);
const char *CommandTail(const char *line);
const WCHAR *CommandTail(const WCHAR *line);
extern const WCHAR *g_wideCommandLine;
int ReportUnnamablePaths(HWND owner);

/* app/shell.cpp */
DWORD_PTR GetShellFileInfo(const char *path, DWORD attributes, SHFILEINFOA *info, UINT flags);
int RunShellOperation(SHFILEOPSTRUCTA *op);
INT_PTR OpenWithShell(const char *path);

/* app/file_list.cpp */
extern DWORD g_options;
const char *ParseOptions(const char *tail);
const WCHAR *SkipOptions(const WCHAR *tail);
const char *SkipSeparators(const char *p);
const WCHAR *SkipSeparators(const WCHAR *p);
const char *NextToken(const char *text, char *out, int outSize);
const WCHAR *NextToken(const WCHAR *text, WCHAR *out, int outSize);
FileList BuildFileList(const char *text, DWORD *count);
void SortFileList(FileList list, DWORD count);
void ExchangeSortByCompareString(FileList list, DWORD count);
void FreeFileList(FileList list);
const char *FileNamePart(const char *path);
const char *FindExtension(const char *path);
BOOL FileExists(const char *path);
BOOL IsSameNameIgnoringCase(const char *a, const char *b);
BOOL IsSameFile(const char *a, const char *b);
BOOL IsOwnNameInOtherCase(const char *path, const char *name, const char *joined);

/* rename_dialog/rename_dialog.cpp */
extern FileList g_entries;
extern DWORD g_entryCount;
extern DWORD g_current;
extern DWORD g_currentAttributes;
extern HWND g_tooltip;
extern const char g_programWord[];
extern WNDPROC g_editProc;
INT_PTR CALLBACK RenameDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
POINT CenterOnMonitor(const RECT *monitor, int width, int height);
void CenterWindow(HWND window);
UINT ChooseIconFlags(DWORD attributes);
void ShowCounterTitle(DWORD index, HWND dlg, DWORD count);
int FormatAttributes(DWORD attributes, char *out);
BOOL HasCurrentEntry(void);
void SetDefaultButton(HWND dlg, int id);
void FocusControl(HWND dlg, HWND control);
void SelectNamePart(HWND edit);

/* rename_dialog/tooltip.cpp */
HWND CreatePathTooltip(HWND label, UINT toolId);
void UpdatePathTooltip(HWND label, HWND tooltip, UINT toolId, const char *text);

/* rename_dialog/validate.cpp */
extern const char g_nameExistsTitle[];
extern const char g_enterNameTitle[];
extern const char g_openFailedTitle[];
BOOL IsForbiddenNameChar(unsigned code);
BOOL HasForbiddenChar(const char *name);
BOOL JoinPath(const char *path, const char *name, char *out);
BOOL ReadNewName(HWND dlg, char *out, int outSize);
BOOL IsNameTaken(FileList list, const char *candidate, DWORD index);
void ShowErrorTitle(HWND dlg, const char *format, DWORD index, DWORD total);
enum { NAME_OK, NAME_UNUSABLE, NAME_TAKEN };
int CheckTypedName(HWND dlg, char *name);

/* rename_dialog/commit.cpp */
extern int (*g_fileOperation)(SHFILEOPSTRUCTA *op);
BOOL RenameEntry(FileEntry *entry, HWND owner);
FileList CollectFailures(FileList list, HWND dlg, DWORD *count);
void CommitRenames(HWND dlg);
/* What a commit is doing: while it is not COMMIT_NONE, the windows take no command. */
enum { COMMIT_NONE, COMMIT_RENAMING, COMMIT_ASKING };
extern int g_commitState;
BOOL ShowWaitCursor(HWND dlg);

/* rename_dialog/name_edit.cpp */
extern DWORD g_ctrlHeld;
LRESULT CALLBACK NameEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);

/* rename_dialog/menus.cpp */
void AddMenuItem(HMENU menu, const char *text, UINT command, UINT before);
void AddMenuSeparator(HMENU menu, UINT before);
int ExtendSystemMenu(HWND window);
HMENU BuildFileMenu(DWORD count, FileList entries);
void ToggleTopmost(HWND window, HMENU menu, UINT command);
void ShowVersionBox(HWND owner);
void ShowFileMenu(HWND owner, HWND button, DWORD count, FileList entries);
void RevertEntry(FileList entries, DWORD index, HWND dlg);
void RevertAll(FileList entries, HWND dlg, DWORD count, DWORD current);
void RevertCurrent(HWND dlg);
extern INT_PTR (*g_openFile)(const char *path);
void OpenCurrentFile(HWND dlg);

/* list_window/list_window.cpp */
extern HWND g_listWindow;
int OpenListWindow(HWND owner, ListWindowParams *params);
int IsListWindowOpen(void);
BOOL ActivateListWindow(void);
void FollowRenameDialog(HWND dlg);
void SetListNewName(const char *text, DWORD row);
void SelectListRow(DWORD row);
void RefillListWindow(FileList entries);

#endif

/* Resource numbers shared by the .rc files and the code. */
#ifndef BRISKNOTE_RESOURCE_H
#define BRISKNOTE_RESOURCE_H

#define IDI_APP             107
#define IDD_RENAME          129
#define IDD_LIST            132

#define IDC_STATIC          (-1)
#define IDC_NEW_NAME        1001
#define IDC_CURRENT_NAME    1002
#define IDC_ATTRIBUTES      1004
#define IDC_NEXT            1005
#define IDC_PREV            1007
#define IDC_FILE_ICON       1008
#define IDC_MENU_BUTTON     1010
#define IDC_LIST            1013

/* System-menu commands (WM_SYSCOMMAND). */
#define IDM_VERSION         1000
#define IDM_TOPMOST         1001

/* Dialog commands (WM_COMMAND). */
#define IDM_REVERT_EDIT     2000
#define IDM_OPEN            2002
#define IDM_REVERT_ALL      2003
#define IDM_REVERT          2004
#define IDM_SHOW_LIST       2005
#define IDM_JUMP_BASE       2006

#endif

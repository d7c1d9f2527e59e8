// Resource identifiers of instsync: string table, dialogs, controls.
#pragma once

#define IDS_TITLE            120
#define IDS_DIALOG_TITLE     121
#define IDS_ABOUT_MENU       122
#define IDS_REGKEY_MISSING   123
#define IDS_DEFAULT_REGKEY   130
#define IDS_DEFAULT_MINVER   131
#define IDS_HELP             135

// Error texts; each id is also the program's exit code for that error.
#define IDS_ERR_INVALID_FLAG       140
#define IDS_ERR_INVALID_PARAMETER  141
#define IDS_ERR_NO_REGKEY          142
#define IDS_ERR_REGKEY_NOT_FOUND   143
#define IDS_ERR_TARGET_MISSING     144
#define IDS_ERR_SOURCE_MISSING     145
#define IDS_ERR_MINVER_FORM        146
#define IDS_ERR_LEVEL_TOO_LOW      147
#define IDS_ERR_COPY_FAILED        148
#define IDS_ERR_CYCLIC_COPY        149

#define IDD_INSTSYNC   100
#define IDD_ABOUT      101
#define IDC_FILEPATH   1000
#define IDC_REGKEY     1001
#define IDC_MINVER     1002
#define IDC_ABOUT_NAME 1003
#define IDC_STATIC     -1

// System menu command; below 0xF000 as the system menu requires.
#define IDM_ABOUTBOX   0x0010

// Resource identifiers of kvtcfg.
#pragma once

#define IDI_KVTCFG 1
#define IDD_KVTCFG 100
#define IDD_ABOUTBOX 101
#define IDB_LOGO 102

#define IDC_NODENAME 1000
#define IDC_SUMMARY 1001
#define IDC_STATIC_TEXT -1

// System menu command of the About box.
#define IDM_ABOUTBOX 16

#define IDS_TITLE 1
#define IDS_USAGE 2
#define IDS_NO_CLIENT_DIR 3
#define IDS_SUMMARY_CONTACT 4
#define IDS_SUMMARY_PATH 5
#define IDS_SUMMARY_PARAMETERS 6
#define IDS_NODE_EMPTY 7
#define IDS_CREATED 8
#define IDS_CREATED_TAIL 9
#define IDS_BASE_MISSING 10
#define IDS_BASE_MISSING_TAIL 11
#define IDS_INVALID_ARGUMENT 12
#define IDS_WRITE_FAILED 13
#define IDS_WRITE_FAILED_TAIL 14
#define IDS_NODE_TOO_LONG 15
#define IDS_ABOUT_MENU 16

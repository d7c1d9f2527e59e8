// Resource numbers of the window framework and of srvutil's application,
// main window, views, preferences and About box.
#pragma once

// Framework: status bar texts.
#define IDS_FW_READY 59136           // message pane when nothing is selected
#define IDS_FW_INDICATOR_CAPS 59137  // caps lock pane
#define IDS_FW_INDICATOR_NUM 59138   // num lock pane
#define IDS_FW_INDICATOR_SCRL 59139  // scroll lock pane

// Main window: menu, tool bar and its bitmap share the number.
#define IDR_MAINFRAME 128
#define IDB_ABOUT 137
#define IDB_SPLASH 168

// Strings.
#define IDS_STARTUP_TASKS_ITEM 105   // menu item of the start-up task dialog
#define IDS_TASKS_MENU 109           // menu that holds that item
#define ID_INDICATOR_DATE 110        // date pane (its text is the widest date)
#define ID_INDICATOR_TIME 111        // time pane
#define IDS_PREFERENCES_CAPTION 117
#define IDS_MAIN_TITLE 123

// Commands.
#define ID_STARTUP_TASKS 104
#define ID_PREFERENCES 32776
#define ID_HELP_USING 32920
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Views and dialogs.
#define IDD_VIEW_TREE 2101
#define IDD_VIEW_TAB 2102
#define IDD_ABOUTBOX 2103
#define IDD_PREF_GENERAL 2104
#define IDD_PREF_COMMANDS 2105
#define IDD_PREF_SERVICES 2106

// Controls.
#define IDC_VIEW_TAB 1000            // the tab view's tab control
#define IDC_VIEW_TREE 2110           // the tree view's tree control
#define IDC_PREF_ANIMATION 2111
#define IDC_PREF_KEEPCMDLINE 2112
#define IDC_PREF_TIMEANDDATE 2113
#define IDC_PREF_LAUNCHTIMEOUT 2114
#define IDC_PREF_MAXLINES 2115
#define IDC_PREF_REFRESH 2116
#define IDC_PREF_POLLING 2117

// Messages (message library).
#define MSG_HELP_ON_HELP_FAILED 1039
#define MSG_PREF_BAD_SECONDS 30101   // %u: the largest number of seconds
#define MSG_PREF_BAD_LINES 30102     // a number of lines was not a number

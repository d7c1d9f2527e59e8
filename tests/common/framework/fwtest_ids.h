// Templates and strings of the framework tests.
#pragma once
#define IDD_FWT_DIALOG 100
#define IDD_FWT_PAGE1 101
#define IDD_FWT_PAGE2 102
#define IDD_FWT_PAGE3 103
#define IDC_FWT_EDIT 1001
#define IDR_FWT_TOOLBAR 200
#define ID_FWT_FIRST 40001
#define ID_FWT_SECOND 40002

// The output viewer: a modal dialog with a heading and a long text in a
// read-only, fixed-pitch edit control (long error outputs of macro runs, the
// in-memory options file).
#pragma once
#include <windows.h>
#include <string>

constexpr int IDD_OUTPUT_VIEWER = 1586;
constexpr int IDC_OUTPUT_HEADING = 1150;
constexpr int IDC_OUTPUT_TEXT = 1207;

// Shows the dialog until the user closes it. Line feeds in `text` are shown
// as line breaks.
void showOutputViewer(HWND owner, const std::wstring& heading, const std::wstring& text);

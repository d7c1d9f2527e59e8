// Loading element.dat into an ElementTable.
#pragma once
#include <windows.h>
#include <string>
#include "common/cmd/element.h"

constexpr int ELEMENT_FILE_MISSING = -2;
constexpr int ELEMENT_FILE_ERROR = -1;

// 0 when read (also with sections missing), -2 when the file does not exist,
// -1 when it cannot be read (after showing the file error box).
int loadQoraElementInformation(ElementTable& table, const std::wstring& path, HWND owner = nullptr);

// element.dat in the utilities directory; false when that is not installed.
bool elementDataPath(std::wstring& path);

// Sends the table's flow lines to the trace while T_ELEMENT is on.
void traceElementTable(ElementTable& table);

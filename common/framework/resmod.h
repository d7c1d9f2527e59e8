// Where dialogs, menus, bitmaps, tool bars and strings come from: the
// user-interface resource library once the program has loaded it, the
// program itself until then.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

HINSTANCE resourceModule();
void setResourceModule(HINSTANCE module);  // nullptr: the program itself

// String `id` of the resource module, empty when it has none.
std::wstring loadResString(UINT id);

}  // namespace fw

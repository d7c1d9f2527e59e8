#include "common/framework/resmod.h"

namespace fw {
namespace {
HINSTANCE g_module = nullptr;
}

HINSTANCE resourceModule() { return g_module ? g_module : GetModuleHandleW(nullptr); }
void setResourceModule(HINSTANCE module) { g_module = module; }

std::wstring loadResString(UINT id) {
    const wchar_t* text = nullptr;
    int len = LoadStringW(resourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text) return {};
    return std::wstring(text, static_cast<size_t>(len));
}

}  // namespace fw

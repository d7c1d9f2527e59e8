// The stand-in installation: lays out an installed QORA product (registry
// keys and values, directories, files, services) from layout fragments, so
// the demo and the tests get real installations, whole or broken on purpose.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace siminst {

enum class Kind { Key, Value, Dir, Copy, Text, Service };

// One thing the layout creates. `id` names it for --omit.
struct Item {
    Kind kind = Kind::Key;
    std::wstring id;
    std::wstring where;   // fragment and line, for messages
    std::wstring scope;   // Key, Value: the key as written; Dir, Copy, Text: the path
    HKEY hive = HKEY_LOCAL_MACHINE;
    std::wstring key;     // Key, Value: path below the hive
    std::wstring name;    // Value: value name; Service: service name
    DWORD type = REG_SZ;  // Value
    std::vector<std::wstring> data;  // Value: one text (several for REG_MULTI_SZ)
    std::wstring path;    // Dir, Copy, Text: target; Service: binary
    std::wstring source;  // Copy: source file
    std::wstring text;    // Text: file content; Service: display name
    DWORD start = SERVICE_DEMAND_START;            // Service
    DWORD serviceType = SERVICE_WIN32_OWN_PROCESS;  // Service
};

using Vars = std::vector<std::pair<std::wstring, std::wstring>>;

struct Layout {
    std::vector<Item> items;
};

// Parses one fragment; `vars` holds the variables set so far (and receives
// the fragment's own set lines; names given in `fixed` keep their value).
bool parseFragment(const std::wstring& text, const std::wstring& fragmentName, Vars& vars,
                   const Vars& fixed, Layout& out, std::wstring& error);
// Reads every *.txt of `dir` in name order.
bool loadLayout(const std::wstring& dir, const Vars& overrides, Layout& out, std::wstring& error);
// The folder siminst.d\ beside the running program (the build's bin\).
std::wstring defaultLayoutDir();
std::wstring programDir();  // without a trailing backslash

// True when `omit` names the item, or a key or directory that holds it.
bool isOmitted(const Item& item, const std::vector<std::wstring>& omit);

// Makes the installation what the layout says, less the omitted items
// (which are removed if present). Problems go to `errors`; 0 or 1.
int install(const Layout& layout, const std::vector<std::wstring>& omit, std::vector<std::wstring>& errors);
// Removes services, directories and keys of the layout and the product key.
int remove(const Layout& layout, std::vector<std::wstring>& errors);

// The program's command line as words: install|remove|list [--layout DIR]
// [--set NAME=VALUE]... [--omit ID]... Output lines go to `out`.
int run(const std::vector<std::wstring>& args, std::wstring& out);

// For tests: the default layout, installed with `omit` left out.
int installDefault(const std::vector<std::wstring>& omit = {}, const Vars& vars = {},
                   std::wstring* report = nullptr);
int removeDefault(std::wstring* report = nullptr);

}  // namespace siminst

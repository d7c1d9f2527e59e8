// One owning wrapper for every Win32 handle kind. Each kind differs only in
// its traits: what "no handle" is and how it is released.
#pragma once
#include <windows.h>
#include <utility>

namespace fw {

template <typename Traits>
class Unique {
public:
    using type = typename Traits::type;

    Unique() noexcept = default;
    explicit Unique(type h) noexcept : h_(h) {}
    ~Unique() { reset(); }
    Unique(Unique&& o) noexcept : h_(o.release()) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }

    // Releases what is held and takes `h`; the only place a handle is closed.
    void reset(type h = Traits::invalid()) noexcept {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    type release() noexcept { return std::exchange(h_, Traits::invalid()); }

    // For functions that return a handle through a pointer.
    type* put() noexcept {
        reset();
        return &h_;
    }

private:
    type h_ = Traits::invalid();
};

namespace traits {
struct Kernel {  // events, mutexes, threads, processes, pipes
    using type = HANDLE;
    static type invalid() { return nullptr; }
    static void close(type h) { CloseHandle(h); }
};
struct File {
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type h) { CloseHandle(h); }
};
struct Key {
    using type = HKEY;
    static type invalid() { return nullptr; }
    static void close(type h) { RegCloseKey(h); }
};
struct Window {
    using type = HWND;
    static type invalid() { return nullptr; }
    static void close(type h) { DestroyWindow(h); }
};
struct GdiObject {
    using type = HGDIOBJ;
    static type invalid() { return nullptr; }
    static void close(type h) { DeleteObject(h); }
};
struct MemoryDc {
    using type = HDC;
    static type invalid() { return nullptr; }
    static void close(type h) { DeleteDC(h); }
};
struct Module {
    using type = HMODULE;
    static type invalid() { return nullptr; }
    static void close(type h) { FreeLibrary(h); }
};
struct Menu {
    using type = HMENU;
    static type invalid() { return nullptr; }
    static void close(type h) { DestroyMenu(h); }
};
struct ImageList {
    using type = struct _IMAGELIST*;
    static type invalid() { return nullptr; }
    static void close(type h);
};
}  // namespace traits

using UniqueHandle = Unique<traits::Kernel>;
using UniqueFile = Unique<traits::File>;
using UniqueKey = Unique<traits::Key>;
using UniqueWindow = Unique<traits::Window>;
using UniqueGdiObject = Unique<traits::GdiObject>;
using UniqueMemoryDc = Unique<traits::MemoryDc>;
using UniqueModule = Unique<traits::Module>;
using UniqueMenu = Unique<traits::Menu>;
using UniqueImageList = Unique<traits::ImageList>;

// Early-return helpers: a Win32 call's outcome as a status code, 0 for success.
inline DWORD win32Status(BOOL ok) { return ok ? 0 : GetLastError(); }
template <typename H>
inline DWORD win32Handle(const H& h) { return h ? 0 : GetLastError(); }

}  // namespace fw

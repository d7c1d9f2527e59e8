// Tool bar and status bar of a frame window.
#pragma once
#include "common/framework/handle.h"
#include <windows.h>
#include <string>
#include <vector>

namespace fw {

class CToolBar {
public:
    // Builds the bar from tool bar resource `id` and the bitmap of the same
    // number in the resource module; flat when the common controls allow it.
    bool create(HWND parent, UINT id);
    HWND hwnd() const { return hwnd_; }
    void enableButton(UINT command, bool enable);
    bool isButtonEnabled(UINT command) const;
    std::vector<UINT> commands() const { return commands_; }
    int height() const;
    void autoSize();

private:
    HWND hwnd_ = nullptr;
    UniqueGdiObject bitmap_;
    std::vector<UINT> commands_;
};

class CStatusBar {
public:
    // Pane 0 is the message pane and takes what the others leave; every other
    // pane is named by an indicator number whose string resource is its
    // widest text.
    bool create(HWND parent, const std::vector<UINT>& indicators);
    HWND hwnd() const { return hwnd_; }
    int paneIndex(UINT indicator) const;
    void setPaneText(int index, const std::wstring& text);
    std::wstring paneText(int index) const;
    // Width of `text` in the bar's font plus the pane's borders.
    int fittingWidth(const std::wstring& text) const;
    void setPaneWidth(int index, int width);
    int paneWidth(int index) const;
    // Call when the frame changed size.
    void layout();
    int height() const;

private:
    HWND hwnd_ = nullptr;
    std::vector<UINT> indicators_;
    std::vector<int> widths_;
};

}  // namespace fw

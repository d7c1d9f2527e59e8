// Static splitter: one row of panes side by side, separated by bars the user
// can drag. The panes are children of the splitter.
#pragma once
#include "common/framework/wnd.h"
#include <vector>

namespace fw {

class CSplitterWnd : public CWnd {
public:
    bool createStatic(HWND parent, int columns, UINT id);
    HWND paneParent() const { return hwnd(); }
    void setPane(int column, HWND pane);
    HWND pane(int column) const { return columns_[column].pane; }
    // Width a column keeps while the splitter changes size (the last column
    // takes what remains).
    void setColumnWidth(int column, int width, int minimum = 0);
    int columnWidth(int column) const;
    // Height the row asks for; with one row the panes fill the splitter.
    void setRowHeight(int height) { rowHeight_ = height; }
    int rowHeight() const { return rowHeight_; }
    void recalcLayout();

    static constexpr int barWidth = 6;

protected:
    LRESULT windowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int barAt(int x) const;
    struct Column {
        HWND pane = nullptr;
        int width = 0;
        int minimum = 0;
    };
    std::vector<Column> columns_;
    int rowHeight_ = 0;
    int dragging_ = -1;
    int dragOffset_ = 0;
};

}  // namespace fw

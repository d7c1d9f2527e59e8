#include "common/framework/controls.h"

namespace fw {

std::wstring CControl::text() const {
    int len = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    len = GetWindowTextW(hwnd_, s.data(), len + 1);
    s.resize(static_cast<size_t>(len > 0 ? len : 0));
    return s;
}

HTREEITEM CTreeCtrl::insertItem(const std::wstring& text, HTREEITEM parent, HTREEITEM after, LPARAM data,
                                int image) {
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<wchar_t*>(text.c_str());
    ins.item.lParam = data;
    if (image >= 0) {
        ins.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.iImage = ins.item.iSelectedImage = image;
    }
    return reinterpret_cast<HTREEITEM>(send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::wstring CTreeCtrl::itemText(HTREEITEM item) const {
    wchar_t buffer[520] = L"";
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = static_cast<int>(std::size(buffer));
    send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return buffer;
}

LPARAM CTreeCtrl::itemData(HTREEITEM item) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.lParam;
}

int CTabCtrl::insertItem(int index, const std::wstring& text, LPARAM data) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(send(TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

LPARAM CTabCtrl::itemData(int index) const {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    send(TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

RECT CTabCtrl::displayRect(RECT window) const {
    send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&window));
    return window;
}

int CListCtrl::insertColumn(int index, const std::wstring& heading, int width) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(heading.c_str());
    col.cx = width;
    col.iSubItem = index;
    return static_cast<int>(send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::insertItem(int index, const std::wstring& text, LPARAM data, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    if (image >= 0) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    return static_cast<int>(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::setItemText(int item, int column, const std::wstring& text) {
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return send(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::wstring CListCtrl::itemText(int item, int column) const {
    wchar_t buffer[1024] = L"";
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = buffer;
    lv.cchTextMax = static_cast<int>(std::size(buffer));
    send(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
    return buffer;
}

LPARAM CListCtrl::itemData(int item) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    return lv.lParam;
}

}  // namespace fw

#include "common/framework/handle.h"
namespace fw::traits {
void ImageList::close(type h) { ImageList_Destroy(h); }
}  // namespace fw::traits

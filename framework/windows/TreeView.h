#pragma once

#include "framework/windows/Window.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace Fw {

// A tree view, one message per call.
class TreeView : public Window {
public:
    using Window::Window;

    HIMAGELIST SetImageList(HIMAGELIST list) const {
        return reinterpret_cast<HIMAGELIST>(Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list)));
    }

    // An item under `parent` (TVI_ROOT for the top), placed by `after` (TVI_SORT keeps the
    // level in the order of the texts); `state` with TVIS_BOLD and friends.
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const char* text, int image, int selectedImage,
                         LPARAM value = 0, UINT state = 0, bool hasChildren = false) const {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
        insert.item.pszText = const_cast<char*>(text);
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
        insert.item.lParam = value;
        insert.item.state = state;
        insert.item.stateMask = state;
        insert.item.cChildren = hasChildren ? 1 : 0;
        return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, &insert));
    }
    bool DeleteItem(HTREEITEM item) const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    bool DeleteAllItems() const { return DeleteItem(TVI_ROOT); }
    // TVE_EXPAND or TVE_COLLAPSE.
    bool Expand(HTREEITEM item, UINT action) const {
        return Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool Select(HTREEITEM item) const { return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Selection() const { return Next(nullptr, TVGN_CARET); }
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM FirstChild(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    HTREEITEM NextSibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
    UINT Count() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }

    // What `item.mask` asks for of `item.hItem`.
    bool GetItem(TVITEMA& item) const { return Send(TVM_GETITEMA, 0, &item) != 0; }
    std::string GetItemText(HTREEITEM item) const {
        char text[512] = {};
        TVITEMA query = {};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = sizeof text;
        return GetItem(query) ? std::string(text) : std::string();
    }
    LPARAM GetItemData(HTREEITEM item) const {
        TVITEMA query = {};
        query.mask = TVIF_PARAM;
        query.hItem = item;
        return GetItem(query) ? query.lParam : 0;
    }
    UINT GetItemState(HTREEITEM item, UINT mask) const {
        return static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    // The item's rectangle in the tree's client area, of its text only or of its whole line;
    // empty for an item not in sight.
    RECT ItemRect(HTREEITEM item, bool textOnly) const {
        RECT rect = {};
        // The message takes the item in the rectangle's place.
        std::memcpy(&rect, &item, sizeof item);
        return Send(TVM_GETITEMRECT, textOnly, &rect) ? rect : RECT{};
    }
    // The item at a point of the tree's client area, on its label or picture; null elsewhere.
    HTREEITEM HitTest(POINT point) const {
        TVHITTESTINFO test = {};
        test.pt = point;
        const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, &test));
        return (test.flags & TVHT_ONITEM) ? item : nullptr;
    }
};

} // namespace Fw

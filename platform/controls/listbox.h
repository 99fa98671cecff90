#pragma once
// The list box shared by the "LISTBOX" class and the list of combo boxes.

#include <string>
#include <vector>

#include "platform/controls/control_base.h"

namespace quelvo::ctl::detail {

// Private messages between a combo box and its list.
inline constexpr UINT kLbSetCombo = WM_USER + 0x3F0;   // wParam: the combo box
inline constexpr UINT kLbTrackFrom = WM_USER + 0x3F1;  // the list shows dropped: track the mouse

class ListBox : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int Count() const { return static_cast<int>(items_.size()); }
    int CurSel() const { return cur_; }

private:
    // One per message of Handle.
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate();
    LRESULT OnSize(LPARAM lParam);
    LRESULT OnSetFocus();
    LRESULT OnKillFocus();
    LRESULT OnKeyDown(WPARAM wParam);
    LRESULT OnChar(WPARAM wParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnLButtonUp();
    LRESULT OnLButtonDblClk(LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam);
    LRESULT OnScroll(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnInsertString(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLen(WPARAM wParam);
    LRESULT OnSetCurSel(WPARAM wParam);
    LRESULT OnSetSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetSel(WPARAM wParam);
    LRESULT OnGetSelCount();
    LRESULT OnGetSelItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnSelItemRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSelItemRangeEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTopIndex(WPARAM wParam);
    LRESULT OnSetCaretIndex(WPARAM wParam);
    LRESULT OnSetAnchorIndex(WPARAM wParam);
    LRESULT OnGetItemRect(WPARAM wParam, LPARAM lParam);
    LRESULT OnItemFromPoint(LPARAM lParam);
    LRESULT OnSetItemHeight(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetItemData(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetItemData(WPARAM wParam);
    LRESULT OnSelectString(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetHorizontalExtent(WPARAM wParam);
    LRESULT OnSetTabStops(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetColumnWidth(WPARAM wParam);
    LRESULT OnSetCombo(WPARAM wParam);
    LRESULT ListMessage(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    struct Item {
        std::string text;
        ULONG_PTR data = 0;
        bool selected = false;
        int height = 0;  // variable owner draw only
    };

    bool HasStrings() const;
    bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool Variable() const { return (Style() & LBS_OWNERDRAWVARIABLE) != 0; }
    bool MultiSel() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    // Items fill columns top to bottom; the horizontal bar scrolls by columns.
    bool MultiColumn() const { return (Style() & LBS_MULTICOLUMN) != 0 && !Variable(); }
    int Rows() const;         // items a column holds
    int VisibleColumns() const;  // columns fully shown, at least one
    int ColumnCount() const;
    HWND NotifyTarget() const;
    void NotifyCode(WORD code) const;

    int Insert(int at, LPARAM lParam, bool sorted);
    int Delete(int index);
    void Reset();
    int Find(int start, const char* text, bool exact) const;
    int ItemTop(int index) const;  // client y of the item, from the top index
    int ItemHeightOf(int index) const;
    RECT ItemRect(int index) const;
    int ItemFromPoint(POINT pt, bool& outside) const;
    int VisibleCount() const;  // items fully visible from the top index
    void SetTop(int top);
    void EnsureVisible(int index);
    void SetCaret(int index, bool scroll);
    void SelectOnly(int index);
    void SelectRange(int from, int to, bool on);
    bool SetCur(int index, bool notify);
    void UpdateBars();
    void Measure(int index);
    void Paint(HDC dc) override;
    void DrawItem(HDC dc, int index, UINT action);
    void DrawItemText(HDC dc, const std::string& text, RECT r);
    void UserSelect(int index, bool shift, bool ctrl, bool fromMouseMove);
    void Key(int vk);
    void Char(char c);
    void Scroll(UINT msg, WORD code, int thumb);
    void ScrollColumns(WORD code, int thumb);
    void UpdateColumnBar();
    RECT ColumnItemRect(int index) const;
    int ColumnItemFromPoint(POINT pt, bool& outside) const;

    std::vector<Item> items_;
    int cur_ = -1;      // single selection
    int caret_ = 0;     // focus item
    int anchor_ = -1;   // extended selection
    int top_ = 0;
    int itemHeight_ = 0;
    int hExtent_ = 0;
    int columnWidth_ = 0;
    std::vector<int> tabStops_;  // dialog units: a quarter of the average character width
    int xOffset_ = 0;
    bool focused_ = false;
    bool tracking_ = false;
    bool sizing_ = false;
    bool wantsVBar_ = false;
    bool wantsHBar_ = false;
    HWND combo_ = nullptr;  // the combo box this list belongs to
    bool dropped_ = false;  // shown as a combo box's drop-down
};

}  // namespace quelvo::ctl::detail

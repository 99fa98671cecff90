#pragma once
// TListBox on the "LISTBOX" class: items with objects, the current item,
// the top item, single, multiple and extended selection, owner drawing
// with fixed or measured heights, and a virtual mode whose items come from
// OnData. A selection by the user raises OnClick, a double click
// OnDblClick; ItemIndex set by the program raises nothing.

#include <string>

#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/core/lists.h"

namespace hostlib {

class TListBox;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum TOwnerDrawStateFlag { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
const TEnumInfo& EnumTypeInfo(TListBoxStyle*);

using TDrawItemEvent = Event<TWinControl*, int, RECT, TOwnerDrawState>;
using TMeasureItemEvent = Event<TWinControl*, int, int&>;
using TLBGetDataEvent = Event<TWinControl*, int, std::string&>;
using TLBGetDataObjectEvent = Event<TWinControl*, int, TObject*&>;
// (Control, FindString, Result index): the handler sets the index (-1: none).
using TLBFindDataEvent = Event<TWinControl*, const std::string&, int&>;

class TListBox : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(value); }
    // The items shown; settable in the virtual styles only.
    int Count() const;
    void SetCount(int value);
    // -1 without a current item; an index outside the items selects none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool value);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    int ScrollWidth() const { return scrollWidth_; }
    void SetScrollWidth(int value);
    // Above 0: the items fill that many columns of the client width, top
    // to bottom, and the horizontal bar scrolls by columns.
    int Columns() const { return columns_; }
    void SetColumns(int value);
    // Non-zero: tabs in items move to the next multiple of TabWidth
    // dialog units (a quarter of the font's average character width).
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int value);
    // Typed characters select the first item their text starts (ignoring
    // case); a pause of 500 ms starts a new text, Backspace shortens it.
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool value) { autoComplete_ = value; }
    // bsSingle (a frame) or bsNone.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // Holds the item's device context while an item is drawn (DrawItem,
    // OnDrawItem); without one otherwise.
    TCanvas* Canvas() const { return canvas_.get(); }
    RECT ItemRect(int index) const;
    // The item at a client point: with existing, -1 beyond the last item;
    // without, the nearest.
    int ItemAtPos(POINT pos, bool existing) const;
    // The text and object of an item, from OnData and OnDataObject in the
    // virtual styles.
    std::string ItemText(int index) const;
    TObject* ItemObject(int index) const;
    // The first item whose text starts with text (OnDataFind in the
    // virtual styles); -1 when none.
    int FindItem(const std::string& text) const;
    void Clear();
    // Selection operations (multi-select: every selected item; else the
    // current one).
    void DeleteSelected();
    void CopySelection(TListBox* destination) const;
    void MoveSelection(TListBox* destination);
    void ClearSelection();
    void SelectAll();

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;

protected:
    void Destroy() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    void KeyPress(char& key) override;
    void Resize() override;
    // Draws on Canvas(), whose font and brush are set for the item's state.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);

private:
    void ItemsChanged(TObject*);
    void FillWindow();
    bool IsVirtual() const { return style_ == lbVirtual || style_ == lbVirtualOwnerDraw; }
    bool IsOwnerDraw() const { return style_ != lbStandard; }
    std::vector<int> SelectedIndexes() const;
    void Recreate();
    void CNDrawItem(TMessage& m);
    void SetColumnWidth();

    ObjectPtr<TStringList> items_;
    ObjectPtr<TCanvas> canvas_;
    TBorderStyle borderStyle_ = bsSingle;
    int itemIndex_ = -1;
    int virtualCount_ = 0;
    TListBoxStyle style_ = lbStandard;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    int itemHeight_ = 16;
    int scrollWidth_ = 0;
    int tabWidth_ = 0;
    int columns_ = 0;
    bool autoComplete_ = true;
    std::string typed_;
    DWORD lastKeyTime_ = 0;
};

}  // namespace hostlib

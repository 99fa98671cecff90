#pragma once
// Lookup data of text editors: the editor's place in its list of items
// (the current key, the highlighted item), incremental search as the user
// types, stepping through the list by keys, and the list shown in a popup
// by visual kinds. The editor talks to it only through
// IcxTextEditLookupData; derived kinds replace the item source.

#include <string>

#include "components/editors/cxEdit.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxContainerListBox.h"

class TcxCustomEdit;
class TcxCustomTextEditProperties;

enum TcxEditLookupDataGoDirection { egdBegin, egdEnd, egdNext, egdPrev, egdPageUp, egdPageDown };

class IcxTextEditLookupData {
public:
    virtual bool CanResizeVisualArea(SIZE& newSize, int maxHeight = 0, int maxWidth = 0) = 0;
    // The highlight returns to the current key.
    virtual void CloseUp() = 0;
    virtual void Deinitialize() = 0;
    virtual void DropDown() = 0;
    virtual void DroppedDown(const std::string& findText) = 0;
    virtual bool Find(const std::string& text) = 0;
    virtual hostlib::TWinControl* GetActiveControl() = 0;
    // The item that is the editor's value, as an integer (-1: none).
    virtual hostlib::Variant GetCurrentKey() = 0;
    virtual std::string GetDisplayText(const hostlib::Variant& key) = 0;
    virtual hostlib::TNotifyEvent GetOnCurrentKeyChanged() = 0;
    virtual hostlib::TNotifyEvent GetOnSelectItem() = 0;
    virtual SIZE GetVisualAreaPreferredSize(int maxHeight, int width = 0) = 0;
    virtual void Go(TcxEditLookupDataGoDirection direction, bool circular) = 0;
    virtual void Initialize(hostlib::TWinControl* visualControlsParent) = 0;
    virtual bool IsEmpty() = 0;
    virtual bool IsMouseOverList(const POINT& screenPoint) = 0;
    // Incremental search: the text takes the found item's case, the tail
    // the rest of the item.
    virtual bool Locate(std::string& text, std::string& tail, bool next) = 0;
    virtual void PositionVisualArea(const RECT& clientRect) = 0;
    virtual void PropertiesChanged() = 0;
    // The user chose the highlighted item.
    virtual void SelectItem() = 0;
    virtual void SetCurrentKey(const hostlib::Variant& key) = 0;
    virtual void SetOnCurrentKeyChanged(const hostlib::TNotifyEvent& value) = 0;
    virtual void SetOnSelectItem(const hostlib::TNotifyEvent& value) = 0;
    // The editor's text changed other than by incremental typing.
    virtual void TextChanged() = 0;

protected:
    ~IcxTextEditLookupData() = default;
};

// What lookup data needs of its editor beyond the editor base: a lock that
// keeps the editor from re-locating while the lookup data sets its text.
class IcxTextEditLookupDataOwner {
public:
    virtual void LockLookupDataTextChanged() = 0;
    virtual void UnlockLookupDataTextChanged() = 0;

protected:
    ~IcxTextEditLookupDataOwner() = default;
};

// The owner-drawn list of a visual lookup: rows of one text height, the
// item under the mouse highlighted, drawn focused while the editor keeps
// the keyboard.
class TcxCustomEditListBox : public TcxCustomInnerListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    // Runs the select-item event after the inherited change.
    void SetItemIndex(int index);
    virtual bool DoDrawItem(int index, const RECT& rect, hostlib::TOwnerDrawState state);
    virtual int GetHeight(int rowCount);
    virtual std::string GetItem(int index);
    virtual int GetItemHeight(int index = -1);
    virtual int GetItemWidth(int index);
    virtual void RecreateWindow() {}
    void InternalRecreateWindow() { RecreateWnd(); }
    bool IsVisible();
    void SetItemCount(int count);
    int GetDefaultItemHeight();
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value) { hotTrack_ = value; }
    void Click() override;

    hostlib::TNotifyEvent OnSelectItem;

protected:
    void Dispatch(hostlib::TMessage& message) override;
    void DrawItem(int index, const RECT& rect, hostlib::TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;

private:
    void DoSelectItem();
    SIZE MeasureText(const std::string& text);

    bool hotTrack_ = true;
};

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // The owner is the editor.
    void Construct(hostlib::TPersistent* owner) override;

    virtual std::string GetItem(int index);
    virtual int GetItemCount();
    virtual hostlib::TClass GetListBoxClass() { return nullptr; }
    virtual void HandleSelectItem(hostlib::TObject* sender);
    virtual bool InternalLocate(std::string& text, std::string& tail, bool next, bool textChangeSearch);
    virtual void ListChanged();

    bool CanResizeVisualArea(SIZE& newSize, int maxHeight = 0, int maxWidth = 0) override;
    void CloseUp() override { InternalSetItemIndex(currentKey_); }
    void Deinitialize() override {}
    void DropDown() override {}
    void DroppedDown(const std::string& findText) override { (void)findText; }
    bool Find(const std::string& text) override { return IndexOf(text) != -1; }
    hostlib::TWinControl* GetActiveControl() override { return list_; }
    hostlib::Variant GetCurrentKey() override { return hostlib::Variant(currentKey_); }
    std::string GetDisplayText(const hostlib::Variant& key) override;
    hostlib::TNotifyEvent GetOnCurrentKeyChanged() override { return OnCurrentKeyChanged; }
    hostlib::TNotifyEvent GetOnSelectItem() override { return OnSelectItem; }
    SIZE GetVisualAreaPreferredSize(int maxHeight, int width = 0) override;
    void Go(TcxEditLookupDataGoDirection direction, bool circular) override;
    // Makes the list of a visual kind on first use and fills it.
    void Initialize(hostlib::TWinControl* visualControlsParent) override;
    bool IsEmpty() override { return GetItemCount() == 0; }
    bool IsMouseOverList(const POINT& screenPoint) override;
    bool Locate(std::string& text, std::string& tail, bool next) override;
    void PositionVisualArea(const RECT& clientRect) override;
    void PropertiesChanged() override;
    void SelectItem() override;
    void SetCurrentKey(const hostlib::Variant& key) override;
    void SetOnCurrentKeyChanged(const hostlib::TNotifyEvent& value) override { OnCurrentKeyChanged = value; }
    void SetOnSelectItem(const hostlib::TNotifyEvent& value) override { OnSelectItem = value; }
    void TextChanged() override;

    TcxCustomEdit* GetEdit() const;
    TcxCustomTextEditProperties* GetActiveProperties() const;
    hostlib::TStrings* GetItems() const;
    void SetItems(hostlib::TStrings* value);
    // The first item equal to the text regardless of case, -1 for none.
    int IndexOf(const std::string& text);
    int CurrentKey() const { return currentKey_; }
    int ItemIndex() const { return itemIndex_; }
    // The highlight, or the value itself while no list shows (or the
    // properties update the text at once).
    void SetItemIndex(int index);

    hostlib::TNotifyEvent OnCurrentKeyChanged;
    hostlib::TNotifyEvent OnSelectItem;

protected:
    void InternalSetCurrentKey(int index);
    virtual void InternalSetItemIndex(int index);
    TcxCustomEditListBox* List() const { return list_; }
    virtual bool IsListVisible() { return list_ && list_->IsVisible(); }
    virtual void SetListItemIndex(int index);
    void DoSelectItem() { OnSelectItem(this); }
    void DoCurrentKeyChanged() { OnCurrentKeyChanged(this); }

private:
    void NotFound(const std::string& text, bool textChangeSearch);
    int GoTarget(TcxEditLookupDataGoDirection direction, bool circular, int i);
    std::string EditText() const;

    int currentKey_ = -1;
    int itemIndex_ = -1;
    // Owned by the control it was made on.
    TcxCustomEditListBox* list_ = nullptr;
};
using TcxCustomTextEditLookupDataClass = hostlib::TClass;

#pragma once
// Popup menus as components: items with captions, shortcuts, check marks,
// images and owner drawing, shown modally at a screen point; an item's
// OnClick runs after the menu has closed.

#include <string>
#include <vector>

#include "platform/hostlib/visual/controls.h"

namespace hostlib {

class TCustomImageList;

// Ctrl 0x4000, Shift 0x2000, Alt 0x8000 over the virtual key.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// The shortcut of a key message (WM_KEYDOWN / CN_KEYDOWN).
TShortCut ShortCutFromMessage(const TMessage& message);

enum TPopupAlignment { paLeft, paRight, paCenter };
const TEnumInfo& EnumTypeInfo(TPopupAlignment*);

using TMenuDrawItemEvent = Event<TObject*, TCanvas*, RECT, bool>;
using TMenuMeasureItemEvent = Event<TObject*, TCanvas*, int&, int&>;

class TMenuItem : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value) { caption_ = value; }
    bool IsLine() const { return caption_ == "-"; }
    TShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value) { shortCut_ = value; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value) { radioItem_ = value; }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    // A glyph of the item's own, drawn where an image-list image would be
    // when the item shows none; created empty on first read.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* value) { Bitmap()->Assign(value); }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(TMenuItem* item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }
    // The item with this shortcut at any depth (enabled and visible ones).
    TMenuItem* FindShortCut(TShortCut shortCut);

    virtual void Click();
    // Owner drawing (menus with OwnerDraw or Images): the size the item
    // needs, and its drawing; the events replace the default.
    virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
    virtual void DrawItem(TCanvas* canvas, RECT rect, bool selected);
    TCustomImageList* Images() const;
    // Form resources store items inside their menu or parent item.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

protected:
    void Destroy() override;

private:
    std::string caption_;
    TShortCut shortCut_ = scNone;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    ObjectPtr<TBitmap> bitmap_;
    std::string hint_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TComponent* menu_ = nullptr;  // the menu whose root item this is
    friend class TPopupMenu;
};

class TPopupMenu : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TMenuItem* Items() const { return items_; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* value);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* value);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value) { ownerDraw_ = value; }
    POINT PopupPoint() const { return popupPoint_; }

    // Shows the menu at a screen point and returns once it is closed; the
    // chosen item's OnClick runs then.
    virtual void Popup(int x, int y);
    // When the key of message is the shortcut of one of the items, clicks
    // it and answers true.
    virtual bool IsShortCut(TMessage& message);
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

    // Test seam: replaces the interactive tracking; returns the chosen item
    // (nullptr: dismissed).
    using Tracker = std::function<TMenuItem*(TPopupMenu* menu, int x, int y)>;
    static void SetTracker(Tracker tracker);

protected:
    void Destroy() override;
    virtual void DoPopup() { OnPopup(this); }

private:
    TMenuItem* items_ = nullptr;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
    TPopupAlignment alignment_ = paLeft;
    TCustomImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    POINT popupPoint_{};
};

}  // namespace hostlib

#include "platform/hostlib/visual/menus.h"

#include <map>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

const TEnumInfo& EnumTypeInfo(TPopupAlignment*)
{
    static const TEnumInfo info{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}, 0};
    return info;
}

namespace {
TPopupMenu::Tracker& CurrentTracker()
{
    static TPopupMenu::Tracker tracker;
    return tracker;
}

void MeasureMenuItem(TMessage& m)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    auto* item = mis && mis->CtlType == ODT_MENU ? reinterpret_cast<TMenuItem*>(mis->itemData) : nullptr;
    if (!item) return;
    HDC dc = CreateCompatibleDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    if (Screen) canvas.Font()->Assign(Screen->MenuFont());
    int width = 0, height = 0;
    {
        quelvo::sys::ScopeGuard release([&] {
            canvas.SetHandle(nullptr);
            DeleteDC(dc);
        });
        item->MeasureItem(&canvas, width, height);
    }
    mis->itemWidth = static_cast<UINT>(std::max(0, width));
    mis->itemHeight = static_cast<UINT>(std::max(0, height));
    m.Result = 1;
}

void DrawMenuItem(TMessage& m)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    auto* item = dis && dis->CtlType == ODT_MENU ? reinterpret_cast<TMenuItem*>(dis->itemData) : nullptr;
    if (!item) return;
    TCanvas canvas;
    canvas.SetHandle(dis->hDC);
    if (Screen) canvas.Font()->Assign(Screen->MenuFont());
    const int saved = SaveDC(dis->hDC);
    {
        quelvo::sys::ScopeGuard release([&] {
            RestoreDC(dis->hDC, saved);
            canvas.SetHandle(nullptr);
        });
        item->DrawItem(&canvas, dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
    }
    m.Result = 1;
}

// What the hidden owner of a tracked menu answers: owner-drawn items.
void OwnerMessage(TMessage& m)
{
    m.Result = 0;
    switch (m.Msg) {
    case WM_MEASUREITEM: return MeasureMenuItem(m);
    case WM_DRAWITEM: return DrawMenuItem(m);
    }
}

// Frees a menu handle tree on scope exit.
struct MenuHandle {
    HMENU menu = CreatePopupMenu();
    ~MenuHandle() { DestroyMenu(menu); }
};

void BuildMenu(HMENU menu, TMenuItem* parent, std::map<UINT, TMenuItem*>& ids, bool ownerDraw)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->Enabled()) flags |= MF_GRAYED;
        if (item->Checked()) flags |= MF_CHECKED;
        if (item->Count() > 0) {
            HMENU sub = CreatePopupMenu();
            BuildMenu(sub, item, ids, ownerDraw);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item->Caption().c_str());
            continue;
        }
        const UINT id = static_cast<UINT>(ids.size() + 1);
        ids[id] = item;
        if (ownerDraw) AppendMenuA(menu, flags | MF_OWNERDRAW, id, reinterpret_cast<LPCSTR>(item));
        else AppendMenuA(menu, flags, id, item->Caption().c_str());
        if (item->Default()) SetMenuDefaultItem(menu, id, FALSE);
    }
}
}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift)
{
    if (key & 0xFF00) return scNone;
    TShortCut sc = key;
    if (shift.Contains(ssShift)) sc |= scShift;
    if (shift.Contains(ssCtrl)) sc |= scCtrl;
    if (shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

TShortCut ShortCutFromMessage(const TMessage& m)
{
    return ShortCut(static_cast<WORD>(m.WParam), KeyDataToShiftState(m.LParam));
}

// ---- TMenuItem --------------------------------------------------------------------------

TClass TMenuItem::StaticClass()
{
    return DefineClass<TMenuItem, TComponent>("TMenuItem", [](ClassBuilder<TMenuItem>& b) {
        b.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
        b.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
        b.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
        b.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
        b.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1LL);
        b.Property("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut).Default(0);
        b.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
        b.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
        b.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
        b.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
        b.EventProperty("OnClick", &TMenuItem::OnClick);
        b.EventProperty("OnDrawItem", &TMenuItem::OnDrawItem);
        b.EventProperty("OnMeasureItem", &TMenuItem::OnMeasureItem);
    });
}

void TMenuItem::Construct(TComponent* owner) { TComponent::Construct(owner); }

void TMenuItem::Destroy()
{
    if (parent_) parent_->Remove(this);
    Clear();
    bitmap_.reset();
    TComponent::Destroy();
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item) return;
    if (item->parent_) throw EInvalidOperation("Menu inserted twice");
    if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item)
{
    const int i = IndexOf(item);
    if (i < 0) return;
    items_.erase(items_.begin() + i);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) { Remove(Items(index)); }

void TMenuItem::Clear()
{
    while (!items_.empty()) {
        TMenuItem* item = items_.back();
        Remove(item);
        if (!item->Owner()) item->Free();
    }
}

int TMenuItem::IndexOf(TMenuItem* item) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == item) return static_cast<int>(i);
    return -1;
}

void TMenuItem::SetChecked(bool value)
{
    checked_ = value;
    if (value && radioItem_ && parent_) {
        for (TMenuItem* other : parent_->items_)
            if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) other->checked_ = false;
    }
}

TMenuItem* TMenuItem::FindShortCut(TShortCut sc)
{
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        if (item->shortCut_ == sc && sc != scNone && item->enabled_) return item;
        if (TMenuItem* found = item->FindShortCut(sc)) return found;
    }
    return nullptr;
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (parent_ && parent_->menu_) return parent_->menu_;
    return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (parent_) parent_->Remove(this);
    if (auto* menu = As<TPopupMenu>(parent)) menu->Items()->Add(this);
    else if (auto* item = As<TMenuItem>(parent)) item->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TMenuItem* item : items_)
        if (item->Owner() == root) proc(item);
}

void TMenuItem::Click()
{
    if (enabled_) OnClick(this);
}

TCustomImageList* TMenuItem::Images() const
{
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    auto* menu = As<TPopupMenu>(root->menu_);
    return menu ? menu->Images() : nullptr;
}

TBitmap* TMenuItem::Bitmap()
{
    if (!bitmap_) bitmap_.reset(CreateObject<TBitmap>());
    return bitmap_.get();
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height)
{
    if (OnMeasureItem) {
        OnMeasureItem(this, canvas, width, height);
        return;
    }
    TCustomImageList* images = Images();
    const int imageWidth = images ? images->Width() : 16;
    const int imageHeight = images ? images->Height() : 0;
    if (IsLine()) {
        height = 8;
        return;
    }
    width = imageWidth + 8 + canvas->TextWidth(caption_) + 16;
    height = std::max(canvas->TextHeight("Qg") + 4, imageHeight + 4);
}

void TMenuItem::DrawItem(TCanvas* canvas, RECT rect, bool selected)
{
    if (OnDrawItem) {
        OnDrawItem(this, canvas, rect, selected);
        return;
    }
    canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas->FillRect(rect);
    TCustomImageList* images = Images();
    const int imageWidth = images ? images->Width() : 16;
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
        images->Draw(canvas, rect.left + 2, rect.top + (rect.bottom - rect.top - images->Height()) / 2, imageIndex_,
                     enabled_);
    else if (bitmap_ && !bitmap_->Empty())
        canvas->Draw(rect.left + 2, rect.top + (rect.bottom - rect.top - bitmap_->Height()) / 2, bitmap_.get());
    RECT text = rect;
    text.left += imageWidth + 8;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
    std::string caption = caption_;
    canvas->DrawText(caption, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

// ---- TPopupMenu --------------------------------------------------------------------------

TClass TPopupMenu::StaticClass()
{
    return DefineClass<TPopupMenu, TComponent>("TPopupMenu", [](ClassBuilder<TPopupMenu>& b) {
        b.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
        b.Property("OwnerDraw", &TPopupMenu::OwnerDraw, &TPopupMenu::SetOwnerDraw).Default(false);
        b.Property("Images", &TPopupMenu::Images, &TPopupMenu::SetImages);
        b.EventProperty("OnPopup", &TPopupMenu::OnPopup);
        b.EventProperty("OnClose", &TPopupMenu::OnClose);
    });
}

void TPopupMenu::SetTracker(Tracker tracker) { CurrentTracker() = std::move(tracker); }

void TPopupMenu::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    items_ = CreateObject<TMenuItem>(nullptr);
    items_->menu_ = this;
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    items_->GetChildren(proc, root);
}

void TPopupMenu::Destroy()
{
    if (items_) {
        items_->Free();
        items_ = nullptr;
    }
    TComponent::Destroy();
}

void TPopupMenu::SetPopupComponent(TComponent* value)
{
    if (popupComponent_ && popupComponent_ != value) popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = value;
    if (value) value->FreeNotification(this);
}

void TPopupMenu::SetImages(TCustomImageList* value)
{
    if (images_ && images_ != value) images_->RemoveFreeNotification(this);
    images_ = value;
    if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
    if (operation == opRemove && component == images_) images_ = nullptr;
}

void TPopupMenu::Popup(int x, int y)
{
    popupPoint_ = POINT{x, y};
    DoPopup();
    TMenuItem* chosen = nullptr;
    if (CurrentTracker()) {
        chosen = CurrentTracker()(this, x, y);
    } else {
        MenuHandle menu;
        std::map<UINT, TMenuItem*> ids;
        const bool ownerDraw = ownerDraw_ || images_;
        BuildMenu(menu.menu, items_, ids, ownerDraw);
        UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
        if (alignment_ == paRight) flags |= TPM_RIGHTALIGN;
        if (alignment_ == paCenter) flags |= TPM_CENTERALIGN;
        // The menu's owner window receives nothing we need: a hidden one.
        HWND owner = AllocateHWnd([](TMessage& m) { OwnerMessage(m); });
        const UINT id = static_cast<UINT>(TrackPopupMenu(menu.menu, flags, x, y, 0, owner, nullptr));
        DeallocateHWnd(owner);
        auto it = ids.find(id);
        if (it != ids.end()) chosen = it->second;
    }
    OnClose(this);
    if (chosen) chosen->Click();
}

bool TPopupMenu::IsShortCut(TMessage& m)
{
    TMenuItem* item = items_ ? items_->FindShortCut(ShortCutFromMessage(m)) : nullptr;
    if (!item) return false;
    item->Click();
    return true;
}

}  // namespace hostlib

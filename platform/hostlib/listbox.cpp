#include "platform/hostlib/listbox.h"

#include "platform/controls/winctl.h"
#include "platform/hostlib/stdctrls.h"

namespace hostlib {

TClass TListBox::StaticClass()
{
    return DefineClass<TListBox, TWinControl>("TListBox", [](ClassBuilder<TListBox>& b) {
        b.Property("Items", &TListBox::Items, &TListBox::SetItems);
        b.Property("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Default(-1);
        b.Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
    });
}

void TListBox::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    items_.reset(CreateObject<TStringList>());
    items_->OnChange() = TNotifyEvent::Bind(this, &TListBox::ItemsChanged);
    // The list window reports clicks itself (LBN_SELCHANGE, LBN_DBLCLK).
    controlStyle_ = {csSetCaption};
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TListBox::Destroy()
{
    items_.reset();
    TWinControl::Destroy();
}

void TListBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    quelvo::ctl::InitControls();
    CreateSubClass(p, "LISTBOX");
    p.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
}

void TListBox::FillWindow()
{
    FillStringsWindow(handle_, *items_, LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, itemIndex_);
}

void TListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    FillWindow();
}

void TListBox::ItemsChanged(TObject*)
{
    if (HandleAllocated()) itemIndex_ = ItemIndex();
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    if (HandleAllocated()) FillWindow();
}

int TListBox::ItemIndex() const
{
    if (!handle_) return itemIndex_;
    return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index)
{
    if (index < 0 || index >= items_->Count()) index = -1;
    itemIndex_ = index;
    if (HandleAllocated()) SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TListBox::TopIndex() const { return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETTOPINDEX, 0, 0)) : 0; }

void TListBox::SetTopIndex(int index) { SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index < 0 ? 0 : index), 0); }

void TListBox::Dispatch(TMessage& m)
{
    if (m.Msg == CN_COMMAND) {
        const WORD code = HIWORD(m.WParam);
        if (code == LBN_SELCHANGE) {
            itemIndex_ = ItemIndex();
            Click();
            return;
        }
        if (code == LBN_DBLCLK) {
            DblClick();
            return;
        }
    }
    const auto alive = AliveToken();
    TWinControl::Dispatch(m);
    // The list window needs button presses to select.
    if (m.Msg == WM_LBUTTONDOWN && *alive && HandleAllocated()) DefaultHandler(m);
}

}  // namespace hostlib

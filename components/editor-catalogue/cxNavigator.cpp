#include "components/editor-catalogue/cxNavigator.h"

#include <algorithm>

#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxWinXPLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

TClass TcxNavigatorControlNotifier::StaticClass()
{
    return DefineClass<TcxNavigatorControlNotifier, TObject>("TcxNavigatorControlNotifier");
}

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* navigator)
{
    if (navigator && std::find(list_.begin(), list_.end(), navigator) == list_.end()) list_.push_back(navigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* navigator)
{
    list_.erase(std::remove(list_.begin(), list_.end(), navigator), list_.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons()
{
    // A navigator may unbind itself while it refreshes.
    const std::vector<IcxNavigatorOwner*> list = list_;
    for (IcxNavigatorOwner* navigator : list)
        if (std::find(list_.begin(), list_.end(), navigator) != list_.end()) navigator->NavigatorButtonsStateChanged();
}

// ---- shared images -----------------------------------------------------------------------------

namespace quelvo_resources {
void Register_catalogue();
}

TCustomImageList* cxNavigatorImages()
{
    // Freed when the program ends.
    static const ObjectPtr<TImageList> images = [] {
        quelvo_resources::Register_catalogue();
        ObjectPtr<TImageList> list = MakeObject<TImageList>(static_cast<TComponent*>(nullptr));
        list->SetSize(12, 11);
        const ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
        bitmap->LoadFromResourceName("CXNAVIGATORBUTTONS");
        list->AddMasked(bitmap.get(), cxNavigatorMaskColor);
        return list;
    }();
    return images.get();
}

// ---- TcxNavigatorButton ------------------------------------------------------------------------

TClass TcxNavigatorButton::StaticClass()
{
    return DefineClass<TcxNavigatorButton, TPersistent>("TcxNavigatorButton", [](ClassBuilder<TcxNavigatorButton>& b) {
        b.Property("Enabled", &TcxNavigatorButton::Enabled, &TcxNavigatorButton::SetEnabled).Default(true);
        b.Property("Hint", &TcxNavigatorButton::Hint, &TcxNavigatorButton::SetHint);
        b.Property("ImageIndex", &TcxNavigatorButton::ImageIndex, &TcxNavigatorButton::SetImageIndex).Default(-1);
        b.Property("Visible", &TcxNavigatorButton::Visible, &TcxNavigatorButton::SetVisible)
            .Stored([](const TcxNavigatorButton& button) { return button.IsVisibleAssigned(); });
    });
}

void TcxNavigatorButton::Construct(TcxCustomNavigatorButtons* buttons, int defaultIndex)
{
    buttons_ = buttons;
    defaultIndex_ = defaultIndex;
}

TPersistent* TcxNavigatorButton::GetOwner() const { return buttons_; }

IcxNavigatorOwner* TcxNavigatorButton::Navigator() const { return buttons_ ? buttons_->Navigator() : nullptr; }

void TcxNavigatorButton::Assign(TPersistent* source)
{
    auto* other = As<TcxNavigatorButton>(source);
    if (!other) return TPersistent::Assign(source);
    SetEnabled(other->enabled_);
    SetHint(other->hint_);
    SetImageIndex(other->imageIndex_);
    SetVisible(other->visible_);
    visibleAssigned_ = other->visibleAssigned_;
    OnClick = other->OnClick;
}

void TcxNavigatorButton::Click()
{
    if (GetInternalEnabled()) DoClick();
}

void TcxNavigatorButton::DoClick()
{
    if (OnClick) return OnClick(this);
    bool done = false;
    if (buttons_->OnButtonClick) buttons_->OnButtonClick(buttons_, defaultIndex_, done);
    if (!done) buttons_->DoButtonClick(defaultIndex_);
}

void TcxNavigatorButton::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    if (!Navigator()) return;
    if (visible_) Navigator()->RefreshNavigator();
    Navigator()->NavigatorChanged(nctLayout);
}

void TcxNavigatorButton::SetHint(const std::string& value)
{
    if (value == hint_) return;
    hint_ = value;
    if (Navigator()) Navigator()->NavigatorChanged(nctProperties);
}

void TcxNavigatorButton::SetImageIndex(int value)
{
    if (value == imageIndex_) return;
    imageIndex_ = value;
    if (!Navigator()) return;
    if (visible_) Navigator()->RefreshNavigator();
    Navigator()->NavigatorChanged(nctLayout);
}

void TcxNavigatorButton::SetVisible(bool value) { ChangeVisible(value, true); }

void TcxNavigatorButton::InitVisible(bool value) { ChangeVisible(value, false); }

void TcxNavigatorButton::ChangeVisible(bool value, bool fromOutside)
{
    if (value == visible_) return;
    visible_ = value;
    if (fromOutside) visibleAssigned_ = true;
    if (!Navigator()) return;
    Navigator()->RefreshNavigator();
    Navigator()->NavigatorChanged(nctSize);
}

bool TcxNavigatorButton::GetInternalEnabled() const { return enabled_ && buttons_->GetButtonEnabled(defaultIndex_); }

std::string TcxNavigatorButton::GetInternalHint() const
{
    return hint_.empty() ? buttons_->GetButtonHint(defaultIndex_) : hint_;
}

int TcxNavigatorButton::GetInternalImageIndex() const
{
    return buttons_->Images() && imageIndex_ >= 0 ? imageIndex_ : defaultIndex_;
}

TCustomImageList* TcxNavigatorButton::GetInternalImages() const
{
    return buttons_->Images() && imageIndex_ >= 0 ? buttons_->Images() : cxNavigatorImages();
}

SIZE TcxNavigatorButton::GetImageSize() const
{
    TCustomImageList* images = GetInternalImages();
    return SIZE{images->Width(), images->Height()};
}

// ---- TcxCustomNavigatorButtons -----------------------------------------------------------------

namespace {

const TcxResourceString* const kButtonHints[NavigatorButtonCount] = {
    &cxNavigatorHint_First, &cxNavigatorHint_PriorPage, &cxNavigatorHint_Prior, &cxNavigatorHint_Next,
    &cxNavigatorHint_NextPage, &cxNavigatorHint_Last, &cxNavigatorHint_Insert, &cxNavigatorHint_Delete,
    &cxNavigatorHint_Edit, &cxNavigatorHint_Post, &cxNavigatorHint_Cancel, &cxNavigatorHint_Refresh,
    &cxNavigatorHint_SaveBookmark, &cxNavigatorHint_GotoBookmark, &cxNavigatorHint_Filter,
};

}  // namespace

TClass TcxCustomNavigatorButtons::StaticClass()
{
    return DefineClass<TcxCustomNavigatorButtons, TPersistent>("TcxCustomNavigatorButtons");
}

void TcxCustomNavigatorButtons::Construct(IcxNavigatorOwner* navigator)
{
    navigator_ = navigator;
    imageChangeLink_ = MakeObject<TChangeLink>();
    imageChangeLink_->OnChange = TNotifyEvent::Bind(this, &TcxCustomNavigatorButtons::ImageListChange);
    CreateButtons();
}

void TcxCustomNavigatorButtons::Destroy()
{
    if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
    DestroyButtons();
    TPersistent::Destroy();
}

void TcxCustomNavigatorButtons::CreateButtons()
{
    for (int i = 0; i < NavigatorButtonCount; ++i) buttons_.push_back(CreateObject<TcxNavigatorButton>(this, i));
}

void TcxCustomNavigatorButtons::DestroyButtons()
{
    for (TcxNavigatorButton* button : buttons_) button->Free();
    buttons_.clear();
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() const
{
    return navigator_ ? navigator_->GetNavigatorOwner() : nullptr;
}

void TcxCustomNavigatorButtons::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomNavigatorButtons>(source);
    if (!other) return TPersistent::Assign(source);
    for (int i = 0; i < std::min(ButtonCount(), other->ButtonCount()); ++i) buttons_[i]->Assign(other->buttons_[i]);
    SetConfirmDelete(other->confirmDelete_);
    SetImages(other->images_);
    OnButtonClick = other->OnButtonClick;
}

TcxNavigatorButton* TcxCustomNavigatorButtons::Button(int index) const
{
    return index >= 0 && index < ButtonCount() ? buttons_[index] : nullptr;
}

void TcxCustomNavigatorButtons::ClickButton(int index)
{
    if (TcxNavigatorButton* button = Button(index)) button->Click();
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* value)
{
    if (value == images_) return;
    if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
    images_ = value;
    if (images_) {
        images_->RegisterChanges(imageChangeLink_.get());
        if (TComponent* owner = navigator_ ? navigator_->GetNavigatorOwner() : nullptr) images_->FreeNotification(owner);
    }
    if (!navigator_) return;
    navigator_->RefreshNavigator();
    navigator_->NavigatorChanged(nctLayout);
}

void TcxCustomNavigatorButtons::SetConfirmDelete(bool value)
{
    if (value == confirmDelete_) return;
    confirmDelete_ = value;
    if (navigator_) navigator_->NavigatorChanged(nctProperties);
}

void TcxCustomNavigatorButtons::ImageListChange(TObject*)
{
    if (navigator_) navigator_->RefreshNavigator();
}

bool TcxCustomNavigatorButtons::GetButtonEnabled(int)
{
    TWinControl* control = navigator_ ? navigator_->GetNavigatorControl() : nullptr;
    return control && control->Enabled();
}

std::string TcxCustomNavigatorButtons::GetButtonHint(int index)
{
    if (index < 0 || index >= NavigatorButtonCount) return "";
    return cxGetResourceString(*kButtonHints[index]);
}

// ---- TcxNavigatorControlButtons ----------------------------------------------------------------

TClass TcxNavigatorControlButtons::StaticClass()
{
    return DefineClass<TcxNavigatorControlButtons, TcxCustomNavigatorButtons>(
        "TcxNavigatorControlButtons", [](ClassBuilder<TcxNavigatorControlButtons>& b) {
            using B = TcxNavigatorControlButtons;
            b.EventProperty("OnButtonClick", &B::OnButtonClick);
            b.Property("ConfirmDelete", &B::ConfirmDelete, &B::SetConfirmDelete).Default(true);
            b.Property("Images", &B::Images, &B::SetImages);
            b.Property("First", &B::First);
            b.Property("PriorPage", &B::PriorPage);
            b.Property("Prior", &B::Prior);
            b.Property("Next", &B::Next);
            b.Property("NextPage", &B::NextPage);
            b.Property("Last", &B::Last);
            b.Property("Insert", &B::Insert);
            b.Property("Delete", &B::Delete);
            b.Property("Edit", &B::Edit);
            b.Property("Post", &B::Post);
            b.Property("Cancel", &B::Cancel);
            b.Property("Refresh", &B::Refresh);
            b.Property("SaveBookmark", &B::SaveBookmark);
            b.Property("GotoBookmark", &B::GotoBookmark);
            b.Property("Filter", &B::Filter);
        });
}

void TcxNavigatorControlButtons::DoButtonClick(int index)
{
    if (IcxNavigator* control = GetControl()) control->DoAction(index);
    if (Navigator()) Navigator()->NavigatorButtonsStateChanged();
}

bool TcxNavigatorControlButtons::GetButtonEnabled(int index)
{
    IcxNavigator* control = GetControl();
    if (!control || !TcxCustomNavigatorButtons::GetButtonEnabled(index)) return false;
    if (!control->GetNavigatorIsActive() && index != NBDI_FILTER) return false;
    switch (index) {
    case NBDI_FIRST:
    case NBDI_PRIORPAGE:
    case NBDI_PRIOR: return !control->IsBOF();
    case NBDI_NEXT:
    case NBDI_NEXTPAGE:
    case NBDI_LAST: return !control->IsEOF();
    case NBDI_INSERT: return control->CanInsert();
    case NBDI_DELETE: return control->CanDelete();
    case NBDI_EDIT: return control->CanEdit() && !control->GetIsEditing();
    case NBDI_POST:
    case NBDI_CANCEL: return control->CanEdit() && control->GetIsEditing();
    case NBDI_GOTOBOOKMARK: return control->IsBookmarkAvailable();
    default: return true;
    }
}

void TcxNavigatorControlButtons::ReleaseBookmark()
{
    IcxNavigator* control = GetControl();
    if (control && control->IsBookmarkAvailable()) control->ClearBookmark();
}

// ---- TcxNavigatorViewInfo ----------------------------------------------------------------------

namespace {

constexpr unsigned kFirstRepeatDelay = 400;
constexpr unsigned kRepeatInterval = 100;
constexpr unsigned kHintPause = 500;
constexpr int kPushButtonPart = 1;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

ObjectPtr<TTimer> NewTimer(unsigned interval, TNotifyEvent onTimer)
{
    ObjectPtr<TTimer> timer = MakeObject<TTimer>(static_cast<TComponent*>(nullptr));
    timer->SetEnabled(false);
    timer->SetInterval(interval);
    timer->OnTimer = std::move(onTimer);
    return timer;
}

bool EndsHint(UINT message)
{
    return (message >= WM_KEYFIRST && message <= 0x0108) || message == 0xB000 || message == 0xB001 ||
           message == 0xB016 || message == 0xB017 || message == WM_COMMAND ||
           (message >= WM_LBUTTONDOWN && message <= WM_MOUSEWHEEL) || message == WM_NCMOUSEMOVE;
}

}  // namespace

TClass TcxNavigatorViewInfo::StaticClass()
{
    return DefineClass<TcxNavigatorViewInfo, TObject>("TcxNavigatorViewInfo");
}

void TcxNavigatorViewInfo::Construct(IcxNavigatorOwner* navigator)
{
    navigator_ = navigator;
    repeatTimer_ = NewTimer(kFirstRepeatDelay, TNotifyEvent::Bind(this, &TcxNavigatorViewInfo::RepeatTimerTick));
    hintTimer_ = NewTimer(kHintPause, TNotifyEvent::Bind(this, &TcxNavigatorViewInfo::HintTimerTick));
}

void TcxNavigatorViewInfo::Destroy()
{
    HintActivate(false);
    repeatTimer_.reset();
    hintTimer_.reset();
    TObject::Destroy();
}

TcxCustomLookAndFeelPainterClass TcxNavigatorViewInfo::Painter()
{
    return navigator_->GetNavigatorLookAndFeel()->GetAvailablePainter(totButton);
}

void TcxNavigatorViewInfo::Clear()
{
    buttons_.clear();
    hotButton_ = pressedButton_ = nullptr;
}

int TcxNavigatorViewInfo::IndexOf(const TcxNavigatorButton* button) const
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (button && buttons_[i].Button == button) return i;
    return -1;
}

void TcxNavigatorViewInfo::CheckSize(int& width, int& height)
{
    dirty_ = true;
    TcxCustomNavigatorButtons* all = navigator_->GetNavigatorButtons();
    std::vector<TcxNavigatorButton*> visible;
    for (int i = 0; i < all->ButtonCount(); ++i)
        if (all->Button(i)->Visible()) visible.push_back(all->Button(i));
    buttons_.resize(visible.size());
    if (IndexOf(hotButton_) < 0 || !hotButton_->Visible()) hotButton_ = nullptr;
    if (IndexOf(pressedButton_) < 0 || !pressedButton_->Visible()) pressedButton_ = nullptr;
    const int count = static_cast<int>(visible.size());
    TcxCustomLookAndFeelPainterClass painter = Painter();
    std::vector<int> widths(visible.size());
    int sum = 0, minHeight = 0;
    for (int k = 0; k < count; ++k) {
        buttons_[k].Button = visible[k];
        const RECT borders = painter->ButtonGroupBorderSizes(count, k);
        widths[k] = visible[k]->GetImageSize().cx + borders.left + borders.right + 1;
        sum += widths[k];
        minHeight = std::max<int>(minHeight, borders.top + borders.bottom + 1);
    }
    height = std::max(height, minHeight);
    int extra = 0;
    if (width < sum) width = sum;
    else if (count == 0) width = 0;
    else {
        extra = (width - sum) / count;
        width = sum + count * extra;
    }
    const RECT bounds = navigator_->GetNavigatorBounds();
    int x = bounds.left;
    for (int k = 0; k < count; ++k) {
        buttons_[k].Bounds = RECT{x, bounds.top, x + widths[k] + extra, bounds.top + height};
        x = buttons_[k].Bounds.right;
    }
}

void TcxNavigatorViewInfo::Calculate()
{
    const RECT bounds = navigator_->GetNavigatorBounds();
    int width = Width(bounds), height = Height(bounds);
    CheckSize(width, height);
    for (TcxNavigatorButtonViewInfo& b : buttons_) {
        b.Enabled = b.Button->GetInternalEnabled();
        b.Hint = b.Button->GetInternalHint();
    }
    dirty_ = false;
}

int TcxNavigatorViewInfo::GetButtonIndexAt(const POINT& p) const
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (PtInRect(&buttons_[i].Bounds, p)) return i;
    return -1;
}

TcxButtonState TcxNavigatorViewInfo::GetButtonState(int index) const
{
    const TcxNavigatorButtonViewInfo& b = buttons_[index];
    if (!b.Enabled) return cxbsDisabled;
    if (b.Button == hotButton_ && b.Button == pressedButton_) return cxbsPressed;
    if (b.Button == hotButton_) return cxbsHot;
    return cxbsNormal;
}

TcxNavigatorButton* TcxNavigatorViewInfo::HotButton() const { return hotButton_; }

TcxNavigatorButton* TcxNavigatorViewInfo::PressedButton() const { return pressedButton_; }

TcxNavigatorButton* TcxNavigatorViewInfo::FocusedButton()
{
    if (focusedButton_ && !focusedButton_->Visible()) focusedButton_ = nullptr;
    if (!focusedButton_) {
        TcxCustomNavigatorButtons* all = navigator_->GetNavigatorButtons();
        for (int i = 0; i < all->ButtonCount() && !focusedButton_; ++i)
            if (all->Button(i)->Visible()) focusedButton_ = all->Button(i);
    }
    return focusedButton_;
}

void TcxNavigatorViewInfo::InvalidateButton(int index)
{
    TWinControl* control = navigator_->GetNavigatorControl();
    if (index < 0 || index >= ButtonCount() || !control->HandleAllocated()) return;
    ::InvalidateRect(control->Handle(), &buttons_[index].Bounds, FALSE);
}

// ---- painting ----

RECT TcxNavigatorViewInfo::GlyphRect(int index, TcxCustomLookAndFeelPainterClass painter, TcxButtonState state)
{
    const RECT b = buttons_[index].Bounds;
    const RECT borders = painter->ButtonGroupBorderSizes(ButtonCount(), index);
    const SIZE image = buttons_[index].Button->GetImageSize();
    RECT r;
    if (Width(b) - borders.left - borders.right - 1 < image.cx || Height(b) - borders.top - borders.bottom - 1 < image.cy)
        r = RECT{b.left + borders.left, b.top + borders.top, b.right - borders.right - 1, b.bottom - borders.bottom - 1};
    else {
        const int x = b.left + (Width(b) - image.cx) / 2, y = b.top + (Height(b) - image.cy) / 2;
        r = RECT{x, y, x + image.cx, y + image.cy};
    }
    if (state == cxbsPressed) OffsetRect(&r, 1, 1);
    return r;
}

void TcxNavigatorViewInfo::DrawGlyph(int index, TcxCustomLookAndFeelPainterClass painter, TcxButtonState state,
                                     const RECT& glyph)
{
    TcxNavigatorButton* button = buttons_[index].Button;
    TCustomImageList* images = button->GetInternalImages();
    ObjectPtr<TBitmap> background;
    HTHEME theme = painter->LookAndFeelStyle() == lfsNative ? OpenTheme(totButton) : nullptr;
    if (theme) {
        // The themed face under the glyph, so the glyph sits on it.
        background = MakeObject<TBitmap>();
        background->SetSize(images->Width(), images->Height());
        RECT face = buttons_[index].Bounds;
        OffsetRect(&face, -glyph.left, -glyph.top);
        dxUxTheme::DrawThemeBackground(theme, background->Canvas()->Handle(), kPushButtonPart,
                                       BtnStateToXPBtnState(state), &face, nullptr);
    }
    ::DrawGlyph(canvas_.get(), images, button->GetInternalImageIndex(),
                RECT{glyph.left, glyph.top, glyph.left + images->Width(), glyph.top + images->Height()},
                painter->ButtonColor(state), state != cxbsDisabled, background.get());
}

void TcxNavigatorViewInfo::PaintButton(int index)
{
    const RECT bounds = buttons_[index].Bounds;
    if (!canvas_->RectVisible(bounds)) return;
    TcxCustomLookAndFeelPainterClass painter = Painter();
    const TcxButtonState state = GetButtonState(index);
    const bool native = painter->LookAndFeelStyle() == lfsNative;
    HTHEME theme = native ? OpenTheme(totButton) : nullptr;
    const bool transparent =
        theme && dxUxTheme::IsThemeBackgroundPartiallyTransparent(theme, kPushButtonPart, BtnStateToXPBtnState(state));
    const RECT frame = transparent ? cxRectInflate(bounds, 1, 1) : bounds;
    if (transparent) {
        RECT behind = bounds;
        dxUxTheme::DrawThemeParentBackground(navigator_->GetNavigatorControl()->Handle(), canvas_->Handle(), &behind);
    }
    const RECT glyph = GlyphRect(index, painter, state);
    DrawGlyph(index, painter, state, glyph);
    if (navigator_->GetNavigatorTabStop() && navigator_->GetNavigatorFocused() && FocusedButton() == buttons_[index].Button)
        canvas_->DrawFocusRect(glyph);
    canvas_->ExcludeClipRect(glyph);
    painter->DrawButtonInGroup(canvas_.get(), frame, state, ButtonCount(), index, clWindow);
    if (native) canvas_->ExcludeClipRect(bounds);
}

void TcxNavigatorViewInfo::Paint()
{
    canvas_.reset(CreateObject<TcxCanvas>(navigator_->GetNavigatorCanvas()));
    if (dirty_) Calculate();
    for (int i = 0; i < ButtonCount(); ++i) PaintButton(i);
    TWinControl* control = navigator_->GetNavigatorControl();
    const bool designing = control->ComponentState().Contains(csDesigning) && control->Enabled();
    Painter()->DrawButtonGroupBorder(canvas_.get(), navigator_->GetNavigatorBounds(), false, selected_ || designing);
}

void TcxNavigatorViewInfo::UpdateSelected()
{
    if (!Painter()->IsButtonHotTrack()) return;
    const bool selected = hotButton_ || pressedButton_ || navigator_->GetNavigatorFocused();
    if (selected == selected_) return;
    selected_ = selected;
    TWinControl* control = navigator_->GetNavigatorControl();
    if (!control->HandleAllocated()) return;
    const RECT r = navigator_->GetNavigatorBounds();
    // Only the one-pixel frame changes.
    const RECT edges[4] = {{r.left, r.top, r.right, r.top + 1}, {r.left, r.bottom - 1, r.right, r.bottom},
                           {r.left, r.top, r.left + 1, r.bottom}, {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT& edge : edges) ::InvalidateRect(control->Handle(), &edge, FALSE);
}

void TcxNavigatorViewInfo::ButtonsStateChanged()
{
    if (dirty_) return;
    for (int i = 0; i < ButtonCount(); ++i) {
        const bool enabled = buttons_[i].Button->GetInternalEnabled();
        if (enabled == buttons_[i].Enabled) continue;
        buttons_[i].Enabled = enabled;
        InvalidateButton(i);
    }
}

// ---- mouse and keys ----

void TcxNavigatorViewInfo::MouseDown(TMouseButton button, int x, int y)
{
    if (button != mbLeft) return;
    HintActivate(false);
    if (dirty_) Calculate();
    const int index = GetButtonIndexAt(POINT{x, y});
    if (index < 0 || GetButtonState(index) == cxbsDisabled) return;
    repeatTimer_->SetInterval(kFirstRepeatDelay);
    repeatTimer_->SetEnabled(true);
    pressedButton_ = focusedButton_ = buttons_[index].Button;
    InvalidateButton(index);
}

void TcxNavigatorViewInfo::SetHot(int index)
{
    TcxNavigatorButton* hot = index >= 0 ? buttons_[index].Button : nullptr;
    if (hot == hotButton_) return;
    const int old = IndexOf(hotButton_);
    if (old >= 0 && buttons_[old].Enabled) InvalidateButton(old);
    if (index >= 0 && buttons_[index].Enabled) InvalidateButton(index);
    hotButton_ = hot;
    if (!hot) HintActivate(false);
    else if (hintShowing_) HintActivate(true);
    else hintTimer_->SetEnabled(true);
}

void TcxNavigatorViewInfo::MouseMove(int x, int y)
{
    if (dirty_) Calculate();
    SetHot(GetButtonIndexAt(POINT{x, y}));
}

void TcxNavigatorViewInfo::StopRepeat() { repeatTimer_->SetEnabled(false); }

void TcxNavigatorViewInfo::MouseUp(int x, int y)
{
    StopRepeat();
    TcxNavigatorButton* pressed = pressedButton_;
    pressedButton_ = nullptr;
    InvalidateButton(IndexOf(pressed));
    hintTimer_->SetEnabled(true);
    if (dirty_) Calculate();
    // Only a release over the pressed button clicks it: sliding off cancels.
    const int index = GetButtonIndexAt(POINT{x, y});
    if (pressed && index >= 0 && buttons_[index].Button == pressed) pressed->Click();
}

void TcxNavigatorViewInfo::RepeatTimerTick(TObject*)
{
    if ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0) {
        StopRepeat();
        POINT p{-1, -1};
        TWinControl* control = navigator_->GetNavigatorControl();
        if (GetCursorPos(&p) && control->HandleAllocated()) ScreenToClient(control->Handle(), &p);
        return MouseUp(p.x, p.y);
    }
    repeatTimer_->SetInterval(kRepeatInterval);
    TcxNavigatorButton* pressed = pressedButton_;
    if (!pressed || pressed != hotButton_ || !pressed->GetInternalEnabled()) return;
    if (pressed->DefaultIndex() != NBDI_PRIOR && pressed->DefaultIndex() != NBDI_NEXT) return;
    try {
        pressed->DoClick();
    } catch (...) {
        StopRepeat();
        throw;
    }
}

void TcxNavigatorViewInfo::MoveFocus(int step)
{
    const int current = IndexOf(FocusedButton());
    if (current < 0) return;
    const int next = std::clamp(current + step, 0, ButtonCount() - 1);
    if (next == current) return;
    focusedButton_ = buttons_[next].Button;
    InvalidateButton(current);
    InvalidateButton(next);
}

void TcxNavigatorViewInfo::KeyDown(WORD key)
{
    if (dirty_) Calculate();
    if (key == VK_LEFT) MoveFocus(-1);
    else if (key == VK_RIGHT) MoveFocus(1);
    else if (key == VK_SPACE) {
        TcxNavigatorButton* focused = FocusedButton();
        if (focused && focused->GetInternalEnabled()) focused->DoClick();
    }
}

void TcxNavigatorViewInfo::DoEnter()
{
    InvalidateButton(IndexOf(FocusedButton()));
    UpdateSelected();
}

void TcxNavigatorViewInfo::DoExit()
{
    InvalidateButton(IndexOf(FocusedButton()));
    UpdateSelected();
}

// ---- hints ----

void TcxNavigatorViewInfo::HintTimerTick(TObject*) { HintActivate(true); }

void TcxNavigatorViewInfo::CheckHintMessage(UINT message)
{
    if (hintShowing_ && EndsHint(message)) HintActivate(false);
}

bool TcxNavigatorViewInfo::CanShowHint(const std::string& text)
{
    if (!navigator_->GetNavigatorShowHint() || text.empty()) return false;
    TCustomForm* form = GetParentForm(navigator_->GetNavigatorControl());
    if (!form || !form->HandleAllocated() || form->Active()) return true;
    return form->FormStyle() == fsMDIForm && Application && Application->Active();
}

void TcxNavigatorViewInfo::ShowHint(const std::string& text)
{
    TClass cls = Application && Application->HintWindowClass() ? Application->HintWindowClass()
                                                                 : THintWindow::StaticClass();
    hintWindow_.reset(CreateInstance<THintWindow>(cls, static_cast<TComponent*>(nullptr)));
    if (Application) hintWindow_->SetColor(Application->HintColor());
    RECT r = hintWindow_->CalcHintRect(GetSystemMetrics(SM_CXSCREEN), text);
    POINT p{};
    GetCursorPos(&p);
    OffsetRect(&r, p.x, p.y + cxGetCursorSize().cy);
    hintWindow_->ActivateHint(r, text);
    hintShowing_ = true;
}

void TcxNavigatorViewInfo::HintActivate(bool show)
{
    if (hintWindow_) hintWindow_->ReleaseHandle();
    hintWindow_.reset();
    hintTimer_->SetEnabled(false);
    hintShowing_ = false;
    const int index = IndexOf(hotButton_);
    if (!show || index < 0) return;
    const std::string text = GetShortHint(buttons_[index].Hint);
    if (CanShowHint(text)) ShowHint(text);
}

// ---- TcxCustomNavigator ------------------------------------------------------------------------

TClass TcxCustomNavigator::StaticClass()
{
    return DefineClass<TcxCustomNavigator, TcxControl>("TcxCustomNavigator", [](ClassBuilder<TcxCustomNavigator>& b) {
        b.Property("TabStop", &TcxCustomNavigator::TabStop, &TcxCustomNavigator::SetTabStop).Default(false);
        b.EventProperty("ButtonsEvents", &TcxCustomNavigator::ButtonsEvents);
    });
}

void TcxCustomNavigator::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    controlStyle_.Exclude(csAcceptsControls);
    controlStyle_.Exclude(csSetCaption);
    controlStyle_.Include(csOpaque);
    SetKeys(TcxKeys{kArrows});
    buttons_.reset(CreateButtons());
    viewInfo_.reset(CreateInstance<TcxNavigatorViewInfo>(GetViewInfoClass(), static_cast<IcxNavigatorOwner*>(this)));
    SetTabStop(false);
    SetBounds(Left(), Top(), Width(), cxNavigatorDefaultHeight);
}

void TcxCustomNavigator::Destroy()
{
    EndMouseTracking(&trackingCaller_);
    viewInfo_.reset();
    buttons_.reset();
    TcxControl::Destroy();
}

TcxCustomNavigatorButtons* TcxCustomNavigator::CreateButtons()
{
    return CreateObject<TcxCustomNavigatorButtons>(static_cast<IcxNavigatorOwner*>(this));
}

TcxNavigatorViewInfoClass TcxCustomNavigator::GetViewInfoClass() { return TcxNavigatorViewInfo::StaticClass(); }

void TcxCustomNavigator::InitButtons()
{
    for (int i = 0; i < buttons_->ButtonCount(); ++i)
        if (!buttons_->Button(i)->IsVisibleAssigned()) buttons_->Button(i)->InitVisible(true);
}

void TcxCustomNavigator::RestoreButtons()
{
    for (int i = 0; i < buttons_->ButtonCount(); ++i) buttons_->Button(i)->SetVisibleAssigned(false);
    InitButtons();
}

void TcxCustomNavigator::Notification(TComponent* component, TOperation operation)
{
    TcxControl::Notification(component, operation);
    if (operation == opRemove && buttons_ && component == buttons_->Images()) buttons_->SetImages(nullptr);
}

RECT TcxCustomNavigator::GetNavigatorBounds() { return RECT{0, 0, ClientWidth(), ClientHeight()}; }

TCanvas* TcxCustomNavigator::GetNavigatorCanvas() { return TcxControl::Canvas()->Canvas(); }

void TcxCustomNavigator::NavigatorButtonsStateChanged()
{
    if (viewInfo_) viewInfo_->ButtonsStateChanged();
}

void TcxCustomNavigator::RefreshNavigator()
{
    if (!HandleAllocated() || !viewInfo_) return;
    viewInfo_->MakeIsDirty();
    int width = Width(), height = Height();
    viewInfo_->CheckSize(width, height);
    if (width == Width() && height == Height()) Invalidate();
    else SetBounds(Left(), Top(), width, height);
}

void TcxCustomNavigator::SetBounds(int left, int top, int width, int height)
{
    if (HandleAllocated() && viewInfo_) viewInfo_->CheckSize(width, height);
    TcxControl::SetBounds(left, top, width, height);
}

void TcxCustomNavigator::CreateWnd()
{
    TcxControl::CreateWnd();
    SetBounds(Left(), Top(), Width(), Height());
}

void TcxCustomNavigator::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed)
{
    TcxControl::LookAndFeelChanged(sender, changed);
    if (HandleAllocated()) RecreateWnd();
}

void TcxCustomNavigator::EnabledChanged()
{
    TcxControl::EnabledChanged();
    RefreshNavigator();
}

void TcxCustomNavigator::WndProc(TMessage& message)
{
    if (viewInfo_) viewInfo_->CheckHintMessage(message.Msg);
    TcxControl::WndProc(message);
}

void TcxCustomNavigator::Paint()
{
    if (viewInfo_) viewInfo_->Paint();
}

void TcxCustomNavigator::DoEnter()
{
    TcxControl::DoEnter();
    if (viewInfo_) viewInfo_->DoEnter();
}

void TcxCustomNavigator::DoExit()
{
    TcxControl::DoExit();
    if (viewInfo_) viewInfo_->DoExit();
}

void TcxCustomNavigator::KeyDown(WORD& key, TShiftState shift)
{
    TcxControl::KeyDown(key, shift);
    if (!viewInfo_) return;
    viewInfo_->KeyDown(key);
    viewInfo_->UpdateSelected();
}

void TcxCustomNavigator::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseDown(button, shift, x, y);
    if (!viewInfo_) return;
    viewInfo_->MouseDown(button, x, y);
    viewInfo_->UpdateSelected();
}

void TcxCustomNavigator::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    if (!viewInfo_) return;
    viewInfo_->MouseMove(x, y);
    viewInfo_->UpdateSelected();
}

void TcxCustomNavigator::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseUp(button, shift, x, y);
    if (!viewInfo_) return;
    viewInfo_->MouseUp(x, y);
    viewInfo_->UpdateSelected();
}

void TcxCustomNavigator::MouseEnter(TControl* control)
{
    TcxControl::MouseEnter(control);
    if (mouseTracking_ || (GetCapture() && GetCapture() != Handle())) return;
    BeginMouseTracking(this, ClientRect(), &trackingCaller_);
    mouseTracking_ = true;
}

void TcxCustomNavigator::MouseLeave(TControl* control)
{
    TcxControl::MouseLeave(control);
    NavigatorMouseLeave();
}

void TcxCustomNavigator::NavigatorMouseLeave()
{
    EndMouseTracking(&trackingCaller_);
    mouseTracking_ = false;
    if (!viewInfo_) return;
    viewInfo_->MouseMove(-1, -1);
    viewInfo_->UpdateSelected();
}

// ---- TcxCustomNavigatorControl -----------------------------------------------------------------

TClass TcxCustomNavigatorControl::StaticClass()
{
    return DefineClass<TcxCustomNavigatorControl, TcxCustomNavigator>("TcxCustomNavigatorControl");
}

TcxCustomNavigatorButtons* TcxCustomNavigatorControl::CreateButtons()
{
    auto* buttons = CreateObject<TcxNavigatorControlButtons>(static_cast<IcxNavigatorOwner*>(this));
    buttons->SetOnGetControl([this] { return GetNavigator(); });
    return buttons;
}

TcxNavigatorControlButtons* TcxCustomNavigatorControl::Buttons() const
{
    return static_cast<TcxNavigatorControlButtons*>(CustomButtons());
}

void TcxCustomNavigatorControl::SetButtons(TcxNavigatorControlButtons* value) { Buttons()->Assign(value); }

IcxNavigator* TcxCustomNavigatorControl::GetNavigator() const { return Supports<IcxNavigator>(control_); }

void TcxCustomNavigatorControl::Unbind()
{
    if (!control_) return;
    control_->RemoveFreeNotification(this);
    IcxNavigator* navigator = GetNavigator();
    if (TcxNavigatorControlNotifier* notifier = navigator ? navigator->GetNotifier() : nullptr)
        notifier->RemoveNavigator(this);
    control_ = nullptr;
}

void TcxCustomNavigatorControl::SetControl(TComponent* value)
{
    if (value == control_ || (value && !Supports<IcxNavigator>(value))) return;
    Unbind();
    control_ = value;
    if (control_) {
        control_->FreeNotification(this);
        if (TcxNavigatorControlNotifier* notifier = GetNavigator()->GetNotifier()) notifier->AddNavigator(this);
    }
    InitButtons();
    RefreshNavigator();
}

void TcxCustomNavigatorControl::InitButtons()
{
    IcxNavigator* navigator = GetNavigator();
    TcxCustomNavigatorButtons* buttons = CustomButtons();
    for (int i = 0; i < buttons->ButtonCount(); ++i) {
        TcxNavigatorButton* button = buttons->Button(i);
        if (!button->IsVisibleAssigned())
            button->InitVisible(navigator ? navigator->IsActionSupported(button->DefaultIndex()) : true);
    }
}

void TcxCustomNavigatorControl::Notification(TComponent* component, TOperation operation)
{
    TcxCustomNavigator::Notification(component, operation);
    if (operation == opRemove && component == control_) SetControl(nullptr);
}

void TcxCustomNavigatorControl::Destroy()
{
    Unbind();
    TcxCustomNavigator::Destroy();
}

// ---- TcxNavigator ------------------------------------------------------------------------------

TClass TcxNavigator::StaticClass()
{
    return DefineClass<TcxNavigator, TcxCustomNavigatorControl>("TcxNavigator", [](ClassBuilder<TcxNavigator>& b) {
        b.Property("Control", &TcxNavigator::Control, &TcxNavigator::SetControl);
        b.Property("Buttons", &TcxNavigator::Buttons, &TcxNavigator::SetButtons);
        b.Property("LookAndFeel", &TcxNavigator::LookAndFeel, &TcxNavigator::SetLookAndFeel);
    });
}

#include "platform/hostlib/stdctrls/extctrls.h"

#include <algorithm>

#include "platform/controls/winctl.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/stdctrls/listbox.h"
#include "platform/hostlib/stdctrls/richedit.h"

namespace hostlib {

// ---- TLabel ----------------------------------------------------------------------------

TClass TLabel::StaticClass()
{
    return DefineClass<TLabel, TGraphicControl>("TLabel", [](ClassBuilder<TLabel>& b) {
        b.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
        b.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
        b.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
        b.Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
        b.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
        b.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    });
}

void TLabel::Construct(TComponent* owner)
{
    TGraphicControl::Construct(owner);
    SetBounds(0, 0, 65, 17);
}

UINT TLabel::DrawFlags() const
{
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    else if (alignment_ == taCenter) flags |= DT_CENTER;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || !Parent() || !Parent()->HandleAllocated()) return;
    TCanvas* c = Canvas();
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    c->Font()->Assign(Font());
    c->DrawText(text, r, DrawFlags() | DT_CALCRECT);
    const int width = wordWrap_ ? Width() : r.right - r.left;
    int left = Left();
    if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - width;
    else if (!wordWrap_ && alignment_ == taCenter) left += (Width() - width) / 2;
    if (width != Width() || r.bottom - r.top != Height()) SetBounds(left, Top(), width, r.bottom - r.top);
}

void TLabel::SetAutoSize(bool value)
{
    autoSize_ = value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool value)
{
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool value)
{
    transparent_ = value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value)
{
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* control)
{
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TLabel::TextChanged()
{
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::Paint()
{
    TCanvas* c = Canvas();
    RECT r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->DrawText(Caption(), r, DrawFlags());
}

void TLabel::Dispatch(TMessage& m)
{
    // Alt+accelerator focuses the associated control.
    if (m.Msg == CM_DIALOGCHAR && showAccelChar_ && focusControl_ && Enabled() &&
        IsAccel(static_cast<WORD>(m.WParam), Caption()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
    }
    TGraphicControl::Dispatch(m);
}

// ---- TGroupBox --------------------------------------------------------------------------

TClass TGroupBox::StaticClass() { return DefineClass<TGroupBox, TCustomControl>("TGroupBox"); }

void TGroupBox::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    controlStyle_.Include(csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(RECT& rect)
{
    TCustomControl::AdjustClientRect(rect);
    // Children start below the caption line.
    const int captionHeight = std::max(8, std::abs(Font()->Height()) + 4);
    rect.top += captionHeight;
    rect.left += 2;
    rect.right -= 2;
    rect.bottom -= 2;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
}

void TGroupBox::Paint()
{
    TCanvas* c = Canvas();
    const RECT r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Font()->Assign(Font());
    const int h = c->TextHeight("0");
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(RECT{r.left, r.top + h / 2, r.right, r.bottom});
    if (!Caption().empty()) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        RECT t{8, 0, 8 + c->TextWidth(Caption()), h};
        c->DrawText(Caption(), t, DT_LEFT | DT_SINGLELINE);
    }
}

// ---- TTabSheet ----------------------------------------------------------------------------

TClass TTabSheet::StaticClass()
{
    return DefineClass<TTabSheet, TWinControl>("TTabSheet", [](ClassBuilder<TTabSheet>& b) {
        b.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
        b.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
    });
}

void TTabSheet::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    controlStyle_.Include(csAcceptsControls);
    InitVisible(false);
}

void TTabSheet::Destroy()
{
    if (pageControl_) pageControl_->RemovePage(this);
    TWinControl::Destroy();
}

void TTabSheet::SetParent(TWinControl* parent)
{
    auto* control = As<TPageControl>(parent);
    if (pageControl_ && pageControl_ != control) pageControl_->RemovePage(this);
    TWinControl::SetParent(parent);
    if (control && pageControl_ != control) control->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

int TTabSheet::PageIndex() const
{
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index)
{
    if (pageControl_) pageControl_->MovePage(this, index);
}

void TTabSheet::SetTabVisible(bool value)
{
    if (value == tabVisible_) return;
    tabVisible_ = value;
    if (!pageControl_) return;
    // A hidden tab cannot stay the shown page.
    if (!value && pageControl_->activePage_ == this) pageControl_->SelectNextPage(true);
    if (!value && pageControl_->activePage_ == this) pageControl_->SetActivePage(nullptr);
    pageControl_->Invalidate();
}

void TTabSheet::TextChanged()
{
    if (pageControl_) pageControl_->Invalidate();
}

// ---- TPageControl ---------------------------------------------------------------------------

namespace {
constexpr int kTabHeight = 22;
constexpr int kTabPadding = 12;
}  // namespace

const TEnumInfo& EnumTypeInfo(TTabStyle*)
{
    static const TEnumInfo info{"TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"}, 0};
    return info;
}

TClass TPageControl::StaticClass()
{
    return DefineClass<TPageControl, TCustomControl>("TPageControl", [](ClassBuilder<TPageControl>& b) {
        b.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
        b.Property("Style", &TPageControl::Style, &TPageControl::SetStyle).Default(tsTabs);
        b.Property("HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack).Default(false);
        b.EventProperty("OnChanging", &TPageControl::OnChanging);
        b.EventProperty("OnChange", &TPageControl::OnChange);
    });
}

void TPageControl::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    controlStyle_.Include(csAcceptsControls);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

void TPageControl::Destroy()
{
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
    TCustomControl::Destroy();
}

TTabSheet* TPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page)
{
    pages_.push_back(page);
    page->pageControl_ = this;
    LayoutPages();
    if (!activePage_ && page->TabVisible() && !IsLoading()) SetActivePage(page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    if (activePage_ == page) {
        SelectNextPage(true);
        if (activePage_ == page) activePage_ = nullptr;
    }
    pages_.erase(std::find(pages_.begin(), pages_.end(), page));
    page->pageControl_ = nullptr;
    Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index)
{
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, PageCount());
    pages_.insert(pages_.begin() + index, page);
    Invalidate();
}

int TPageControl::ActivePageIndex() const
{
    if (!activePage_) return -1;
    return static_cast<int>(std::find(pages_.begin(), pages_.end(), activePage_) - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->pageControl_ != this) return;
    if (page == activePage_) return;
    TTabSheet* old = activePage_;
    activePage_ = page;
    LayoutPages();
    if (page) {
        page->SetVisible(true);
        page->BringToFront();
    }
    if (old && old != page) old->SetVisible(false);
    Invalidate();
}

void TPageControl::SetStyle(TTabStyle value)
{
    if (value == style_) return;
    style_ = value;
    LayoutPages();
    Invalidate();
}

RECT TPageControl::DisplayRect()
{
    RECT r = TWinControl::ClientRect();
    r.top = std::min(r.bottom, r.top + kTabHeight + 2);
    if (style_ == tsTabs) {
        r.left += 2;
        r.right -= 2;
        r.bottom -= 2;
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void TPageControl::AdjustClientRect(RECT& rect) { rect = DisplayRect(); }

void TPageControl::LayoutPages()
{
    const RECT r = DisplayRect();
    for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::Resize()
{
    LayoutPages();
    TCustomControl::Resize();
}

std::vector<RECT> TPageControl::TabRects()
{
    std::vector<RECT> rects(pages_.size(), RECT{0, 0, 0, 0});
    TCanvas* c = HandleAllocated() ? Canvas() : nullptr;
    if (c) c->Font()->Assign(Font());
    int x = 2;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i]->TabVisible()) continue;
        const std::string& caption = pages_[i]->Caption();
        const int textWidth = c ? c->TextWidth(caption) : static_cast<int>(caption.size()) * 7;
        rects[i] = RECT{x, 2, x + textWidth + 2 * kTabPadding, 2 + kTabHeight};
        x = rects[i].right + (style_ == tsTabs ? 0 : 3);
    }
    return rects;
}

RECT TPageControl::TabRect(int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= PageCount()) return RECT{0, 0, 0, 0};
    return TabRects()[static_cast<std::size_t>(pageIndex)];
}

int TPageControl::IndexOfTabAt(int x, int y)
{
    const std::vector<RECT> rects = TabRects();
    const POINT p{x, y};
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (pages_[i]->TabVisible() && PtInRect(&rects[i], p)) return static_cast<int>(i);
    return -1;
}

bool TPageControl::UserSelect(TTabSheet* page)
{
    if (!page || page == activePage_) return false;
    bool allow = true;
    OnChanging(this, allow);
    if (!allow) return false;
    SetActivePage(page);
    OnChange(this);
    return true;
}

void TPageControl::SelectNextPage(bool goForward)
{
    const int count = PageCount();
    if (count == 0) return;
    const int start = std::max(0, ActivePageIndex());
    for (int step = 1; step <= count; ++step) {
        const int i = ((start + (goForward ? step : -step)) % count + count) % count;
        if (pages_[static_cast<std::size_t>(i)]->TabVisible() && pages_[static_cast<std::size_t>(i)] != activePage_) {
            if (activePage_ && activePage_->TabVisible()) UserSelect(pages_[static_cast<std::size_t>(i)]);
            else SetActivePage(pages_[static_cast<std::size_t>(i)]);
            return;
        }
    }
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int index = IndexOfTabAt(x, y);
    if (index >= 0) {
        if (CanFocus()) SetFocus();
        UserSelect(pages_[static_cast<std::size_t>(index)]);
    }
}

void TPageControl::Paint()
{
    TCanvas* c = Canvas();
    const RECT client = TWinControl::ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    c->Font()->Assign(Font());
    const std::vector<RECT> rects = TabRects();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i]->TabVisible()) continue;
        const bool active = pages_[i] == activePage_;
        RECT r = rects[i];
        c->Brush()->SetColor(active && style_ != tsTabs ? clBtnShadow : clBtnFace);
        if (style_ != tsFlatButtons || active) {
            c->Pen()->SetColor(clBtnShadow);
            c->Rectangle(r);
        } else {
            c->FillRect(r);
        }
        c->Brush()->SetStyle(bsClear);
        c->DrawText(pages_[i]->Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (active && Focused()) {
            RECT f = r;
            InflateRect(&f, -3, -3);
            c->DrawFocusRect(f);
        }
    }
    if (style_ == tsTabs) {
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(clBtnShadow);
        const RECT d = DisplayRect();
        c->Rectangle(RECT{d.left - 2, d.top - 2, d.right + 2, d.bottom + 2});
    }
}

// ---- TStatusBar ----------------------------------------------------------------------------------

TClass TStatusPanel::StaticClass()
{
    return DefineClass<TStatusPanel, TCollectionItem>("TStatusPanel", [](ClassBuilder<TStatusPanel>& b) {
        b.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
        b.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
    });
}

void TStatusPanel::SetText(const std::string& value)
{
    if (value == text_) return;
    text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(int value)
{
    width_ = value < 0 ? 0 : value;
    Changed(false);
}

TClass TStatusPanels::StaticClass() { return DefineClass<TStatusPanels, TOwnedCollection>("TStatusPanels"); }

void TStatusPanels::Update(TCollectionItem*)
{
    if (auto* bar = As<TStatusBar>(static_cast<TObject*>(GetOwner()))) bar->Invalidate();
}

TClass TStatusBar::StaticClass()
{
    return DefineClass<TStatusBar, TCustomControl>("TStatusBar", [](ClassBuilder<TStatusBar>& b) {
        b.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
        b.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        b.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    });
}

void TStatusBar::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    panels_.reset(CreateObject<TStatusPanels>(static_cast<TPersistent*>(this)));
    panels_->SetPropName("Panels");
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    SetColor(clBtnFace);
}

void TStatusBar::Destroy()
{
    panels_.reset();
    TCustomControl::Destroy();
}

void TStatusBar::SetSimplePanel(bool value)
{
    if (value == simplePanel_) return;
    simplePanel_ = value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& value)
{
    if (value == simpleText_) return;
    simpleText_ = value;
    if (simplePanel_) Invalidate();
}

void TStatusBar::Paint()
{
    TCanvas* c = Canvas();
    const RECT r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBtnShadow);
    if (simplePanel_) {
        RECT t{r.left + 4, r.top, r.right - 4, r.bottom};
        c->DrawText(simpleText_, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    int x = r.left;
    for (int i = 0; i < panels_->Count(); ++i) {
        const TStatusPanel* panel = panels_->Items(i);
        // The last panel takes the rest of the bar.
        const int right = i == panels_->Count() - 1 ? r.right : x + panel->Width();
        c->Rectangle(RECT{x, r.top + 1, right, r.bottom});
        RECT t{x + 3, r.top, right - 3, r.bottom};
        c->DrawText(panel->Text(), t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        x = right + 2;
    }
}

// ---- TComboBox ------------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TComboBoxStyle*)
{
    static const TEnumInfo info{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}, 0};
    return info;
}

TClass TComboBox::StaticClass()
{
    return DefineClass<TComboBox, TWinControl>("TComboBox", [](ClassBuilder<TComboBox>& b) {
        b.Property("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
        b.Property("Items", &TComboBox::Items, &TComboBox::SetItems);
        b.Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
        b.Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
        b.EventProperty("OnChange", &TComboBox::OnChange);
    });
}

void TComboBox::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    items_.reset(CreateObject<TStringList>());
    items_->OnChange() = TNotifyEvent::Bind(this, &TComboBox::ItemsChanged);
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TComboBox::Destroy()
{
    items_.reset();
    TWinControl::Destroy();
}

void TComboBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    quelvo::ctl::InitControls();
    CreateSubClass(p, "COMBOBOX");
    p.Style |= WS_VSCROLL;
    p.Style |= style_ == csDropDownList ? CBS_DROPDOWNLIST : style_ == csSimple ? CBS_SIMPLE : CBS_DROPDOWN;
    // The window is as tall as its list when dropped down.
    p.Height = Height() + DropDownCount() * 16;
}

void TComboBox::FillWindow()
{
    FillStringsWindow(handle_, *items_, CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, itemIndex_);
}

void TComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    FillWindow();
}

void TComboBox::ItemsChanged(TObject*)
{
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    if (HandleAllocated()) {
        const int keep = ItemIndex();
        itemIndex_ = keep < items_->Count() ? keep : -1;
        FillWindow();
    }
}

int TComboBox::ItemIndex() const
{
    if (!handle_) return itemIndex_;
    return static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index)
{
    if (index < 0 || index >= items_->Count()) index = -1;
    itemIndex_ = index;
    if (HandleAllocated()) SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::SetStyle(TComboBoxStyle value)
{
    if (value == style_) return;
    style_ = value;
    if (HandleAllocated()) {
        itemIndex_ = ItemIndex();
        RecreateWnd();
    }
}

void TComboBox::Dispatch(TMessage& m)
{
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_SELCHANGE) {
        itemIndex_ = ItemIndex();
        OnChange(this);
        return;
    }
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_EDITCHANGE) {
        OnChange(this);
        return;
    }
    TWinControl::Dispatch(m);
}

void RegisterStandardControls()
{
    RegisterClasses({TEdit::StaticClass(), TMaskEdit::StaticClass(), TMemo::StaticClass(), TRadioButton::StaticClass(), TCheckBox::StaticClass(), TTrackBar::StaticClass(),
                     TLabel::StaticClass(), TGroupBox::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(),
                     TStatusBar::StaticClass(), TComboBox::StaticClass(), TButton::StaticClass(), TBitBtn::StaticClass(),
                     TSpeedButton::StaticClass(), TRichEdit::StaticClass(), TListBox::StaticClass(),
                     TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TOpenPictureDialog::StaticClass(),
                     TSavePictureDialog::StaticClass()});
}

}  // namespace hostlib

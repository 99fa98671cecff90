#include "platform/hostlib/stdctrls/stdctrls.h"

#include <algorithm>

#include "platform/controls/winctl.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

namespace {

void StandardClass(TWinControl&, TCreateParams&) { quelvo::ctl::InitControls(); }

}  // namespace

// ---- TCustomEdit ------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TEditCharCase*)
{
    static const TEnumInfo info{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, 0};
    return info;
}

TClass TCustomEdit::StaticClass()
{
    return DefineClass<TCustomEdit, TWinControl>("TCustomEdit", [](ClassBuilder<TCustomEdit>& b) {
        b.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
        b.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
        b.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
        b.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
        b.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
        b.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
        b.EventProperty("OnChange", &TCustomEdit::OnChange);
    });
}

void TCustomEdit::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    controlStyle_.Exclude(csSetCaption);
}

void TCustomEdit::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    StandardClass(*this, p);
    CreateSubClass(p, "EDIT");
    p.Style |= ES_AUTOHSCROLL | WS_BORDER;
    if (readOnly_) p.Style |= ES_READONLY;
    if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
    if (passwordChar_) p.Style |= ES_PASSWORD;
    if (!hideSelection_) p.Style |= ES_NOHIDESEL;
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(handle_, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(passwordChar_)), 0);
}

void TCustomEdit::SetMaxLength(int value)
{
    maxLength_ = value < 0 ? 0 : value;
    if (HandleAllocated()) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value)
{
    readOnly_ = value;
    if (HandleAllocated()) SendMessageA(handle_, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (value == charCase_) return;
    charCase_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value)
{
    if (value == passwordChar_) return;
    passwordChar_ = value;
    if (HandleAllocated()) RecreateWnd();
}

bool TCustomEdit::Modified() const
{
    if (!handle_) return modified_;
    return SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value)
{
    modified_ = value;
    if (HandleAllocated()) SendMessageA(handle_, EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

namespace {

// The window counts bytes of its UTF-8 text; the control counts characters.
int ByteToChar(const std::string& text, int byte)
{
    int ch = 0;
    for (int i = 0; i < byte && i < static_cast<int>(text.size()); ++i)
        if ((static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) & 0xC0) != 0x80) ++ch;
    return ch;
}

int CharToByte(const std::string& text, int ch)
{
    if (ch <= 0) return 0;
    int seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (seen == ch) return static_cast<int>(i);
        ++seen;
    }
    return static_cast<int>(text.size());
}

}  // namespace

std::pair<int, int> TCustomEdit::SelectionBytes() const
{
    if (!handle_) return {0, 0};
    DWORD start = 0, end = 0;
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

int TCustomEdit::SelStart() const { return ByteToChar(TWinControl::Text(), SelectionBytes().first); }

int TCustomEdit::SelLength() const
{
    const std::string text = TWinControl::Text();
    const auto [start, end] = SelectionBytes();
    return ByteToChar(text, end) - ByteToChar(text, start);
}

int TCustomEdit::CaretIndex() const
{
    return handle_ ? static_cast<int>(SendMessageA(handle_, EM_GETCARETINDEX, 0, 0)) : 0;
}

void TCustomEdit::SetSelStart(int value)
{
    const int byte = CharToByte(TWinControl::Text(), std::max(0, value));
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(byte), byte);
}

void TCustomEdit::SetSelLength(int value)
{
    const std::string text = TWinControl::Text();
    const int start = SelStart();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(CharToByte(text, start)), CharToByte(text, start + std::max(0, value)));
}

void TCustomEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

std::string TCustomEdit::SelText() const
{
    const auto [start, end] = SelectionBytes();
    if (start >= end) return {};
    return TWinControl::Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

void TCustomEdit::SetSelText(const std::string& value)
{
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomEdit::SetHideSelection(bool value)
{
    if (value == hideSelection_) return;
    hideSelection_ = value;
    if (HandleAllocated()) RecreateWnd();
}

bool TCustomEdit::CanUndo() const { return handle_ && SendMessageA(handle_, EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::ClearUndo()
{
    if (HandleAllocated()) SendMessageA(handle_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::DoEnter()
{
    if (autoSelect_ && HandleAllocated()) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& m)
{
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    TWinControl::Dispatch(m);
}

TClass TEdit::StaticClass() { return DefineClass<TEdit, TCustomEdit>("TEdit"); }

// ---- TCustomMaskEdit ------------------------------------------------------------------------

TClass TCustomMaskEdit::StaticClass()
{
    return DefineClass<TCustomMaskEdit, TCustomEdit>("TCustomMaskEdit", [](ClassBuilder<TCustomMaskEdit>& b) {
        b.Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
    });
}

void TCustomMaskEdit::SetEditMask(const std::string& mask)
{
    masked_.SetText(Text());
    masked_.SetEditMask(mask);
    ShowMasked(-1);
}

void TCustomMaskEdit::SetText(const std::string& value)
{
    if (!IsMasked()) {
        masked_.SetText(value);
        TCustomEdit::SetText(value);
        return;
    }
    masked_.SetText(value);
    ShowMasked(-1);
}

void TCustomMaskEdit::ShowMasked(int caret)
{
    // TWinControl::SetText compares with the shown text, so an unchanged
    // text raises no OnChange.
    TCustomEdit::SetText(masked_.Text());
    if (caret >= 0 && HandleAllocated()) SetSelStart(caret);
}

void TCustomMaskEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    if (IsMasked()) ShowMasked(-1);
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    if (!IsMasked() || key != VK_DELETE || ReadOnly()) return;
    int start = SelStart();
    int length = SelLength();
    if (masked_.DeleteForward(start, length)) ShowMasked(start);
    key = 0;
}

void TCustomMaskEdit::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    if (!IsMasked() || key == 0) return;
    const auto code = static_cast<unsigned char>(key);
    if (code < 0x20 && key != '\b') return;  // Ctrl shortcuts go to the window
    if (ReadOnly()) {
        key = 0;
        return;
    }
    int start = SelStart();
    int length = SelLength();
    const bool done = key == '\b' ? masked_.Backspace(start, length) : masked_.TypeChar(key, start, length);
    if (done) ShowMasked(start);
    key = 0;
}

void TCustomMaskEdit::Dispatch(TMessage& m)
{
    // Pasted or otherwise replaced text is spread over the mask again.
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE && IsMasked() && Text() != masked_.Text()) {
        const std::string before = masked_.Text();
        masked_.SetText(Text());
        // Shown differently, the text is set again and that change is
        // raised; shown as pasted, the change is raised here.
        if (Text() != masked_.Text())
            ShowMasked(-1);
        else if (masked_.Text() != before)
            Change();
        return;
    }
    TCustomEdit::Dispatch(m);
}

TClass TMaskEdit::StaticClass() { return DefineClass<TMaskEdit, TCustomMaskEdit>("TMaskEdit"); }

// ---- TMemo -------------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TScrollStyle*)
{
    static const TEnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, 0};
    return info;
}

DWORD MultiLineStyle(bool wordWrap, TScrollStyle scrollBars)
{
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL;
    if (!wordWrap) style |= ES_AUTOHSCROLL;
    if (scrollBars == ssVertical || scrollBars == ssBoth) style |= WS_VSCROLL;
    if (scrollBars == ssHorizontal || scrollBars == ssBoth) style |= WS_HSCROLL;
    return style;
}

namespace {

// The lines of a memo, read from and written to its text.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo& memo) : memo_(memo) {}
    int Count() const override { return static_cast<int>(Split().size()); }
    std::string Get(int index) const override
    {
        const std::vector<std::string> lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size())) throw EStringListError(Format(messages::SListIndexError, index));
        return lines[static_cast<std::size_t>(index)];
    }
    void Put(int index, const std::string& s) override
    {
        std::vector<std::string> lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size())) throw EStringListError(Format(messages::SListIndexError, index));
        lines[static_cast<std::size_t>(index)] = s;
        Join(lines);
    }
    void Insert(int index, const std::string& s) override
    {
        std::vector<std::string> lines = Split();
        if (index < 0 || index > static_cast<int>(lines.size())) throw EStringListError(Format(messages::SListIndexError, index));
        lines.insert(lines.begin() + index, s);
        Join(lines);
    }
    void Delete(int index) override
    {
        std::vector<std::string> lines = Split();
        if (index < 0 || index >= static_cast<int>(lines.size())) throw EStringListError(Format(messages::SListIndexError, index));
        lines.erase(lines.begin() + index);
        Join(lines);
    }
    void Clear() override { memo_.SetText(""); }

private:
    std::vector<std::string> Split() const
    {
        std::vector<std::string> lines;
        const std::string text = memo_.Text();
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t j = text.find_first_of("\r\n", i);
            if (j == std::string::npos) j = text.size();
            lines.push_back(text.substr(i, j - i));
            if (j < text.size() && text[j] == '\r') ++j;
            if (j < text.size() && text[j] == '\n') ++j;
            i = j;
        }
        return lines;
    }
    void Join(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        memo_.SetText(text);
    }

    TMemo& memo_;
};

}  // namespace

TClass TCustomMemo::StaticClass()
{
    return DefineClass<TCustomMemo, TCustomEdit>("TCustomMemo", [](ClassBuilder<TCustomMemo>& b) {
        b.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
        b.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
        b.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
        b.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
    });
}

void TCustomMemo::CreateParams(TCreateParams& p)
{
    TCustomEdit::CreateParams(p);
    p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    p.Style |= MultiLineStyle(wordWrap_, scrollBars_);
}

void TCustomMemo::SetWordWrap(bool value)
{
    if (value == wordWrap_) return;
    wordWrap_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value)
{
    if (value == scrollBars_) return;
    scrollBars_ = value;
    if (HandleAllocated()) RecreateWnd();
}

POINT TCustomMemo::CaretPos() const
{
    if (!handle_) return POINT{0, 0};
    // The window counts line offsets in bytes, the caret in characters.
    const std::string text = TWinControl::Text();
    const int caret = CaretIndex();
    const auto line =
        static_cast<int>(SendMessageA(handle_, EM_LINEFROMCHAR, static_cast<WPARAM>(CharToByte(text, caret)), 0));
    const auto start = static_cast<int>(SendMessageA(handle_, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return POINT{caret - ByteToChar(text, start), line};
}

void TCustomMemo::SetCaretPos(POINT value)
{
    const std::string text = TWinControl::Text();
    const auto lines = static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
    const int line = std::clamp(static_cast<int>(value.y), 0, std::max(0, lines - 1));
    const auto start = static_cast<int>(SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    const auto length = static_cast<int>(SendMessageA(Handle(), EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    const int first = ByteToChar(text, start);
    const int column = std::clamp(static_cast<int>(value.x), 0, ByteToChar(text, start + length) - first);
    SetSelStart(first + column);
    SetSelLength(0);
}

void TCustomMemo::Dispatch(TMessage& m)
{
    if (m.Msg == WM_GETDLGCODE) {
        TCustomEdit::Dispatch(m);
        m.Result &= ~DLGC_WANTALLKEYS;
        if (wantTabs_) m.Result |= DLGC_WANTTAB;
        else m.Result &= ~DLGC_WANTTAB;
        if (wantReturns_) m.Result |= DLGC_WANTALLKEYS;
        return;
    }
    if (m.Msg == WM_CHAR && ((m.WParam == '\r' && !wantReturns_) || (m.WParam == '\t' && !wantTabs_))) return;
    TCustomEdit::Dispatch(m);
}

TClass TMemo::StaticClass()
{
    return DefineClass<TMemo, TCustomMemo>("TMemo", [](ClassBuilder<TMemo>& b) {
        b.Property("Lines", &TMemo::Lines, &TMemo::SetLines);
    });
}

void TMemo::Construct(TComponent* owner)
{
    TCustomMemo::Construct(owner);
    lines_.reset(new TMemoStrings(*this));
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
}

void TMemo::Destroy()
{
    lines_.reset();
    TCustomMemo::Destroy();
}

// ---- TRadioButton ---------------------------------------------------------------------------------

TClass TRadioButton::StaticClass()
{
    return DefineClass<TRadioButton, TWinControl>("TRadioButton", [](ClassBuilder<TRadioButton>& b) {
        b.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
        b.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
    });
}

void TRadioButton::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    StandardClass(*this, p);
    CreateSubClass(p, "BUTTON");
    p.Style |= BS_RADIOBUTTON;
    if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::SetAlignment(TLeftRight value)
{
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TRadioButton::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value)
{
    if (value == checked_) return;
    checked_ = value;
    // Tab reaches the checked button of a group only.
    SetTabStop(value);
    if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    if (Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = As<TRadioButton>(Parent()->Controls(i)); other && other != this) other->SetChecked(false);
    if (!clicksDisabled_) Click();
}

void TRadioButton::SetCheckedQuietly(bool value)
{
    const bool was = clicksDisabled_;
    clicksDisabled_ = true;
    quelvo::sys::ScopeGuard restore([this, was] { clicksDisabled_ = was; });
    SetChecked(value);
}

TClass TRadioButton::GetActionLinkClass() { return TButtonActionLink::StaticClass(); }

void TRadioButton::ActionChange(TObject* sender, bool checkDefaults)
{
    TWinControl::ActionChange(sender, checkDefaults);
    if (auto* action = As<TCustomAction>(sender); action && (!checkDefaults || !checked_))
        SetCheckedQuietly(action->Checked());
}

void TRadioButton::Dispatch(TMessage& m)
{
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        SetChecked(true);
        return;
    }
    TWinControl::Dispatch(m);
}

// ---- TCheckBox --------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TCheckBoxState*)
{
    static const TEnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}, 0};
    return info;
}

TClass TCheckBox::StaticClass()
{
    return DefineClass<TCheckBox, TWinControl>("TCheckBox", [](ClassBuilder<TCheckBox>& b) {
        b.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
        b.Property("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
        b.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    });
}

void TCheckBox::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    // The button window reports clicks itself (BN_CLICKED).
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    StandardClass(*this, p);
    CreateSubClass(p, "BUTTON");
    p.Style |= allowGrayed_ ? BS_3STATE : BS_CHECKBOX;
}

void TCheckBox::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState value)
{
    if (value == state_) return;
    state_ = value;
    if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!clicksDisabled_) Click();
}

void TCheckBox::SetCheckedQuietly(bool value)
{
    const bool was = clicksDisabled_;
    clicksDisabled_ = true;
    quelvo::sys::ScopeGuard restore([this, was] { clicksDisabled_ = was; });
    SetChecked(value);
}

TClass TCheckBox::GetActionLinkClass() { return TButtonActionLink::StaticClass(); }

void TCheckBox::ActionChange(TObject* sender, bool checkDefaults)
{
    TWinControl::ActionChange(sender, checkDefaults);
    if (auto* action = As<TCustomAction>(sender); action && (!checkDefaults || state_ == cbUnchecked))
        SetCheckedQuietly(action->Checked());
}

// ---- TButtonActionLink ----------------------------------------------------------------------------

TClass TButtonActionLink::StaticClass()
{
    return DefineClass<TButtonActionLink, TWinControlActionLink>("TButtonActionLink");
}

// Followed while the client shows the action's Checked (a grayed box does not).
bool TButtonActionLink::IsCheckedLinked() const
{
    if (!TWinControlActionLink::IsCheckedLinked()) return false;
    const bool wanted = CustomAction()->Checked();
    if (auto* box = As<TCheckBox>(Client())) return box->State() == (wanted ? cbChecked : cbUnchecked);
    if (auto* radio = As<TRadioButton>(Client())) return radio->Checked() == wanted;
    return false;
}

void TButtonActionLink::SetChecked(bool value)
{
    if (auto* box = As<TCheckBox>(Client())) box->SetCheckedQuietly(value);
    else if (auto* radio = As<TRadioButton>(Client())) radio->SetCheckedQuietly(value);
}

void TCheckBox::Toggle()
{
    switch (state_) {
    case cbUnchecked:
        SetState(allowGrayed_ ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCheckBox::Dispatch(TMessage& m)
{
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        Toggle();
        return;
    }
    TWinControl::Dispatch(m);
}

void FillStringsWindow(HWND window, const TStrings& items, UINT resetMsg, UINT addMsg, UINT selectMsg, int index)
{
    SendMessageA(window, resetMsg, 0, 0);
    for (int i = 0; i < items.Count(); ++i) SendMessageA(window, addMsg, 0, reinterpret_cast<LPARAM>(items.Get(i).c_str()));
    SendMessageA(window, selectMsg, static_cast<WPARAM>(index), 0);
}

}  // namespace hostlib

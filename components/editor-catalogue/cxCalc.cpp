#include "components/editor-catalogue/cxCalc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/system/muldiv.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

struct ButtonLook {
    const char* caption;
    TColor color;
};

// Captions and text colours in kind order; the decimal caption is the
// locale's separator, filled in by CreateLayout.
constexpr ButtonLook kLooks[kCalcButtonCount] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},
    {"MC", clRed}, {"MR", clRed}, {"MS", clRed}, {"M+", clRed},
    {"0", clBlue}, {"1", clBlue}, {"2", clBlue}, {"3", clBlue}, {"4", clBlue},
    {"5", clBlue}, {"6", clBlue}, {"7", clBlue}, {"8", clBlue}, {"9", clBlue},
    {"+/-", clBlue}, {".", clBlue},
    {"/", clRed}, {"*", clRed}, {"-", clRed}, {"+", clRed},
    {"sqrt", clNavy}, {"%", clNavy}, {"1/x", clNavy}, {"=", clRed},
};

// The keypad rows 1 to 4, columns 0 to 4.
constexpr TcxCalcButtonKind kKeypad[4][5] = {
    {cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
    {cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
    {cbNum1, cbNum2, cbNum3, cbSub, cbRev},
    {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual},
};

constexpr int kCalcTextFlags = 612;  // centred, one line, prefixes shown

bool IsTwoOperand(TcxCalcButtonKind kind) { return kind >= cbDiv && kind <= cbAdd; }

void RemoveAll(std::string& text, const std::string& part)
{
    if (part.empty()) return;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
}

}  // namespace

TClass TcxCustomCalculator::StaticClass()
{
    return DefineClass<TcxCustomCalculator, TcxControl>("TcxCustomCalculator", [](ClassBuilder<TcxCustomCalculator>& b) {
        b.Property("TabStop", &TcxCustomCalculator::TabStop, &TcxCustomCalculator::SetTabStop).Default(true);
    });
}

void TcxCustomCalculator::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    controlStyle_.Include(csCaptureMouse);
    controlStyle_.Include(csOpaque);
    SetKeys(TcxKeys{kAll, kArrows, kChars, kTab});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), calcWidth_, calcHeight_);
    CreateLayout();
}

// ---- settings ----------------------------------------------------------------------------------

void TcxCustomCalculator::SetEnabled(bool value)
{
    TcxControl::SetEnabled(value);
    Invalidate();
}

void TcxCustomCalculator::SetAutoFontSize(bool value)
{
    if (value == autoFontSize_) return;
    autoFontSize_ = value;
    Font()->OnChange(Font());
}

void TcxCustomCalculator::SetCalcBorderStyle(TFormBorderStyle value)
{
    if (value == borderStyle_) return;
    borderStyle_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TcxCustomCalculator::SetShowFocusRect(bool value)
{
    if (value == showFocusRect_) return;
    showFocusRect_ = value;
    Invalidate();
}

void TcxCustomCalculator::CreateParams(TCreateParams& params)
{
    TcxControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    params.WindowClass.style &= ~CS_DBLCLKS;
    params.Style &= ~WS_BORDER;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (!isPopup_ && borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

TcxCustomLookAndFeelPainterClass TcxCustomCalculator::GetPainter() { return TcxStandardLookAndFeelPainter::Class(); }

void TcxCustomCalculator::HidePopup() { OnHidePopup(this); }

void TcxCustomCalculator::FontChanged()
{
    if (!IsLoading()) SetParentFont(false);
    TcxControl::FontChanged();
}

void TcxCustomCalculator::FocusChanged()
{
    TcxControl::FocusChanged();
    InvalidateButton(cbEqual);
}

// ---- the number --------------------------------------------------------------------------------

char TcxCustomCalculator::DecimalSeparator() const { return FormatSettings().DecimalSeparator; }

long double TcxCustomCalculator::GetDisplay()
{
    if (status_ == csError) return 0;
    std::string text = Trim(GetEditorValue());
    if (text.empty()) text = "0";
    RemoveAll(text, std::string(1, FormatSettings().ThousandSeparator));
    long double value = 0;
    if (!TryStrToFloat(text, value)) throw EConvertError(Format(messages::SInvalidFloat, text));
    return value;
}

void TcxCustomCalculator::SetText(const std::string& text)
{
    if (text == GetEditorValue()) return;
    SetEditorValue(text);
    OnDisplayTextChanged(this);
}

void TcxCustomCalculator::SetDisplay(long double value)
{
    SetText(FloatToStrF(value, ffGeneral, std::max(2, precision_), 0));
}

void TcxCustomCalculator::Clear()
{
    status_ = csFirst;
    startNew_ = false;
    SetDisplay(0);
    pendingOperator_ = cbEqual;
}

void TcxCustomCalculator::ResetOperands()
{
    pendingOperator_ = cbEqual;
    status_ = csFirst;
    startNew_ = false;
    memory_ = 0;
}

void TcxCustomCalculator::CheckFirst()
{
    if (status_ != csFirst) return;
    status_ = csValid;
    SetText("0");
}

void TcxCustomCalculator::StartNewNumber()
{
    if (!startNew_) return;
    startNew_ = false;
    status_ = csFirst;
}

void TcxCustomCalculator::Refuse()
{
    if (beepOnError_) MessageBeep(0);
}

void TcxCustomCalculator::Error()
{
    status_ = csError;
    SetText(cxGetResourceString(cxSCalcError));
    Refuse();
}

// ---- button actions ----------------------------------------------------------------------------

void TcxCustomCalculator::ButtonClick(TcxCalcButtonKind kind)
{
    if (OnCalcButtonClick) OnCalcButtonClick(this, kind);
    if (kind == cbNone) return;
    if (status_ == csError && kind != cbCancel && kind != cbClear) {
        Error();
        return;
    }
    if (kind >= cbNum0 && kind <= cbNum9) return DigitClick(kind);
    switch (kind) {
    case cbDecimal: return DecimalClick();
    case cbBack: return BackClick();
    case cbSign: return SetDisplay(-GetDisplay());
    case cbSqrt:
    case cbRev: return UnaryClick(kind);
    case cbCancel:
    case cbClear: return Clear();
    case cbMC:
    case cbMR:
    case cbMS:
    case cbMP: return MemoryClick(kind);
    default: return OperatorClick(kind);
    }
}

void TcxCustomCalculator::DigitClick(TcxCalcButtonKind kind)
{
    StartNewNumber();
    CheckFirst();
    std::string text = GetEditorValue();
    if (text == "0") text.clear();
    const std::size_t minus = text.find('-');
    const std::size_t allowed = static_cast<std::size_t>(std::max(2, precision_)) + (minus == std::string::npos ? 0 : minus + 1);
    if (text.size() >= allowed) {
        Refuse();
        return;
    }
    SetText(text + static_cast<char>('0' + (kind - cbNum0)));
}

void TcxCustomCalculator::DecimalClick()
{
    StartNewNumber();
    CheckFirst();
    const std::string text = GetEditorValue();
    if (text.find(DecimalSeparator()) == std::string::npos) SetText(text + DecimalSeparator());
}

void TcxCustomCalculator::BackClick()
{
    StartNewNumber();
    CheckFirst();
    std::string text = GetEditorValue();
    if (text.size() <= 1 || (text.size() == 2 && text[0] == '-')) text = "0";
    else text.pop_back();
    SetText(text);
}

void TcxCustomCalculator::UnaryClick(TcxCalcButtonKind kind)
{
    status_ = IsTwoOperand(pendingOperator_) ? csValid : csFirst;
    const long double x = GetDisplay();
    startNew_ = true;
    if (kind == cbSqrt) {
        if (x < 0) return Error();
        SetDisplay(std::sqrt(x));
    } else {
        if (x == 0) return Error();
        SetDisplay(1 / x);
    }
}

void TcxCustomCalculator::OperatorClick(TcxCalcButtonKind kind)
{
    if (status_ == csValid) {
        status_ = csFirst;
        startNew_ = false;
        long double r = GetDisplay();
        if (kind == cbPercent && (pendingOperator_ == cbDiv || pendingOperator_ == cbMul)) r = r / 100;
        else if (kind == cbPercent && IsTwoOperand(pendingOperator_)) r = firstOperand_ * r / 100;
        switch (pendingOperator_) {
        case cbDiv:
            if (r == 0) Error();
            else SetDisplay(firstOperand_ / r);
            break;
        case cbMul: SetDisplay(firstOperand_ * r); break;
        case cbSub: SetDisplay(firstOperand_ - r); break;
        case cbAdd: SetDisplay(firstOperand_ + r); break;
        default: break;
        }
    }
    pendingOperator_ = kind;
    firstOperand_ = GetDisplay();
    if (kind == cbPercent || kind == cbEqual) OnCalcResult(this);
}

void TcxCustomCalculator::MemoryClick(TcxCalcButtonKind kind)
{
    switch (kind) {
    case cbMP:
        status_ = csFirst;
        memory_ += GetDisplay();
        break;
    case cbMS:
        status_ = csFirst;
        memory_ = GetDisplay();
        break;
    case cbMR:
        status_ = csFirst;
        CheckFirst();
        SetDisplay(memory_);
        startNew_ = true;
        return;
    default: memory_ = 0; break;
    }
    UpdateMemoryButtons();
    InvalidateMemoryButtons();
}

void TcxCustomCalculator::UpdateMemoryButtons()
{
    buttons_[cbMC].Disabled = memory_ == 0;
    buttons_[cbMR].Disabled = memory_ == 0;
}

void TcxCustomCalculator::InvalidateMemoryButtons()
{
    InvalidateButton(cbMC);
    InvalidateButton(cbMR);
}

void TcxCustomCalculator::InvalidateButton(TcxCalcButtonKind kind)
{
    if (kind == cbNone || !HandleAllocated()) return;
    ::InvalidateRect(Handle(), &buttons_[kind].BtnRect, FALSE);
}

// ---- clipboard ---------------------------------------------------------------------------------

void TcxCustomCalculator::CopyToClipboard() { Clipboard()->SetAsText(GetEditorValue()); }

void TcxCustomCalculator::PasteFromClipboard()
{
    std::string text = Clipboard()->AsText();
    if (text.empty()) return;
    RemoveAll(text, FormatSettings().CurrencyString);
    long double value = 0;
    if (!TryStrToFloat(Trim(text), value)) {
        SetDisplay(0);
        return;
    }
    SetDisplay(value);
    status_ = csValid;
}

// ---- geometry ----------------------------------------------------------------------------------

void TcxCustomCalculator::CalcSize(int width, int height)
{
    if (autoFontSize_) {
        height = std::min(height, MulDiv(width, 131, 198));
        auto distance = [height](int b) { return std::abs(5 * b + 6 * MulDiv(b, 3, 22) - height); };
        int b = 22;
        while (distance(b + 1) < distance(b)) ++b;
        btnHeight_ = b;
    } else {
        btnHeight_ = 2 * Canvas()->FontHeight(Font());
    }
    btnWidth_ = MulDiv(btnHeight_, 28, 22);
    xOffset_ = yOffset_ = MulDiv(btnHeight_, 3, 22);
    largeBtnWidth_ = MulDiv(btnWidth_, 17, 10);
    fontSize_ = MulDiv(btnHeight_, 8, 22);
    calcHeight_ = 5 * btnHeight_ + 6 * yOffset_;
    calcWidth_ = 6 * btnWidth_ + 8 * xOffset_ + 4;
    CreateLayout();
}

void TcxCustomCalculator::CreateLayout()
{
    for (int k = 0; k < kCalcButtonCount; ++k) {
        const auto kind = static_cast<TcxCalcButtonKind>(k);
        buttons_[k] = TcxCalcButton{kind, kLooks[k].caption, kLooks[k].color, RECT{}, false, false};
    }
    buttons_[cbDecimal].Caption = std::string(1, DecimalSeparator());
    const int x = xOffset_, y = yOffset_, w = btnWidth_, h = btnHeight_;
    auto row = [&](int r) { return RECT{0, r * (y + h) + y, 0, (r + 1) * (y + h)}; };
    for (int r = 1; r <= 4; ++r) {
        RECT m = row(r);
        m.left = x;
        m.right = x + w;
        buttons_[cbMC + r - 1].BtnRect = m;
        for (int c = 0; c < 5; ++c) {
            RECT k = row(r);
            k.left = x + (w + 2 * x + 4) + c * (x + w);
            k.right = k.left + w;
            buttons_[kKeypad[r - 1][c]].BtnRect = k;
        }
    }
    const int right = buttons_[cbEqual].BtnRect.right;
    const int l = largeBtnWidth_;
    buttons_[cbClear].BtnRect = RECT{right - l, y, right, y + h};
    buttons_[cbCancel].BtnRect = RECT{right - 2 * l - y, y, right - l - y, y + h};
    buttons_[cbBack].BtnRect = RECT{right - 3 * l - 2 * y, y, right - 2 * l - 2 * y, y + h};
    ResetOperands();
    UpdateMemoryButtons();
}

void TcxCustomCalculator::Resize()
{
    // Sizes set before the window exists keep the constructor's layout;
    // the window's first size message fits the keypad.
    if (!HandleAllocated()) return TcxControl::Resize();
    CalcSize(ClientWidth(), ClientHeight());
    if (ClientWidth() != calcWidth_) SetClientWidth(calcWidth_);
    if (ClientHeight() != calcHeight_) SetClientHeight(calcHeight_);
    TcxControl::Resize();
}

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindAt(int x, int y) const
{
    const POINT p{x, y};
    for (const TcxCalcButton& b : buttons_)
        if (PtInRect(&b.BtnRect, p)) return b.Kind;
    return cbNone;
}

// ---- keyboard ----------------------------------------------------------------------------------

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindChar(char ch) const
{
    if (ch >= '0' && ch <= '9') return static_cast<TcxCalcButtonKind>(cbNum0 + (ch - '0'));
    if (ch == DecimalSeparator()) return cbDecimal;
    switch (ch) {
    case 8: return cbBack;
    case '+': return cbAdd;
    case '-': return cbSub;
    case '*': return cbMul;
    case '/': return cbDiv;
    case '%': return cbPercent;
    case '=': return cbEqual;
    case '@': return cbSqrt;
    default: return cbNone;
    }
}

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindKey(WORD key, TShiftState shift) const
{
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_RETURN: return cbEqual;
    case VK_ESCAPE: return cbClear;
    case VK_DELETE: return cbCancel;
    case VK_F9: return cbSign;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'R': return ctrl ? cbMR : cbRev;
    case 'L': return ctrl ? cbMC : cbNone;
    case 'M': return ctrl ? cbMS : cbNone;
    case 'P': return ctrl ? cbMP : cbNone;
    default: return cbNone;
    }
}

void TcxCustomCalculator::PressKeyButton(TcxCalcButtonKind kind)
{
    if (kind == cbNone || kind == keyButton_) return;
    if (keyButton_ != cbNone) DoButtonUp(keyButton_);
    keyButton_ = kind;
    DoButtonDown(kind);
}

void TcxCustomCalculator::KeyDown(WORD& key, TShiftState shift)
{
    TcxControl::KeyDown(key, shift);
    PressKeyButton(GetButtonKindKey(key, shift));
}

void TcxCustomCalculator::KeyPress(char& key)
{
    TcxControl::KeyPress(key);
    if (key == 22) PasteFromClipboard();
    else if (key == 3) CopyToClipboard();
    PressKeyButton(GetButtonKindChar(key));
    // Backspace repeats with the keyboard; other keys act once a press.
    if (keyButton_ == cbBack) ButtonClick(cbBack);
}

void TcxCustomCalculator::KeyUp(WORD& key, TShiftState shift)
{
    TcxControl::KeyUp(key, shift);
    if (keyButton_ != cbNone) DoButtonUp(keyButton_);
}

void TcxCustomCalculator::DoButtonDown(TcxCalcButtonKind kind)
{
    if (kind == cbNone) return;
    buttons_[kind].Down = true;
    InvalidateButton(kind);
    Update();
    if (kind != cbBack) ButtonClick(kind);
}

void TcxCustomCalculator::DoButtonUp(TcxCalcButtonKind kind)
{
    if (kind != cbNone) buttons_[kind].Down = false;
    InvalidateButton(kind);
    keyButton_ = cbNone;
    Update();
}

// ---- mouse -------------------------------------------------------------------------------------

void TcxCustomCalculator::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseDown(button, shift, x, y);
    if (!IsDesigning() && !isPopup_ && (CanFocus() || !GetParentForm(this))) SetFocus();
    const TcxCalcButtonKind kind = GetButtonKindAt(x, y);
    if (button != mbLeft || kind == cbNone || buttons_[kind].Disabled) return;
    SetMouseCapture(true);
    tracking_ = true;
    mouseButton_ = kind;
    TrackButton(x, y);
}

void TcxCustomCalculator::TrackButton(int x, int y)
{
    if (mouseButton_ == cbNone) return;
    const POINT p{x, y};
    const bool down = PtInRect(&buttons_[mouseButton_].BtnRect, p) != FALSE;
    if (down == buttons_[mouseButton_].Down) return;
    buttons_[mouseButton_].Down = down;
    InvalidateButton(mouseButton_);
}

void TcxCustomCalculator::SetHotButton(TcxCalcButtonKind kind)
{
    if (kind == hotButton_) return;
    if (hotButton_ != cbNone && !buttons_[hotButton_].Disabled) InvalidateButton(hotButton_);
    hotButton_ = kind;
    if (kind != cbNone && !buttons_[kind].Disabled) InvalidateButton(kind);
}

void TcxCustomCalculator::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    if (tracking_) TrackButton(x, y);
    else if (GetPainter()->IsButtonHotTrack() && Enabled() && DragAndDropState() == ddsNone)
        SetHotButton(GetButtonKindAt(x, y));
}

void TcxCustomCalculator::StopTracking()
{
    tracking_ = false;
    SetMouseCapture(false);
    if (mouseButton_ != cbNone) {
        buttons_[mouseButton_].Down = false;
        InvalidateButton(mouseButton_);
    }
}

void TcxCustomCalculator::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseUp(button, shift, x, y);
    const TcxCalcButtonKind kind = mouseButton_;
    mouseButton_ = cbNone;
    if (kind == cbNone || !buttons_[kind].Down) {
        if (tracking_) StopTracking();
        return;
    }
    mouseButton_ = kind;
    StopTracking();
    mouseButton_ = cbNone;
    if (button == mbLeft) ButtonClick(kind);
}

void TcxCustomCalculator::MouseLeave(TControl* control)
{
    TcxControl::MouseLeave(control);
    if (GetPainter()->IsButtonHotTrack()) SetHotButton(cbNone);
}

// ---- painting ----------------------------------------------------------------------------------

TcxButtonState TcxCustomCalculator::ButtonState(const TcxCalcButton& b)
{
    if (b.Disabled || !Enabled()) return cxbsDisabled;
    if (b.Down) return cxbsPressed;
    if (b.Kind == hotButton_ && b.Kind != mouseButton_) return cxbsHot;
    if (b.Kind == cbEqual && Focused()) return cxbsDefault;
    return cxbsNormal;
}

void TcxCustomCalculator::PaintButton(TcxCustomLookAndFeelPainterClass painter, const TcxCalcButton& b)
{
    const TcxButtonState state = ButtonState(b);
    painter->DrawButton(Canvas(), b.BtnRect, "", state);
    RECT r = b.BtnRect;
    if (state == cxbsPressed) OffsetRect(&r, painter->ButtonTextShift(), painter->ButtonTextShift());
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->SetColor(b.Color);
    Canvas()->DrawTexT(b.Caption, r, kCalcTextFlags, state != cxbsDisabled);
    Canvas()->Brush()->SetStyle(bsSolid);
}

void TcxCustomCalculator::Paint()
{
    if (!HandleAllocated()) return;
    Canvas()->SetBrushColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->Font()->Assign(Font());
    if (autoFontSize_) {
        Canvas()->Font()->SetSize(fontSize_);
        TFontStyles style = Canvas()->Font()->Style();
        if (fontSize_ >= 10) style.Include(fsBold);
        else style.Exclude(fsBold);
        Canvas()->Font()->SetStyle(style);
    }
    TcxCustomLookAndFeelPainterClass painter = GetPainter();
    for (const TcxCalcButton& b : buttons_)
        if (Canvas()->RectVisible(b.BtnRect)) PaintButton(painter, b);
    if (showFocusRect_ && Focused()) Canvas()->DrawFocusRect(cxRectInflate(buttons_[cbEqual].BtnRect, -3, -3));
}

// ---- the calculator editor's properties ---------------------------------------------------------

TClass TcxCalcEditPropertiesValues::StaticClass()
{
    return DefineClass<TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues>(
        "TcxCalcEditPropertiesValues", [](ClassBuilder<TcxCalcEditPropertiesValues>& b) {
            using V = TcxCalcEditPropertiesValues;
            // The properties' Precision writes the value and sets the flag.
            b.Property("Precision", &V::Precision, &V::SetPrecision).Stored(false);
        });
}

void TcxCalcEditPropertiesValues::SetPrecision(bool value)
{
    if (value == precision_) return;
    precision_ = value;
    Changed();
}

void TcxCalcEditPropertiesValues::Assign(TPersistent* source)
{
    cxAssignKind(
        *this, source, [this](TPersistent* s) { TcxTextEditPropertiesValues::Assign(s); },
        [this](const TcxCalcEditPropertiesValues& other) { SetPrecision(other.precision_); });
}

void TcxCalcEditPropertiesValues::RestoreDefaults()
{
    cxWithinUpdate(*this, [this] {
        TcxTextEditPropertiesValues::RestoreDefaults();
        SetPrecision(false);
    });
}

TClass TcxCustomCalcEditProperties::StaticClass()
{
    return DefineClass<TcxCustomCalcEditProperties, TcxCustomPopupEditProperties>("TcxCustomCalcEditProperties");
}

TClass TcxCalcEditProperties::StaticClass()
{
    return DefineClass<TcxCalcEditProperties, TcxCustomCalcEditProperties>(
        "TcxCalcEditProperties", [](ClassBuilder<TcxCalcEditProperties>& b) {
            using P = TcxCalcEditProperties;
            b.Property("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(true);
            b.Property("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph).Stored(&P::IsButtonGlyphStored);
            b.Property("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat).Stored(&P::IsDisplayFormatStored);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("Precision", &P::Precision, &P::SetPrecision).Stored(&P::IsPrecisionStored);
            b.Property("QuickClose", &P::QuickClose, &P::SetQuickClose).Default(false);
            b.Property("ScientificFormat", &P::ScientificFormat, &P::SetScientificFormat).Default(false);
            b.Property("UseThousandSeparator", &P::UseThousandSeparator, &P::SetUseThousandSeparator).Default(false);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.EventProperty("OnCloseUp", &P::OnCloseUp);
            b.EventProperty("OnInitPopup", &P::OnInitPopup);
            b.EventProperty("OnPopup", &P::OnPopup);
        });
}

void TcxCustomCalcEditProperties::Construct(TPersistent* owner)
{
    TcxCustomPopupEditProperties::Construct(owner);
    SetBeepOnError(true);
    precision_ = 15;
    SetPopupSizeable(false);
    SetImmediateDropDown(false);
}

void TcxCustomCalcEditProperties::Assign(TPersistent* source)
{
    cxAssignKind(*this, source, [this](TPersistent* s) { TcxCustomPopupEditProperties::Assign(s); },
                 [this](TcxCustomCalcEditProperties& other) {
                     SetBeepOnError(other.BeepOnError());
                     AssignedValues()->SetPrecision(false);
                     if (other.IsPrecisionStored()) SetPrecision(other.Precision());
                     SetQuickClose(other.quickClose_);
                     SetScientificFormat(other.scientificFormat_);
                     SetUseThousandSeparator(other.useThousandSeparator_);
                 });
}

TClass TcxCustomCalcEditProperties::GetAssignedValuesClass() { return TcxCalcEditPropertiesValues::StaticClass(); }

int TcxCustomCalcEditProperties::Precision() const
{
    int result = 15;
    if (AssignedValues()->Precision()) result = precision_;
    else if (IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider()) result = provider->DefaultPrecision();
    return std::min(result, 15);
}

void TcxCustomCalcEditProperties::SetPrecision(int value)
{
    value = std::clamp(value, 0, 255);
    if (AssignedValues()->Precision() && value == precision_) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    AssignedValues()->SetPrecision(true);
    precision_ = value;
    Changed();
}

void TcxCustomCalcEditProperties::SetQuickClose(bool value)
{
    if (value == quickClose_) return;
    quickClose_ = value;
    Changed();
}

void TcxCustomCalcEditProperties::SetScientificFormat(bool value)
{
    if (value == scientificFormat_) return;
    scientificFormat_ = value;
    Changed();
}

void TcxCustomCalcEditProperties::SetUseThousandSeparator(bool value)
{
    if (value == useThousandSeparator_) return;
    useThousandSeparator_ = value;
    Changed();
}

bool TcxCustomCalcEditProperties::StrToFloatEx(std::string text, long double& value)
{
    RemoveAll(text, std::string(1, FormatSettings().ThousandSeparator));
    value = 0;
    long double number = 0;
    if (!TryStrToFloat(text, number)) return false;
    const long double magnitude = std::fabs(number);
    if (number != 0 && (magnitude < 5.0e-324L || magnitude > 1.7e308L)) return false;
    value = number;
    return true;
}

bool TcxCustomCalcEditProperties::IsEditValueValid(Variant& editValue, bool)
{
    if (VarIsSoftNull(editValue) || VarIsNumericEx(editValue)) return true;
    long double value = 0;
    return VarIsStr(editValue) && TryStrToFloat(VarToStr(editValue), value);
}

bool TcxCustomCalcEditProperties::IsDisplayValueValid(Variant&, bool) { return true; }

bool TcxCustomCalcEditProperties::HasDigitGrouping(bool) { return useThousandSeparator_ && !scientificFormat_; }

TcxDataEditValueSource TcxCustomCalcEditProperties::GetEditValueSource(bool editFocused)
{
    if (editFocused || AssignedValues()->DisplayFormat()) return evsValue;
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    return provider && provider->IsDisplayFormatDefined(true) ? evsText : evsValue;
}

std::string TcxCustomCalcEditProperties::FormatNumber(long double value) const
{
    const int precision = Precision();
    if (!scientificFormat_) {
        std::string text = FloatToStrF(value, ffGeneral, precision, 0);
        if (useThousandSeparator_) InsertThousandSeparator(text);
        return text;
    }
    std::string text = FloatToStrF(value, ffExponent, precision, 0);
    std::string exponent;
    RemoveExponentialPart(text, exponent);
    const char separator = FormatSettings().DecimalSeparator;
    if (text.find(separator) != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == separator) text.pop_back();
    }
    return text + exponent;
}

void TcxCustomCalcEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                      bool editFocused)
{
    if (VarIsSoftNull(editValue)) {
        displayValue = Variant(std::string());
        return;
    }
    long double value = 0;
    if (VarIsStr(editValue)) {
        if (!TryStrToFloat(Trim(VarToStr(editValue)), value)) {
            displayValue = Variant(VarToStr(editValue));
            return;
        }
    } else {
        value = editValue.AsDouble();
    }
    if (editFocused || !AssignedValues()->DisplayFormat())
        displayValue = Variant(FormatNumber(value));
    else
        displayValue = Variant(FormatFloat(DisplayFormat(), static_cast<double>(value)));
}

void TcxCustomCalcEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    error = false;
    TcxCustomPopupEditProperties::ValidateDisplayValue(displayValue, errorText, error, edit);
}

// ---- the drop-down keypad -----------------------------------------------------------------------

TClass TcxPopupCalculator::StaticClass()
{
    return DefineClass<TcxPopupCalculator, TcxCustomCalculator>("TcxPopupCalculator");
}

void TcxPopupCalculator::Construct(TComponent* owner)
{
    TcxCustomCalculator::Construct(owner);
    SetPopup(true);
}

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::GetPainter()
{
    if (!edit_) return TcxCustomCalculator::GetPainter();
    return edit_->Style()->LookAndFeel()->GetAvailablePainter(TdxThemedObjectTypes{totButton});
}

std::string TcxPopupCalculator::GetEditorValue() { return edit_ ? edit_->Text() : std::string(); }

void TcxPopupCalculator::SetEditorValue(const std::string& text)
{
    if (!edit_ || !edit_->DoEditing()) return;
    edit_->SetInternalDisplayValue(Variant(text));
    edit_->SetModifiedAfterEnter(true);
}

void TcxPopupCalculator::Init() { ForgetKeyButton(); }

void TcxPopupCalculator::FitToFont()
{
    FontChanged();
    Resize();
}

void TcxPopupCalculator::KeyDown(WORD& key, TShiftState shift)
{
    const bool alt = shift.Contains(ssAlt);
    if (key == VK_ESCAPE) {
        HidePopup();
        key = 0;
        return;
    }
    if (key == VK_INSERT && shift.Contains(ssShift)) PasteFromClipboard();
    else if (key == VK_INSERT && shift.Contains(ssCtrl)) CopyToClipboard();
    else if (key == VK_F4 || ((key == VK_UP || key == VK_DOWN) && alt)) HidePopup();
    else if (key == VK_TAB && edit_) edit_->DoEditKeyDown(key, shift);
    if (key != 0) TcxCustomCalculator::KeyDown(key, shift);
}

void TcxPopupCalculator::KeyPress(char& key)
{
    TcxCustomCalculator::KeyPress(key);
    const bool quickClose = edit_ && edit_->ActiveProperties()->QuickClose();
    if (key == '\r' || (key == '=' && quickClose)) HidePopup();
}

// ---- the calculator editor ----------------------------------------------------------------------

TClass TcxCustomCalcEdit::StaticClass()
{
    return DefineClass<TcxCustomCalcEdit, TcxCustomPopupEdit>("TcxCustomCalcEdit");
}

TClass TcxCalcEdit::StaticClass()
{
    return DefineClass<TcxCalcEdit, TcxCustomCalcEdit>("TcxCalcEdit", [](ClassBuilder<TcxCalcEdit>& b) {
        using C = TcxCalcEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomCalcEditProperties::GetContainerClass() { return TcxCalcEdit::StaticClass(); }
TClass TcxCustomCalcEdit::GetPropertiesClass() const { return TcxCalcEditProperties::StaticClass(); }

void TcxCustomCalcEdit::Construct(TComponent* owner)
{
    TcxCustomPopupEdit::Construct(owner);
    SetEditValue(Variant(0.0));
    calculator_ = CreateObject<TcxPopupCalculator>(static_cast<TComponent*>(this));
    calculator_->SetEdit(this);
    calculator_->SetAutoFontSize(false);
    calculator_->SetVisible(false);
    calculator_->OnHidePopup = TNotifyEvent::Bind(this, &TcxCustomCalcEdit::HideCalculator);
    BindCalculator();
}

void TcxCustomCalcEdit::Destroy()
{
    if (Properties() && Properties()->PopupControl() == calculator_) Properties()->SetPopupControl(nullptr);
    TcxCustomPopupEdit::Destroy();
    calculator_ = nullptr;
}

void TcxCustomCalcEdit::BindCalculator()
{
    TcxCustomCalcEditProperties* properties = ActiveProperties();
    if (properties->PopupControl() == calculator_) return;
    properties->LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
    properties->SetPopupControl(calculator_);
}

void TcxCustomCalcEdit::HideCalculator(TObject*) { CloseUp(false); }

long double TcxCustomCalcEdit::Value()
{
    const Variant value = EditValue();
    if (VarIsNull(value) || VarIsEmpty(value)) return 0;
    if (!VarIsStr(value)) return value.AsDouble();
    const std::string text = Trim(VarToStr(value));
    long double number = 0;
    if (text.empty()) return 0;
    if (!TryStrToFloat(text, number)) throw EConvertError(Format(messages::SInvalidFloat, text));
    return number;
}

void TcxCustomCalcEdit::SetValue(long double value) { SetInternalEditValue(Variant(static_cast<double>(value))); }

void TcxCustomCalcEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    std::string text = VarToStr(displayValue);
    if (ActiveProperties()->HasDigitGrouping(false)) RemoveThousandSeparator(text);
    text = Trim(text);
    long double value = 0;
    if (!text.empty() && TryStrToFloat(text, value)) editValue = Variant(static_cast<double>(value));
    else editValue = Variant::Null();
}

bool TcxCustomCalcEdit::IsValidChar(char key)
{
    const char separator = FormatSettings().DecimalSeparator;
    const bool candidate = key == '+' || key == '-' || (key >= '0' && key <= '9') || key == 'E' || key == 'e' ||
                           key == separator;
    if (!candidate) return false;
    std::string text = Text();
    const int start = std::clamp(SelStart(), 0, static_cast<int>(text.size()));
    const int length = std::clamp(SelLength(), 0, static_cast<int>(text.size()) - start);
    text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    if (key == '-' && text.empty()) return true;
    text.insert(static_cast<std::size_t>(start), 1, key);
    long double value = 0;
    return TcxCustomCalcEditProperties::StrToFloatEx(text, value);
}

void TcxCustomCalcEdit::KeyPress(char& key)
{
    if (key == ',' || key == '.') key = FormatSettings().DecimalSeparator;
    if (static_cast<unsigned char>(key) > 31 && !IsValidChar(key)) {
        key = 0;
        if (ActiveProperties()->BeepOnError()) MessageBeep(0);
        return;
    }
    TcxCustomPopupEdit::KeyPress(key);
}

bool TcxCustomCalcEdit::CanDropDown()
{
    return !ActiveProperties()->ReadOnly() && DataBinding()->GetIsDataAvailable();
}

void TcxCustomCalcEdit::DoInitPopup()
{
    TcxCustomPopupEdit::DoInitPopup();
    BindCalculator();
}

void TcxCustomCalcEdit::CreatePopupWindow()
{
    TcxCustomPopupEdit::CreatePopupWindow();
    PopupWindow()->SetModalMode(false);
}

void TcxCustomCalcEdit::InitializePopupWindow()
{
    TcxCustomPopupEdit::InitializePopupWindow();
    calculator_->HandleNeeded();
    calculator_->Font()->Assign(Style()->GetVisibleFont());
    calculator_->FitToFont();
}

void TcxCustomCalcEdit::PopupWindowShowed(TObject* sender)
{
    TcxCustomPopupEdit::PopupWindowShowed(sender);
    calculator_->Init();
}

void TcxCustomCalcEdit::PopupWindowClosed(TObject* sender)
{
    if (Text() == cxGetResourceString(cxSCalcError)) SetInternalEditValue(Variant(0.0));
    if (ActiveProperties()->AutoSelect()) SelectAll();
    else SetSelStart(static_cast<int>(Text().size()));
    TcxCustomPopupEdit::PopupWindowClosed(sender);
}

void TcxCustomCalcEdit::PropertiesChanged(TObject* sender)
{
    if (sender && ActiveProperties()->FormatChanging()) return;
    TcxCustomPopupEdit::PropertiesChanged(sender);
    if (PropertiesChangeLocked() || !calculator_) return;
    calculator_->SetBeepOnError(ActiveProperties()->BeepOnError());
    calculator_->SetPrecision(ActiveProperties()->Precision());
    BindCalculator();
}

void TcxCustomCalcEdit::FormatChanged()
{
    TcxCustomPopupEdit::FormatChanged();
    DataBinding()->UpdateDisplayValue();
}

void TcxCustomCalcEdit::DoEnter()
{
    SynchronizeDisplayValue();
    TcxCustomPopupEdit::DoEnter();
}

void TcxCustomCalcEdit::DoExit()
{
    TcxCustomPopupEdit::DoExit();
    DataBinding()->UpdateDisplayValue();
}

void TcxCustomCalcEdit::PasteFromClipboard()
{
    if (DoEditing()) calculator_->PasteFromClipboard();
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gCalcEditStarts;
}  // namespace

void cxCalcEditInitialize()
{
    if (gCalcEditStarts.Start())
        GetRegisteredEditProperties()->Register(TcxCalcEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryCalcItem));
}

void cxCalcEditFinalize() { gCalcEditStarts.End(); }

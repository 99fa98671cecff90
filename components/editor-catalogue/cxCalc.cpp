#include "components/editor-catalogue/cxCalc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

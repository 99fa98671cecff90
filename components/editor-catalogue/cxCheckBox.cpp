#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editors/cxEditStyles.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "components/data/cxVariants.h"
#include "components/editor-catalogue/cxExtEditConsts.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/messages.h"
#include "platform/system/scope_guard.h"
#include "platform/system/text_conversion.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

const TEnumInfo& EnumTypeInfo(TcxCheckBoxState*)
{
    static const TEnumInfo info{"TcxCheckBoxState", {"cbsUnchecked", "cbsChecked", "cbsGrayed"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxCheckBoxNullValueShowingStyle*)
{
    static const TEnumInfo info{
        "TcxCheckBoxNullValueShowingStyle", {"nssUnchecked", "nssInactive", "nssGrayedChecked"}, 0};
    return info;
}

// ---- check states in one value -----------------------------------------------------------------

namespace {

constexpr int kCheckBoxPart = 3;  // BP_CHECKBOX
constexpr DWORD kMaskCopyRop = 0x00B8074A;  // brush where the source is black

TcxCheckStates& SharedCheckStates()
{
    static TcxCheckStates states;
    return states;
}

// Byte length of the UTF-8 character at i; a stray byte counts as one.
std::size_t CharLength(std::string_view text, std::size_t i)
{
    char32_t cp = 0;
    const std::size_t n = quelvo::sys::DecodeUtf8(text, i, cp);
    return n == 0 ? 1 : n;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
    return count;
}

// The text's own number reader: digits at pos, at most 2147483647.
bool ReadNumber(std::string_view text, std::size_t& pos, int& value)
{
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        const int digit = text[pos] - '0';
        if (value > 214748364 || (value == 214748364 && digit > 7)) return false;
        value = value * 10 + digit;
        ++pos;
    }
    return true;
}

bool IsTextOrNull(const Variant& value) { return value.IsNull() || VarIsStr(value); }

std::string EncodeCaptions(IcxCheckItems* items, const TcxCheckStates& states, std::size_t n)
{
    std::string grayed, checked;
    for (std::size_t i = 0; i < n; ++i) {
        if (states[i] == cbsUnchecked) continue;
        const std::string caption = items->GetCaption(static_cast<int>(i));
        std::string& part = states[i] == cbsChecked ? checked : grayed;
        part += std::to_string(CharCount(caption)) + ":" + caption;
    }
    return checked.empty() ? grayed : grayed + ";" + checked;
}

std::string EncodeIndices(const TcxCheckStates& states, std::size_t n)
{
    std::string grayed, checked;
    for (std::size_t i = 0; i < n; ++i) {
        if (states[i] == cbsUnchecked) continue;
        std::string& part = states[i] == cbsChecked ? checked : grayed;
        if (!part.empty()) part += ",";
        part += std::to_string(i);
    }
    return checked.empty() ? grayed : grayed + ";" + checked;
}

long long EncodeInteger(const TcxCheckStates& states, std::size_t n)
{
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 64); ++i)
        if (states[i] == cbsChecked) bits |= std::uint64_t{1} << i;
    return static_cast<long long>(bits);
}

struct CaptionEntry {
    std::string caption;
    TcxCheckBoxState state;
};

bool ParseCaptionEntries(std::string_view text, std::vector<CaptionEntry>& entries)
{
    TcxCheckBoxState part = cbsGrayed;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ';' && part == cbsGrayed) {
            part = cbsChecked;
            ++pos;
        }
        int length = 0;
        if (!ReadNumber(text, pos, length) || pos >= text.size() || text[pos] != ':') return false;
        const std::size_t start = ++pos;
        for (int k = 0; k < length; ++k) {
            if (pos >= text.size()) return false;
            pos += CharLength(text, pos);
        }
        if (pos > text.size()) return false;
        entries.push_back({std::string(text.substr(start, pos - start)), part});
    }
    return true;
}

bool DecodeCaptions(const Variant& value, IcxCheckItems* items, TcxCheckStates& states)
{
    if (!IsTextOrNull(value)) return false;
    std::vector<CaptionEntry> entries;
    if (!ParseCaptionEntries(VarToStr(value), entries)) return false;
    std::stable_sort(entries.begin(), entries.end(), [](const CaptionEntry& a, const CaptionEntry& b) {
        return AnsiCompareText(a.caption, b.caption) < 0;
    });
    for (std::size_t i = 0; i < states.size(); ++i) {
        const std::string caption = items->GetCaption(static_cast<int>(i));
        auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const CaptionEntry& e) { return AnsiSameText(e.caption, caption); });
        if (found == entries.end()) continue;
        states[i] = found->state;
        entries.erase(found);
    }
    return entries.empty();
}

bool DecodeIndices(const Variant& value, TcxCheckStates& states)
{
    if (!IsTextOrNull(value)) return false;
    const std::string text = VarToStr(value);
    TcxCheckBoxState part = cbsGrayed;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ';' && part == cbsGrayed) {
            part = cbsChecked;
            ++pos;
        }
        int index = 0;
        if (!ReadNumber(text, pos, index) || index >= static_cast<int>(states.size())) return false;
        states[static_cast<std::size_t>(index)] = part;
        if (pos < text.size() && text[pos] == ',') ++pos;
    }
    return true;
}

bool DecodeInteger(const Variant& value, TcxCheckStates& states)
{
    std::int64_t bits = 0;
    if (VarIsStr(value)) {
        if (!TryStrToInt64(VarToStr(value), bits)) return false;
    } else if (VarIsNumeric(value) || VarType(value) == varDate) {
        bits = value.AsInt64();
    } else if (!value.IsNull()) {
        return false;
    }
    for (std::size_t i = 0; i < std::min<std::size_t>(states.size(), 64); ++i)
        if ((static_cast<std::uint64_t>(bits) >> i) & 1) states[i] = cbsChecked;
    return true;
}

bool DecodeStatesString(const Variant& value, TcxCheckStates& states)
{
    if (!IsTextOrNull(value)) return false;
    const std::string text = VarToStr(value);
    for (std::size_t i = 0; i < std::min(text.size(), states.size()); ++i) {
        if (text[i] < '0' || text[i] > '2') return false;
        states[i] = static_cast<TcxCheckBoxState>(text[i] - '0');
    }
    return true;
}

}  // namespace

TcxCheckStates& CheckStates() { return SharedCheckStates(); }

void CalculateCheckStatesValue(TcxCheckStatesValueFormat format, IcxCheckItems* items, Variant& value,
                               TcxCheckStates* states)
{
    const TcxCheckStates& s = states ? *states : SharedCheckStates();
    value = Variant();
    // Entries without an item have no caption to ask for.
    const std::size_t n = std::min<std::size_t>(s.size(), items ? static_cast<std::size_t>(std::max(0, items->GetCount())) : 0);
    switch (format) {
    case cvfCaptions: value = EncodeCaptions(items, s, n); break;
    case cvfIndices: value = EncodeIndices(s, n); break;
    case cvfInteger: value = Variant(EncodeInteger(s, n)); break;
    case cvfStatesString: {
        std::string text;
        for (std::size_t i = 0; i < n; ++i) text += static_cast<char>('0' + s[i]);
        value = text;
        break;
    }
    }
}

bool CalculateCheckStates(const Variant& value, TcxCheckStatesValueFormat format, IcxCheckItems* items,
                          TcxCheckStates* states)
{
    TcxCheckStates& s = states ? *states : SharedCheckStates();
    s.assign(items ? static_cast<std::size_t>(std::max(0, items->GetCount())) : 0, cbsUnchecked);
    bool ok = false;
    switch (format) {
    case cvfCaptions: ok = DecodeCaptions(value, items, s); break;
    case cvfIndices: ok = DecodeIndices(value, s); break;
    case cvfInteger: ok = DecodeInteger(value, s); break;
    case cvfStatesString: ok = DecodeStatesString(value, s); break;
    }
    if (!ok) std::fill(s.begin(), s.end(), cbsUnchecked);
    return ok;
}

// ---- measuring and drawing a check -------------------------------------------------------------

namespace {

struct ClassicCheck {
    SIZE size{13, 13};
    ObjectPtr<TBitmap> mask;
};

// The cell size of the system check-box bitmap and the mask of the pixels
// where its checked cell differs from its unchecked one.
ClassicCheck MeasureClassicCheck()
{
    ClassicCheck c;
    HBITMAP system = LoadBitmapA(nullptr, OBM_CHECKBOXES);
    if (!system) return c;
    ScopeGuard freeSystem([&] { DeleteObject(system); });
    BITMAP info{};
    GetObjectA(system, sizeof info, &info);
    if (info.bmWidth / 4 <= 0 || info.bmHeight / 3 <= 0) return c;
    c.size = SIZE{info.bmWidth / 4, info.bmHeight / 3};
    HDC dc = CreateCompatibleDC(nullptr);
    ScopeGuard freeDC([&] { DeleteDC(dc); });
    HGDIOBJ old = SelectObject(dc, system);
    ScopeGuard restore([&] { SelectObject(dc, old); });
    c.mask.reset(CreateObject<TBitmap>());
    c.mask->SetPixelFormat(pf32bit);
    c.mask->SetSize(c.size.cx, c.size.cy);
    for (int y = 0; y < c.size.cy; ++y)
        for (int x = 0; x < c.size.cx; ++x) {
            const bool same = GetPixel(dc, x, y) == GetPixel(dc, x + c.size.cx, y);
            c.mask->Canvas()->SetPixel(x, y, same ? clWhite : clBlack);
        }
    return c;
}

// Made once and kept until the unit shuts down.
std::optional<ClassicCheck>& ClassicSlot()
{
    static std::optional<ClassicCheck> slot;
    return slot;
}

ClassicCheck& Classic()
{
    std::optional<ClassicCheck>& slot = ClassicSlot();
    if (!slot) slot = MeasureClassicCheck();
    return *slot;
}

void FillRect(TcxCanvas* canvas, const RECT& r, TColor color)
{
    canvas->SetBrushColor(color);
    canvas->FillRect(r);
}

void DrawGlyphCheck(TcxCanvas* canvas, const RECT& rect, TcxCheckBoxState state, TcxEditCheckState checkState,
                    TBitmap* glyph, int glyphCount, TColor backgroundColor)
{
    const int index = CheckGlyphIndex(state, checkState, glyphCount);
    const int cellWidth = glyph->Width() / glyphCount;
    auto cell = MakeObject<TBitmap>();
    cell->SetSize(cxRectWidth(rect), cxRectHeight(rect));
    const int top = (glyph->Height() - cxRectHeight(rect)) / 2;
    cell->Canvas()->CopyRect(RECT{0, 0, cxRectWidth(rect), cxRectHeight(rect)}, glyph->Canvas(),
                             RECT{index * cellWidth, top, index * cellWidth + cxRectWidth(rect), top + cxRectHeight(rect)});
    cell->SetTransparent(glyph->Transparent());
    cell->SetTransparentColor(glyph->TransparentColor());
    DrawGlyph(canvas, rect.left, rect.top, cell.get(), checkState != ecsDisabled, backgroundColor);
}

void DrawClassicFrame(TcxCanvas* canvas, RECT& r, TcxEditCheckState checkState, TcxEditBorderStyle borderStyle,
                      TColor borderColor, bool designing, bool focused)
{
    switch (borderStyle) {
    case ebsSingle: canvas->FrameRect(r, borderColor); break;
    case ebsThick: canvas->FrameRect(r, borderColor, 2); break;
    case ebsFlat:
        canvas->DrawEdge(r, true, true);
        InflateRect(&r, -1, -1);
        canvas->FrameRect(r, clBtnFace);
        break;
    case ebs3D:
        canvas->DrawEdge(r, true, true);
        InflateRect(&r, -1, -1);
        canvas->DrawComplexFrame(r, cl3DDkShadow, cl3DLight);
        break;
    case ebsUltraFlat:
    case ebsOffice11: {
        const bool office11 = borderStyle == ebsOffice11;
        const bool highlight = checkState == ecsHot || checkState == ecsPressed ||
                               (designing && checkState != ecsDisabled) || (checkState == ecsNormal && focused);
        TColor color = clBtnShadow;
        if (highlight) color = GetEditBorderHighlightColor(office11);
        else if (office11 && checkState == ecsNormal && !designing && !focused) color = clBtnText;
        canvas->FrameRect(r, color);
        break;
    }
    default: break;
    }
}

void DrawFlatMark(TcxCanvas* canvas, const RECT& rect, const RECT& inner, TcxCheckBoxState state,
                  TcxEditCheckState checkState, bool office11, TcxCheckBoxNullValueShowingStyle nullStyle)
{
    TColor fill = clWindow;
    if (checkState == ecsNormal && state == cbsGrayed && nullStyle == nssInactive) fill = clBtnFace;
    else if (checkState == ecsHot || checkState == ecsPressed)
        fill = GetEditButtonHighlightColor(checkState == ecsPressed, office11);
    else if (checkState == ecsDisabled) fill = clBtnFace;
    FillRect(canvas, inner, fill);
    const bool marked = state == cbsChecked || (state == cbsGrayed && nullStyle == nssGrayedChecked);
    TBitmap* mask = Classic().mask.get();
    if (!marked || !mask) return;
    const int saved = SaveDC(canvas->Handle());
    ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
    canvas->IntersectClipRect(inner);
    canvas->SetBrushColor(state == cbsChecked && checkState != ecsDisabled ? clBtnText : clBtnShadow);
    canvas->Canvas()->RequiredState(false, false, true);
    BitBlt(canvas->Handle(), rect.left, rect.top, mask->Width(), mask->Height(), mask->Canvas()->Handle(), 0, 0,
           kMaskCopyRop);
}

void DrawFrameControlMark(TcxCanvas* canvas, const RECT& inner, TcxCheckBoxState state, TcxEditCheckState checkState,
                          TcxEditBorderStyle borderStyle, TcxCheckBoxNullValueShowingStyle nullStyle)
{
    const int saved = SaveDC(canvas->Handle());
    ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
    canvas->IntersectClipRect(inner);
    RECT r = inner;
    InflateRect(&r, 2, 2);
    DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON,
                     CheckFrameControlFlags(state, checkState, borderStyle, nullStyle));
}

}  // namespace

SIZE cxEditCheckClassicSize() { return Classic().size; }

int CheckGlyphIndex(TcxCheckBoxState state, TcxEditCheckState checkState, int glyphCount)
{
    int index = static_cast<int>(state) + (checkState == ecsPressed ? 3 : 0);
    while (index >= glyphCount && index > 2) index %= 3;
    return index;
}

int CheckNativeState(TcxCheckBoxState state, TcxEditCheckState checkState, TcxCheckBoxNullValueShowingStyle nullStyle)
{
    const int cs = static_cast<int>(checkState);
    if (state != cbsGrayed) return 1 + 4 * static_cast<int>(state) + cs;
    switch (nullStyle) {
    case nssUnchecked: return 1 + cs;
    case nssInactive: return 4;
    default: return 9 + cs;
    }
}

UINT CheckFrameControlFlags(TcxCheckBoxState state, TcxEditCheckState checkState, TcxEditBorderStyle borderStyle,
                            TcxCheckBoxNullValueShowingStyle nullStyle)
{
    UINT flags = 0;
    if (checkState == ecsDisabled) {
        flags = state == cbsChecked || (state == cbsGrayed && nullStyle == nssGrayedChecked) ? 0x608 : 0x308;
    } else {
        if (state == cbsChecked) flags = DFCS_CHECKED;
        else if (state == cbsGrayed) flags = DFCS_BUTTON3STATE | (nullStyle == nssInactive ? DFCS_INACTIVE : DFCS_CHECKED);
        if (checkState == ecsPressed) flags |= DFCS_PUSHED;
    }
    return flags | (borderStyle == ebs3D ? 0 : DFCS_FLAT);
}

SIZE GetEditCheckSize(TcxCanvas* canvas, bool native, TBitmap* glyph, int glyphCount)
{
    if (glyphCount > 0 && VerifyBitmap(glyph)) return SIZE{glyph->Width() / glyphCount, glyph->Height()};
    if (AreVisualStylesMustBeUsed(native, totButton)) {
        SIZE size{};
        HDC dc = canvas ? canvas->Handle() : nullptr;
        if (dxUxTheme::GetThemePartSize(OpenTheme(totButton), dc, kCheckBoxPart, 5, TS_TRUE, size) == S_OK)
            return size;
    }
    return Classic().size;
}

void DrawEditCheck(TcxCanvas* canvas, const RECT& rect, TcxCheckBoxState state, TcxEditCheckState checkState,
                   TBitmap* glyph, int glyphCount, TcxEditBorderStyle borderStyle, bool native, TColor borderColor,
                   TColor backgroundColor, bool drawBackground, bool designing, bool focused,
                   TcxCheckBoxNullValueShowingStyle nullStyle)
{
    if (state == cbsGrayed && nullStyle == nssUnchecked) state = cbsUnchecked;
    if (glyphCount > 0 && VerifyBitmap(glyph)) {
        DrawGlyphCheck(canvas, rect, state, checkState, glyph, glyphCount, backgroundColor);
        return;
    }
    if (AreVisualStylesMustBeUsed(native, totButton)) {
        dxUxTheme::DrawThemeBackground(OpenTheme(totButton), canvas->Handle(), kCheckBoxPart,
                                       CheckNativeState(state, checkState, nullStyle), &rect, nullptr);
        return;
    }
    RECT r = rect;
    const int margin = 2 - GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(borderStyle));
    if (margin > 0) {
        if (drawBackground && backgroundColor != clNone) canvas->FrameRect(r, backgroundColor, margin);
        InflateRect(&r, -margin, -margin);
    }
    DrawClassicFrame(canvas, r, checkState, borderStyle, borderColor, designing, focused);
    RECT inner = rect;
    InflateRect(&inner, -2, -2);
    if (borderStyle == ebsUltraFlat || borderStyle == ebsOffice11)
        DrawFlatMark(canvas, rect, inner, state, checkState, borderStyle == ebsOffice11, nullStyle);
    else
        DrawFrameControlMark(canvas, inner, state, checkState, borderStyle, nullStyle);
}

// ---- TcxCustomCheckBoxProperties ---------------------------------------------------------------

TClass TcxCustomCheckBoxProperties::StaticClass()
{
    return DefineClass<TcxCustomCheckBoxProperties, TcxCustomEditProperties>("TcxCustomCheckBoxProperties");
}

void TcxCustomCheckBoxProperties::Construct(TPersistent* owner)
{
    TcxCustomEditProperties::Construct(owner);
    displayChecked_ = cxGetResourceString(cxSEditCheckBoxChecked);
    displayGrayed_ = cxGetResourceString(cxSEditCheckBoxGrayed);
    displayUnchecked_ = cxGetResourceString(cxSEditCheckBoxUnchecked);
}

void TcxCustomCheckBoxProperties::Destroy()
{
    glyph_.reset();
    TcxCustomEditProperties::Destroy();
}

TClass TcxCustomCheckBoxProperties::GetViewDataClass() { return TcxCustomCheckBoxViewData::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetContainerClass() { return TcxCheckBox::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetStyleClass() { return TcxCheckBoxStyle::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetViewInfoClass() { return TcxCustomCheckBoxViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomCheckBoxProperties::GetSupportedOperations()
{
    return TcxEditSupportedOperations{esoAlwaysHotTrack, esoFiltering, esoHotTrack, esoSorting};
}

void TcxCustomCheckBoxProperties::Assign(TPersistent* source)
{
    auto* s = As<TcxCustomCheckBoxProperties>(source);
    if (!s) {
        TcxCustomEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    ScopeGuard end([this] { EndUpdate(); });
    TcxCustomEditProperties::Assign(source);
    allowGrayed_ = s->allowGrayed_;
    displayChecked_ = s->displayChecked_;
    displayGrayed_ = s->displayGrayed_;
    displayUnchecked_ = s->displayUnchecked_;
    SetFullFocusRect(s->fullFocusRect_);
    SetGlyph(s->glyph_.get());
    SetGlyphCount(s->glyphCount_);
    SetMultiLine(s->multiLine_);
    SetNullStyle(s->nullStyle_);
    // The source's three values are distinct among themselves; taken one by
    // one against the receiver's, a swap would be refused.
    if (!InternalVarEqualsExact(valueChecked_, s->valueChecked_) ||
        !InternalVarEqualsExact(valueGrayed_, s->valueGrayed_) ||
        !InternalVarEqualsExact(valueUnchecked_, s->valueUnchecked_)) {
        valueChecked_ = s->valueChecked_;
        valueGrayed_ = s->valueGrayed_;
        valueUnchecked_ = s->valueUnchecked_;
        Changed();
    }
}

TcxCheckBoxState TcxCustomCheckBoxProperties::GetState(const Variant& editValue)
{
    if (VarEqualsExact(editValue, valueChecked_)) return cbsChecked;
    if (VarEqualsExact(editValue, valueUnchecked_)) return cbsUnchecked;
    return cbsGrayed;
}

void TcxCustomCheckBoxProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool)
{
    displayValue = Variant(static_cast<std::int32_t>(GetState(editValue)));
}

std::string TcxCustomCheckBoxProperties::GetDisplayText(const Variant& editValue, bool)
{
    switch (GetState(editValue)) {
    case cbsChecked: return displayChecked_;
    case cbsUnchecked: return displayUnchecked_;
    default: return displayGrayed_;
    }
}

bool TcxCustomCheckBoxProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    return GetState(value1) == GetState(value2);
}

bool TcxCustomCheckBoxProperties::IsEditValueValid(Variant& editValue, bool editFocused)
{
    return TcxCustomEditProperties::IsEditValueValid(editValue, editFocused) && IsValueTaken(editValue);
}

bool TcxCustomCheckBoxProperties::IsValueTaken(const Variant& value) const
{
    return InternalVarEqualsExact(value, valueChecked_) || InternalVarEqualsExact(value, valueGrayed_) ||
           InternalVarEqualsExact(value, valueUnchecked_);
}

void TcxCustomCheckBoxProperties::SetAllowGrayed(bool value)
{
    if (value == allowGrayed_) return;
    allowGrayed_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetCaption(const std::string& value)
{
    captionAssigned_ = true;
    if (value == caption_) return;
    caption_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayChecked(const std::string& value)
{
    if (value == displayChecked_) return;
    displayChecked_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayGrayed(const std::string& value)
{
    if (value == displayGrayed_) return;
    displayGrayed_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayUnchecked(const std::string& value)
{
    if (value == displayUnchecked_) return;
    displayUnchecked_ = value;
    Changed();
}

bool TcxCustomCheckBoxProperties::IsDisplayCheckedStored() const
{
    return displayChecked_ != cxGetResourceString(cxSEditCheckBoxChecked);
}

bool TcxCustomCheckBoxProperties::IsDisplayGrayedStored() const
{
    return displayGrayed_ != cxGetResourceString(cxSEditCheckBoxGrayed);
}

bool TcxCustomCheckBoxProperties::IsDisplayUncheckedStored() const
{
    return displayUnchecked_ != cxGetResourceString(cxSEditCheckBoxUnchecked);
}

bool TcxCustomCheckBoxProperties::IsValueCheckedStored() const
{
    return !InternalVarEqualsExact(valueChecked_, Variant(true));
}

bool TcxCustomCheckBoxProperties::IsValueUncheckedStored() const
{
    return !InternalVarEqualsExact(valueUnchecked_, Variant(false));
}

void TcxCustomCheckBoxProperties::SetFullFocusRect(bool value)
{
    if (value == fullFocusRect_) return;
    fullFocusRect_ = value;
    Changed();
}

TBitmap* TcxCustomCheckBoxProperties::Glyph() const
{
    if (!glyph_) {
        glyph_.reset(CreateObject<TBitmap>());
        auto* self = const_cast<TcxCustomCheckBoxProperties*>(this);
        glyph_->OnChange = TNotifyEvent::Bind(self, &TcxCustomCheckBoxProperties::GlyphChanged);
    }
    return glyph_.get();
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* value)
{
    if (!value) glyph_.reset();
    else Glyph()->Assign(value);
    Changed();
}

void TcxCustomCheckBoxProperties::GlyphChanged(TObject*) { Changed(); }

void TcxCustomCheckBoxProperties::SetGlyphCount(int value)
{
    if (value == glyphCount_) return;
    glyphCount_ = value;
    if (glyph_) Changed();
}

void TcxCustomCheckBoxProperties::SetMultiLine(bool value)
{
    if (value == multiLine_) return;
    multiLine_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetNullStyle(TcxCheckBoxNullValueShowingStyle value)
{
    if (value == nullStyle_) return;
    nullStyle_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& value)
{
    if (value.IsNull() || IsValueTaken(value)) return;
    valueChecked_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& value)
{
    if (IsValueTaken(value)) return;
    valueGrayed_ = value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& value)
{
    if (value.IsNull() || IsValueTaken(value)) return;
    valueUnchecked_ = value;
    Changed();
}

TClass TcxCheckBoxProperties::StaticClass()
{
    return DefineClass<TcxCheckBoxProperties, TcxCustomCheckBoxProperties>(
        "TcxCheckBoxProperties", [](ClassBuilder<TcxCheckBoxProperties>& b) {
            using P = TcxCheckBoxProperties;
            b.Property("Alignment", &P::AlignmentHorz, &P::SetAlignmentHorz).Stored(&P::IsAlignmentHorzStored);
            b.Property("AllowGrayed", &P::AllowGrayed, &P::SetAllowGrayed).Default(false);
            b.Property("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
            b.Property("Caption", &P::Caption, &P::SetCaption).Stored([](const P&) { return false; });
            b.Property("DisplayChecked", &P::DisplayChecked, &P::SetDisplayChecked).Stored(&P::IsDisplayCheckedStored);
            b.Property("DisplayGrayed", &P::DisplayGrayed, &P::SetDisplayGrayed).Stored(&P::IsDisplayGrayedStored);
            b.Property("DisplayUnchecked", &P::DisplayUnchecked, &P::SetDisplayUnchecked)
                .Stored(&P::IsDisplayUncheckedStored);
            b.Property("FullFocusRect", &P::FullFocusRect, &P::SetFullFocusRect).Default(false);
            b.Property("Glyph", &P::Glyph, &P::SetGlyph).Stored([](const P& p) { return p.HasGlyph(); });
            b.Property("GlyphCount", &P::GlyphCount, &P::SetGlyphCount).Default(6);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("MultiLine", &P::MultiLine, &P::SetMultiLine).Default(false);
            b.Property("NullStyle", &P::NullStyle, &P::SetNullStyle).Default(nssGrayedChecked);
            b.Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::IsReadOnlyStored);
            b.Property("ValueChecked", &P::ValueChecked, &P::SetValueChecked).Stored(&P::IsValueCheckedStored);
            b.Property("ValueGrayed", &P::ValueGrayed, &P::SetValueGrayed).Stored(&P::IsValueGrayedStored);
            b.Property("ValueUnchecked", &P::ValueUnchecked, &P::SetValueUnchecked).Stored(&P::IsValueUncheckedStored);
            b.EventProperty("OnChange", &P::OnChange);
            b.EventProperty("OnEditValueChanged", &P::OnEditValueChanged);
        });
}

TClass TcxCheckBoxStyle::StaticClass() { return DefineClass<TcxCheckBoxStyle, TcxEditStyle>("TcxCheckBoxStyle"); }

// ---- TcxCustomCheckBoxViewInfo -----------------------------------------------------------------

TClass TcxCustomCheckBoxViewInfo::StaticClass()
{
    return DefineClass<TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo>("TcxCustomCheckBoxViewInfo");
}

void TcxCustomCheckBoxViewInfo::Assign(TcxContainerViewInfo* source)
{
    if (auto* s = As<TcxCustomCheckBoxViewInfo>(source)) {
        CheckState = s->CheckState;
        NativeCheckState = s->NativeCheckState;
    }
    TcxCustomTextEditViewInfo::Assign(source);
}

bool TcxCustomCheckBoxViewInfo::CheckDiffers(const TcxContainerViewInfo* other) const
{
    auto* o = As<TcxCustomCheckBoxViewInfo>(const_cast<TcxContainerViewInfo*>(other));
    return o && (o->CheckState != CheckState || o->NativeCheckState != NativeCheckState);
}

TcxRegion* TcxCustomCheckBoxViewInfo::GetUpdateRegion(TcxContainerViewInfo* viewInfo)
{
    TcxRegion* region = TcxCustomTextEditViewInfo::GetUpdateRegion(viewInfo);
    if (CheckDiffers(viewInfo)) region->Combine(new TcxRegion(CheckBoxRect), roAdd);
    return region;
}

bool TcxCustomCheckBoxViewInfo::Repaint(TWinControl* control, TcxContainerViewInfo* viewInfo, const RECT& innerEditRect)
{
    const bool repainted = TcxCustomTextEditViewInfo::Repaint(control, viewInfo, innerEditRect);
    const bool differs = !viewInfo || CheckDiffers(viewInfo);
    if (differs && control->HandleAllocated()) {
        RECT r = CheckBoxRect;
        OffsetRect(&r, Left, Top);
        InternalInvalidateRect(control, r, false);
    }
    return repainted || differs;
}

void TcxCustomCheckBoxViewInfo::Offset(int dx, int dy)
{
    TcxCustomTextEditViewInfo::Offset(dx, dy);
    OffsetRect(&CheckBoxRect, dx, dy);
    OffsetRect(&FocusRect, dx, dy);
}

bool TcxCustomCheckBoxViewInfo::CheckExcludedFromBackground()
{
    if (NativeCheckState == 0) return true;
    return !HasGlyph &&
           !dxUxTheme::IsThemeBackgroundPartiallyTransparent(OpenTheme(totButton), kCheckBoxPart, NativeCheckState);
}

void TcxCustomCheckBoxViewInfo::PaintBackground(TcxCanvas* canvas)
{
    const int saved = SaveDC(canvas->Handle());
    ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
    if (CheckExcludedFromBackground()) canvas->ExcludeClipRect(CheckBoxRect);
    if (!NativeStyle) DrawCustomEdit(canvas, this, true, bpsSolid);
    else if (DrawParentBackground && Owner && Owner->HandleAllocated())
        dxUxTheme::DrawThemeParentBackground(Owner->Handle(), canvas->Handle(), &Bounds);
    else if (!Transparent)
        FillRect(canvas, Bounds, BackgroundColor());
}

void TcxCustomCheckBoxViewInfo::InternalPaint(TcxCanvas* canvas)
{
    PaintBackground(canvas);
    const bool noBackground = Transparent || (DrawParentBackground && NativeCheckState != 0);
    DrawEditCheck(canvas, CheckBoxRect, State, CheckState, Glyph, GlyphCount, CheckBorderStyle, NativeStyle,
                  BorderColor, noBackground ? clNone : BackgroundColor(), !Transparent, IsDesigning, Focused,
                  NullStyle);
    if (Alignment == taCenter) return;
    DrawText(canvas);
    if (Focused && !IsRectEmpty(&FocusRect)) canvas->DrawFocusRect(FocusRect);
}

void TcxCustomCheckBoxViewInfo::DrawText(TcxCanvas* canvas)
{
    canvas->SetFont(Font);
    canvas->Font()->SetColor(TextColor);
    canvas->Brush()->SetStyle(bsClear);
    const bool enabled = Enabled || IsTextColorAssigned || NativeStyle || IsContainerInnerControl;
    canvas->DrawTexT(Text, TextRect, static_cast<int>(DrawTextFlags), enabled);
    canvas->Brush()->SetStyle(bsSolid);
}

// ---- TcxCustomCheckBoxViewData -----------------------------------------------------------------

TClass TcxCustomCheckBoxViewData::StaticClass()
{
    return DefineClass<TcxCustomCheckBoxViewData, TcxCustomEditViewData>("TcxCustomCheckBoxViewData");
}

bool TcxCustomCheckBoxViewData::IsCheckPressed() const
{
    auto* box = As<TcxCustomCheckBox>(Edit);
    return box && box->IsKeyPressed();
}

int TcxCustomCheckBoxViewData::GetDrawTextFlags()
{
    TcxCustomCheckBoxProperties* p = GetProperties();
    int flags = (p->Alignment()->Horz() == taCenter ? cxtfHCenter : cxtfLeft) | cxtfShowPrefix;
    if (p->MultiLine()) flags |= cxtfNoClip | cxtfWordBreak;
    else flags |= cxtfSingleLine;
    flags |= IsInplace || !p->MultiLine() ? cxtfVCenter : cxtfTop;
    return flags;
}

TcxEditBorderStyle TcxCustomCheckBoxViewData::CheckBorderStyle()
{
    const TcxEditBorderStyle style = Style()->BorderStyle();
    if (IsDesigning || !Style()->HotTrack() || IsInplace) return style;
    const bool hot = ContainerState.Contains(csActive) || ContainerState.Contains(csHotTrack);
    if (!hot) return style;
    switch (style) {
    case ebsNone: return ebsFlat;
    case ebsSingle: return ebsThick;
    case ebsFlat: return ebs3D;
    default: return style;
    }
}

void TcxCustomCheckBoxViewData::CalculateLayout(TcxCustomCheckBoxViewInfo* vi, const SIZE& check)
{
    RECT text = vi->ClientRect;
    RECT box = vi->ClientRect;
    const TAlignment alignment = vi->Alignment;
    if (!IsInplace) {
        InflateRect(&text, -2, -2);
        if (!GetProperties()->IsEmbeddedEdit()) OffsetRect(&text, 0, -1);
    } else if (alignment == taLeftJustify) {
        text.right -= 2;
    } else if (alignment == taRightJustify) {
        text.left += 2;
    }
    if (!IsInplace && !AreVisualStylesMustBeUsed(NativeStyle, totButton)) InflateRect(&box, -2, -2);
    if (check.cy < cxRectHeight(box)) {
        box.top += (cxRectHeight(box) - check.cy) / 2;
        box.bottom = box.top + check.cy;
    }
    if (check.cx < cxRectWidth(box)) {
        if (alignment == taCenter) {
            box.left += (cxRectWidth(box) - check.cx) / 2;
            box.right = box.left + check.cx;
        } else if (alignment == taRightJustify) {
            box.left = box.right - check.cx;
            text.right = box.left - (IsInplace ? 2 : 3);
        } else {
            box.right = box.left + check.cx;
            text.left = box.right + 3;
        }
    } else {
        text.right = text.left;
    }
    if (!Enabled) {
        ++text.right;
        ++text.bottom;
    }
    vi->TextRect = text;
    vi->CheckBoxRect = box;
}

void TcxCustomCheckBoxViewData::CalculateCheckState(TcxCustomCheckBoxViewInfo* vi, const POINT& p,
                                                    TcxMouseButton button, TShiftState shift)
{
    const TShiftState buttons = shift * TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble};
    if (!Enabled) vi->CheckState = ecsDisabled;
    else if (IsCheckPressed()) vi->CheckState = ecsPressed;
    else if (!IsDesigning && PtInRect(&vi->BorderRect, p)) {
        if (buttons.Empty()) vi->CheckState = ecsHot;
        else if (buttons == TShiftState{ssLeft})
            vi->CheckState = button == cxmbLeft || previousCheckState_ == ecsPressed ? ecsPressed : ecsNormal;
        else vi->CheckState = ecsNormal;
    } else {
        vi->CheckState = ecsNormal;
    }
}

void TcxCustomCheckBoxViewData::CalculateFocusRect(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* vi)
{
    vi->FocusRect = RECT{};
    if (vi->Alignment == taCenter || !Focused || vi->Text.empty()) return;
    RECT r = vi->TextRect;
    if (!vi->FullFocusRect) {
        canvas->SetFont(vi->Font);
        canvas->TextExtent(vi->Text, r, static_cast<int>(vi->DrawTextFlags));
    }
    InflateRect(&r, 1, 1);
    const RECT& t = vi->TextRect;
    r.left = std::max(r.left, t.left - 1);
    r.top = std::max(r.top, t.top - 1 + (IsInplace ? 2 : 0));
    r.right = std::min(r.right, t.right + 1);
    r.bottom = std::min(r.bottom, t.bottom + 1 - (IsInplace ? 2 : 0));
    if (r.right >= vi->BorderRect.right) r.right = vi->BorderRect.right - 1;
    vi->FocusRect = r;
}

void TcxCustomCheckBoxViewData::CalculateDrawState(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* vi)
{
    vi->NativeCheckState = AreVisualStylesMustBeUsed(NativeStyle, totButton)
                               ? CheckNativeState(vi->State, vi->CheckState, vi->NullStyle)
                               : 0;
    vi->SetBackgroundColor(Style()->Color());
    CalculateFocusRect(canvas, vi);
}

void TcxCustomCheckBoxViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                          TcxMouseButton button, TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                          bool isMouseEvent)
{
    auto* vi = static_cast<TcxCustomCheckBoxViewInfo*>(viewInfo);
    TcxCustomCheckBoxProperties* props = GetProperties();
    previousCheckState_ = vi->CheckState;
    vi->Alignment = IsInplace && !props->DrawCaptionInInplace() ? taCenter : props->Alignment()->Horz();
    TcxCustomEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    vi->IsEditClass = GetIsEditClass();
    vi->DrawSelectionBar = false;
    vi->HasPopupWindow = false;
    vi->DrawTextFlags = static_cast<unsigned>(GetDrawTextFlags());
    vi->Text = Edit ? Edit->Text() : std::string();
    vi->CheckBorderStyle = CheckBorderStyle();
    vi->Glyph = props->HasGlyph() ? props->InternalGetGlyph() : nullptr;
    vi->GlyphCount = props->GlyphCount();
    vi->FullFocusRect = props->FullFocusRect();
    vi->NullStyle = props->NullStyle();
    vi->HasGlyph = vi->GlyphCount > 0 && VerifyBitmap(vi->Glyph);
    vi->Owner = Edit;
    CalculateLayout(vi, GetEditCheckSize(canvas, NativeStyle, vi->Glyph, vi->GlyphCount));
    CalculateCheckState(vi, p, button, shift);
    CalculateDrawState(canvas, vi);
    if (IsInplace && vi->CheckBorderStyle == ebsSingle) {
        const bool hot = vi->CheckState == ecsHot || (IsDesigning && vi->CheckState != ecsDisabled);
        vi->BorderColor = hot ? clHighlight : clBtnShadow;
    }
    vi->IsTextColorAssigned = Style()->AssignedValues().Contains(csvTextColor);
}

void TcxCustomCheckBoxViewData::EditValueToDrawValue(TcxCanvas* canvas, const Variant& editValue,
                                                     TcxCustomEditViewInfo* viewInfo)
{
    auto* vi = static_cast<TcxCustomCheckBoxViewInfo*>(viewInfo);
    vi->State = GetProperties()->GetState(editValue);
    CalculateDrawState(canvas, vi);
}

void TcxCustomCheckBoxViewData::InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                                                const TcxEditSizeProperties& sizeProperties,
                                                                SIZE& minContentSize, TcxCustomEditViewInfo* viewInfo,
                                                                SIZE& size)
{
    TcxCustomEditViewData::InternalGetEditConstantPartSize(canvas, isInplace, sizeProperties, minContentSize,
                                                           viewInfo, size);
    auto* vi = static_cast<TcxCustomCheckBoxViewInfo*>(viewInfo);
    int w = cxRectWidth(vi->CheckBoxRect);
    int h = cxRectHeight(vi->CheckBoxRect);
    if (!isInplace && !AreVisualStylesMustBeUsed(NativeStyle, totButton)) {
        w += 4;
        h += 4;
    }
    const std::string text = vi->Alignment == taCenter || isInplace ? std::string("Gg") : RemoveAccelChars(vi->Text);
    const unsigned flags = DrawTextFlagsTocxTextOutFlags(GetDrawTextFlags()) | cxSingleLine;
    const SIZE textSize = GetTextEditContentSize(canvas, this, text, flags, sizeProperties, true);
    size.cx += w + textSize.cx + 3;
    size.cy += std::max<int>(h, textSize.cy);
}

// ---- TcxCheckBoxActionLink ---------------------------------------------------------------------

TClass TcxCheckBoxActionLink::StaticClass()
{
    return DefineClass<TcxCheckBoxActionLink, TWinControlActionLink>("TcxCheckBoxActionLink");
}

void TcxCheckBoxActionLink::AssignClient(TObject* client)
{
    TWinControlActionLink::AssignClient(client);
    client_ = As<TcxCustomCheckBox>(client);
}

bool TcxCheckBoxActionLink::IsCheckedLinked() const
{
    TCustomAction* action = CustomAction();
    return TWinControlActionLink::IsCheckedLinked() && client_ && client_->State() != cbsGrayed &&
           client_->Checked() == action->Checked();
}

void TcxCheckBoxActionLink::SetChecked(bool value)
{
    if (IsCheckedLinked()) InternalSetChecked(value);
}

void TcxCheckBoxActionLink::InternalSetChecked(bool value)
{
    if (!client_) return;
    client_->LockClick(true);
    client_->LockChangeEvents(true);
    ScopeGuard unlock([this] {
        client_->LockChangeEvents(false, false);
        client_->LockClick(false);
    });
    client_->SetChecked(value);
}

// ---- TcxCustomCheckBox -------------------------------------------------------------------------

TClass TcxCustomCheckBox::StaticClass()
{
    return DefineClass<TcxCustomCheckBox, TcxCustomEdit>("TcxCustomCheckBox");
}

TClass TcxCustomCheckBox::GetPropertiesClass() const { return TcxCheckBoxProperties::StaticClass(); }

void TcxCustomCheckBox::Construct(TComponent* owner)
{
    TcxCustomEdit::Construct(owner);
    SetControlStyle(ControlStyle() - TControlStyle{csDoubleClicks});
    SetParentColor(!IsInplace());
    SetWidth(121);
    Variant value;
    PrepareEditValue(Variant(static_cast<std::int32_t>(cbsUnchecked)), value, false);
    StoreEditValue(value);
    GetViewInfo()->State = cbsUnchecked;
}

TcxContainerStyleValues TcxCustomCheckBox::GetNotPublishedStyleValues() const
{
    return {csvEdges, csvButtonStyle, csvButtonTransparency, csvPopupBorderStyle};
}

bool TcxCustomCheckBox::IsRefreshOnWindowPosChangedNeeded()
{
    return ParentBackground() && !IsInplace() && AreVisualStylesMustBeUsed(IsNativeStyle(), totButton);
}

void TcxCustomCheckBox::FillSizeProperties(TcxEditSizeProperties& sizeProperties)
{
    sizeProperties = TcxEditSizeProperties{};
    sizeProperties.MaxLineCount = ActiveProperties()->MultiLine() ? 0 : 1;
    sizeProperties.Width = cxRectWidth(GetViewInfo()->TextRect);
}

void TcxCustomCheckBox::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomCheckBoxProperties* p = ActiveProperties();
    switch (displayValue.IsNull() || displayValue.IsEmpty() ? 2 : displayValue.AsInteger()) {
    case 0: editValue = p->ValueUnchecked(); break;
    case 1: editValue = p->ValueChecked(); break;
    default: editValue = p->ValueGrayed(); break;
    }
}

TcxCheckBoxState TcxCustomCheckBox::State() { return ActiveProperties()->GetState(EditValue()); }

void TcxCustomCheckBox::SetState(TcxCheckBoxState value)
{
    if (IsLoading()) {
        stateRemembered_ = true;
        rememberedState_ = value;
        return;
    }
    if (value == State()) return;
    Variant editValue;
    PrepareEditValue(Variant(static_cast<std::int32_t>(value)), editValue, InternalFocused());
    SetInternalEditValue(editValue);
}

bool TcxCustomCheckBox::IsStateStored()
{
    TBasicAction* action = Action();
    if (!action) return State() != cbsUnchecked;
    auto* custom = As<TCustomAction>(action);
    return custom && (State() == cbsGrayed || Checked() != custom->Checked());
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& value, bool validateEditValue)
{
    const TcxCheckBoxState before = State();
    TcxCustomEdit::InternalSetEditValue(value, validateEditValue);
    if (State() != before) ApplyStateChange();
    ShortRefreshContainer(false);
}

// The view shows the new state; OnClick and OnChange tell of it.
void TcxCustomCheckBox::ApplyStateChange()
{
    GetViewInfo()->State = State();
    if (HandleAllocated()) InternalInvalidateRect(this, GetViewInfo()->CheckBoxRect, false);
    Click();
    DoChange();
}

void TcxCustomCheckBox::PropertiesChanged(TObject* sender)
{
    TcxCustomCheckBoxProperties* p = ActiveProperties();
    if (p->IsCaptionAssigned()) {
        SetText(p->Caption());
        p->ClearCaptionAssigned();
    }
    if (GetViewInfo()->State != State()) {
        GetViewInfo()->State = State();
        if (HandleAllocated()) InternalInvalidateRect(this, GetViewInfo()->CheckBoxRect, false);
        if (!AreChangeEventsLocked()) {
            Click();
            DoChange();
        }
    }
    TcxCustomEdit::PropertiesChanged(sender);
}

void TcxCustomCheckBox::Toggle()
{
    LockChangeEvents(true);
    ScopeGuard unlock([this] { LockChangeEvents(false); });
    SetUserChange(true);
    {
        ScopeGuard clearUser([this] { SetUserChange(false); });
        static const TcxCheckBoxState next[] = {cbsChecked, cbsUnchecked, cbsChecked};
        const TcxCheckBoxState state = State();
        SetState(state == cbsUnchecked && ActiveProperties()->AllowGrayed() ? cbsGrayed : next[state]);
    }
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true))
        InternalPostEditValue(false);
}

void TcxCustomCheckBox::Loaded()
{
    inLoaded_ = true;
    LockChangeEvents(true);
    LockClick(true);
    ScopeGuard unlock([this] {
        LockClick(false);
        LockChangeEvents(false, false);
        inLoaded_ = false;
    });
    TcxCustomEdit::Loaded();
    if (stateRemembered_) SetState(rememberedState_);
    else if (!IsDBEdit()) SetState(cbsUnchecked);
    stateRemembered_ = false;
}

void TcxCustomCheckBox::Paint()
{
    GetViewInfo()->DrawParentBackground = !IsInplace() && ParentBackground();
    TcxCustomEdit::Paint();
}

void TcxCustomCheckBox::TextChanged()
{
    TcxCustomEdit::TextChanged();
    GetViewInfo()->Text = Text();
    ShortRefreshContainer(false);
    Invalidate();
}

void TcxCustomCheckBox::DoExit()
{
    keyPressed_ = false;
    TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::DoEditKeyDown(WORD& key, TShiftState shift)
{
    TcxCustomEdit::DoEditKeyDown(key, shift);
    if (key != VK_SPACE) return;
    TcxEditCheckState& state = GetViewInfo()->CheckState;
    if (state != ecsNormal && state != ecsHot) return;
    keyPressed_ = true;
    state = ecsPressed;
    ShortRefreshContainer(false);
    InternalInvalidateRect(this, GetViewInfo()->CheckBoxRect, false);
    key = 0;
}

void TcxCustomCheckBox::DoEditKeyUp(WORD& key, TShiftState shift)
{
    TcxCustomEdit::DoEditKeyUp(key, shift);
    if (key != VK_SPACE || GetViewInfo()->CheckState != ecsPressed) return;
    keyPressed_ = false;
    GetViewInfo()->CheckState = ecsNormal;
    InternalInvalidateRect(this, GetViewInfo()->CheckBoxRect, false);
    Toggle();
}

void TcxCustomCheckBox::DoEditKeyPress(char& key)
{
    TcxCustomEdit::DoEditKeyPress(key);
    if (key != ' ' || !IsInplace() || GetViewInfo()->CheckState != ecsNormal) return;
    Toggle();
    key = 0;
}

void TcxCustomCheckBox::ProcessViewInfoChanges(TcxCustomEditViewInfo* prevViewInfo, bool isMouseEvent)
{
    TcxCustomEdit::ProcessViewInfoChanges(prevViewInfo, isMouseEvent);
    auto* previous = As<TcxCustomCheckBoxViewInfo>(prevViewInfo);
    if (previous && previous->CheckState == ecsPressed && GetViewInfo()->CheckState == ecsHot) Toggle();
}

TClass TcxCustomCheckBox::GetActionLinkClass() { return TcxCheckBoxActionLink::StaticClass(); }

void TcxCustomCheckBox::ActionChange(TObject* sender, bool checkDefaults)
{
    TcxCustomEdit::ActionChange(sender, checkDefaults);
    if ((IsLoading() || inLoaded_) && stateRemembered_) return;
    auto* action = As<TCustomAction>(sender);
    auto* link = As<TcxCheckBoxActionLink>(ActionLink());
    if (!action || !link) return;
    if (!checkDefaults || !Checked()) link->InternalSetChecked(action->Checked());
}

// Without csDoubleClicks the second press of a double click is one more press.
void TcxCustomCheckBox::WndProc(TMessage& m)
{
    if (m.Msg == WM_LBUTTONDBLCLK && !ControlStyle().Contains(csDoubleClicks)) m.Msg = WM_LBUTTONDOWN;
    TcxCustomEdit::WndProc(m);
}

void TcxCustomCheckBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_DIALOGCHAR: return CMDialogChar(m);
    case WM_LBUTTONUP: return WMLButtonUp(m);
    case CM_PARENTCOLORCHANGED:
        TcxCustomEdit::Dispatch(m);
        if (IsNativeStyle() && ParentBackground()) Invalidate();
        return;
    default: return TcxCustomEdit::Dispatch(m);
    }
}

void TcxCustomCheckBox::CMDialogChar(TMessage& m)
{
    if (!IsAccel(static_cast<WORD>(m.WParam), Text()) || !CanFocus()) {
        TcxCustomEdit::Dispatch(m);
        return;
    }
    SetFocus();
    if (Focused()) Toggle();
    m.Result = 1;
}

// Clicks come from state changes, not from the release.
void TcxCustomCheckBox::WMLButtonUp(TMessage& m)
{
    SetControlState(ControlState() - TControlState{csClicked});
    TcxCustomEdit::Dispatch(m);
}

TClass TcxCheckBox::StaticClass()
{
    return DefineClass<TcxCheckBox, TcxCustomCheckBox>("TcxCheckBox", [](ClassBuilder<TcxCheckBox>& b) {
        using C = TcxCheckBox;
        b.Property("Properties", &C::Properties, &C::SetProperties);
        // State and Checked read through the active properties.
        b.Property("State", [](const C& c) { return const_cast<C&>(c).State(); }, &C::SetState)
            .Stored([](const C& c) { return const_cast<C&>(c).IsStateStored(); });
        b.Property("Checked", [](const C& c) { return const_cast<C&>(c).Checked(); }, &C::SetChecked)
            .Stored([](const C&) { return false; });
        PublishEditStyles(b);
        b.EventProperty("OnEditing", &C::OnEditing);
    });
}

// ---- registration ------------------------------------------------------------------------------

namespace {
int gCheckBoxStarts = 0;
}  // namespace

void cxCheckBoxInitialize()
{
    if (gCheckBoxStarts++ > 0) return;
    Classic();
    GetRegisteredEditProperties()->Register(TcxCheckBoxProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryCheckBoxItem));
}

void cxCheckBoxFinalize()
{
    if (gCheckBoxStarts == 0 || --gCheckBoxStarts > 0) return;
    GetRegisteredEditProperties()->Unregister(TcxCheckBoxProperties::StaticClass());
    SharedCheckStates().clear();
    ClassicSlot().reset();
}

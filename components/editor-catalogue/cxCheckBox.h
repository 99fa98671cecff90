#pragma once
// The check box editor kind: a value with two or three states, shown as a
// check mark with a caption beside it (alone and centred in a cell), the
// free functions that measure and draw a check in every look, and the
// encoding of a group of check states in one value.

#include <cstdint>
#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/visual/actnlist.h"

// The three states of a check box, shared by the check box, the check-state
// text encoding and the list controls that paint check cells.
enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
// How the grayed state is painted.
enum TcxCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };
// The look of the check mark under the pointer and keys.
enum TcxEditCheckState { ecsNormal, ecsHot, ecsPressed, ecsDisabled };

const hostlib::TEnumInfo& EnumTypeInfo(TcxCheckBoxState*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxCheckBoxNullValueShowingStyle*);

// ---- check states in one value -----------------------------------------------------

using TcxCheckStates = std::vector<TcxCheckBoxState>;
enum TcxCheckStatesValueFormat { cvfCaptions, cvfIndices, cvfInteger, cvfStatesString };

// The items whose states are encoded, seen by caption and count.
class IcxCheckItems {
public:
    static constexpr const char* IID = "{5BF13228-CF05-4741-9833-F2B8FBFD57ED}";
    virtual std::string GetCaption(int index) = 0;
    virtual int GetCount() = 0;

protected:
    ~IcxCheckItems() = default;
};

using TcxCheckStatesToValueEvent = hostlib::Event<hostlib::TObject*, const TcxCheckStates&, hostlib::Variant&>;
using TcxValueToCheckStatesEvent = hostlib::Event<hostlib::TObject*, const hostlib::Variant&, TcxCheckStates&>;

// The array the conversions use when the caller passes none.
TcxCheckStates& CheckStates();
// Never fails; walks the states that have an item (at most the item count).
void CalculateCheckStatesValue(TcxCheckStatesValueFormat format, IcxCheckItems* items, hostlib::Variant& value,
                               TcxCheckStates* states = nullptr);
// Sizes the states to the item count and fills them; on a malformed value
// false with every state unchecked.
bool CalculateCheckStates(const hostlib::Variant& value, TcxCheckStatesValueFormat format, IcxCheckItems* items,
                          TcxCheckStates* states = nullptr);

// ---- measuring and drawing a check -------------------------------------------------

SIZE GetEditCheckSize(TcxCanvas* canvas, bool native, hostlib::TBitmap* glyph, int glyphCount);
// backgroundColor clNone: no background.
void DrawEditCheck(TcxCanvas* canvas, const RECT& rect, TcxCheckBoxState state, TcxEditCheckState checkState,
                   hostlib::TBitmap* glyph, int glyphCount, TcxEditBorderStyle borderStyle, bool native,
                   hostlib::TColor borderColor, hostlib::TColor backgroundColor, bool drawBackground, bool designing,
                   bool focused, TcxCheckBoxNullValueShowingStyle nullStyle);
// The image of the glyph strip a check shows: the state, +3 pressed, folded
// back into the first three when the strip is shorter.
int CheckGlyphIndex(TcxCheckBoxState state, TcxEditCheckState checkState, int glyphCount);
// The theme state of the check-box part; the grayed state by null style.
int CheckNativeState(TcxCheckBoxState state, TcxEditCheckState checkState, TcxCheckBoxNullValueShowingStyle nullStyle);
// The frame-control state flags of a classic check.
UINT CheckFrameControlFlags(TcxCheckBoxState state, TcxEditCheckState checkState, TcxEditBorderStyle borderStyle,
                            TcxCheckBoxNullValueShowingStyle nullStyle);
// The classic check size of the system check-box bitmap, measured once.
SIZE cxEditCheckClassicSize();

// ---- properties --------------------------------------------------------------------

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    // The three values are taken as one set, so values swapped between the
    // two objects copy too; Caption stays.
    void Assign(hostlib::TPersistent* source) override;
    bool CompareEditValue() override { return true; }
    hostlib::TClass GetViewDataClass() override;
    bool HasDisplayValue() override { return true; }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetStyleClass() override;
    hostlib::TClass GetViewInfoClass() override;
    bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2) override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    // An Integer 0, 1 or 2: the state of the value.
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    virtual bool DrawCaptionInInplace() { return false; }
    virtual hostlib::TBitmap* InternalGetGlyph() { return Glyph(); }
    virtual bool IsEmbeddedEdit() { return false; }

    // Checked first, then unchecked; everything else reads grayed.
    TcxCheckBoxState GetState(const hostlib::Variant& editValue);

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool IsCaptionAssigned() const { return captionAssigned_; }
    void ClearCaptionAssigned() { captionAssigned_ = false; }
    const std::string& DisplayChecked() const { return displayChecked_; }
    void SetDisplayChecked(const std::string& value);
    const std::string& DisplayGrayed() const { return displayGrayed_; }
    void SetDisplayGrayed(const std::string& value);
    const std::string& DisplayUnchecked() const { return displayUnchecked_; }
    void SetDisplayUnchecked(const std::string& value);
    bool FullFocusRect() const { return fullFocusRect_; }
    void SetFullFocusRect(bool value);
    // Created empty on first read.
    hostlib::TBitmap* Glyph() const;
    // nullptr frees the glyph.
    void SetGlyph(hostlib::TBitmap* value);
    bool HasGlyph() const { return glyph_ != nullptr; }
    int GlyphCount() const { return glyphCount_; }
    void SetGlyphCount(int value);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    TcxCheckBoxNullValueShowingStyle NullStyle() const { return nullStyle_; }
    void SetNullStyle(TcxCheckBoxNullValueShowingStyle value);
    const hostlib::Variant& ValueChecked() const { return valueChecked_; }
    // Refused silently when Null or equal to one of the three values.
    void SetValueChecked(const hostlib::Variant& value);
    const hostlib::Variant& ValueGrayed() const { return valueGrayed_; }
    // Refused silently when equal to one of the three values; Null is allowed.
    void SetValueGrayed(const hostlib::Variant& value);
    const hostlib::Variant& ValueUnchecked() const { return valueUnchecked_; }
    void SetValueUnchecked(const hostlib::Variant& value);

    bool IsDisplayCheckedStored() const;
    bool IsDisplayGrayedStored() const;
    bool IsDisplayUncheckedStored() const;
    bool IsValueCheckedStored() const;
    bool IsValueGrayedStored() const { return !valueGrayed_.IsNull(); }
    bool IsValueUncheckedStored() const;
    hostlib::TAlignment AlignmentHorz() const { return Alignment()->Horz(); }
    void SetAlignmentHorz(hostlib::TAlignment value) { Alignment()->SetHorz(value); }
    bool IsAlignmentHorzStored() const { return Alignment()->IsHorzAssigned(); }

protected:
    void Destroy() override;

private:
    bool IsValueTaken(const hostlib::Variant& value) const;
    void GlyphChanged(hostlib::TObject* sender);

    bool allowGrayed_ = false;
    std::string caption_;
    std::string displayChecked_;
    std::string displayGrayed_;
    std::string displayUnchecked_;
    bool fullFocusRect_ = false;
    mutable hostlib::ObjectPtr<hostlib::TBitmap> glyph_;
    int glyphCount_ = 6;
    bool captionAssigned_ = false;
    bool multiLine_ = false;
    TcxCheckBoxNullValueShowingStyle nullStyle_ = nssGrayedChecked;
    hostlib::Variant valueChecked_{true};
    hostlib::Variant valueGrayed_ = hostlib::Variant::Null();
    hostlib::Variant valueUnchecked_{false};
};

// The published kind, "CheckBox" in the registered list.
class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// A check box has no edit border of its own.
class TcxCheckBoxStyle : public TcxEditStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool HasBorder() const override { return false; }
};

// ---- view info and view data -------------------------------------------------------

class TcxCustomCheckBoxViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(TcxContainerViewInfo* source) override;
    TcxRegion* GetUpdateRegion(TcxContainerViewInfo* viewInfo) override;
    void Offset(int dx, int dy) override;
    bool IsHotTrack() const override { return true; }
    bool IsHotTrack(POINT) const override { return true; }
    using TcxCustomTextEditViewInfo::NeedShowHint;
    bool NeedShowHint(TcxCanvas*, const POINT&, const RECT&, std::string& text, bool&, RECT&) override
    {
        text.clear();
        return false;
    }
    bool Repaint(hostlib::TWinControl* control, TcxContainerViewInfo* viewInfo, const RECT& innerEditRect) override;
    void DrawText(TcxCanvas* canvas) override;

    hostlib::TAlignment Alignment = hostlib::taLeftJustify;
    TcxEditBorderStyle CheckBorderStyle = ebsNone;
    hostlib::TBitmap* Glyph = nullptr;
    int GlyphCount = 0;
    RECT CheckBoxRect{};
    TcxEditCheckState CheckState = ecsNormal;
    RECT FocusRect{};
    bool FullFocusRect = false;
    bool HasGlyph = false;
    bool IsTextColorAssigned = false;
    TcxCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
    TcxCheckBoxState State = cbsUnchecked;
    int NativeCheckState = 0;
    bool DrawParentBackground = false;
    // The control that paints the parent's themed background.
    hostlib::TWinControl* Owner = nullptr;

protected:
    void InternalPaint(TcxCanvas* canvas) override;

private:
    bool CheckDiffers(const TcxContainerViewInfo* other) const;
    bool CheckExcludedFromBackground();
    void PaintBackground(TcxCanvas* canvas);
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The control draws no edit border of its own.
    TcxEditBorderStyle GetBorderStyle() override { return ebsNone; }
    void InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace, const TcxEditSizeProperties& sizeProperties,
                                         SIZE& minContentSize, TcxCustomEditViewInfo* viewInfo, SIZE& size) override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    virtual int GetDrawTextFlags();
    bool GetIsEditClass() const { return true; }
    bool IsCheckPressed() const;
    TcxCustomCheckBoxProperties* GetProperties() const
    {
        return static_cast<TcxCustomCheckBoxProperties*>(Properties());
    }

private:
    TcxEditBorderStyle CheckBorderStyle();
    void CalculateLayout(TcxCustomCheckBoxViewInfo* viewInfo, const SIZE& checkSize);
    void CalculateCheckState(TcxCustomCheckBoxViewInfo* viewInfo, const POINT& p, TcxMouseButton button,
                             hostlib::TShiftState shift);
    void CalculateFocusRect(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* viewInfo);
    void CalculateDrawState(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* viewInfo);

    TcxEditCheckState previousCheckState_ = ecsNormal;
};

// ---- control -----------------------------------------------------------------------

class TcxCustomCheckBox;

class TcxCheckBoxActionLink : public hostlib::TWinControlActionLink {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Linked only while the box is not grayed and follows the action.
    bool IsCheckedLinked() const override;
    void SetChecked(bool value) override;
    // Sets Checked without OnClick or OnChange.
    void InternalSetChecked(bool value);

protected:
    void AssignClient(hostlib::TObject* client) override;

private:
    TcxCustomCheckBox* client_ = nullptr;
};

class TcxCustomCheckBox : public TcxCustomEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomEdit::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    bool IsRefreshOnWindowPosChangedNeeded() override;
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;
    void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue) override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void Clear() override { SetChecked(false); }
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    // The next state of the click cycle, as the user's change.
    virtual void Toggle();

    TcxCheckBoxState State();
    // Remembered while loading; otherwise the state's value.
    void SetState(TcxCheckBoxState value);
    bool Checked() { return State() == cbsChecked; }
    void SetChecked(bool value) { SetState(value ? cbsChecked : cbsUnchecked); }
    bool IsStateStored();
    bool IsKeyPressed() const { return keyPressed_; }
    // The action changed: the control's handling, then its Checked (with
    // checkDefaults only a set Checked is taken).
    void ActionChange(hostlib::TObject* sender, bool checkDefaults) override;

    TcxCustomCheckBoxProperties* Properties() const
    {
        return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomCheckBoxProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomCheckBoxProperties* ActiveProperties()
    {
        return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxCustomCheckBoxViewInfo* GetViewInfo() const { return static_cast<TcxCustomCheckBoxViewInfo*>(ViewInfo()); }

protected:
    hostlib::TClass GetActionLinkClass() override;
    void Loaded() override;
    void Paint() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void DoExit() override;
    void TextChanged() override;
    bool DefaultParentColor() override { return true; }
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void DoEditKeyUp(WORD& key, hostlib::TShiftState shift) override;
    void FillSizeProperties(TcxEditSizeProperties& sizeProperties) override;
    bool IsClickEnabledDuringLoading() override { return IsDBEdit(); }
    void ProcessViewInfoChanges(TcxCustomEditViewInfo* prevViewInfo, bool isMouseEvent) override;

private:
    void CMDialogChar(hostlib::TMessage& m);
    void WMLButtonUp(hostlib::TMessage& m);
    void ApplyStateChange();

    bool keyPressed_ = false;
    bool inLoaded_ = false;
    bool stateRemembered_ = false;
    TcxCheckBoxState rememberedState_ = cbsUnchecked;
};

class TcxCheckBox : public TcxCustomCheckBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Measures the classic check, registers the published kind (counted).
void cxCheckBoxInitialize();
void cxCheckBoxFinalize();

#pragma once
// The single-line text editor: its properties (character case, password
// echo, maximum length, display and edit formats with numeric bounds, the
// lookup items of incremental completion), the conversion of an edit value
// into the text a cell or an unfocused editor shows, and the helpers of the
// numeric kinds built on it (digit grouping, exponent parts).

#include <bitset>
#include <string>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxFormats.h"
#include "components/editors/cxTextEditLookup.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };
// Kept with the settings only: no input method reaches the editors here.
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditEchoMode*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxTextEditViewStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TImeMode*);

using TcxNewLookupDisplayTextEvent = hostlib::Event<hostlib::TObject*, const std::string&>;
// Characters an editor accepts whatever else it checks.
using TcxCharSet = std::bitset<256>;

class TcxCustomTextEditProperties;

// Which of the text settings were set explicitly.
class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void RestoreDefaults() override;

    bool DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(bool value) { Set(displayFormat_, value); }
    bool EditFormat() const { return editFormat_; }
    void SetEditFormat(bool value) { Set(editFormat_, value); }
    bool MaxLength() const { return maxLength_; }
    void SetMaxLength(bool value);
    bool MaxValue() const { return maxValue_; }
    void SetMaxValue(bool value) { Set(maxValue_, value); }
    bool MinValue() const { return minValue_; }
    void SetMinValue(bool value) { Set(minValue_, value); }

    // A flag is written only where the value alone would not restore it.
    bool IsDisplayFormatStored() const;
    bool IsEditFormatStored() const;
    bool IsMaxValueStored() const;
    bool IsMinValueStored() const;

private:
    void Set(bool& field, bool value);
    TcxCustomTextEditProperties* TextProperties() const;

    bool displayFormat_ = false;
    bool editFormat_ = false;
    bool maxLength_ = false;
    bool maxValue_ = false;
    bool minValue_ = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatControllerListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void DefineProperties(hostlib::TFiler& filer) override;

    // Answers of the text kind.
    bool CanValidate() override { return true; }
    bool CompareEditValue() override { return true; }
    bool HasDisplayValue() override { return true; }
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {dfoSupports}; }
    TcxEditSupportedOperations GetSupportedOperations() override;
    hostlib::TClass GetAssignedValuesClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetViewInfoClass() override;
    bool IsResetEditClass() override { return GetEditingStyle() != esNoEdit; }
    std::string GetValidateErrorText(int errorKind) override;
    bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2) override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;

    // The locale's formats changed: one Changed, with FormatChanging set.
    void FormatChanged() override;
    virtual void CheckEditorValueBounds(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                                        TcxCustomEdit* edit);
    virtual std::string DefaultFocusedDisplayValue() { return {}; }
    // Password echo, else the character case.
    virtual void DisplayValueToDisplayText(std::string& text);
    virtual bool FindLookupText(const std::string& text);
    virtual std::string GetDefaultDisplayFormat() { return {}; }
    virtual int GetDefaultMaxLength();
    virtual int GetDropDownPageRowCount() { return 8; }
    virtual TcxEditEditingStyle GetEditingStyle() { return hideCursor_ ? esNoEdit : esEdit; }
    // The class of the lookup data an editor of the kind creates (none: no
    // incremental lookup).
    virtual hostlib::TClass GetLookupDataClass();
    virtual bool HasDigitGrouping(bool isDisplayValueSynchronizing)
    {
        (void)isDisplayValueSynchronizing;
        return false;
    }
    // The format of a focused numeric value and whether it is a currency or
    // the data's own text.
    virtual std::string InternalGetEditFormat(bool& isCurrency, bool& isOnGetTextAssigned,
                                              TcxCustomEdit* edit = nullptr);
    virtual bool IsEditValueNumeric() { return false; }
    virtual bool IsLookupDataVisual() { return false; }
    virtual bool IsMultiLine() { return false; }
    virtual bool IsPopupKey(WORD key, hostlib::TShiftState shift)
    {
        (void)key;
        (void)shift;
        return false;
    }
    virtual void LookupDataChanged(hostlib::TObject* sender);
    virtual void MaxLengthChanged() { Changed(); }
    virtual void SetCharCase(hostlib::TEditCharCase value) { Set(charCase_, value); }
    virtual bool UseLookupData() { return GetLookupDataClass() != nullptr; }
    // Checks a text against the lookup list of the list styles and applies
    // the character case to an accepted one.
    virtual bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused);

    // A valid value's prepared display value; else a date's date-time text
    // or the value's text.
    void GetDefaultDisplayValue(const hostlib::Variant& editValue, bool editFocused, hostlib::Variant& displayValue);
    // The value clamped into the bounds while they are active.
    hostlib::Variant CheckValueBounds(const hostlib::Variant& value);
    bool FormatChanging() const { return formatChanging_; }

    TcxTextEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TcxTextEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
    }
    void SetAssignedValues(TcxTextEditPropertiesValues* value) { TcxCustomEditProperties::SetAssignedValues(value); }
    hostlib::TEditCharCase CharCase() const { return charCase_; }
    TcxEditEchoMode EchoMode() const { return echoMode_; }
    void SetEchoMode(TcxEditEchoMode value) { Set(echoMode_, value); }
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value) { Set(passwordChar_, value); }
    std::string GetDisplayFormat();
    std::string DisplayFormat() const { return Mutable()->GetDisplayFormat(); }
    void SetDisplayFormat(const std::string& value);
    bool IsDisplayFormatStored() const { return AssignedValues()->DisplayFormat(); }
    std::string GetEditFormat();
    std::string EditFormat() const { return Mutable()->GetEditFormat(); }
    void SetEditFormat(const std::string& value);
    bool IsEditFormatStored() const { return AssignedValues()->EditFormat(); }
    bool UseDisplayFormatWhenEditing() const { return useDisplayFormatWhenEditing_; }
    void SetUseDisplayFormatWhenEditing(bool value) { Set(useDisplayFormatWhenEditing_, value); }
    int GetMaxLength();
    int MaxLength() const { return Mutable()->GetMaxLength(); }
    int GetInnerEditMaxLength() { return GetMaxLength(); }
    void SetMaxLength(int value);
    bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }
    double GetMaxValue();
    double MaxValue() const { return Mutable()->GetMaxValue(); }
    void SetMaxValue(double value);
    bool IsMaxValueStored() const { return AssignedValues()->MaxValue(); }
    double GetMinValue();
    double MinValue() const { return Mutable()->GetMinValue(); }
    void SetMinValue(double value);
    bool IsMinValueStored() const { return AssignedValues()->MinValue(); }
    void SetMinMaxValues(double minValue, double maxValue);
    bool FixedListSelection() const { return fixedListSelection_; }
    void SetFixedListSelection(bool value);
    bool HideCursor() const { return hideCursor_; }
    void SetHideCursor(bool value) { Set(hideCursor_, value); }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value) { Set(hideSelection_, value); }
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode value) { Set(imeMode_, value); }
    const std::string& ImeName() const { return imeName_; }
    void SetImeName(const std::string& value) { Set(imeName_, value); }
    bool ImmediateUpdateText() const { return immediateUpdateText_; }
    void SetImmediateUpdateText(bool value) { immediateUpdateText_ = value; }
    bool MRUMode() const { return mruMode_; }
    void SetMRUMode(bool value) { Set(mruMode_, value); }
    bool OEMConvert() const { return oemConvert_; }
    void SetOEMConvert(bool value) { Set(oemConvert_, value); }
    const TcxCharSet& ValidChars() const { return validChars_; }
    void SetValidChars(const TcxCharSet& value) { validChars_ = value; }
    hostlib::TStringList* LookupItems() const { return lookupItems_.get(); }
    void SetLookupItems(hostlib::TStrings* value) { lookupItems_->Assign(value); }
    bool LookupItemsSorted() const { return lookupItems_->Sorted(); }
    void SetLookupItemsSorted(bool value) { lookupItems_->SetSorted(value); }
    TcxTextEditViewStyle ViewStyle() const;
    void SetViewStyle(TcxTextEditViewStyle value);

    TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

protected:
    void Destroy() override;
    void AlignmentChangedHandler(hostlib::TObject* sender) override;
    void BaseSetAlignment(TcxEditAlignment* value) override;
    void LookupItemsChanged(hostlib::TObject* sender) { (void)sender; Changed(); }

private:
    template <class T>
    void Set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    // The published getters are const; the answers may come from virtuals.
    TcxCustomTextEditProperties* Mutable() const { return const_cast<TcxCustomTextEditProperties*>(this); }
    void AssignFormatsAndBounds(TcxCustomTextEditProperties* source);
    std::string FocusedNumericText(const hostlib::Variant& editValue);
    std::string UnfocusedNumericText(const hostlib::Variant& editValue);

    hostlib::TEditCharCase charCase_ = hostlib::ecNormal;
    TcxEditEchoMode echoMode_ = eemNormal;
    char passwordChar_ = '\0';
    std::string displayFormat_;
    std::string editFormat_;
    bool useDisplayFormatWhenEditing_ = false;
    int maxLength_ = 0;
    double maxValue_ = 0.0;
    double minValue_ = 0.0;
    bool fixedListSelection_ = true;
    bool hideCursor_ = false;
    bool hideSelection_ = true;
    TImeMode imeMode_ = imDontCare;
    std::string imeName_;
    bool immediateUpdateText_ = false;
    bool mruMode_ = false;
    bool oemConvert_ = false;
    TcxCharSet validChars_;
    hostlib::ObjectPtr<hostlib::TStringList> lookupItems_;
    bool formatChanging_ = false;
};

// The published properties of the plain text editor.
class TcxTextEditProperties : public TcxCustomTextEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- view data and view info -------------------------------------------------------

// What a text editor paints: its display text, selection and rows laid out
// once per calculation (moving the view info moves the rows with it).
class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Offset(int dx, int dy) override;
    bool NeedShowHint(TcxCanvas* canvas, const POINT& p, const RECT& visibleBounds, std::string& text,
                      bool& isMultiLine, RECT& textRect) override;
    using TcxCustomEditViewInfo::NeedShowHint;
    virtual void DrawText(TcxCanvas* canvas);

    // The laid-out rows of the last paint; rows point into Text of the cache.
    struct TextOutCache {
        bool Initialized = false;
        bool ForceEndEllipsis = false;
        int RowCount = 0;
        std::string Text;
        TcxTextRows Rows;
        TcxTextParams Params;
        RECT TextRect{};
        int SelStart = 0;
        int SelLength = 0;
        hostlib::TColor SelTextColor = hostlib::clDefault;
        hostlib::TColor SelBackgroundColor = hostlib::clDefault;
    };
    // Forgets the rows; the next paint lays the text out again.
    void InvalidateTextOutCache() { TextOutData.Initialized = false; }

    std::string Text;
    RECT TextRect{};
    unsigned DrawTextFlags = 0;
    int SelStart = 0;
    int SelLength = 0;
    hostlib::TColor SelTextColor = hostlib::clDefault;
    hostlib::TColor SelBackgroundColor = hostlib::clDefault;
    int MaxLineCount = 0;
    TcxEditEditingStyle EditingStyle = esEdit;
    bool IsEditClass = false;
    bool HasPopupWindow = false;
    bool DrawSelectionBar = false;
    bool ComboBoxStyle = false;
    bool IsOwnerDrawing = false;
    hostlib::Event<TcxCanvas*, const RECT&> OnCustomDraw;
    TextOutCache TextOutData;

protected:
    void InternalPaint(TcxCanvas* canvas) override;
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void InitCacheData() override;
    std::string InternalEditValueToDisplayText(const hostlib::Variant& editValue) override;
    SIZE InternalGetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                    const TcxEditSizeProperties& sizeProperties) override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    RECT GetClientExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) override;

    virtual bool GetIsEditClass();
    virtual bool IsComboBoxStyle() { return false; }
    virtual void PrepareDrawTextFlags(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo);
    virtual void DisplayValueToDrawValue(const hostlib::Variant& displayValue, TcxCustomEditViewInfo* viewInfo);
    virtual unsigned GetDrawTextFlags();
    // Margins of the text inside the client rectangle (left, top, right, bottom).
    virtual RECT GetDrawTextOffset();

    void PrepareSelection(TcxCustomEditViewInfo* viewInfo);
    // All 24 colour bits inverted.
    static hostlib::TColor InvertColor(hostlib::TColor color);
    TcxCustomTextEditProperties* GetProperties() const
    {
        return static_cast<TcxCustomTextEditProperties*>(Properties());
    }

private:
    void PrepareAutoHeightFlags(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo);

    bool isValueEditorWithValueFormatting_ = false;
};

// Frame, background, selection bar, text and focus rectangle of a text editor.
void DrawTextEdit(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo);
void DrawEditText(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo);
// Lays the text out into the view info's cache (once per calculation) and
// draws the cached rows with the selection highlighted.
void InternalTextOut(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo, const std::string& text, int leftIndent,
                     int rightIndent, int maxLineCount, hostlib::TColor selTextColor,
                     hostlib::TColor selBackgroundColor, int selLength, int selStart, unsigned flags,
                     const RECT& rect);
// The text's size in the view data's font: with a width, rows wrapped into
// it; without, one row (or the longest of several).
SIZE GetTextEditContentSize(TcxCanvas* canvas, TcxCustomEditViewData* viewData, const std::string& text,
                            unsigned flags, const TcxEditSizeProperties& sizeProperties, bool addCorrection = true);
RECT GetTextEditDrawTextOffset(hostlib::TAlignment alignment, bool isInplace);
RECT GetTextEditDrawTextOffset(TcxCustomTextEditViewData* viewData);

// ---- inner edit --------------------------------------------------------------------

// What a text editor asks of the real edit it hosts.
class IcxInnerTextEdit : public IcxCustomInnerEdit {
public:
    virtual void CopyToClipboard() = 0;
    virtual hostlib::TAlignment GetAlignment() = 0;
    virtual bool GetAutoSelect() = 0;
    virtual hostlib::TEditCharCase GetCharCase() = 0;
    virtual TcxEditEchoMode GetEchoMode() = 0;
    virtual bool GetHideSelection() = 0;
    virtual char GetImeLastChar() = 0;
    virtual TImeMode GetImeMode() = 0;
    virtual std::string GetImeName() = 0;
    virtual bool GetInternalUpdating() = 0;
    virtual int GetMaxLength() = 0;
    virtual bool GetMultiLine() = 0;
    virtual bool GetOEMConvert() = 0;
    virtual char GetPasswordChar() = 0;
    virtual int GetSelLength() = 0;
    virtual int GetSelStart() = 0;
    virtual std::string GetSelText() = 0;
    virtual void SelectAll() = 0;
    virtual void SetAlignment(hostlib::TAlignment value) = 0;
    virtual void SetAutoSelect(bool value) = 0;
    virtual void SetCharCase(hostlib::TEditCharCase value) = 0;
    virtual void SetEchoMode(TcxEditEchoMode value) = 0;
    virtual void SetHideSelection(bool value) = 0;
    virtual void SetInternalUpdating(bool value) = 0;
    virtual void SetImeMode(TImeMode value) = 0;
    virtual void SetImeName(const std::string& value) = 0;
    virtual void SetMaxLength(int value) = 0;
    virtual void SetOEMConvert(bool value) = 0;
    virtual void SetPasswordChar(char value) = 0;
    virtual void SetSelLength(int value) = 0;
    virtual void SetSelStart(int value) = 0;
    virtual void SetSelText(const std::string& value) = 0;

protected:
    ~IcxInnerTextEdit() = default;
};

class TcxCustomInnerTextEdit;
class TcxCustomTextEdit;

// The interface's rules over the inner edit's window; the selection of a
// pending input-method character stands in for the window's meanwhile.
class TcxCustomInnerTextEditHelper : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* edit) : edit_(edit) {}

    hostlib::Variant GetEditValue();
    void SetEditValue(const hostlib::Variant& value);
    int GetSelStart();
    int GetSelLength();
    void SetSelStart(int value);
    void SetSelLength(int value);
    void SelectAll();
    void SetAlignment(hostlib::TAlignment value);
    void SetEchoMode(TcxEditEchoMode value);
    void SetPasswordChar(char value);
    char GetImeLastChar();
    // Applies the selection kept while an input-method character was pending.
    void RestoreSelection();

private:
    TcxCustomInnerTextEdit* edit_;
    int savedSelStart_ = 0;
    int savedSelLength_ = 0;
};

// The real single-line edit of a focused text editor. It decides nothing
// itself: keys, mouse, focus and clipboard go to the editor first.
class TcxCustomInnerTextEdit : public hostlib::TCustomEdit, public IcxInnerTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    TcxCustomTextEdit* GetContainer() const;
    // The character index at the caret.
    int GetCursorPos();
    void UpdateEchoMode();
    virtual void AdjustMargins();
    bool IsImeCharPending() const { return imeCharCount_ > 0; }
    // The edit window's own handling of a message the editor let through.
    void PassToEdit(hostlib::TMessage& m);

    void SetBounds(int left, int top, int width, int height) override;
    bool CanFocus() override;
    hostlib::TPopupMenu* GetPopupMenu() override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;
    void DefaultHandler(hostlib::TMessage& message) override;

    // IcxContainerInnerControl and IcxCustomInnerEdit.
    hostlib::TWinControl* GetControl() override { return this; }
    TcxContainer* GetControlContainer() override;
    hostlib::Variant GetEditValue() override { return helper_->GetEditValue(); }
    hostlib::TNotifyEvent GetOnChange() override { return OnChange; }
    bool GetReadOnly() override { return ReadOnly(); }
    void LockBounds(bool lock) override;
    void SafelySetFocus() override;
    void SetEditValue(const hostlib::Variant& value) override { helper_->SetEditValue(value); }
    void SetParent(hostlib::TWinControl* value) override { TCustomEdit::SetParent(value); }
    void SetOnChange(const hostlib::TNotifyEvent& value) override { OnChange = value; }
    void SetReadOnly(bool value) override { TCustomEdit::SetReadOnly(value); }
    // IcxInnerTextEdit.
    void CopyToClipboard() override { TCustomEdit::CopyToClipboard(); }
    hostlib::TAlignment GetAlignment() override { return alignment_; }
    bool GetAutoSelect() override { return AutoSelect(); }
    hostlib::TEditCharCase GetCharCase() override { return CharCase(); }
    TcxEditEchoMode GetEchoMode() override { return echoMode_; }
    bool GetHideSelection() override { return HideSelection(); }
    char GetImeLastChar() override { return helper_->GetImeLastChar(); }
    TImeMode GetImeMode() override { return imeMode_; }
    std::string GetImeName() override { return imeName_; }
    bool GetInternalUpdating() override { return internalUpdating_; }
    int GetMaxLength() override { return MaxLength(); }
    bool GetMultiLine() override { return false; }
    bool GetOEMConvert() override { return oemConvert_; }
    char GetPasswordChar() override { return passwordChar_; }
    int GetSelLength() override { return helper_->GetSelLength(); }
    int GetSelStart() override { return helper_->GetSelStart(); }
    std::string GetSelText() override { return SelText(); }
    void SelectAll() override { helper_->SelectAll(); }
    void SetAlignment(hostlib::TAlignment value) override { helper_->SetAlignment(value); }
    void SetAutoSelect(bool value) override { TCustomEdit::SetAutoSelect(value); }
    void SetCharCase(hostlib::TEditCharCase value) override { TCustomEdit::SetCharCase(value); }
    void SetEchoMode(TcxEditEchoMode value) override { helper_->SetEchoMode(value); }
    void SetHideSelection(bool value) override { TCustomEdit::SetHideSelection(value); }
    void SetInternalUpdating(bool value) override { internalUpdating_ = value; }
    void SetImeMode(TImeMode value) override { imeMode_ = value; }
    void SetImeName(const std::string& value) override { imeName_ = value; }
    void SetMaxLength(int value) override { TCustomEdit::SetMaxLength(value); }
    void SetOEMConvert(bool value) override { oemConvert_ = value; }
    void SetPasswordChar(char value) override { helper_->SetPasswordChar(value); }
    void SetSelLength(int value) override { helper_->SetSelLength(value); }
    void SetSelStart(int value) override { helper_->SetSelStart(value); }
    void SetSelText(const std::string& value) override { TCustomEdit::SetSelText(value); }

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void CreateWnd() override;
    void Click() override;
    void DblClick() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    using TCustomEdit::MouseEnter;
    using TCustomEdit::MouseLeave;
    virtual void MouseEnter(hostlib::TControl* control) { (void)control; }
    virtual void MouseLeave(hostlib::TControl* control);

private:
    friend class TcxCustomInnerTextEditHelper;

    // One per message of Dispatch.
    void WMChar(hostlib::TMessage& m);
    void WMClipboard(hostlib::TMessage& m);
    void WMGetDlgCode(hostlib::TMessage& m);
    void WMKeyDown(hostlib::TMessage& m);
    void WMFocus(hostlib::TMessage& m);
    void WMSize(hostlib::TMessage& m);
    void CMMouseEnterLeave(hostlib::TMessage& m);
    bool SendToPopup(hostlib::TMessage& m);
    bool IsContainerAutoDrag();
    // Runs the editor's handler of a key; a key it sets to 0 was used.
    template <class Key, class Handler>
    void ForwardKey(Key& key, Handler&& handler);

    hostlib::ObjectPtr<TcxCustomInnerTextEditHelper> helper_;
    hostlib::TAlignment alignment_ = cxEditDefaultHorzAlignment;
    TcxEditEchoMode echoMode_ = eemNormal;
    char passwordChar_ = '\0';
    TImeMode imeMode_ = imDontCare;
    std::string imeName_;
    bool oemConvert_ = false;
    bool internalUpdating_ = false;
    bool creating_ = true;
    int boundsLockCount_ = 0;
    // Character messages still expected for the last input-method character.
    int imeCharCount_ = 0;
    char imeLastChar_ = '\0';
};

// Whether a key changed the text or the selection of an inner edit.
struct TcxCustomInnerTextEditPrevState {
    bool IsTextSaved = false;
    std::string PrevText;
    int PrevSelStart = 0;
    int PrevSelLength = 0;
};
void SaveTextEditState(IcxInnerTextEdit* innerEdit, bool saveText, TcxCustomInnerTextEditPrevState& state);
// The text is compared regardless of case: a case-only change is none.
bool CheckTextEditState(IcxInnerTextEdit* innerEdit, const TcxCustomInnerTextEditPrevState& state);

// ---- the text editor ---------------------------------------------------------------

enum TcxEditScrollCause { escKeyboard, escMouseWheel };

class TcxCustomTextEdit : public TcxCustomEdit, public IcxTextEditLookupDataOwner, public IcxFormatControllerListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    hostlib::TClass GetInnerEditClass() const override;
    TcxCustomTextEditProperties* Properties() const
    {
        return static_cast<TcxCustomTextEditProperties*>(TcxCustomEdit::Properties());
    }
    TcxCustomTextEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomTextEditProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxCustomTextEditViewInfo* ViewInfo() const
    {
        return static_cast<TcxCustomTextEditViewInfo*>(TcxCustomEdit::ViewInfo());
    }
    IcxInnerTextEdit* InnerTextEdit() const { return dynamic_cast<IcxInnerTextEdit*>(InnerEdit()); }
    IcxTextEditLookupData* ILookupData() const { return lookupData_; }
    // The item-list lookup data; nullptr for kinds whose lookup data is of
    // another family (a lookup grid).
    TcxCustomTextEditLookupData* LookupData() const { return hostlib::As<TcxCustomTextEditLookupData>(lookupObject_.get()); }
    // The lookup data object, whatever its family.
    TcxInterfacedPersistent* LookupDataObject() const { return lookupObject_.get(); }

    // The shown text: the inner edit's.
    std::string Text() const override;
    int SelStart() { return GetSelStart(); }
    int SelLength() { return GetSelLength(); }
    std::string SelText() { return GetSelText(); }
    virtual int GetSelStart();
    virtual int GetSelLength();
    virtual std::string GetSelText();
    virtual void SetSelStart(int value);
    virtual void SetSelLength(int value);
    virtual void SetSelText(const std::string& value);
    void SetSelection(int start, int length);
    int ItemIndex();
    void SetItemIndex(int value);
    hostlib::TObject* ItemObject();
    void SetItemObject(hostlib::TObject* value);
    int CursorPos();
    std::string EditingText() const { return Text(); }
    virtual void SetEditingText(const std::string& value);
    bool BeepOnEnter() const { return beepOnEnter_; }
    void SetBeepOnEnter(bool value) { beepOnEnter_ = value; }

    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void SelectAll() override;
    virtual void ClearSelection();
    virtual void Undo() { ResetEditValue(); }
    void Activate(TcxCustomEditData*& editData) override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue, bool editFocused) override;
    std::string GetDisplayValue() override;
    void SetInternalDisplayValue(const hostlib::Variant& value) override;
    void SynchronizeDisplayValue() override;
    void SynchronizeEditValue() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    // Whether the inner edit shows (else the view info paints the text).
    bool IsEditClass() override;

    // The locale's formats changed.
    void FormatChanged() override;
    void LockLookupDataTextChanged() override { lookupDataTextChangedLocked_ = true; }
    void UnlockLookupDataTextChanged() override { lookupDataTextChangedLocked_ = false; }

    // Incremental lookup: the completed tail after the typed prefix is selected.
    bool FindSelection() const { return findSelection_; }
    void SetFindSelection(bool value);
    void SetFindSelectionSuppressed(bool value) { findSelectionSuppressed_ = value; }
    void SetHideInnerEdit(bool value);
    void SetShowInnerEdit(bool value);
    bool PopupClosedByKey() const { return popupClosedByKey_; }
    void SetPopupClosedByKey(bool value) { popupClosedByKey_ = value; }
    bool IsNavigationPosting() const { return navigationPost_; }

protected:
    friend class TcxCustomInnerTextEdit;

    void Destroy() override;
    void Loaded() override;
    void Dispatch(hostlib::TMessage& message) override;
    void DoExit() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void KeyPress(char& key) override;
    void GetChildControlBounds(const RECT& bounds, hostlib::TControl* child, std::optional<RECT>& region) override;
    void AdjustInnerEditPosition() override;
    bool CanKeyDownModifyEdit(WORD key, hostlib::TShiftState shift) override;
    bool CanKeyPressModifyEdit(char key) override;
    void ChangeHandler(hostlib::TObject* sender) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void FillSizeProperties(TcxEditSizeProperties& sizeProperties) override;
    bool InternalDoEditing() override;
    void InternalSetDisplayValue(const hostlib::Variant& value) override;
    void InternalValidateDisplayValue(const hostlib::Variant& displayValue) override;
    bool IsValidChar(char key) override;
    bool SetDisplayText(const std::string& value) override;
    void UpdateDrawValue() override;
    bool WantNavigationKeys() override { return true; }
    LRESULT LockedInnerEditWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    virtual void AdjustInnerEdit();
    // Whether the selection may become the given text: the resulting text
    // and where the cursor goes then.
    virtual bool CanChangeSelText(const std::string& value, std::string& newText, int& newCursorPos);
    virtual void CheckEditValue();
    virtual void CheckEditorValueBounds() {}
    virtual void DoOnNewLookupDisplayText(const std::string& text);
    virtual bool GetScrollLookupDataList(TcxEditScrollCause scrollCause) { return (void)scrollCause, false; }
    virtual void HandleSelectItem(hostlib::TObject* sender);
    virtual std::string InternalGetText() { return GetDisplayValue(); }
    virtual bool InternalSetText(const std::string& value) { return SetDisplayText(value); }
    virtual void LookupKeyToEditValue(const hostlib::Variant& key, hostlib::Variant& value);
    virtual void ResetOnNewDisplayValue();
    virtual void UpdateDisplayValue();

    bool IsFindSelectionSuppressed() const { return findSelectionSuppressed_; }
    bool IsSynchronizing() const { return synchronizing_; }
    bool IsLookupDataTextChangedLocked() const { return lookupDataTextChangedLocked_; }

private:
    TcxEditEditingStyle EditingStyle() { return ActiveProperties()->GetEditingStyle(); }
    bool HasLookupItems();
    int InnerEditHeight();
    bool GoLookup(TcxEditLookupDataGoDirection direction);
    hostlib::Variant CurrentLookupKey() const;
    void PostAfterNavigation();
    bool NavigationKey(WORD& key, hostlib::TShiftState shift);
    void ArrowKey(WORD& key, hostlib::TShiftState shift);
    bool Lookup(std::string& text);
    bool LookupTypedChar(char key, bool& found);
    void LookupBackspace(char& key);
    void PaintedSelection(TcxCustomTextEditViewInfo* viewInfo);
    // One per message of Dispatch.
    void WMClear(hostlib::TMessage& m);
    void WMGetText(hostlib::TMessage& m);
    void WMGetTextLength(hostlib::TMessage& m);
    void WMSetText(hostlib::TMessage& m);

    // Any lookup data implements the interface; item lists and grids differ.
    hostlib::ObjectPtr<TcxInterfacedPersistent> lookupObject_;
    IcxTextEditLookupData* lookupData_ = nullptr;
    bool beepOnEnter_ = true;
    bool findSelection_ = false;
    bool findSelectionSuppressed_ = false;
    bool hideInnerEdit_ = false;
    bool showInnerEdit_ = false;
    bool synchronizing_ = false;
    bool navigationPost_ = false;
    bool popupClosedByKey_ = false;
    bool lookupDataTextChangedLocked_ = false;
    bool positioningInnerEdit_ = false;
    bool settingText_ = false;
    bool creatingEdit_ = false;
    // The clipboard message the inner edit is asking about, if any.
    hostlib::TMessage* innerClipboardMessage_ = nullptr;
};

// The published single-line text editor.
class TcxTextEdit : public TcxCustomTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxTextEditProperties* Properties() const
    {
        return static_cast<TcxTextEditProperties*>(TcxCustomTextEdit::Properties());
    }
    void SetProperties(TcxTextEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxTextEditProperties* ActiveProperties()
    {
        return static_cast<TcxTextEditProperties*>(TcxCustomTextEdit::ActiveProperties());
    }
};

// ---- unit functions ----------------------------------------------------------------

// ASCII letters only: national letters keep their case.
void CheckCharsRegister(std::string& text, hostlib::TEditCharCase charCase);
void RemoveThousandSeparator(std::string& text);
// Cuts the part from the first "E" or "e" to the end into exponent.
void RemoveExponentialPart(std::string& text, std::string& exponent);
// Groups the integer digits by three with the locale's separator, keeping
// blanks around the number and an exponent part.
void InsertThousandSeparator(std::string& text);

// Unit start-up: the plain text editor joins the registered editor kinds as
// "TextEdit"; shut-down only counts down.
void cxTextEditInitialize();
// Characters of a UTF-8 text, and the byte at which a character index
// starts (the text's size past the end).
int TextCharCount(const std::string& text);
size_t TextByteOffset(const std::string& text, int charIndex);
void cxTextEditFinalize();

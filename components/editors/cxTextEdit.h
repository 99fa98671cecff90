#pragma once
// The single-line text editor: its properties (character case, password
// echo, maximum length, display and edit formats with numeric bounds, the
// lookup items of incremental completion), the conversion of an edit value
// into the text a cell or an unfocused editor shows, and the helpers of the
// numeric kinds built on it (digit grouping, exponent parts).

#include <bitset>
#include <string>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxFormats.h"
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
void cxTextEditFinalize();

#pragma once
// The masked text editor's settings: the mask kind and text, case
// handling, and how values look with a mask also where no editor exists
// (cells). An empty mask (only blanks) switches all mask handling off.

#include <memory>

#include "components/editors/cxMaskEditModes.h"
#include "components/editors/cxTextEdit.h"

const hostlib::TEnumInfo& EnumTypeInfo(TcxEditMaskKind*);

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties, public IcxMaskEditModeProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override;
    hostlib::TClass GetContainerClass() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    void MaxLengthChanged() override;
    void SetCharCase(hostlib::TEditCharCase value) override;
    bool UseLookupData() override;

    // A mode object of the kind's class; the editor passes itself.
    virtual std::unique_ptr<TcxMaskEditCustomMode> GetModeClass(TcxEditMaskKind kind, IcxMaskEditModeEdit* edit);
    // A mode without editor, compiled with the effective mask / uncompiled.
    std::unique_ptr<TcxMaskEditCustomMode> CreateMode();
    std::unique_ptr<TcxMaskEditCustomMode> CreateMode1();

    // The stored mask, or for the standard kind without one the mask of the
    // value's home (a data field's).
    TcxEditMask GetEditMask();
    TcxEditMask EditMask() const { return const_cast<TcxCustomMaskEditProperties*>(this)->GetEditMask(); }
    // Raises EcxMaskEditError for a wrong mask; the old one stays.
    void SetEditMask(const TcxEditMask& value);
    bool IsEditMaskStored() const { return !editMask_.empty(); }
    bool GetIsMasked() { return !EmptyMask(GetEditMask()); }
    bool IsMasked() const { return const_cast<TcxCustomMaskEditProperties*>(this)->GetIsMasked(); }
    TcxEditMaskKind MaskKind() const { return maskKind_; }
    void SetMaskKind(TcxEditMaskKind value);
    // The kind in force when the mask was set: a kind and mask assigned
    // together in one update belong together.
    TcxEditMaskKind EditMaskKind() const { return editMaskKind_; }
    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool value);
    bool AlwaysShowBlanksAndLiterals() const { return alwaysShowBlanksAndLiterals_; }
    void SetAlwaysShowBlanksAndLiterals(bool value);
    bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
    void SetIgnoreMaskBlank(bool value) { ignoreMaskBlank_ = value; }
    // The empty text of the current mask, kept by the editor.
    const std::string& EmptyString() const { return emptyString_; }
    void SetEmptyString(const std::string& value) { emptyString_ = value; }

    // What the modes read.
    bool ModeBeepOnError() override { return BeepOnError(); }
    bool ModeCaseInsensitive() override { return caseInsensitive_; }
    bool ModeIgnoreMaskBlank() override { return ignoreMaskBlank_; }
    bool ModeCharCaseNormal() override { return CharCase() == hostlib::ecNormal; }

private:
    TcxMaskEditCustomMode* CachedMode();
    std::string FormatForDisplay(TcxMaskEditCustomMode* mode, const std::string& text, bool editing);

    TcxEditMaskKind maskKind_ = emkStandard;
    TcxEditMask editMask_;
    TcxEditMaskKind editMaskKind_ = emkStandard;
    bool caseInsensitive_ = true;
    bool alwaysShowBlanksAndLiterals_ = false;
    bool ignoreMaskBlank_ = false;
    bool maxLengthChanging_ = false;
    std::string emptyString_;
    std::unique_ptr<TcxMaskEditCustomMode> cachedMode_;
    TcxEditMaskKind cachedKind_ = emkStandard;
    TcxEditMask cachedMask_;
};

// The published settings of the masked editor.
class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- the masked editor -----------------------------------------------------------

// The text editor with a mask: typing, deleting, pasting and cutting go
// through the mode of the mask kind, and the value is the text the mode
// derives from what is shown. Without a mask it is the plain text editor.
class TcxCustomMaskEdit : public TcxCustomTextEdit, public IcxMaskEditModeEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomTextEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomMaskEditProperties* Properties() const
    {
        return static_cast<TcxCustomMaskEditProperties*>(TcxCustomTextEdit::Properties());
    }
    TcxCustomMaskEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomMaskEditProperties*>(TcxCustomTextEdit::ActiveProperties());
    }
    TcxMaskEditCustomMode* Mode() const { return mode_.get(); }
    // The active properties have a mask and the editor a mode for it.
    bool IsMasked();

    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void SynchronizeDisplayValue() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void SetSelStart(int value) override;
    void SetSelLength(int value) override;
    void SetSelText(const std::string& value) override;
    // Re-applies the display value of the current text.
    virtual void UpdateTextFormatting();
    // The inner edit's text, read and written through the data binding.
    std::string EditText();
    void SetEditText(const std::string& value);

    // What the mode asks of its editor.
    IcxMaskEditModeProperties* ModeProperties() override { return ActiveProperties(); }
    bool ModePropertiesLocked() override { return propertiesLock_ > 0; }
    bool ModeHandleAllocated() override { return HandleAllocated(); }
    bool ModeIsMasked() override { return IsMasked(); }
    bool ModeIsEditing() override;
    std::string ModeText() override { return GetDisplayValue(); }
    void ModeSetDisplayText(const std::string& text) override;
    int ModeSelStart() override { return InnerTextEdit()->GetSelStart(); }
    int ModeSelLength() override { return InnerTextEdit()->GetSelLength(); }
    void ModeSetSelStart(int value) override { InnerTextEdit()->SetSelStart(value); }
    void ModeSetSelLength(int value) override { InnerTextEdit()->SetSelLength(value); }
    std::string ModePreparedDisplayText() override;
    void ModeSetEditValueText(const std::string& text) override;
    bool ModeShiftFlag() override { return shiftFlag_; }
    void ModeSetShiftFlag(bool value) override { shiftFlag_ = value; }
    void SendMyKeyDown(WORD key, hostlib::TShiftState shift) override;
    void SendMyKeyPress(char key) override;
    bool IsCharValidForPos(char& ch, int position) override { return (void)ch, (void)position, true; }

protected:
    void Destroy() override;
    void Loaded() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void DblClick() override;
    void DoEnter() override;
    void ChangeHandler(hostlib::TObject* sender) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void DoEditKeyUp(WORD& key, hostlib::TShiftState shift) override;
    void InternalSetDisplayValue(const hostlib::Variant& value) override;
    std::string InternalGetText() override;
    bool InternalSetText(const std::string& value) override;

private:
    // A fresh mode of the properties' kind, compiled with their mask.
    void RecreateMode();
    // The text shown for a value text in the current focus state.
    std::string ShownText(const std::string& valueText);
    // Each answers whether the inner edit should still process the key.
    bool ModeKeyDown(WORD key, hostlib::TShiftState shift);
    bool ArrowKeyDown(WORD key, hostlib::TShiftState shift);
    bool DeleteKeyDown(hostlib::TShiftState shift);
    void ApplyMaskChanges(bool kindChanged, bool maskChanged, bool caseChanged);
    void ReplaceMode(bool kindChanged);
    void SetSelectionDirectly(int start, int length);
    void SendToInner(UINT message, WPARAM wParam);

    std::unique_ptr<TcxMaskEditCustomMode> mode_;
    std::string valueText_;
    hostlib::TEditCharCase charCase_ = hostlib::ecNormal;
    int propertiesLock_ = 0;
    bool shiftFlag_ = false;
    bool sendingKeys_ = false;
};

// The published masked editor.
class TcxMaskEdit : public TcxCustomMaskEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxMaskEditProperties* Properties() const
    {
        return static_cast<TcxMaskEditProperties*>(TcxCustomMaskEdit::Properties());
    }
    void SetProperties(TcxMaskEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxMaskEditProperties* ActiveProperties()
    {
        return static_cast<TcxMaskEditProperties*>(TcxCustomMaskEdit::ActiveProperties());
    }
};

// Unit start-up: the masked kind joins the registered editor kinds as
// "MaskEdit"; shut-down only counts down.
void cxMaskEditInitialize();
void cxMaskEditFinalize();

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

// Unit start-up: the masked kind joins the registered editor kinds as
// "MaskEdit"; shut-down only counts down.
void cxMaskEditInitialize();
void cxMaskEditFinalize();

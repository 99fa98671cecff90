#pragma once
// Editor kinds: the properties object that holds the settings and value
// semantics of one kind of editor (its buttons, alignment, read-only state
// and the defaults a data field supplies), the registered list that finds a
// kind by its properties class name, the repository-item listener interface
// and the small helpers every editor unit uses.

#include <cstdint>
#include <string>
#include <vector>

#include "components/data/cxDataUtils.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/system/scope_guard.h"
#include "components/foundation/cxGraphics.h"

enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
enum TcxEditButtonState { ebsDisabled, ebsNormal, ebsPressed, ebsSelected };
enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
enum TcxEditButtonsViewStyle { bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth };
enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum TcxBlobKind { bkNone, bkBlob, bkGraphic, bkMemo, bkOle };
enum TcxEditDisplayFormatOption { dfoSupports, dfoNoCurrencyValue };
using TcxEditDisplayFormatOptions = hostlib::TSet<TcxEditDisplayFormatOption>;
enum TcxEditEditingStyle { esEdit, esEditList, esFixedList, esNoEdit };
enum TcxEditPaintOption { epoAllowZeroHeight, epoAutoHeight, epoShowEndEllipsis, epoHasExternalBorder };
using TcxEditPaintOptions = hostlib::TSet<TcxEditPaintOption>;
enum TcxEditSupportedOperation {
    esoAlwaysHotTrack,
    esoAutoHeight,
    esoFiltering,
    esoHorzAlignment,
    esoHotTrack,
    esoIncSearch,
    esoNoFilterItems,
    esoSorting,
    esoSortingByDisplayText
};
using TcxEditSupportedOperations = hostlib::TSet<TcxEditSupportedOperation>;

const hostlib::TEnumInfo& EnumTypeInfo(TcxEditButtonKind*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditButtonState*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditButtonStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditButtonsViewStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditButtonTransparency*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditBorderStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditPopupBorderStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditVertAlignment*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxBlobKind*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditDisplayFormatOption*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditEditingStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditPaintOption*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditSupportedOperation*);

using TcxEditValidateEvent = hostlib::Event<hostlib::TObject*, hostlib::Variant&, std::string&, bool&>;
using TcxEditButtonClickEvent = hostlib::Event<hostlib::TObject*, int>;
using TcxEditEditingEvent = hostlib::Event<hostlib::TObject*, bool&>;

// Size constraints of size calculations; a negative Width means none.
struct TcxEditSizeProperties {
    int MaxLineCount = 0;
    int Width = -1;
    int Height = -1;
};

inline constexpr hostlib::TAlignment cxEditDefaultHorzAlignment = hostlib::taLeftJustify;
inline constexpr TcxEditVertAlignment cxEditDefaultVertAlignment = taTopJustify;

class TcxEditButtons;
class TcxCustomEditProperties;
class TcxEditRepositoryItem;
class TcxCustomEdit;
class TcxCustomEditStyle;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxCanvas;

// ---- edit buttons ------------------------------------------------------------------

class TcxEditButton : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    // The caption without accelerator prefixes.
    const std::string& VisibleCaption() const { return visibleCaption_; }
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Created on first read.
    hostlib::TBitmap* Glyph() const;
    void SetGlyph(hostlib::TBitmap* value);
    TcxEditButtonKind Kind() const { return kind_; }
    void SetKind(TcxEditButtonKind value);
    bool LeftAlignment() const { return leftAlignment_; }
    void SetLeftAlignment(bool value);
    bool Stretchable() const { return stretchable_; }
    void SetStretchable(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    int Width() const { return width_; }
    void SetWidth(int value);
    hostlib::TColor TextColor() const { return textColor_; }
    void SetTextColor(hostlib::TColor value);
    TcxEditButtons* Buttons() const;

protected:
    void Destroy() override;

private:
    template <class T>
    void Change(T& field, const T& value);
    void GlyphChanged(hostlib::TObject* sender);

    std::string caption_;
    std::string visibleCaption_;
    bool default_ = false;
    bool enabled_ = true;
    mutable hostlib::ObjectPtr<hostlib::TBitmap> glyph_;
    TcxEditButtonKind kind_ = bkDown;
    bool leftAlignment_ = false;
    bool stretchable_ = true;
    bool visible_ = true;
    int width_ = 0;
    hostlib::TColor textColor_ = hostlib::clBtnText;
};

class TcxEditButtons : public hostlib::TOwnedCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TOwnedCollection::Construct;
    void Construct(hostlib::TPersistent* owner) { TOwnedCollection::Construct(owner, TcxEditButton::StaticClass()); }

    TcxEditButton* Items(int index) const { return static_cast<TcxEditButton*>(TCollection::Items(index)); }
    int VisibleCount() const;
    // Every change of the collection or of a button.
    hostlib::TNotifyEvent OnChange;

protected:
    void Update(hostlib::TCollectionItem* item) override;
};

// ---- alignment ---------------------------------------------------------------------

class TcxEditAlignment : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner) { owner_ = owner; }
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }

    hostlib::TAlignment Horz() const { return horz_; }
    // Marks Horz assigned; notifies when the value or the assigned state changes.
    void SetHorz(hostlib::TAlignment value);
    TcxEditVertAlignment Vert() const { return vert_; }
    void SetVert(TcxEditVertAlignment value);
    bool IsHorzAssigned() const { return isHorzAssigned_; }
    bool IsHorzStored() const { return isHorzAssigned_; }
    bool IsVertStored() const { return vert_ != cxEditDefaultVertAlignment; }
    // Horz becomes unassigned.
    void Reset();
    // Shows a value in Horz without assigning it or notifying.
    void ShowHorz(hostlib::TAlignment value) { horz_ = value; }

    hostlib::TNotifyEvent OnChanged;

private:
    void DoChanged();

    hostlib::TPersistent* owner_ = nullptr;
    hostlib::TAlignment horz_ = cxEditDefaultHorzAlignment;
    TcxEditVertAlignment vert_ = cxEditDefaultVertAlignment;
    bool isHorzAssigned_ = false;
};

// ---- copying settings --------------------------------------------------------------

// Runs steps inside the update bracket of editor settings (properties or
// their assigned values), so that their change is signalled once.
template <class Settings, class Steps>
void cxWithinUpdate(Settings& settings, Steps&& steps)
{
    settings.BeginUpdate();
    quelvo::sys::ScopeGuard end([&settings] { settings.EndUpdate(); });
    steps();
}

// Assign of one kind of settings: a source of another kind goes to the
// inherited Assign alone; one of this kind is copied in one update
// bracket, the inherited part first, then the kind's own.
template <class Kind, class Inherited, class Own>
void cxAssignKind(Kind& self, hostlib::TPersistent* source, Inherited&& inherited, Own&& own)
{
    Kind* other = hostlib::As<Kind>(source);
    if (!other)
        return inherited(source);
    cxWithinUpdate(self, [&] {
        inherited(source);
        own(*other);
    });
}

// ---- assigned values ---------------------------------------------------------------

class TcxCustomEditPropertiesValues : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner) { owner_ = owner; }
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    void BeginUpdate();
    void EndUpdate(bool invokeChanged = true);
    virtual void RestoreDefaults();

protected:
    void Changed();
    TcxCustomEditProperties* Properties() const;

private:
    hostlib::TPersistent* owner_ = nullptr;
    bool readOnly_ = false;
};
using TcxCustomEditPropertiesValuesClass = hostlib::TClass;

// ---- default values provider -------------------------------------------------------

// The defaults a data field gives an editor's properties.
class IcxEditDefaultValuesProvider {
public:
    virtual ~IcxEditDefaultValuesProvider() = default;
    virtual void ClearUsers() = 0;
    virtual hostlib::TAlignment DefaultAlignment() = 0;
    virtual TcxBlobKind DefaultBlobKind() = 0;
    virtual bool DefaultCanModify() = 0;
    virtual std::string DefaultDisplayFormat() = 0;
    virtual std::string DefaultEditFormat() = 0;
    virtual std::string DefaultEditMask() = 0;
    virtual bool DefaultIsFloatValue() = 0;
    virtual int DefaultMaxLength() = 0;
    virtual double DefaultMaxValue() = 0;
    virtual double DefaultMinValue() = 0;
    virtual int DefaultPrecision() = 0;
    virtual bool DefaultReadOnly() = 0;
    virtual bool DefaultRequired() = 0;
    virtual hostlib::TObject* GetInstance() = 0;
    virtual bool IsDataStorage() = 0;
    virtual bool IsBlob() = 0;
    virtual bool IsCurrency() = 0;
    virtual bool IsDisplayFormatDefined(bool isCurrencyValueAccepted) = 0;
    virtual bool IsOnGetTextAssigned() = 0;
    virtual bool IsValidChar(char c) = 0;
};

// The neutral provider of an editor without a data field.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Detaches this provider from every live properties object holding it.
    void ClearUsers() override;
    hostlib::TAlignment DefaultAlignment() override { return cxEditDefaultHorzAlignment; }
    TcxBlobKind DefaultBlobKind() override { return bkMemo; }
    bool DefaultCanModify() override { return true; }
    std::string DefaultDisplayFormat() override { return {}; }
    std::string DefaultEditFormat() override { return {}; }
    std::string DefaultEditMask() override { return {}; }
    bool DefaultIsFloatValue() override { return false; }
    int DefaultMaxLength() override { return 0; }
    double DefaultMaxValue() override { return 0.0; }
    double DefaultMinValue() override { return 0.0; }
    int DefaultPrecision() override { return 15; }
    bool DefaultReadOnly() override { return false; }
    bool DefaultRequired() override { return false; }
    hostlib::TObject* GetInstance() override { return this; }
    bool IsDataStorage() override { return false; }
    bool IsBlob() override { return false; }
    bool IsCurrency() override { return false; }
    bool IsDisplayFormatDefined(bool) override { return false; }
    bool IsOnGetTextAssigned() override { return false; }
    bool IsValidChar(char) override { return true; }

protected:
    void Destroy() override;
};
using TcxCustomEditDefaultValuesProviderClass = hostlib::TClass;

// ---- repository item listeners -----------------------------------------------------

class IcxEditRepositoryItemListener {
public:
    virtual ~IcxEditRepositoryItemListener() = default;
    virtual void ItemRemoved(TcxEditRepositoryItem* sender) = 0;
    virtual void PropertiesChanged(TcxEditRepositoryItem* sender) = 0;
};

// ---- properties --------------------------------------------------------------------

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    // Change brackets: one Changed when the outermost bracket closes.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate(bool invokeChanged = true);
    void LockUpdate(bool lock) { changesLocked_ = lock; }
    bool ChangedLocked() const { return changesLocked_ || updateCount_ > 0; }
    virtual void Changed();

    virtual bool CanValidate() { return false; }
    virtual bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2);
    virtual bool CompareEditValue() { return false; }
    virtual std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false);
    virtual TcxEditSupportedOperations GetSupportedOperations();
    virtual bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused);
    virtual bool IsResetEditClass() { return false; }
    virtual void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue, bool editFocused);
    virtual void RestoreDefaults();
    virtual void Update(TcxCustomEditProperties* properties) { (void)properties; }
    virtual TcxDataEditValueSource GetEditValueSource(bool editFocused);
    virtual hostlib::TClass GetAssignedValuesClass();
    virtual hostlib::TAlignment GetDefaultHorzAlignment();
    virtual TcxEditDisplayFormatOptions GetDisplayFormatOptions() { return {}; }
    virtual std::string GetValidateErrorText(int errorKind);
    virtual TcxDataEditValueSource GetValueEditorEditValueSource(bool editFocused);
    virtual bool HasDisplayValue() { return false; }
    virtual bool TabsNeed() { return false; }
    virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
    virtual void FreeNotification(hostlib::TComponent* sender) { (void)sender; }

    // Nothing unless the kind validates; an empty error text becomes the
    // general message, then the editor's handlers run (DoValidate).
    virtual void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr);
    // The editor's OnValidate handlers; when one reports an error without
    // changing the text, the display value becomes the editor's own text.
    void DoValidate(hostlib::Variant& displayValue, std::string& errorText, bool& error, TcxCustomEdit* edit,
                    bool& isUserErrorDisplayValue);

    // The kind's classes, so that a list control can size and paint a cell
    // and make the editor of the kind.
    virtual hostlib::TClass GetContainerClass();
    virtual hostlib::TClass GetStyleClass();
    virtual hostlib::TClass GetStyleExClass();
    virtual hostlib::TClass GetViewInfoClass();
    virtual hostlib::TClass GetViewDataClass();
    // A new view data of the kind; the caller frees it.
    virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool isInplace);
    // Sizes of a cell or editor of the kind, measured without a control.
    SIZE GetEditSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace, const hostlib::Variant& editValue,
                     const TcxEditSizeProperties& sizeProperties);
    SIZE GetEditConstantPartSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace,
                                 const TcxEditSizeProperties& sizeProperties, SIZE& minContentSize);
    SIZE GetEditContentSize(TcxCanvas* canvas, TcxCustomEditStyle* style, bool isInplace,
                            const hostlib::Variant& editValue, const TcxEditSizeProperties& sizeProperties);

    bool GetReadOnly();
    void SetReadOnly(bool value);
    bool CanModify();
    bool IsValueEditorWithValueFormatting();
    IcxEditDefaultValuesProvider* IDefaultValuesProvider() const { return provider_; }
    void SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* value);
    void DefaultValuesChanged() { Changed(); }
    // Releases a provider that is going away without asking it anything.
    void ForgetIDefaultValuesProvider() { provider_ = nullptr; }

    // A working copy: an unassigned Horz answers the provider's default.
    TcxEditAlignment* Alignment() const;
    void SetAlignment(TcxEditAlignment* value) { BaseSetAlignment(value); }
    bool IsAlignmentStored() const { return alignment_->IsHorzAssigned() || alignment_->IsVertStored(); }
    TcxCustomEditPropertiesValues* AssignedValues() const { return assignedValues_.get(); }
    void SetAssignedValues(TcxCustomEditPropertiesValues* value) { assignedValues_->Assign(value); }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { Set(autoSelect_, value); }
    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool value) { beepOnError_ = value; }
    TcxEditButtons* Buttons() const { return buttons_.get(); }
    void SetButtons(TcxEditButtons* value) { buttons_->Assign(value); }
    TcxEditButtonsViewStyle ButtonsViewStyle() const { return buttonsViewStyle_; }
    void SetButtonsViewStyle(TcxEditButtonsViewStyle value) { Set(buttonsViewStyle_, value); }
    hostlib::TShortCut ClearKey() const { return clearKey_; }
    void SetClearKey(hostlib::TShortCut value) { clearKey_ = value; }
    hostlib::TShortCut ClickKey() const { return clickKey_; }
    void SetClickKey(hostlib::TShortCut value) { clickKey_ = value; }
    bool ImmediatePost() const { return immediatePost_; }
    void SetImmediatePost(bool value) { immediatePost_ = value; }
    bool ReadOnly() const { return const_cast<TcxCustomEditProperties*>(this)->GetReadOnly(); }
    bool IsReadOnlyStored() const { return assignedValues_->ReadOnly(); }
    bool UseLeftAlignmentOnEditing() const { return useLeftAlignmentOnEditing_; }
    void SetUseLeftAlignmentOnEditing(bool value) { Set(useLeftAlignmentOnEditing_, value); }
    bool IsUseLeftAlignmentOnEditingStored() const
    {
        return useLeftAlignmentOnEditing_ != const_cast<TcxCustomEditProperties*>(this)->DefaultUseLeftAlignmentOnEditing();
    }
    bool ValidateOnEnter() const { return validateOnEnter_; }
    void SetValidateOnEnter(bool value) { validateOnEnter_ = value; }
    bool AllowMouseWheel() const { return allowMouseWheel_; }
    void SetAllowMouseWheel(bool value) { allowMouseWheel_ = value; }

    TcxEditButtonClickEvent OnButtonClick;
    hostlib::TNotifyEvent OnChange;
    hostlib::TNotifyEvent OnEditValueChanged;
    TcxEditValidateEvent OnValidate;
    // Set by the owner (an editor or a repository item) to hear Changed.
    hostlib::TNotifyEvent ChangeNotification;

protected:
    void Destroy() override;
    virtual void AlignmentChangedHandler(hostlib::TObject* sender);
    virtual void BaseSetAlignment(TcxEditAlignment* value);
    virtual void ButtonsChanged(hostlib::TObject* sender);
    bool IsOwnerDestroying() const;
    // Components registered here come back through FreeNotification.
    TcxFreeNotificator* FreeNotificator() const { return freeNotificator_.get(); }

private:
    template <class T>
    void Set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    bool DisplayFormatDefined();
    void FreeNotificationRelay(hostlib::TComponent* sender) { FreeNotification(sender); }

    bool autoSelect_ = true;
    bool beepOnError_ = false;
    hostlib::ObjectPtr<TcxEditButtons> buttons_;
    TcxEditButtonsViewStyle buttonsViewStyle_ = bvsNormal;
    hostlib::TShortCut clearKey_ = 0;
    hostlib::TShortCut clickKey_ = 16397; // Ctrl+Enter
    bool immediatePost_ = false;
    bool readOnly_ = false;
    bool useLeftAlignmentOnEditing_ = true;
    bool validateOnEnter_ = false;
    bool allowMouseWheel_ = true;
    hostlib::ObjectPtr<TcxEditAlignment> alignment_;
    hostlib::ObjectPtr<TcxEditAlignment> workAlignment_;
    hostlib::ObjectPtr<TcxCustomEditPropertiesValues> assignedValues_;
    hostlib::ObjectPtr<TcxFreeNotificator> freeNotificator_;
    IcxEditDefaultValuesProvider* provider_ = nullptr;
    int updateCount_ = 0;
    bool changesLocked_ = false;
    // Whether the owner is an editor, asked once: an in-place item hands its
    // provider over on every cell read, and the owner never changes.
    enum class OwnerKind : std::uint8_t { Unknown, Editor, Other };
    OwnerKind ownerKind_ = OwnerKind::Unknown;
};
using TcxCustomEditPropertiesClass = hostlib::TClass;

// ---- unit functions ----------------------------------------------------------------

// Every editor kind's properties class, registered with "name|description"
// (and with the streaming class registry).
TcxRegisteredClasses* GetRegisteredEditProperties();
// Counts the starts of a unit that registers editor kinds: the first start
// registers them, the later ones and the ends only count (the kinds stay
// registered for the program's life). Declare it constinit: starts may come
// from other units' static set-up.
class TcxEditUnitStarts {
public:
    bool Start() { return starts_++ == 0; }
    void End()
    {
        if (starts_ > 0) --starts_;
    }

private:
    int starts_ = 0;
};
// Every live properties object, in creation order.
const std::vector<TcxCustomEditProperties*>& cxEditPropertiesList();
hostlib::TComponent* GetOwnerComponent(hostlib::TPersistent* persistent);
// The framework's own repository, without owner, created on first use
// (kept with the repository classes; freed by cxEditRepositoryItemsFinalize).
class TcxEditRepository;
TcxEditRepository* GetDefaultEditRepository();
hostlib::TShiftState ButtonToShift(hostlib::TMouseButton button);
WPARAM ShiftStateToKeys(hostlib::TShiftState shift);
void SendKeyDown(hostlib::TWinControl* control, WORD key);
void SendKeyPress(hostlib::TWinControl* control, char key);
void SendKeyUp(hostlib::TWinControl* control, WORD key);
// Raises each side of the size to at least the minimum's.
void CheckSize(SIZE& size, const SIZE& minSize);
bool InternalVarEqualsExact(const hostlib::Variant& v1, const hostlib::Variant& v2);
// Adds the other region to the first (OR).
void UniteRegions(TcxRegion* region, TcxRegion* other);

// Screen cursor of in-place editors' mouse-wheel scrolling.
inline constexpr int crcxEditMouseWheel = 4101;

// Unit start-up (the wheel cursor, the properties list, the filter texts'
// hook) and shut-down, counted.
void cxEditInitialize();
void cxEditFinalize();

#pragma once
// Repository items: named components that each hold one properties object
// of an editor kind, so that many editors and columns share a configuration;
// an edit repository lists them. There is one item class per editor kind;
// an item finds its kind's properties class by name among the registered
// classes, so a kind that is not linked in cannot be made (EClassNotFound).

#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "platform/hostlib/visual/imagelist.h"

class TcxEditRepository;

class TcxEditRepositoryItem : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;

    virtual void PropertiesChanged(hostlib::TObject* sender);
    // No duplicates; listeners are told last-added first.
    virtual void AddListener(IcxEditRepositoryItemListener* listener);
    virtual void RemoveListener(IcxEditRepositoryItemListener* listener);
    // The properties class of the item's editor kind.
    virtual hostlib::TClass GetEditPropertiesClass() const;
    // The name under which the kind's properties class is registered.
    virtual const char* EditPropertiesClassName() const { return nullptr; }

    // Raises EInvalidCast when the properties are not of the item's kind.
    TcxCustomEditProperties* Properties() const;
    void SetProperties(TcxCustomEditProperties* value) { Properties()->Assign(value); }
    TcxEditRepository* Repository() const { return repository_; }
    void SetRepository(TcxEditRepository* value);

    bool HasParent() const override { return repository_ != nullptr; }
    hostlib::TComponent* GetParentComponent() const override;
    void SetParentComponent(hostlib::TComponent* parent) override;
    void ReadState(hostlib::TReader& reader) override;

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<TcxCustomEditProperties> properties_;
    TcxEditRepository* repository_ = nullptr;
    std::vector<IcxEditRepositoryItemListener*> listeners_;
};
using TcxEditRepositoryItemClass = hostlib::TClass;

class TcxEditRepository : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual TcxEditRepositoryItem* CreateItem(hostlib::TClass itemClass) { return CreateItemEx(itemClass, this); }
    virtual TcxEditRepositoryItem* CreateItemEx(hostlib::TClass itemClass, hostlib::TComponent* owner);
    // Frees the items, always the current last one.
    void Clear();
    // Ignoring case; nullptr when none.
    TcxEditRepositoryItem* ItemByName(const std::string& name) const;
    int Count() const { return static_cast<int>(items_.size()); }
    TcxEditRepositoryItem* Items(int index) const;
    // An item already present is not added again.
    void AddItem(TcxEditRepositoryItem* item);
    void RemoveItem(TcxEditRepositoryItem* item);
    void GetChildren(const std::function<void(hostlib::TComponent*)>& proc, hostlib::TComponent* root) override;

protected:
    void Destroy() override;

private:
    std::vector<TcxEditRepositoryItem*> items_;
};

// What the image combo box item asks of its kind's properties.
class IcxImageComboBoxImages {
public:
    virtual ~IcxImageComboBoxImages() = default;
    virtual hostlib::TCustomImageList* Images() const = 0;
    virtual hostlib::TCustomImageList* LargeImages() const = 0;
    virtual void SetImages(hostlib::TCustomImageList* value) = 0;
    virtual void SetLargeImages(hostlib::TCustomImageList* value) = 0;
};

// What the default lookup item sets on its kind's drop-down grid.
class IcxLookupGridListOptions {
public:
    virtual ~IcxLookupGridListOptions() = default;
    virtual void SetGridLines(TcxGridLines value) = 0;
    virtual void SetShowHeader(bool value) = 0;
};

// One item class per editor kind, named by the kind's properties class.
template <const char* const* ItemName, const char* const* PropertiesName>
class TcxEditRepositoryKindItem : public TcxEditRepositoryItem {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<TcxEditRepositoryKindItem, TcxEditRepositoryItem>(*ItemName);
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    const char* EditPropertiesClassName() const override { return *PropertiesName; }
};

namespace cx_repository_names {
inline constexpr const char* TextItem = "TcxEditRepositoryTextItem";
inline constexpr const char* TextProperties = "TcxTextEditProperties";
inline constexpr const char* ButtonItem = "TcxEditRepositoryButtonItem";
inline constexpr const char* ButtonProperties = "TcxButtonEditProperties";
inline constexpr const char* ImageItem = "TcxEditRepositoryImageItem";
inline constexpr const char* ImageProperties = "TcxImageProperties";
inline constexpr const char* ComboBoxItem = "TcxEditRepositoryComboBoxItem";
inline constexpr const char* ComboBoxProperties = "TcxComboBoxProperties";
inline constexpr const char* MaskItem = "TcxEditRepositoryMaskItem";
inline constexpr const char* MaskProperties = "TcxMaskEditProperties";
inline constexpr const char* PopupItem = "TcxEditRepositoryPopupItem";
inline constexpr const char* PopupProperties = "TcxPopupEditProperties";
inline constexpr const char* CalcItem = "TcxEditRepositoryCalcItem";
inline constexpr const char* CalcProperties = "TcxCalcEditProperties";
inline constexpr const char* DateItem = "TcxEditRepositoryDateItem";
inline constexpr const char* DateProperties = "TcxDateEditProperties";
inline constexpr const char* CurrencyItem = "TcxEditRepositoryCurrencyItem";
inline constexpr const char* CurrencyProperties = "TcxCurrencyEditProperties";
inline constexpr const char* SpinItem = "TcxEditRepositorySpinItem";
inline constexpr const char* SpinProperties = "TcxSpinEditProperties";
inline constexpr const char* MemoItem = "TcxEditRepositoryMemoItem";
inline constexpr const char* MemoProperties = "TcxMemoProperties";
inline constexpr const char* ImageComboBoxItem = "TcxEditRepositoryImageComboBoxItem";
inline constexpr const char* ImageComboBoxProperties = "TcxImageComboBoxProperties";
inline constexpr const char* BlobItem = "TcxEditRepositoryBlobItem";
inline constexpr const char* BlobProperties = "TcxBlobEditProperties";
inline constexpr const char* CheckBoxItem = "TcxEditRepositoryCheckBoxItem";
inline constexpr const char* CheckBoxProperties = "TcxCheckBoxProperties";
inline constexpr const char* TimeItem = "TcxEditRepositoryTimeItem";
inline constexpr const char* TimeProperties = "TcxTimeEditProperties";
inline constexpr const char* MRUItem = "TcxEditRepositoryMRUItem";
inline constexpr const char* MRUProperties = "TcxMRUEditProperties";
inline constexpr const char* HyperLinkItem = "TcxEditRepositoryHyperLinkItem";
inline constexpr const char* HyperLinkProperties = "TcxHyperLinkEditProperties";
inline constexpr const char* RadioGroupItem = "TcxEditRepositoryRadioGroupItem";
inline constexpr const char* RadioGroupProperties = "TcxRadioGroupProperties";
inline constexpr const char* LookupComboBoxItem = "TcxEditRepositoryLookupComboBoxItem";
inline constexpr const char* LookupComboBoxProperties = "TcxLookupComboBoxProperties";
} // namespace cx_repository_names

using TcxEditRepositoryTextItem = TcxEditRepositoryKindItem<&cx_repository_names::TextItem, &cx_repository_names::TextProperties>;
using TcxEditRepositoryButtonItem = TcxEditRepositoryKindItem<&cx_repository_names::ButtonItem, &cx_repository_names::ButtonProperties>;
using TcxEditRepositoryImageItem = TcxEditRepositoryKindItem<&cx_repository_names::ImageItem, &cx_repository_names::ImageProperties>;
using TcxEditRepositoryComboBoxItem = TcxEditRepositoryKindItem<&cx_repository_names::ComboBoxItem, &cx_repository_names::ComboBoxProperties>;
using TcxEditRepositoryMaskItem = TcxEditRepositoryKindItem<&cx_repository_names::MaskItem, &cx_repository_names::MaskProperties>;
using TcxEditRepositoryPopupItem = TcxEditRepositoryKindItem<&cx_repository_names::PopupItem, &cx_repository_names::PopupProperties>;
using TcxEditRepositoryCalcItem = TcxEditRepositoryKindItem<&cx_repository_names::CalcItem, &cx_repository_names::CalcProperties>;
using TcxEditRepositoryDateItem = TcxEditRepositoryKindItem<&cx_repository_names::DateItem, &cx_repository_names::DateProperties>;
using TcxEditRepositoryCurrencyItem = TcxEditRepositoryKindItem<&cx_repository_names::CurrencyItem, &cx_repository_names::CurrencyProperties>;
using TcxEditRepositorySpinItem = TcxEditRepositoryKindItem<&cx_repository_names::SpinItem, &cx_repository_names::SpinProperties>;
using TcxEditRepositoryMemoItem = TcxEditRepositoryKindItem<&cx_repository_names::MemoItem, &cx_repository_names::MemoProperties>;
using TcxEditRepositoryBlobItem = TcxEditRepositoryKindItem<&cx_repository_names::BlobItem, &cx_repository_names::BlobProperties>;
using TcxEditRepositoryCheckBoxItem = TcxEditRepositoryKindItem<&cx_repository_names::CheckBoxItem, &cx_repository_names::CheckBoxProperties>;
using TcxEditRepositoryTimeItem = TcxEditRepositoryKindItem<&cx_repository_names::TimeItem, &cx_repository_names::TimeProperties>;
using TcxEditRepositoryMRUItem = TcxEditRepositoryKindItem<&cx_repository_names::MRUItem, &cx_repository_names::MRUProperties>;
using TcxEditRepositoryHyperLinkItem = TcxEditRepositoryKindItem<&cx_repository_names::HyperLinkItem, &cx_repository_names::HyperLinkProperties>;
using TcxEditRepositoryRadioGroupItem = TcxEditRepositoryKindItem<&cx_repository_names::RadioGroupItem, &cx_repository_names::RadioGroupProperties>;
using TcxEditRepositoryLookupComboBoxItem = TcxEditRepositoryKindItem<&cx_repository_names::LookupComboBoxItem, &cx_repository_names::LookupComboBoxProperties>;

// Its properties let go of an image list that is being freed.
class TcxEditRepositoryImageComboBoxItem : public TcxEditRepositoryItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    const char* EditPropertiesClassName() const override { return cx_repository_names::ImageComboBoxProperties; }

protected:
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
};

// Unit start-up: every item class joins the streaming registry; shut-down
// frees the default repository.
void cxEditRepositoryItemsInitialize();
void cxEditRepositoryItemsFinalize();

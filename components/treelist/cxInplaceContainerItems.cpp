#include "components/treelist/cxInplaceContainerItems.h"

#include <memory>

#include "components/editors/cxEditDataRegisteredRepositoryItems.h"
#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxInplaceContainerViewInfo.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- default values provider and data bindings ------------------------------------------

TClass TcxContainerItemDefaultValuesProvider::StaticClass()
{
    return DefineClass<TcxContainerItemDefaultValuesProvider, TcxCustomEditDefaultValuesProvider>(
        "TcxContainerItemDefaultValuesProvider");
}

TClass TcxCustomItemDataBinding::StaticClass()
{
    return DefineClass<TcxCustomItemDataBinding, TcxOwnedPersistent>("TcxCustomItemDataBinding");
}

void TcxCustomItemDataBinding::Construct(TPersistent* owner)
{
    TcxOwnedPersistent::Construct(owner);
    provider_.reset(CreateInstance<TcxCustomEditDefaultValuesProvider>(GetDefaultValuesProviderClass(),
                                                                       static_cast<TPersistent*>(this)));
}

void TcxCustomItemDataBinding::Destroy()
{
    provider_.reset();
    TcxOwnedPersistent::Destroy();
}

TcxEditRepositoryItem* TcxCustomItemDataBinding::DefaultRepositoryItem()
{
    return GetDefaultEditDataRepositoryItems()->GetItem(GetValueTypeClass());
}

IcxEditDefaultValuesProvider* TcxCustomItemDataBinding::GetDefaultValuesProvider(TcxCustomEditProperties*)
{
    return provider_.get();
}

TClass TcxCustomItemDataBinding::GetDefaultValuesProviderClass()
{
    return TcxContainerItemDefaultValuesProvider::StaticClass();
}

TcxValueTypeClass TcxCustomItemDataBinding::GetValueTypeClass() { return TcxStringValueType::Class(); }

TcxCustomInplaceEditContainer* TcxCustomItemDataBinding::GetEditContainer() const
{
    return As<TcxCustomInplaceEditContainer>(GetOwner());
}

TcxControlDataController* TcxCustomItemDataBinding::GetDataController() const
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    return item ? item->GetDataController() : nullptr;
}

void TcxCustomItemDataBinding::ValueTypeClassChanged()
{
    TcxCustomInplaceEditContainer* item = GetEditContainer();
    if (!item) return;
    if (TcxControlDataController* data = GetDataController())
        data->ChangeValueTypeClass(item->ItemIndex(), GetValueTypeClass());
    item->InternalPropertiesChanged();
}

TClass TcxItemDataBinding::StaticClass()
{
    return DefineClass<TcxItemDataBinding, TcxCustomItemDataBinding>("TcxItemDataBinding", [](ClassBuilder<TcxItemDataBinding>& b) {
        b.Property("ValueType", &TcxItemDataBinding::ValueType, &TcxItemDataBinding::SetValueType)
            .Stored(&TcxItemDataBinding::IsValueTypeStored);
    });
}

TcxValueTypeClass TcxItemDataBinding::GetValueTypeClass()
{
    return valueTypeClass_ ? valueTypeClass_ : TcxCustomItemDataBinding::GetValueTypeClass();
}

bool TcxItemDataBinding::IsValueTypeStored() const
{
    return const_cast<TcxItemDataBinding*>(this)->GetValueTypeClass() != TcxStringValueType::Class();
}

std::string TcxItemDataBinding::ValueType() const
{
    return cxieValueTypeClassRepository()->FindByClassType(const_cast<TcxItemDataBinding*>(this)->GetValueTypeClass());
}

void TcxItemDataBinding::SetValueType(const std::string& value)
{
    if (TcxValueTypeClass cls = cxieValueTypeClassRepository()->FindByDescription(value)) SetValueTypeClass(cls);
}

void TcxItemDataBinding::SetValueTypeClass(TcxValueTypeClass value)
{
    if (value == GetValueTypeClass()) return;
    valueTypeClass_ = value;
    ValueTypeClassChanged();
}

void TcxItemDataBinding::Assign(TPersistent* source)
{
    auto* other = As<TcxItemDataBinding>(source);
    if (!other) return TcxCustomItemDataBinding::Assign(source);
    SetValueType(other->ValueType());
    SetValueTypeClass(other->GetValueTypeClass());
}

// ---- control data controller ---------------------------------------------------------------

TClass TcxControlDataController::StaticClass()
{
    return DefineClass<TcxControlDataController, TcxDataController>("TcxControlDataController");
}

TcxEditingControl* TcxControlDataController::GetControl() const { return As<TcxEditingControl>(GetOwner()); }

int TcxControlDataController::GetItemID(TObject* item) const
{
    auto* container = As<TcxCustomInplaceEditContainer>(item);
    return container ? container->ItemIndex() : -1;
}

void TcxControlDataController::UpdateControl(TcxUpdateControlInfo* info)
{
    if (TcxEditingControl* control = GetControl()) control->ControlUpdateData(info);
}

void TcxControlDataController::UpdateItemIndexes()
{
    if (TcxEditingControl* control = GetControl()) control->UpdateIndexes();
    TcxDataController::UpdateItemIndexes();
}

TObject* TcxControlDataController::GetItem(int index) const { return GetControl()->Items(index); }

TcxDataEditValueSource TcxControlDataController::GetItemValueSource(int itemIndex) const
{
    TcxCustomEditProperties* properties = GetControl()->Items(itemIndex)->PropertiesValue();
    return properties ? properties->GetEditValueSource(true) : evsValue;
}

void TcxControlDataController::UpdateData()
{
    if (TcxEditingControl* control = GetControl()) control->UpdateData();
}

// ---- value-type repository ------------------------------------------------------------------

TClass TcxValueTypeClassRepository::StaticClass()
{
    return DefineClass<TcxValueTypeClassRepository, TObject>("TcxValueTypeClassRepository");
}

void TcxValueTypeClassRepository::RegisterValueTypeClass(const std::string& description, TcxValueTypeClass cls)
{
    for (const Entry& e : entries_)
        if (e.cls == cls) return;
    entries_.push_back(Entry{description, cls});
}

void TcxValueTypeClassRepository::UnRegisterValueTypeClass(TcxValueTypeClass cls)
{
    std::erase_if(entries_, [cls](const Entry& e) { return e.cls == cls; });
}

std::string TcxValueTypeClassRepository::FindByClassType(TcxValueTypeClass cls) const
{
    for (const Entry& e : entries_)
        if (e.cls == cls) return e.description;
    return {};
}

TcxValueTypeClass TcxValueTypeClassRepository::FindByDescription(const std::string& description) const
{
    for (const Entry& e : entries_)
        if (SameText(e.description, description)) return e.cls;
    return nullptr;
}

namespace {

std::unique_ptr<TcxValueTypeClassRepository, FreeDeleter>& RepositoryHolder()
{
    static std::unique_ptr<TcxValueTypeClassRepository, FreeDeleter> holder;
    return holder;
}

void RegisterStandardValueTypes(TcxValueTypeClassRepository* r)
{
    r->RegisterValueTypeClass("Boolean", TcxBooleanValueType::Class());
    r->RegisterValueTypeClass("String", TcxStringValueType::Class());
    r->RegisterValueTypeClass("Integer", TcxIntegerValueType::Class());
    r->RegisterValueTypeClass("Currency", TcxCurrencyValueType::Class());
    r->RegisterValueTypeClass("Float", TcxFloatValueType::Class());
    r->RegisterValueTypeClass("DateTime", TcxDateTimeValueType::Class());
    r->RegisterValueTypeClass("Variant", TcxVariantValueType::Class());
}

} // namespace

TcxValueTypeClassRepository* cxieValueTypeClassRepository()
{
    auto& holder = RepositoryHolder();
    if (!holder) {
        holder.reset(CreateObject<TcxValueTypeClassRepository>());
        RegisterStandardValueTypes(holder.get());
    }
    return holder.get();
}

void cxieRegisterValueTypeClass(const std::string& description, TcxValueTypeClass cls)
{
    cxieValueTypeClassRepository()->RegisterValueTypeClass(description, cls);
}

void cxieUnRegisterValueTypeClass(TcxValueTypeClass cls) { cxieValueTypeClassRepository()->UnRegisterValueTypeClass(cls); }

void cxieFreeValueTypeClassRepository() { RepositoryHolder().reset(); }

// ---- item options ------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TcxEditItemShowEditButtons*)
{
    static const TEnumInfo info{"TcxEditItemShowEditButtons", {"eisbDefault", "eisbNever", "eisbAlways"}};
    return info;
}

TClass TcxCustomEditContainerItemOptions::StaticClass()
{
    return DefineClass<TcxCustomEditContainerItemOptions, TcxOwnedPersistent>("TcxCustomEditContainerItemOptions");
}

TcxCustomInplaceEditContainer* TcxCustomEditContainerItemOptions::Item() const
{
    return As<TcxCustomInplaceEditContainer>(GetOwner());
}

void TcxCustomEditContainerItemOptions::Changed()
{
    if (TcxCustomInplaceEditContainer* item = Item()) item->Changed();
}

void TcxCustomEditContainerItemOptions::SetEditing(bool value)
{
    if (editing_ == value) return;
    editing_ = value;
    if (!value && Item()) Item()->SetEditing(false);
}

void TcxCustomEditContainerItemOptions::SetFiltering(bool value)
{
    if (filtering_ == value) return;
    filtering_ = value;
    Changed();
}

void TcxCustomEditContainerItemOptions::SetFocusing(bool value)
{
    if (focusing_ == value) return;
    focusing_ = value;
    if (!value && Item()) Item()->SetFocused(false);
}

void TcxCustomEditContainerItemOptions::SetIncSearch(bool value)
{
    if (incSearch_ == value) return;
    if (!value && Item() && Item()->IncSearching()) Item()->CancelIncSearching();
    incSearch_ = value;
}

void TcxCustomEditContainerItemOptions::SetShowEditButtons(TcxEditItemShowEditButtons value)
{
    if (showEditButtons_ == value) return;
    showEditButtons_ = value;
    Changed();
}

void TcxCustomEditContainerItemOptions::Assign(TPersistent* source)
{
    auto* o = As<TcxCustomEditContainerItemOptions>(source);
    if (!o) return TcxOwnedPersistent::Assign(source);
    customizing_ = o->customizing_;
    SetEditing(o->editing_);
    SetFiltering(o->filtering_);
    SetFocusing(o->focusing_);
    SetIncSearch(o->incSearch_);
    moving_ = o->moving_;
    SetShowEditButtons(o->showEditButtons_);
    sorting_ = o->sorting_;
    tabStop_ = o->tabStop_;
}

// ---- the item: life ------------------------------------------------------------------------------

TClass TcxCustomInplaceEditContainer::StaticClass()
{
    return DefineClass<TcxCustomInplaceEditContainer, TComponent>("TcxCustomInplaceEditContainer", [](ClassBuilder<TcxCustomInplaceEditContainer>& b) {
        using C = TcxCustomInplaceEditContainer;
        b.Property("PropertiesClassName", &C::PropertiesClassName, &C::SetPropertiesClassName);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem);
        b.Property("Styles", &C::Styles, &C::SetStyles);
    });
}

void TcxCustomInplaceEditContainer::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    TPersistent* self = this;
    dataBinding_.reset(CreateInstance<TcxCustomItemDataBinding>(GetDataBindingClass(), self));
    options_.reset(CreateInstance<TcxCustomEditContainerItemOptions>(GetOptionsClass(), self));
    styles_.reset(CreateInstance<TcxEditContainerStyles>(GetStylesClass(), self));
}

void TcxCustomInplaceEditContainer::Destroy()
{
    if (propertiesValue_ && propertiesValue_->ChangeNotification.Target() == this)
        propertiesValue_->ChangeNotification.Clear();
    if (editingControl_ && !editingControl_->IsDestroying() && editingControl_->IsDesigning())
        if (TcxCustomDesignSelectionHelper* helper = editingControl_->Controller()->DesignSelectionHelper())
            helper->UnselectObject(this);
    SetRepositoryItem(nullptr);
    DoSetEditingControl(nullptr);
    options_.reset();
    dataBinding_.reset();
    styles_.reset();
    FreeEditParts();
    properties_.reset();
    TComponent::Destroy();
}

void TcxCustomInplaceEditContainer::FreeEditParts()
{
    FreeAndNil(editData_);
    editViewData_.reset();
}

TClass TcxCustomInplaceEditContainer::GetDataBindingClass() { return TcxItemDataBinding::StaticClass(); }
TClass TcxCustomInplaceEditContainer::GetOptionsClass() { return TcxCustomEditContainerItemOptions::StaticClass(); }
TClass TcxCustomInplaceEditContainer::GetStylesClass() { return TcxEditContainerStyles::StaticClass(); }

void TcxCustomInplaceEditContainer::SetStyles(TcxEditContainerStyles* value) { styles_->Assign(value); }

void TcxCustomInplaceEditContainer::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomInplaceEditContainer>(source);
    if (!other) return TComponent::Assign(source);
    dataBinding_->Assign(other->DataBinding());
    SetPropertiesClassName(other->PropertiesClassName());
    SetProperties(other->Properties());
    SetRepositoryItem(other->RepositoryItem());
    styles_->Assign(other->Styles());
    OnGetEditProperties = other->OnGetEditProperties;
}

void TcxCustomInplaceEditContainer::DoSetEditingControl(TcxEditingControl* value)
{
    if (editingControl_ == value) return;
    if (value && value->ViewInfo()) value->ViewInfo()->SetState(cxvisStylesChanged, true);
    // A control that is being destroyed but still alive (its owner frees
    // the items first) must not keep the item in its lists either.
    if (editingControl_) editingControl_->DoInplaceEditContainerItemRemoved(this);
    editingControl_ = value;
    if (!value) return;
    value->BeginUpdate();
    quelvo::sys::ScopeGuard close([this, value] {
        value->CancelUpdate();
        InternalPropertiesChanged();
    });
    value->DoInplaceEditContainerItemAdded(this);
    dataBinding_->ValueTypeClassChanged();
}

void TcxCustomInplaceEditContainer::ForgetEditingControl()
{
    editingControl_ = nullptr;
    FreeEditParts();
}

// ---- the item: editor choice ------------------------------------------------------------------------

void TcxCustomInplaceEditContainer::SetProperties(TcxCustomEditProperties* value)
{
    if (properties_ && value) properties_->Assign(value);
}

std::string TcxCustomInplaceEditContainer::PropertiesClassName() const
{
    return properties_ ? properties_->ClassName() : std::string();
}

void TcxCustomInplaceEditContainer::SetPropertiesClassName(const std::string& value)
{
    if (value == PropertiesClassName()) return;
    SetPropertiesClass(GetRegisteredEditProperties()->FindByClassName(value));
}

void TcxCustomInplaceEditContainer::SetPropertiesClass(TClass value)
{
    if (value == propertiesClass_) return;
    FreeEditParts();
    properties_.reset();
    propertiesClass_ = value;
    if (value) properties_.reset(CreateInstance<TcxCustomEditProperties>(value, static_cast<TPersistent*>(this)));
    InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::SetRepositoryItem(TcxEditRepositoryItem* value)
{
    if (value == repositoryItem_) return;
    if (repositoryItem_) {
        repositoryItem_->RemoveListener(this);
        if (TcxCustomControlController* controller = GetController())
            controller->EditingController()->RemoveEdit(repositoryItem_->Properties());
    }
    repositoryItem_ = value;
    if (value) value->AddListener(this);
    InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::ItemRemoved(TcxEditRepositoryItem*) { SetRepositoryItem(nullptr); }

void TcxCustomInplaceEditContainer::PropertiesChanged(TcxEditRepositoryItem*) { DoOnPropertiesChanged(nullptr); }

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetDefaultEditProperties()
{
    if (repositoryItem_) return repositoryItem_->Properties();
    if (properties_) return properties_.get();
    TcxEditRepositoryItem* item = dataBinding_->DefaultRepositoryItem();
    return item ? item->Properties() : nullptr;
}

void TcxCustomInplaceEditContainer::InternalPropertiesChanged()
{
    if (IsDestroying()) return;
    TcxCustomControlController* controller = GetController();
    TcxEditingController* editing = controller ? controller->EditingController() : nullptr;
    if (!editing || (!editing->Edit() && !editing->IsHiding())) FreeAndNil(editData_);
    editViewData_.reset();
    propertiesValue_ = GetDefaultEditProperties();
    if (!propertiesValue_) return PropertiesChanged();
    InitProperties(propertiesValue_);
    if (editingControl_) editViewData_.reset(propertiesValue_->CreateViewData(GetEditStyle(nullptr), true));
    if (!propertiesValue_->ChangeNotification.Assigned())
        propertiesValue_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomInplaceEditContainer::DoOnPropertiesChanged);
    PropertiesChanged();
}

void TcxCustomInplaceEditContainer::InitProperties(TcxCustomEditProperties* properties)
{
    if (!properties) return;
    properties->LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
    properties->SetIDefaultValuesProvider(dataBinding_->GetDefaultValuesProvider(properties));
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::DoGetPropertiesFromEvent(void* data,
                                                                                 TcxCustomEditProperties* properties,
                                                                                 const TcxGetEditPropertiesEvent& event)
{
    TcxCustomEditProperties* result = properties;
    if (event.Assigned()) {
        event(this, data, result);
        if (!result) result = properties;
    }
    InitProperties(result);
    return result;
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::DoGetEditProperties(void* data)
{
    return DoGetPropertiesFromEvent(data, propertiesValue_, OnGetEditProperties);
}

void TcxCustomInplaceEditContainer::DoGetEditingProperties(void* data, TcxCustomEditProperties*& properties)
{
    properties = DoGetPropertiesFromEvent(data, properties, OnGetEditingProperties);
}

void TcxCustomInplaceEditContainer::DoOnPropertiesChanged(TObject*) { InternalPropertiesChanged(); }

void TcxCustomInplaceEditContainer::PropertiesChanged() { Changed(); }

void TcxCustomInplaceEditContainer::Changed()
{
    if (editingControl_) editingControl_->UpdateViewStyles();
}

void TcxCustomInplaceEditContainer::DataChanged()
{
    dataBinding_->Init();
    InternalPropertiesChanged();
}

// ---- the item: values ------------------------------------------------------------------------------

TcxControlDataController* TcxCustomInplaceEditContainer::GetDataController() const
{
    return editingControl_ ? editingControl_->DataController() : nullptr;
}

TcxCustomControlController* TcxCustomInplaceEditContainer::GetController()
{
    return editingControl_ ? editingControl_->Controller() : nullptr;
}

Variant TcxCustomInplaceEditContainer::GetValue(int recordIndex)
{
    return GetDataController()->GetValue(recordIndex, itemIndex_);
}

void TcxCustomInplaceEditContainer::SetValue(int recordIndex, const Variant& value)
{
    GetDataController()->SetValue(recordIndex, itemIndex_, value);
}

Variant TcxCustomInplaceEditContainer::GetCurrentValue() { return GetValue(GetDataController()->GetFocusedRecordIndex()); }

void TcxCustomInplaceEditContainer::SetCurrentValue(const Variant& value)
{
    SetValue(GetDataController()->GetFocusedRecordIndex(), value);
}

int TcxCustomInplaceEditContainer::GetValueCount()
{
    TcxControlDataController* data = GetDataController();
    return data ? data->GetRecordCount() : 0;
}

Variant TcxCustomInplaceEditContainer::GetDisplayValue(TcxCustomEditProperties* properties, int recordIndex)
{
    if (properties && properties->GetEditValueSource(false) != evsValue)
        return Variant(GetDataController()->GetDisplayText(recordIndex, itemIndex_));
    return GetValue(recordIndex);
}

Variant TcxCustomInplaceEditContainer::GetEditValue()
{
    if (!GetEditing()) return Variant();
    TcxControlDataController* data = GetDataController();
    if (data->GetRecordCount() == 0) return Variant::Null();
    return data->GetEditValue(itemIndex_, editValueSource_);
}

void TcxCustomInplaceEditContainer::SetEditValue(const Variant& value)
{
    if (GetEditing()) GetDataController()->SetEditValue(itemIndex_, value, editValueSource_);
}

// ---- the item: state and questions ------------------------------------------------------------------

bool TcxCustomInplaceEditContainer::GetEditing()
{
    TcxCustomControlController* controller = GetController();
    return controller && controller->EditingItem() == this;
}

void TcxCustomInplaceEditContainer::SetEditing(bool value)
{
    TcxCustomControlController* controller = GetController();
    if (!controller) return;
    if (value) controller->SetEditingItem(this);
    else if (GetEditing()) controller->SetEditingItem(nullptr);
}

bool TcxCustomInplaceEditContainer::Focused()
{
    TcxCustomControlController* controller = GetController();
    return controller && controller->FocusedItem() == this;
}

void TcxCustomInplaceEditContainer::SetFocused(bool value)
{
    TcxCustomControlController* controller = GetController();
    if (!controller) return;
    if (value) return controller->SetFocusedItem(this);
    if (controller->FocusedItem() != this) return;
    // The focus leaves the item with what was typed into it; the derived
    // control gives it to another one at its next layout change.
    controller->EditingController()->HideEdit(true);
    controller->InternalSetFocusedItem(nullptr);
}

bool TcxCustomInplaceEditContainer::IncSearching()
{
    TcxCustomControlController* controller = GetController();
    return controller && controller->GetIncSearchingItem() == this;
}

void TcxCustomInplaceEditContainer::CancelIncSearching()
{
    if (TcxCustomControlController* controller = GetController()) controller->CancelIncSearching();
}

TcxEditCellViewInfo* TcxCustomInplaceEditContainer::FocusedCellViewInfo()
{
    TcxCustomControlController* controller = GetController();
    return controller ? controller->GetFocusedCellViewInfo(this) : nullptr;
}

bool TcxCustomInplaceEditContainer::IsEditPartVisible()
{
    TcxEditCellViewInfo* cell = FocusedCellViewInfo();
    return cell && !IsRectEmpty(&cell->ClipRect);
}

bool TcxCustomInplaceEditContainer::CanFocus() { return options_->Focusing(); }
bool TcxCustomInplaceEditContainer::CanTabStop() { return options_->TabStop(); }

bool TcxCustomInplaceEditContainer::CanInitEditing()
{
    TcxControlDataController* data = GetDataController();
    return data && data->CanInitEditing(itemIndex_);
}

bool TcxCustomInplaceEditContainer::CanEdit()
{
    if (!editingControl_ || !CanFocus() || !options_->Editing()) return false;
    if (!editingControl_->Options()->GetOptionsData()->Editing()) return false;
    TcxControlDataController* data = GetDataController();
    return data->GetEditOperations().Contains(dceoShowEdit) && data->GetRecordCount() > 0;
}

bool TcxCustomInplaceEditContainer::CanIncSearch()
{
    if (!editingControl_ || !propertiesValue_) return false;
    return propertiesValue_->GetSupportedOperations().Contains(esoIncSearch) &&
           editingControl_->Options()->GetOptionsBehavior()->IncSearch() && options_->IncSearch();
}

TcxCustomEditStyle* TcxCustomInplaceEditContainer::GetEditStyle(void*)
{
    return editingControl_ ? editingControl_->EditStyle() : nullptr;
}

TcxCanvas* TcxCustomInplaceEditContainer::GetControlCanvas()
{
    return editingControl_ ? editingControl_->ActiveCanvas() : nullptr;
}

TcxValueTypeClass TcxCustomInplaceEditContainer::GetEditDataValueTypeClass() { return dataBinding_->GetValueTypeClass(); }

// ---- the item: cells ----------------------------------------------------------------------------

void TcxCustomInplaceEditContainer::InitEditViewInfo(TcxEditCellViewInfo* cell)
{
    TcxCustomEditProperties* previous = cell->Properties;
    cell->Properties = DoGetEditProperties(cell->GetViewInfoData());
    cell->Value = cell->GetDisplayValue();
    cell->ViewParams = cell->GetEditViewParams();
    PrepareCellViewData(cell, previous);
    if (TcxCustomEditViewData* data = cell->ViewData()) {
        data->PaintOptions = TcxEditPaintOptions{};
        if (cell->IsAutoHeight()) data->PaintOptions.Include(epoAutoHeight);
        if (cell->IsEndEllipsis()) data->PaintOptions.Include(epoShowEndEllipsis);
    }
}

void TcxCustomInplaceEditContainer::PrepareCellViewData(TcxEditCellViewInfo* cell, TcxCustomEditProperties* previous)
{
    TcxCustomEditProperties* properties = cell->Properties;
    if (!properties) return cell->SetViewData(nullptr, false);
    const bool shared = properties == propertiesValue_;
    if (previous && previous == properties) {
        if (!cell->ViewDataOwned()) cell->SetViewData(editViewData_.get(), false);
        return;
    }
    if (shared) cell->SetViewData(editViewData_.get(), false);
    else cell->SetViewData(properties->CreateViewData(GetEditStyle(cell->GetViewInfoData()), true), true);
    cell->SetViewInfo(CreateInstance<TcxCustomEditViewInfo>(properties->GetViewInfoClass()));
    if (shared && editViewData_) editViewData_->InitCacheData();
}

void TcxCustomInplaceEditContainer::ApplyIncSearchHighlight(TcxEditCellViewInfo* cell)
{
    TcxCustomEditViewData* data = cell->ViewData();
    TcxCustomControlController* controller = GetController();
    const bool highlight = controller && controller->GetIncSearchingItem() == this &&
                           controller->GetFocusedRecordIndex() == cell->GetRecordIndex();
    if (!highlight) {
        data->SelLength = 0;
        return;
    }
    data->SelTextColor = cell->GetSelectedTextColor();
    data->SelBackgroundColor = cell->GetSelectedBKColor();
    data->SelStart = 0;
    data->SelLength = static_cast<int>(controller->GetIncSearchingText().size());
}

void TcxCustomInplaceEditContainer::CalculateEditViewInfo(const Variant& value, TcxEditCellViewInfo* cell,
                                                          const POINT& mousePos)
{
    TcxCustomEditViewData* data = cell->ViewData();
    if (!data || !cell->ViewInfo()) return;
    TcxCanvas* canvas = GetControlCanvas();
    cxAssignEditStyle(cell);
    ApplyIncSearchHighlight(cell);
    data->MaxLineCount = cell->GetMaxLineCount();
    data->EditValueToDrawValue(canvas, value, cell->ViewInfo());
    data->ContentOffset = cell->ContentOffset();
    const bool hot = mousePos.x != -1 || mousePos.y != -1;
    data->CalculateEx(canvas, cell->ContentRect, mousePos, cxmbNone, TShiftState{}, cell->ViewInfo(), hot);
}

int TcxCustomInplaceEditContainer::GetEditDefaultHeight(TFont* font)
{
    if (!editViewData_ || !editingControl_) return 0;
    editViewData_->Style()->SetFont(font ? font : editingControl_->Font());
    editViewData_->ContentOffset = RECT{};
    TcxEditSizeProperties size;
    return editViewData_->GetEditSize(GetControlCanvas(), Variant::Null(), size).cy;
}

SIZE TcxCustomInplaceEditContainer::MeasureCell(TcxEditCellViewInfo* cell, int width)
{
    TcxCustomEditViewData* data = cell->ViewData();
    if (!data) return SIZE{0, 0};
    data->Style()->SetFont(cell->ViewParams.Font ? cell->ViewParams.Font : editingControl_->Font());
    data->ContentOffset = cell->ContentOffset();
    TcxEditSizeProperties size;
    size.MaxLineCount = cell->GetMaxLineCount();
    size.Width = width;
    return data->GetEditSize(GetControlCanvas(), cell->Value, size);
}

int TcxCustomInplaceEditContainer::GetEditHeight(TcxEditCellViewInfo* cell)
{
    return MeasureCell(cell, cell->ContentRect.right - cell->ContentRect.left).cy + 2;
}

int TcxCustomInplaceEditContainer::GetEditWidth(TcxEditCellViewInfo* cell) { return MeasureCell(cell, -1).cx; }

#include "components/editor-catalogue/cxDBLookupComboBox.h"

#include "components/editors/cxEditConsts.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- properties ---------------------------------------------------------------------------------

TClass TcxLookupComboBoxProperties::StaticClass()
{
    return DefineClass<TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties>(
        "TcxLookupComboBoxProperties", [](ClassBuilder<TcxLookupComboBoxProperties>& b) {
            using P = TcxLookupComboBoxProperties;
            b.Property("DropDownListStyle", &P::DropDownListStyle, &P::SetDropDownListStyle).Default(lsEditFixedList);
            b.Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
            b.Property("GridMode", &P::GridMode, &P::SetGridMode).Default(false);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("IncrementalFiltering", &P::IncrementalFiltering, &P::SetIncrementalFiltering).Default(true);
            b.Property("KeyFieldNames", &P::KeyFieldNamesProperty, &P::SetKeyFieldNames);
            b.Property("ListColumns", &P::ListColumns, &P::SetListColumns);
            b.Property("ListFieldIndex", &P::ListFieldIndexProperty, &P::SetListFieldIndex).Default(0);
            b.Property("ListFieldNames", &P::ListFieldNamesProperty, &P::SetListFieldNames)
                .Stored([](const P&) { return false; });
            b.Property("ListOptions", &P::ListOptions, &P::SetListOptions);
            b.Property("ListSource", &P::ListSource, &P::SetListSource);
        });
}

void TcxLookupComboBoxProperties::Construct(TPersistent* owner)
{
    TcxCustomDBLookupEditProperties::Construct(owner);
    grid_.reset(CreateObject<TcxLookupDBGrid>(nullptr));
    grid_->SetIsPopupControl(true);
    grid_->Options()->OnChanged = TNotifyEvent::Bind(this, &TcxLookupComboBoxProperties::ListOptionsChanged);
    InitializeDataController();
}

void TcxLookupComboBoxProperties::Destroy()
{
    DeinitializeDataController();
    grid_.reset();
    TcxCustomDBLookupEditProperties::Destroy();
}

void TcxLookupComboBoxProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxLookupComboBoxProperties>(source);
    if (!other) {
        TcxCustomDBLookupEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    SetGridMode(other->GridMode());
    SetListOptions(other->ListOptions());
    if (!IsDefinedByLookup()) {
        SetListSource(other->ListSource());
        SetListColumns(other->ListColumns());
    }
    grid_->DataController()->OnSortingChanged = other->grid_->DataController()->OnSortingChanged;
    TcxCustomDBLookupEditProperties::Assign(source);
    if (IsDefinedByLookup())
        SetListColumns(other->ListColumns());
}

TClass TcxLookupComboBoxProperties::GetContainerClass() { return TcxLookupComboBox::StaticClass(); }

int TcxLookupComboBoxProperties::GetLookupGridColumnCount() { return grid_ ? grid_->Columns()->Count() : 0; }

TcxCustomDataController* TcxLookupComboBoxProperties::GetLookupGridDataController()
{
    return grid_ ? grid_->DataController() : nullptr;
}

TcxDBDataController* TcxLookupComboBoxProperties::GetDBLookupGridDataController()
{
    return grid_ ? grid_->DBDataController() : nullptr;
}

int TcxLookupComboBoxProperties::GetLookupGridVisualAreaPreferredWidth()
{
    int width = 0;
    for (int i = 0; i < grid_->Columns()->Count(); ++i)
        width += grid_->Columns()->Items(i)->Width();
    return width;
}

void TcxLookupComboBoxProperties::LookupGridInitEvents(const TNotifyEvent& onClick,
                                                       const TNotifyEvent& onFocusedRowChanged,
                                                       const TcxLookupEditCloseUpEvent& onCloseUp)
{
    grid_->OnClick = onClick;
    grid_->OnFocusedRowChanged = onFocusedRowChanged;
    grid_->OnCloseUp = onCloseUp;
}

void TcxLookupComboBoxProperties::LookupGridInitLookAndFeel(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font)
{
    grid_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel);
    grid_->SetColor(color);
    if (font)
        grid_->Font()->Assign(font);
}

void TcxLookupComboBoxProperties::LookupGridUnlockMouseMove()
{
    if (grid_->HandleAllocated())
        grid_->SetMouseCapture(false);
    grid_->SetPopupMouseMoveLocked(false);
}

void TcxLookupComboBoxProperties::DBLookupGridCheckColumnByFieldName(const std::string& name)
{
    if (name.empty() || grid_->Columns()->ColumnByFieldName(name))
        return;
    TcxLookupDBGridColumn* column = grid_->Columns()->Add();
    column->SetFieldName(name);
    column->SetIndex(0);
}

void TcxLookupComboBoxProperties::DBLookupGridCreateColumnsByFieldNames(const std::string& names)
{
    grid_->CreateColumnsByFieldNames(names);
}

TField* TcxLookupComboBoxProperties::GetDBLookupGridColumnField(int index)
{
    return grid_->Columns()->Items(index)->Field();
}

std::string TcxLookupComboBoxProperties::GetDBLookupGridColumnFieldName(int index)
{
    return grid_->Columns()->Items(index)->FieldName();
}

int TcxLookupComboBoxProperties::GetDBLookupGridColumnIndexByFieldName(const std::string& name)
{
    TcxLookupDBGridColumn* column = grid_->Columns()->ColumnByFieldName(name);
    return column ? column->Index() : -1;
}

void TcxLookupComboBoxProperties::SetListColumns(TcxLookupDBGridColumns* value)
{
    grid_->Columns()->Assign(value);
    CheckLookupColumn();
    CheckDisplayColumnIndex();
}

void TcxLookupComboBoxProperties::SetListSource(TDataSource* value)
{
    if (IsDefinedByLookup() && !IsDefining())
        DefineByLookupError();
    if (value)
        CheckCircularLink(value);
    grid_->SetDataSource(value);
    Changed();
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomLookupComboBox::StaticClass()
{
    return DefineClass<TcxCustomLookupComboBox, TcxCustomDBLookupEdit>("TcxCustomLookupComboBox");
}

TClass TcxCustomLookupComboBox::GetPropertiesClass() const { return TcxLookupComboBoxProperties::StaticClass(); }

TClass TcxLookupComboBox::StaticClass()
{
    return DefineClass<TcxLookupComboBox, TcxCustomLookupComboBox>("TcxLookupComboBox", [](ClassBuilder<TcxLookupComboBox>& b) {
        using C = TcxLookupComboBox;
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxDBLookupComboBox::StaticClass()
{
    return DefineClass<TcxDBLookupComboBox, TcxCustomLookupComboBox>(
        "TcxDBLookupComboBox", [](ClassBuilder<TcxDBLookupComboBox>& b) { PublishDBEditTwin(b); });
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxDBLookupComboBoxInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxLookupComboBoxProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryLookupComboBoxItem));
}

void cxDBLookupComboBoxFinalize() { gUnitStarts.End(); }

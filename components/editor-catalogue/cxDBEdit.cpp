#include "components/editor-catalogue/cxDBEdit.h"

#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/data/dataset.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

// ---- default-values provider --------------------------------------------------------------------

TClass TcxCustomDBEditDefaultValuesProvider::StaticClass()
{
    return DefineClass<TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider>(
        "TcxCustomDBEditDefaultValuesProvider");
}

void TcxCustomDBEditDefaultValuesProvider::Construct(TPersistent* owner)
{
    TcxCustomEditDefaultValuesProvider::Construct(owner);
    freeNotificator_.reset(CreateObject<TcxFreeNotificator>(nullptr));
    freeNotificator_->OnComponentFreed =
        TcxFreeNotificationEvent::Bind(this, &TcxCustomDBEditDefaultValuesProvider::FieldFreeNotification);
}

void TcxCustomDBEditDefaultValuesProvider::Destroy()
{
    freeNotificator_.reset();
    TcxCustomEditDefaultValuesProvider::Destroy();
}

void TcxCustomDBEditDefaultValuesProvider::SetField(TField* value)
{
    if (field_ == value)
        return;
    if (field_)
        freeNotificator_->RemoveSender(field_);
    field_ = value;
    if (field_)
        freeNotificator_->AddSender(field_);
}

void TcxCustomDBEditDefaultValuesProvider::FieldFreeNotification(TComponent*) { SetField(nullptr); }

bool TcxCustomDBEditDefaultValuesProvider::IsDBConnectionLive()
{
    return field_ && field_->DataSet() && field_->DataSet()->Active();
}

TAlignment TcxCustomDBEditDefaultValuesProvider::DefaultAlignment()
{
    return IsDBConnectionLive() ? field_->Alignment() : TcxCustomEditDefaultValuesProvider::DefaultAlignment();
}

TcxBlobKind TcxCustomDBEditDefaultValuesProvider::DefaultBlobKind()
{
    if (!IsDBConnectionLive())
        return TcxCustomEditDefaultValuesProvider::DefaultBlobKind();
    switch (field_->DataType()) {
    case ftMemo:
    case ftFmtMemo: return bkMemo;
    case ftGraphic: return bkGraphic;
    case ftParadoxOle:
    case ftDBaseOle: return bkOle;
    default: return bkNone;
    }
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultCanModify()
{
    if (!IsDBConnectionLive())
        return false;
    return !DefaultReadOnly() && (field_->CanModify() || (field_->Lookup() && CanModifyLookupField(field_)));
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultDisplayFormat()
{
    auto* numeric = IsDBConnectionLive() ? As<TNumericField>(field_) : nullptr;
    return numeric ? numeric->DisplayFormat() : TcxCustomEditDefaultValuesProvider::DefaultDisplayFormat();
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultEditFormat()
{
    auto* numeric = IsDBConnectionLive() ? As<TNumericField>(field_) : nullptr;
    return numeric ? numeric->EditFormat() : TcxCustomEditDefaultValuesProvider::DefaultEditFormat();
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultEditMask()
{
    return IsDBConnectionLive() ? field_->EditMask() : TcxCustomEditDefaultValuesProvider::DefaultEditMask();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultIsFloatValue()
{
    if (!IsDBConnectionLive())
        return TcxCustomEditDefaultValuesProvider::DefaultIsFloatValue();
    const TFieldType type = field_->DataType();
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}

int TcxCustomDBEditDefaultValuesProvider::DefaultMaxLength()
{
    if (IsDBConnectionLive() && (field_->DataType() == ftString || field_->DataType() == ftWideString))
        return field_->Size();
    return TcxCustomEditDefaultValuesProvider::DefaultMaxLength();
}

double TcxCustomDBEditDefaultValuesProvider::BoundValue(bool maximum)
{
    if (auto* integer = As<TIntegerField>(field_))
        return static_cast<double>(maximum ? integer->MaxValue() : integer->MinValue());
    if (auto* bcd = As<TBCDField>(field_))
        return (maximum ? bcd->MaxValue() : bcd->MinValue()).ToDouble();
    auto* number = As<TFloatField>(field_);
    const double value = maximum ? number->MaxValue() : number->MinValue();
    // Rounded as the field shows it, so the editor's bound matches the text.
    const int precision = number->Precision();
    return StrToFloat(FloatToStrF(value, ffGeneral, precision, precision));
}

double TcxCustomDBEditDefaultValuesProvider::DefaultMaxValue()
{
    if (IsDBConnectionLive() && (As<TIntegerField>(field_) || As<TFloatField>(field_) || As<TBCDField>(field_)))
        return BoundValue(true);
    return TcxCustomEditDefaultValuesProvider::DefaultMaxValue();
}

double TcxCustomDBEditDefaultValuesProvider::DefaultMinValue()
{
    if (IsDBConnectionLive() && (As<TIntegerField>(field_) || As<TFloatField>(field_) || As<TBCDField>(field_)))
        return BoundValue(false);
    return TcxCustomEditDefaultValuesProvider::DefaultMinValue();
}

int TcxCustomDBEditDefaultValuesProvider::DefaultPrecision()
{
    if (auto* number = As<TFloatField>(field_))
        return number->Precision();
    if (auto* bcd = As<TBCDField>(field_))
        return bcd->Precision();
    if (auto* aggregate = As<TAggregateField>(field_))
        return aggregate->Precision();
    return TcxCustomEditDefaultValuesProvider::DefaultPrecision();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultReadOnly()
{
    return IsDBConnectionLive() ? field_->ReadOnly() : TcxCustomEditDefaultValuesProvider::DefaultReadOnly();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultRequired()
{
    return IsDBConnectionLive() ? field_->Required() : TcxCustomEditDefaultValuesProvider::DefaultRequired();
}

bool TcxCustomDBEditDefaultValuesProvider::IsBlob() { return IsDBConnectionLive() && As<TBlobField>(field_); }

bool TcxCustomDBEditDefaultValuesProvider::IsCurrency()
{
    if (IsDBConnectionLive()) {
        if (auto* number = As<TFloatField>(field_))
            return number->Currency();
        if (auto* bcd = As<TBCDField>(field_))
            return bcd->Currency();
        if (auto* aggregate = As<TAggregateField>(field_))
            return aggregate->Currency();
    }
    return TcxCustomEditDefaultValuesProvider::IsCurrency();
}

bool TcxCustomDBEditDefaultValuesProvider::IsDisplayFormatDefined(bool isCurrencyValueAccepted)
{
    if (!IsDBConnectionLive())
        return false;
    if (field_->OnGetText)
        return true;
    if (auto* number = As<TFloatField>(field_); number && number->Currency() && isCurrencyValueAccepted)
        return true;
    if (auto* bcd = As<TBCDField>(field_); bcd && bcd->Currency() && isCurrencyValueAccepted)
        return true;
    if (auto* date = As<TDateTimeField>(field_))
        return !date->DisplayFormat().empty();
    if (auto* numeric = As<TNumericField>(field_))
        return !numeric->DisplayFormat().empty();
    if (auto* aggregate = As<TAggregateField>(field_))
        return !aggregate->DisplayFormat().empty() || (aggregate->Currency() && isCurrencyValueAccepted);
    return false;
}

bool TcxCustomDBEditDefaultValuesProvider::IsOnGetTextAssigned()
{
    return !IsDisplayFormatDefined(false) && DefaultDisplayFormat().empty() && IsDBConnectionLive() &&
           static_cast<bool>(field_->OnGetText);
}

bool TcxCustomDBEditDefaultValuesProvider::IsValidChar(char c)
{
    if (!IsDBConnectionLive())
        return TcxCustomEditDefaultValuesProvider::IsValidChar(c);
    return field_->OnGetText ? true : field_->IsValidChar(c);
}

// ---- field data link ----------------------------------------------------------------------------

TClass TcxEditFieldDataLink::StaticClass()
{
    return DefineClass<TcxEditFieldDataLink, TDataLink>("TcxEditFieldDataLink");
}

void TcxEditFieldDataLink::Construct(TcxDBEditDataBinding* binding)
{
    binding_ = binding;
    SetVisualControl(true);
}

bool TcxEditFieldDataLink::RefreshDisabled() const { return binding_->IsRefreshDisabled(); }

bool TcxEditFieldDataLink::Edit()
{
    if (GetCanModify())
        TDataLink::Edit();
    return editing_;
}

bool TcxEditFieldDataLink::GetCanModify() const
{
    if (ReadOnly() || !field_)
        return false;
    return field_->CanModify() || (field_->Lookup() && CanModifyLookupField(field_));
}

void TcxEditFieldDataLink::SetEditing(bool value)
{
    if (editing_ == value)
        return;
    editing_ = value;
    if (!RefreshDisabled())
        modified_ = false;
}

void TcxEditFieldDataLink::SetFieldName(const std::string& value)
{
    if (fieldName_ == value)
        return;
    fieldName_ = value;
    UpdateField();
}

void TcxEditFieldDataLink::SetField(TField* value)
{
    if (field_ == value)
        return;
    field_ = value;
    binding_->DefaultValuesChanged();
    EditingChanged();
    RecordChanged(nullptr);
}

void TcxEditFieldDataLink::UpdateField()
{
    TField* field = nullptr;
    if (Active() && !fieldName_.empty()) {
        // Cleared first: a missing name raises and leaves no field behind.
        SetField(nullptr);
        field = dataComponent_ ? GetFieldProperty(DataSet(), dataComponent_, fieldName_)
                               : DataSet()->FieldByName(fieldName_);
    }
    SetField(field);
}

void TcxEditFieldDataLink::ActiveChanged()
{
    binding_->DisableRefresh();
    ScopeGuard done([this] {
        binding_->EnableRefresh();
        modified_ = false;
        binding_->DataChanged();
    });
    UpdateField();
    binding_->DataSetChange();
}

void TcxEditFieldDataLink::DataEvent(TDataEvent event, std::intptr_t info)
{
    TDataLink::DataEvent(event, info);
    if (event != deDataSetChange)
        return;
    binding_->DisableRefresh();
    ScopeGuard done([this] {
        binding_->EnableRefresh();
        modified_ = false;
    });
    binding_->DataSetChange();
}

void TcxEditFieldDataLink::EditingChanged()
{
    SetEditing(TDataLink::Editing() && GetCanModify());
    binding_->EditingChanged();
}

void TcxEditFieldDataLink::FocusControl(TField*& field)
{
    auto* control = As<TWinControl>(dataComponent_);
    if (!field || field != field_ || !control || !control->CanFocus())
        return;
    field = nullptr;
    control->SetFocus();
}

void TcxEditFieldDataLink::RecordChanged(TField* field)
{
    if (field && field != field_)
        return;
    binding_->DataChanged();
    if (!RefreshDisabled())
        modified_ = false;
}

void TcxEditFieldDataLink::UpdateData()
{
    if (!modified_)
        return;
    if (field_)
        binding_->UpdateData();
    if (!RefreshDisabled())
        modified_ = false;
}

// ---- binding ------------------------------------------------------------------------------------

TClass TcxDBEditDataBinding::StaticClass()
{
    return DefineClass<TcxDBEditDataBinding, TcxEditDataBinding>(
        "TcxDBEditDataBinding", [](ClassBuilder<TcxDBEditDataBinding>& b) {
            using B = TcxDBEditDataBinding;
            b.Property("DataField", &B::DataField, &B::SetDataField);
            b.Property("DataSource", &B::DataSource, &B::SetDataSource);
        });
}

void TcxDBEditDataBinding::Construct(TcxCustomEdit* edit)
{
    TcxEditDataBinding::Construct(edit);
    dataLink_.reset(CreateObject<TcxEditFieldDataLink>(this));
    if (edit->HasInnerEdit())
        dataLink_->SetDataComponent(edit->InnerEdit()->GetControl());
    else
        dataLink_->SetDataComponent(edit);
    MarkReplicatable();
}

void TcxDBEditDataBinding::Destroy()
{
    // Detached while still held; the editor going away hears nothing.
    destroying_ = true;
    if (dataLink_)
        dataLink_->SetDataSource(nullptr);
    dataLink_.reset();
    TcxEditDataBinding::Destroy();
}

namespace {
void AddReplicatable(TControl* control)
{
    if (!control)
        return;
    TControlStyle style = control->ControlStyle();
    style.Include(csReplicatable);
    control->SetControlStyle(style);
    if (auto* parent = As<TWinControl>(control))
        for (int i = 0; i < parent->ControlCount(); ++i)
            AddReplicatable(parent->Controls(i));
}
}  // namespace

void TcxDBEditDataBinding::MarkReplicatable()
{
    TcxCustomEdit* edit = Edit();
    AddReplicatable(edit);
    if (!edit->NeedsScrollBars())
        return;
    AddReplicatable(edit->HScrollBar());
    AddReplicatable(edit->VScrollBar());
    AddReplicatable(edit->SizeGrip());
}

TClass TcxDBEditDataBinding::GetDefaultValuesProviderClass()
{
    return TcxCustomDBEditDefaultValuesProvider::StaticClass();
}

TcxCustomDBEditDefaultValuesProvider* TcxDBEditDataBinding::GetDefaultValuesProvider() const
{
    return static_cast<TcxCustomDBEditDefaultValuesProvider*>(IDefaultValuesProvider()->GetInstance());
}

void TcxDBEditDataBinding::Assign(TPersistent* source)
{
    auto* other = As<TcxDBEditDataBinding>(source);
    if (!other) {
        TcxEditDataBinding::Assign(source);
        return;
    }
    SetDataField(other->DataField());
    SetDataSource(other->DataSource());
    DataChanged();
}

bool TcxDBEditDataBinding::CanSetEditMode()
{
    TDataSource* source = DataSource();
    if (!source)
        return false;
    return source->AutoEdit() || source->State() == dsEdit || source->State() == dsInsert;
}

void TcxDBEditDataBinding::DefaultValuesChanged()
{
    if (destroying_)
        return;
    GetDefaultValuesProvider()->SetField(Field());
    TcxEditDataBinding::DefaultValuesChanged();
}

Variant TcxDBEditDataBinding::ReadKey(TField* field)
{
    if (field->KeyFields().empty())
        return field->Value();
    return field->DataSet()->FieldValues(field->KeyFields());
}

Variant TcxDBEditDataBinding::GetStoredValue()
{
    if (!IsDBConnectionLive())
        return Variant::Null();
    TField* field = Field();
    const TcxDataEditValueSource source = Edit()->ActiveProperties()->GetEditValueSource(Edit()->InternalFocused());
    if (field->IsNull() && source != evsText)
        return Variant::Null();
    switch (source) {
    case evsText:
        if (Edit()->Focused() && dataLink_->GetCanModify())
            return Variant(field->Text());
        return Variant(GetDefaultValuesProvider()->IsBlob() ? field->AsString() : field->DisplayText());
    case evsKey: return ReadKey(field);
    default: return field->Value();
    }
}

void TcxDBEditDataBinding::Reset()
{
    if (!IsDBConnectionLive())
        return;
    dataLink_->Reset();
    Edit()->SelectAll();
}

void TcxDBEditDataBinding::SetDisplayValue(const Variant& value)
{
    SetInternalDisplayValue(IsDBConnectionLive() ? value : Variant(std::string()));
}

void TcxDBEditDataBinding::UpdateDisplayValue()
{
    Edit()->LockClick(true);
    ScopeGuard unlock([this] { Edit()->LockClick(false); });
    if (IsDBConnectionLive())
        dataLink_->Reset();
    else
        TcxEditDataBinding::UpdateDisplayValue();
}

void TcxDBEditDataBinding::UpdateNotConnectedDBEditDisplayValue()
{
    if (!IsDBConnectionLive())
        Edit()->SetEditValue(Variant::Null());
}

void TcxDBEditDataBinding::EditingChanged()
{
    if (!destroying_)
        Edit()->EditingChanged();
}

void TcxDBEditDataBinding::ReadFieldIntoEditor()
{
    TField* field = Field();
    const bool hasValue = IsDBConnectionLive() && !field->IsNull();
    Edit()->SetInternalEditValue(hasValue ? field->Value() : Variant::Null());
    Edit()->LockClick(true);
    ScopeGuard unlock([this] { Edit()->LockClick(false); });
    SetInternalDisplayValue(GetStoredValue());
}

void TcxDBEditDataBinding::DataChanged()
{
    if (IsRefreshDisabled() || destroying_)
        return;
    if (Edit()->IsDesigning() && !IsDBConnectionLive()) {
        UpdateNotConnectedDBEditDisplayValue();
        return;
    }
    if (Edit()->Focused() || !Edit()->ActiveProperties()->IsValueEditorWithValueFormatting())
        Edit()->SetEditValue(GetStoredValue());
    else
        ReadFieldIntoEditor();
}

bool TcxDBEditDataBinding::SetEditMode()
{
    if (!GetDefaultValuesProvider()->DefaultCanModify())
        return false;
    DisableRefresh();
    ScopeGuard enable([this] { EnableRefresh(); });
    dataLink_->Edit();
    const bool editing = dataLink_->IsEditing();
    if (editing)
        dataLink_->Modified();
    return editing;
}

void TcxDBEditDataBinding::UpdateData()
{
    if (IsDBConnectionLive() && Edit()->ValidateEdit(true))
        SetStoredValue(Edit()->GetEditValue());
}

void TcxDBEditDataBinding::WriteValue(TField* target, const Variant& value)
{
    // An empty text means no value, except for a text target: the target's
    // own type decides, so a key field behind a text lookup field gets Null.
    const TFieldType type = target->DataType();
    const bool emptyText = VarIsStr(value) && value.AsString().empty();
    if (emptyText && type != ftString && type != ftWideString)
        SetFieldValue(target, Variant::Null());
    else
        SetFieldValue(target, value);
}

void TcxDBEditDataBinding::WriteStoredValue(const Variant& value)
{
    TField* field = Field();
    const TcxDataEditValueSource source = Edit()->ActiveProperties()->GetEditValueSource(true);
    if (source == evsText) {
        field->SetText(VarToStr(value));
        return;
    }
    if (source != evsKey || field->KeyFields().empty()) {
        WriteValue(field, value);
        return;
    }
    TDataSet* dataSet = field->DataSet();
    if (!IsMultipleFieldNames(field->KeyFields())) {
        WriteValue(dataSet->FieldByName(field->KeyFields()), value);
        return;
    }
    const std::vector<TField*> keys = dataSet->GetFieldList(field->KeyFields());
    for (std::size_t i = 0; i < keys.size(); ++i)
        WriteValue(keys[i], value[static_cast<int>(i)]);
    dataSet->SetFieldValues(field->KeyFields(), value);
}

void TcxDBEditDataBinding::SetStoredValue(const Variant& value)
{
    if (!IsDBConnectionLive())
        return;
    DisableRefresh();
    ScopeGuard enable([this] { EnableRefresh(); });
    if (dataLink_->Edit())
        WriteStoredValue(value);
}

// ---- text binding -------------------------------------------------------------------------------

TClass TcxDBTextEditDataBinding::StaticClass()
{
    return DefineClass<TcxDBTextEditDataBinding, TcxDBEditDataBinding>("TcxDBTextEditDataBinding");
}

void TcxDBTextEditDataBinding::SetDisplayValue(const Variant& value)
{
    if (IsDBConnectionLive())
        SetInternalDisplayValue(value);
    else if (Edit()->IsDesigning())
        SetInternalDisplayValue(Variant(Edit()->Name()));
    else
        SetInternalDisplayValue(Variant(std::string()));
}

void TcxDBTextEditDataBinding::UpdateNotConnectedDBEditDisplayValue()
{
    if (IsDBConnectionLive())
        return;
    Edit()->LockClick(true);
    ScopeGuard unlock([this] { Edit()->LockClick(false); });
    SetDisplayValue(Variant(std::string()));
}

// ---- list box link ------------------------------------------------------------------------------

TClass TcxDBFieldDataLink::StaticClass()
{
    return DefineClass<TcxDBFieldDataLink, TcxCustomFieldDataLink>("TcxDBFieldDataLink");
}

void TcxDBFieldDataLink::VisualControlChanged()
{
    SetVisualControl(As<TWinControl>(DataComponent()) != nullptr);
}

void TcxDBFieldDataLink::FocusControl(TField*& field)
{
    auto* control = As<TWinControl>(DataComponent());
    if (!field || field != Field() || !control || !control->CanFocus())
        return;
    field = nullptr;
    control->SetFocus();
}

TClass TcxDBDataBinding::StaticClass()
{
    return DefineClass<TcxDBDataBinding, TcxCustomDBDataBinding>("TcxDBDataBinding");
}

// ---- the data-aware kinds -----------------------------------------------------------------------


TClass TcxDBTextEdit::StaticClass()
{
    return DefineClass<TcxDBTextEdit, TcxCustomTextEdit>("TcxDBTextEdit", [](ClassBuilder<TcxDBTextEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBMemo::StaticClass()
{
    return DefineClass<TcxDBMemo, TcxCustomMemo>("TcxDBMemo", [](ClassBuilder<TcxDBMemo>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBMaskEdit::StaticClass()
{
    return DefineClass<TcxDBMaskEdit, TcxCustomMaskEdit>("TcxDBMaskEdit", [](ClassBuilder<TcxDBMaskEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBButtonEdit::StaticClass()
{
    return DefineClass<TcxDBButtonEdit, TcxCustomButtonEdit>("TcxDBButtonEdit", [](ClassBuilder<TcxDBButtonEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBCheckBox::StaticClass()
{
    return DefineClass<TcxDBCheckBox, TcxCustomCheckBox>("TcxDBCheckBox", [](ClassBuilder<TcxDBCheckBox>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBComboBox::StaticClass()
{
    return DefineClass<TcxDBComboBox, TcxCustomComboBox>("TcxDBComboBox", [](ClassBuilder<TcxDBComboBox>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBPopupEdit::StaticClass()
{
    return DefineClass<TcxDBPopupEdit, TcxCustomPopupEdit>("TcxDBPopupEdit", [](ClassBuilder<TcxDBPopupEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBSpinEdit::StaticClass()
{
    return DefineClass<TcxDBSpinEdit, TcxCustomSpinEdit>("TcxDBSpinEdit", [](ClassBuilder<TcxDBSpinEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBTimeEdit::StaticClass()
{
    return DefineClass<TcxDBTimeEdit, TcxCustomTimeEdit>("TcxDBTimeEdit", [](ClassBuilder<TcxDBTimeEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBBlobEdit::StaticClass()
{
    return DefineClass<TcxDBBlobEdit, TcxCustomBlobEdit>("TcxDBBlobEdit", [](ClassBuilder<TcxDBBlobEdit>& b) {
        PublishDBEditTwin(b);
        b.EventProperty("OnGetGraphicClass", &TcxDBBlobEdit::OnGetGraphicClass);
    });
}

TClass TcxDBCalcEdit::StaticClass()
{
    return DefineClass<TcxDBCalcEdit, TcxCustomCalcEdit>("TcxDBCalcEdit", [](ClassBuilder<TcxDBCalcEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBDateEdit::StaticClass()
{
    return DefineClass<TcxDBDateEdit, TcxCustomDateEdit>("TcxDBDateEdit", [](ClassBuilder<TcxDBDateEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBCurrencyEdit::StaticClass()
{
    return DefineClass<TcxDBCurrencyEdit, TcxCustomCurrencyEdit>("TcxDBCurrencyEdit", [](ClassBuilder<TcxDBCurrencyEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBHyperLinkEdit::StaticClass()
{
    return DefineClass<TcxDBHyperLinkEdit, TcxCustomHyperLinkEdit>("TcxDBHyperLinkEdit", [](ClassBuilder<TcxDBHyperLinkEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBImage::StaticClass()
{
    return DefineClass<TcxDBImage, TcxCustomImage>("TcxDBImage", [](ClassBuilder<TcxDBImage>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBImageComboBox::StaticClass()
{
    return DefineClass<TcxDBImageComboBox, TcxCustomImageComboBox>("TcxDBImageComboBox", [](ClassBuilder<TcxDBImageComboBox>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBMRUEdit::StaticClass()
{
    return DefineClass<TcxDBMRUEdit, TcxCustomMRUEdit>("TcxDBMRUEdit", [](ClassBuilder<TcxDBMRUEdit>& b) { PublishDBEditTwin(b); });
}

TClass TcxDBRadioGroup::StaticClass()
{
    return DefineClass<TcxDBRadioGroup, TcxCustomRadioGroup>("TcxDBRadioGroup", [](ClassBuilder<TcxDBRadioGroup>& b) { PublishDBEditTwin(b); });
}

TWinControl* TcxDBRadioGroup::GetButtonInstance() { return CreateObject<TcxDBRadioGroupButton>(this); }

TClass TcxDBRadioGroupButton::StaticClass()
{
    return DefineClass<TcxDBRadioGroupButton, TcxCustomRadioGroupButton>("TcxDBRadioGroupButton");
}

void TcxDBRadioGroupButton::Construct(TComponent* owner)
{
    TcxCustomRadioGroupButton::Construct(owner);
    TControlStyle style = ControlStyle();
    style.Include(csReplicatable);
    SetControlStyle(style);
}

void TcxDBRadioGroupButton::WndProc(TMessage& message)
{
    if (message.Msg == CM_GETDATALINK) {
        TcxCustomRadioGroup* group = RadioGroup();
        message.Result = group ? group->Perform(CM_GETDATALINK, 0, 0) : 0;
        return;
    }
    TcxCustomRadioGroupButton::WndProc(message);
}

TClass TcxDBListBox::StaticClass()
{
    return DefineClass<TcxDBListBox, TcxListBox>("TcxDBListBox", [](ClassBuilder<TcxDBListBox>& b) {
        using C = TcxDBListBox;
        b.Property("DataBinding", &C::DataBinding);
        b.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    });
}

void TcxDBListBox::WndProc(TMessage& message)
{
    if (message.Msg == CM_GETDATALINK) {
        message.Result = reinterpret_cast<LRESULT>(&DataBinding()->DataLink());
        return;
    }
    TcxListBox::WndProc(message);
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxDBEditInitialize() { gUnitStarts.Start(); }

void cxDBEditFinalize() { gUnitStarts.End(); }

#include "platform/hostlib/data/dataset.h"

#include <algorithm>
#include <climits>

#include "platform/hostlib/data/datalink.h"
#include "platform/hostlib/data/filter_expr.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

// ---- field definitions --------------------------------------------------------------

TClass TFieldDef::StaticClass() { return DefineClass<TFieldDef, TPersistent>("TFieldDef"); }
TClass TFieldDefs::StaticClass() { return DefineClass<TFieldDefs, TPersistent>("TFieldDefs"); }

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required)
{
    if (Trim(name).empty()) DatabaseError("Field definition without a name");
    if (IndexOf(name) >= 0) DatabaseError(Format(db_messages::SDuplicateFieldName, name));
    auto def = MakeObject<TFieldDef>();
    def->Name = name;
    def->DataType = type;
    def->Size = size < 0 ? 0 : size;
    def->Required = required;
    items_.push_back(std::move(def));
    return items_.back().get();
}

TFieldDef* TFieldDefs::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    return items_[static_cast<std::size_t>(index)].get();
}

int TFieldDefs::IndexOf(const std::string& name) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (AnsiSameText(items_[i]->Name, name)) return static_cast<int>(i);
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& name) const
{
    const int i = IndexOf(name);
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)].get();
}

// ---- TDataSet -----------------------------------------------------------------------

// Makes field reads see one stored row for a scope.
class TDataSet::TempRow {
public:
    TempRow(TDataSet& ds, int rowId, TDataSetState state) : ds_(ds), savedRow_(ds.tempRowId_), savedState_(ds.state_)
    {
        ds.tempRowId_ = rowId;
        ds.state_ = state;
    }
    ~TempRow()
    {
        ds_.tempRowId_ = savedRow_;
        ds_.state_ = savedState_;
    }
    TempRow(const TempRow&) = delete;
    TempRow& operator=(const TempRow&) = delete;

private:
    TDataSet& ds_;
    int savedRow_;
    TDataSetState savedState_;
};

TClass TDataSet::StaticClass()
{
    return DefineClass<TDataSet, TComponent>("TDataSet", [](ClassBuilder<TDataSet>& b) {
        b.Property("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
        b.Property("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
        b.Property("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
        b.Property("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions);
        b.EventProperty("BeforeOpen", &TDataSet::BeforeOpen);
        b.EventProperty("AfterOpen", &TDataSet::AfterOpen);
        b.EventProperty("BeforeClose", &TDataSet::BeforeClose);
        b.EventProperty("AfterClose", &TDataSet::AfterClose);
        b.EventProperty("BeforeInsert", &TDataSet::BeforeInsert);
        b.EventProperty("AfterInsert", &TDataSet::AfterInsert);
        b.EventProperty("BeforeEdit", &TDataSet::BeforeEdit);
        b.EventProperty("AfterEdit", &TDataSet::AfterEdit);
        b.EventProperty("BeforePost", &TDataSet::BeforePost);
        b.EventProperty("AfterPost", &TDataSet::AfterPost);
        b.EventProperty("BeforeCancel", &TDataSet::BeforeCancel);
        b.EventProperty("AfterCancel", &TDataSet::AfterCancel);
        b.EventProperty("BeforeDelete", &TDataSet::BeforeDelete);
        b.EventProperty("AfterDelete", &TDataSet::AfterDelete);
        b.EventProperty("BeforeScroll", &TDataSet::BeforeScroll);
        b.EventProperty("AfterScroll", &TDataSet::AfterScroll);
        b.EventProperty("OnNewRecord", &TDataSet::OnNewRecord);
        b.EventProperty("OnFilterRecord", &TDataSet::OnFilterRecord);
    });
}

TDataSet::TDataSet() = default;
TDataSet::~TDataSet() = default;

void TDataSet::Construct(TComponent* owner) { TComponent::Construct(owner); }

void TDataSet::Destroy()
{
    if (Active()) {
        buffer_.clear();
        SetState(dsInactive);
        CloseCursor();
    }
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources) source->SetDataSet(nullptr);
    while (!fields_.empty()) fields_.back()->SetDataSet(nullptr);
    TComponent::Destroy();
}

void TDataSet::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove) std::erase(dataSources_, component);
}

// ---- opening ---------------------------------------------------------------------------

void TDataSet::SetActive(bool value)
{
    if (Active() == value) return;
    if (value) {
        BeforeOpen(this);
        OpenCursor();
        SetState(dsBrowse);
        AfterOpen(this);
        AfterScroll(this);
    } else {
        BeforeClose(this);
        buffer_.clear();
        modified_ = false;
        SetState(dsInactive);
        CloseCursor();
        AfterClose(this);
    }
}

void TDataSet::OpenCursor()
{
    InternalOpen();
    quelvo::sys::ScopeGuard closeOnFailure([this] {
        state_ = dsInactive;
        visible_.clear();
        DestroyDefaultFields();
        InternalClose();
    });
    if (fields_.empty()) CreateDefaultFields();
    BindFields();
    filterExpr_ = filtered_ ? PrepareFilter(filter_, filterOptions_) : nullptr;
    cursor_ = 0;
    readIndex_ = -1;
    // Filter handlers look at the fields, which need an open state.
    state_ = dsOpening;
    Rebuild(kNoRow);
    state_ = dsInactive;
    cursor_ = 0;
    closeOnFailure.Dismiss();
}

void TDataSet::CloseCursor()
{
    visible_.clear();
    cursor_ = 0;
    readIndex_ = -1;
    bof_ = eof_ = true;
    filterExpr_.reset();
    DestroyDefaultFields();
    InternalClose();
}

void TDataSet::CreateDefaultFields()
{
    for (int i = 0; i < fieldDefs_.Count(); ++i) {
        const TFieldDef* def = fieldDefs_.Items(i);
        const TClass cls = DefaultFieldClass(def->DataType);
        if (!cls) continue;
        TField* field = CreateInstance<TField>(cls, static_cast<TComponent*>(this));
        field->SetFieldName(def->Name);
        if (def->Size > 0) field->SetSize(def->Size);
        field->SetRequired(def->Required);
        field->SetDataSet(this);
    }
    defaultFields_ = true;
}

void TDataSet::BindFields()
{
    for (TField* field : fields_) {
        if (field->FieldKind() != fkData) {
            field->Bind(0);
            continue;
        }
        const int index = fieldDefs_.IndexOf(field->FieldName());
        if (index < 0) DatabaseError(Format(db_messages::SFieldNotFound, field->FieldName()), this);
        field->Bind(index + 1);
    }
}

void TDataSet::DestroyDefaultFields()
{
    if (!defaultFields_) return;
    defaultFields_ = false;
    destroyingFields_ = true;
    const std::vector<TField*> fields = fields_;
    for (TField* field : fields)
        if (field->Owner() == this) field->Free();
    destroyingFields_ = false;
}

void TDataSet::CheckActive() const
{
    if (!Active()) DatabaseError(db_messages::SDataSetClosed, this);
}

void TDataSet::CheckInactive() const
{
    if (Active()) DatabaseError(db_messages::SDataSetOpen, this);
}

void TDataSet::SetState(TDataSetState state)
{
    if (state_ == state) return;
    state_ = state;
    DataEvent(deUpdateState, 0);
}

// ---- fields --------------------------------------------------------------------------------

TField* TDataSet::Fields(int index) const
{
    if (index < 0 || index >= FieldCount()) throw EListError(Format(messages::SListIndexError, index));
    return fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(const std::string& name) const
{
    for (TField* field : fields_)
        if (AnsiSameText(field->FieldName(), name)) return field;
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const
{
    TField* field = FindField(name);
    if (!field) DatabaseError(Format(db_messages::SFieldNotFound, name), this);
    return field;
}

std::vector<TField*> TDataSet::GetFieldList(const std::string& names) const
{
    std::vector<TField*> out;
    for (const std::string& name : SplitFieldNames(names)) out.push_back(FieldByName(name));
    return out;
}

void TDataSet::GetFieldNames(std::vector<std::string>& names) const
{
    names.clear();
    if (fields_.empty())
        for (int i = 0; i < fieldDefs_.Count(); ++i) names.push_back(fieldDefs_.Items(i)->Name);
    else
        for (const TField* field : fields_) names.push_back(field->FieldName());
}

Variant TDataSet::FieldValues(const std::string& names) const
{
    const std::vector<TField*> fields = GetFieldList(names);
    if (fields.empty()) return Variant::Null();
    if (fields.size() == 1) return fields[0]->Value();
    std::vector<Variant> values;
    for (const TField* field : fields) values.push_back(field->Value());
    return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const std::string& names, const Variant& value)
{
    const std::vector<TField*> fields = GetFieldList(names);
    if (fields.size() == 1) {
        fields[0]->SetValue(value);
        return;
    }
    if (fields.empty()) return;
    if (value.IsNull() || value.IsEmpty()) {
        for (TField* field : fields) field->Clear();
        return;
    }
    if (!value.IsArray() || value.ArrayHighBound() - value.ArrayLowBound() + 1 < static_cast<int>(fields.size()))
        DatabaseError(Format(db_messages::SFieldTypeMismatch, names), this);
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetValue(value[value.ArrayLowBound() + static_cast<int>(i)]);
}

void TDataSet::AddField(TField* field)
{
    if (!field->FieldName().empty() && FindField(field->FieldName()))
        DatabaseError(Format(db_messages::SDuplicateFieldName, field->FieldName()), this);
    fields_.push_back(field);
    if (Active()) {
        const int index = field->FieldKind() == fkData ? fieldDefs_.IndexOf(field->FieldName()) : -1;
        field->Bind(index + 1);
        DataEvent(deLayoutChange, 0);
    }
}

void TDataSet::RemoveField(TField* field)
{
    std::erase(fields_, field);
    if (Active() && !destroyingFields_ && !IsDestroying()) DataEvent(deLayoutChange, 0);
}

int TDataSet::CurrentRowId() const
{
    if (cursor_ < 0 || cursor_ >= CursorCount()) return kNoRow;
    return visible_[static_cast<std::size_t>(cursor_)];
}

Variant TDataSet::ReadFieldValue(const TField& field) const
{
    const int column = field.FieldNo() - 1;
    if (column < 0 || state_ == dsInactive) return Variant::Null();
    if (tempRowId_ != kNoRow) return StoreValue(tempRowId_, column);
    const bool editing = state_ == dsEdit || state_ == dsInsert || state_ == dsSetKey;
    const int index = readIndex_ >= 0 ? readIndex_ : cursor_;
    if (editing && index == cursor_) {
        return static_cast<std::size_t>(column) < buffer_.size() ? buffer_[static_cast<std::size_t>(column)] : Variant::Null();
    }
    if (index < 0 || index >= CursorCount()) return Variant::Null();
    const int rowId = visible_[static_cast<std::size_t>(index)];
    if (rowId == kPendingRow) return Variant::Null();
    return StoreValue(rowId, column);
}

void TDataSet::CheckEditing(const TField& field) const
{
    if (state_ != dsEdit && state_ != dsInsert && state_ != dsSetKey) DatabaseError(db_messages::SNotEditing, this);
    if (state_ != dsSetKey && !field.CanModify()) DatabaseError(Format(db_messages::SFieldReadOnly, field.DisplayName()), this);
    if (field.FieldNo() <= 0) DatabaseError(Format(db_messages::SFieldReadOnly, field.DisplayName()), this);
}

void TDataSet::WriteFieldValue(TField& field, const Variant& value)
{
    CheckEditing(field);
    const auto column = static_cast<std::size_t>(field.FieldNo() - 1);
    if (column >= buffer_.size()) buffer_.resize(column + 1, Variant::Null());
    const Variant old = buffer_[column];
    buffer_[column] = value;
    {
        quelvo::sys::ScopeGuard restoreOnFailure([&] { buffer_[column] = old; });
        field.OnValidate(&field);
        restoreOnFailure.Dismiss();
    }
    modified_ = true;
    if (state_ == dsSetKey) return;
    field.Change();
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(&field));
}

// ---- navigation ----------------------------------------------------------------------------

void TDataSet::MoveCursorTo(int index)
{
    BeforeScroll(this);
    cursor_ = index;
    bof_ = eof_ = false;
    DataEvent(deDataSetChange, 0);
    AfterScroll(this);
}

void TDataSet::First()
{
    CheckBrowseMode();
    BeforeScroll(this);
    cursor_ = 0;
    bof_ = true;
    eof_ = visible_.empty();
    DataEvent(deDataSetChange, 0);
    AfterScroll(this);
}

void TDataSet::Last()
{
    CheckBrowseMode();
    BeforeScroll(this);
    cursor_ = std::max(0, CursorCount() - 1);
    eof_ = true;
    bof_ = visible_.empty();
    DataEvent(deDataSetChange, 0);
    AfterScroll(this);
}

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    BeforeScroll(this);
    const int count = CursorCount();
    bof_ = eof_ = false;
    long long target = static_cast<long long>(cursor_) + distance;
    if (target >= count) {
        target = count - 1;
        eof_ = true;
    }
    if (target < 0) {
        target = 0;
        bof_ = true;
    }
    if (count == 0) bof_ = eof_ = true;
    const int moved = static_cast<int>(target) - cursor_;
    cursor_ = static_cast<int>(target);
    DataEvent(deDataSetScroll, moved);
    AfterScroll(this);
    return moved;
}

bool TDataSet::IsEmpty() const { return !Active() || (RecordCount() == 0 && state_ != dsInsert); }

int TDataSet::RecordCount() const
{
    if (!Active()) return 0;
    return static_cast<int>(std::count_if(visible_.begin(), visible_.end(), [](int id) { return id != kPendingRow; }));
}

int TDataSet::RecNo() const
{
    if (!Active() || state_ == dsInsert || visible_.empty()) return -1;
    return cursor_ + 1;
}

void TDataSet::SetRecNo(int value)
{
    CheckBrowseMode();
    const int count = RecordCount();
    if (count == 0) return;
    value = std::clamp(value, 1, count);
    if (value != RecNo()) MoveCursorTo(value - 1);
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    Rebuild(CurrentRowId());
    DataEvent(deDataSetChange, 0);
}

bool TDataSet::Accepts(int rowId)
{
    if (!filtered_) return true;
    TempRow row(*this, rowId, dsFilter);
    bool accept = true;
    if (filterExpr_) accept = filterExpr_->Evaluate([this](int field) { return fields_[static_cast<std::size_t>(field)]->Value(); });
    if (accept && OnFilterRecord) OnFilterRecord(this, accept);
    return accept;
}

void TDataSet::Rebuild(int keepId)
{
    const int oldCursor = cursor_;
    std::vector<int> rows;
    const int count = StoreCount();
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int id = StoreRowId(i);
        if (Accepts(id)) rows.push_back(id);
    }
    visible_ = std::move(rows);
    readIndex_ = -1;
    const auto found = keepId == kNoRow ? visible_.end() : std::find(visible_.begin(), visible_.end(), keepId);
    if (found != visible_.end()) cursor_ = static_cast<int>(found - visible_.begin());
    else cursor_ = std::clamp(oldCursor, 0, std::max(0, CursorCount() - 1));
    bof_ = eof_ = visible_.empty();
}

// ---- editing ------------------------------------------------------------------------------

void TDataSet::CheckCanModify() const
{
    if (!CanModify()) DatabaseError(db_messages::SDataSetReadOnly, this);
}

void TDataSet::Edit()
{
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (RecordCount() == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    BeforeEdit(this);
    const int rowId = CurrentRowId();
    buffer_.assign(static_cast<std::size_t>(fieldDefs_.Count()), Variant::Null());
    for (int c = 0; c < fieldDefs_.Count(); ++c) buffer_[static_cast<std::size_t>(c)] = StoreValue(rowId, c);
    modified_ = false;
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    AfterEdit(this);
}

void TDataSet::BeginInsert(bool append)
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    BeforeInsert(this);
    BeforeScroll(this);
    buffer_.assign(static_cast<std::size_t>(fieldDefs_.Count()), Variant::Null());
    if (append) {
        visible_.push_back(kPendingRow);
        cursor_ = CursorCount() - 1;
    } else {
        cursor_ = std::clamp(cursor_, 0, CursorCount());
        visible_.insert(visible_.begin() + cursor_, kPendingRow);
    }
    readIndex_ = -1;
    bof_ = eof_ = false;
    SetState(dsInsert);
    {
        quelvo::sys::ScopeGuard withdrawOnFailure([this] {
            visible_.erase(visible_.begin() + cursor_);
            cursor_ = std::clamp(cursor_, 0, std::max(0, CursorCount() - 1));
            buffer_.clear();
            SetState(dsBrowse);
        });
        OnNewRecord(this);
        withdrawOnFailure.Dismiss();
    }
    modified_ = false;
    DataEvent(deDataSetChange, 0);
    AfterInsert(this);
    AfterScroll(this);
}

void TDataSet::Insert() { BeginInsert(false); }
void TDataSet::Append() { BeginInsert(true); }

void TDataSet::UpdateRecord()
{
    if (state_ != dsEdit && state_ != dsInsert && state_ != dsSetKey) DatabaseError(db_messages::SNotEditing, this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckRequiredFields()
{
    for (TField* field : fields_) {
        if (!field->Required() || field->FieldKind() != fkData || field->FieldNo() <= 0) continue;
        const auto column = static_cast<std::size_t>(field->FieldNo() - 1);
        if (column >= buffer_.size() || buffer_[column].IsNull()) {
            field->FocusControl();
            DatabaseError(Format(db_messages::SFieldRequired, field->DisplayName()), this);
        }
    }
}

void TDataSet::Post()
{
    CheckActive();
    UpdateRecord();
    if (state_ == dsSetKey) {
        SetState(dsBrowse);
        DataEvent(deDataSetChange, 0);
        return;
    }
    DataEvent(deCheckBrowseMode, 0);
    BeforePost(this);
    CheckRequiredFields();
    int keep = kNoRow;
    if (state_ == dsEdit) {
        keep = CurrentRowId();
        StoreUpdate(keep, buffer_);
    } else {
        const int next = cursor_ + 1 < CursorCount() ? visible_[static_cast<std::size_t>(cursor_ + 1)] : kNoRow;
        keep = StoreInsert(next, buffer_);
        visible_[static_cast<std::size_t>(cursor_)] = keep;
    }
    buffer_.clear();
    modified_ = false;
    SetState(dsBrowse);
    Rebuild(keep);
    DataEvent(deDataSetChange, 0);
    AfterPost(this);
}

void TDataSet::Cancel()
{
    if (state_ == dsSetKey) {
        buffer_.clear();
        modified_ = false;
        SetState(dsBrowse);
        DataEvent(deDataSetChange, 0);
        return;
    }
    if (state_ != dsEdit && state_ != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    BeforeCancel(this);
    const bool wasInsert = state_ == dsInsert;
    if (wasInsert) {
        visible_.erase(visible_.begin() + cursor_);
        cursor_ = std::clamp(cursor_, 0, std::max(0, CursorCount() - 1));
    }
    buffer_.clear();
    modified_ = false;
    SetState(dsBrowse);
    if (visible_.empty()) bof_ = eof_ = true;
    DataEvent(deDataSetChange, 0);
    AfterCancel(this);
    if (wasInsert) AfterScroll(this);
}

void TDataSet::Delete()
{
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (RecordCount() == 0) DatabaseError(db_messages::SDataSetEmpty, this);
    DataEvent(deCheckBrowseMode, 0);
    CheckCanModify();
    BeforeDelete(this);
    BeforeScroll(this);
    StoreDelete(CurrentRowId());
    buffer_.clear();
    modified_ = false;
    SetState(dsBrowse);
    Rebuild(kNoRow);
    DataEvent(deDataSetChange, 0);
    AfterDelete(this);
    AfterScroll(this);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (state_) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (modified_) Post();
        else Cancel();
        break;
    case dsSetKey:
        Post();
        break;
    default:
        break;
    }
}

void TDataSet::SetKey()
{
    CheckBrowseMode();
    buffer_.assign(static_cast<std::size_t>(fieldDefs_.Count()), Variant::Null());
    modified_ = false;
    SetState(dsSetKey);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::AddRecord(const std::vector<Variant>& values, bool append)
{
    BeginInsert(append);
    quelvo::sys::ScopeGuard cancelOnFailure([this] { Cancel(); });
    for (std::size_t i = 0; i < values.size() && i < fields_.size(); ++i)
        if (!values[i].IsEmpty() && fields_[i]->FieldKind() == fkData) fields_[i]->SetValue(values[i]);
    Post();
    cancelOnFailure.Dismiss();
}

// ---- bookmarks --------------------------------------------------------------------------------

TBookmark TDataSet::GetBookmark() const
{
    if (!Active()) return {};
    // A link reading another row of its window sees that row's bookmark.
    if (readIndex_ >= 0)
        return readIndex_ < CursorCount() ? std::to_string(visible_[static_cast<std::size_t>(readIndex_)]) : TBookmark();
    const int rowId = CurrentRowId();
    if (rowId == kNoRow || rowId == kPendingRow) return {};
    return std::to_string(rowId);
}

int TDataSet::BookmarkRow(const TBookmark& bookmark) const
{
    int id = 0;
    if (bookmark.empty() || !TryStrToInt(bookmark, id) || id <= 0) return kNoRow;
    return id;
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    const int id = BookmarkRow(bookmark);
    return Active() && id != kNoRow && std::find(visible_.begin(), visible_.end(), id) != visible_.end();
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckBrowseMode();
    const int id = BookmarkRow(bookmark);
    const auto found = id == kNoRow ? visible_.end() : std::find(visible_.begin(), visible_.end(), id);
    if (found == visible_.end()) DatabaseError(db_messages::SInvalidBookmark, this);
    MoveCursorTo(static_cast<int>(found - visible_.begin()));
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    const int ia = BookmarkRow(a);
    const int ib = BookmarkRow(b);
    if (ia == kNoRow || ib == kNoRow) return ia == ib ? 0 : (ia == kNoRow ? -1 : 1);
    const int pa = StoreIndexOf(ia);
    const int pb = StoreIndexOf(ib);
    const int ka = pa < 0 || pb < 0 ? ia : pa;
    const int kb = pa < 0 || pb < 0 ? ib : pb;
    return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

// ---- searching -----------------------------------------------------------------------------------

namespace {

bool KeyMatches(const TField& field, const Variant& value, const Variant& key, TLocateOptions options)
{
    if (key.IsNull() || key.IsEmpty()) return value.IsNull();
    if (value.IsNull()) return false;
    if (VarIsStr(value)) {
        std::string text = value.AsString();
        std::string wanted = VarToStr(key);
        if (options.Contains(loCaseInsensitive)) {
            text = AnsiUpperCase(text);
            wanted = AnsiUpperCase(wanted);
        }
        if (options.Contains(loPartialKey)) return text.compare(0, wanted.size(), wanted) == 0;
        return text == wanted;
    }
    (void)field;
    try {
        return VarCompareValue(value, key) == vrEqual;
    } catch (const EVariantError&) {
        return false;
    }
}

}  // namespace

int TDataSet::FindRow(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    const std::vector<TField*> fields = GetFieldList(keyFields);
    if (fields.empty()) return -1;
    std::vector<Variant> keys;
    if (keyValues.IsArray()) {
        for (int i = keyValues.ArrayLowBound(); i <= keyValues.ArrayHighBound(); ++i) keys.push_back(keyValues[i]);
    } else {
        keys.push_back(keyValues);
    }
    if (keys.size() != fields.size()) return -1;
    for (std::size_t index = 0; index < visible_.size(); ++index) {
        const int rowId = visible_[index];
        if (rowId == kPendingRow) continue;
        TempRow row(*this, rowId, state_);
        bool all = true;
        for (std::size_t f = 0; f < fields.size() && all; ++f) all = KeyMatches(*fields[f], fields[f]->Value(), keys[f], options);
        if (all) return static_cast<int>(index);
    }
    return -1;
}

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    CheckBrowseMode();
    const int index = FindRow(keyFields, keyValues, options);
    if (index < 0) return false;
    MoveCursorTo(index);
    return true;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields)
{
    if (!Active()) return Variant::Null();
    const int index = FindRow(keyFields, keyValues, {});
    if (index < 0) return Variant::Null();
    TempRow row(*this, visible_[static_cast<std::size_t>(index)], state_);
    return FieldValues(resultFields);
}

// ---- controls and notifications ------------------------------------------------------------------

void TDataSet::DisableControls()
{
    if (disableCount_++ == 0) {
        disableState_ = state_;
        heldBack_ = false;
    }
}

void TDataSet::EnableControls()
{
    if (disableCount_ == 0 || --disableCount_ > 0) return;
    if (disableState_ != state_) DataEvent(deUpdateState, 0);
    if (heldBack_ && state_ != dsInactive) DataEvent(deDataSetChange, 0);
    heldBack_ = false;
}

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info)
{
    // Requests to write pending values still reach the links: holding them
    // back would lose what the user typed.
    const bool passes = event == deUpdateRecord || event == deCheckBrowseMode || event == deFocusControl;
    if (disableCount_ > 0 && !passes) {
        heldBack_ = true;
        return;
    }
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources)
        if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end()) source->DataEvent(event, info);
}

void TDataSet::AddDataSource(TDataSource* source)
{
    if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end()) dataSources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) { std::erase(dataSources_, source); }

// ---- filtering ---------------------------------------------------------------------------------------

std::unique_ptr<FilterExpression> TDataSet::PrepareFilter(const std::string& text, TFilterOptions options) const
{
    FilterExpression::Options o;
    o.CaseInsensitive = options.Contains(foCaseInsensitive);
    o.PartialCompare = !options.Contains(foNoPartialCompare);
    return FilterExpression::Parse(
        text, o,
        [this](const std::string& name) {
            const TField* field = FindField(name);
            return field ? field->Index() : -1;
        },
        [this](int index) { return fields_[static_cast<std::size_t>(index)]->DataType(); });
}

void TDataSet::SetFilterState(const std::string& text, bool filtered, TFilterOptions options)
{
    if (!Active()) {
        filter_ = text;
        filtered_ = filtered;
        filterOptions_ = options;
        return;
    }
    // Read the new text before anything changes, so a bad one leaves the
    // previous filter in force.
    std::unique_ptr<FilterExpression> expr = filtered ? PrepareFilter(text, options) : nullptr;
    CheckBrowseMode();
    filter_ = text;
    filtered_ = filtered;
    filterOptions_ = options;
    filterExpr_ = std::move(expr);
    Rebuild(kNoRow);
    cursor_ = 0;
    bof_ = true;
    eof_ = visible_.empty();
    DataEvent(deDataSetChange, 0);
}

void TDataSet::SetFilter(const std::string& text)
{
    if (text == filter_) return;
    if (filtered_) SetFilterState(text, true, filterOptions_);
    else filter_ = text;
}

void TDataSet::SetFiltered(bool value)
{
    if (value == filtered_) return;
    SetFilterState(filter_, value, filterOptions_);
}

void TDataSet::SetFilterOptions(TFilterOptions options)
{
    if (options == filterOptions_) return;
    if (filtered_) SetFilterState(filter_, true, options);
    else filterOptions_ = options;
}

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& handler)
{
    OnFilterRecord = handler;
    if (filtered_ && Active()) SetFilterState(filter_, true, filterOptions_);
}

TField* GetFieldProperty(TDataSet* dataSet, const TComponent* control, const std::string& fieldName)
{
    TField* field = dataSet ? dataSet->FindField(fieldName) : nullptr;
    if (!field) DatabaseError(Format(db_messages::SFieldNotFound, fieldName), control);
    return field;
}

}  // namespace hostlib

#include "platform/hostlib/data/datalink.h"

#include <algorithm>
#include <climits>

#include "platform/system/scope_guard.h"

namespace hostlib {

// ---- TDataSource ------------------------------------------------------------------------

TClass TDataSource::StaticClass()
{
    return DefineClass<TDataSource, TComponent>("TDataSource", [](ClassBuilder<TDataSource>& b) {
        b.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
        b.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
        b.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
        b.EventProperty("OnStateChange", &TDataSource::OnStateChange);
        b.EventProperty("OnDataChange", &TDataSource::OnDataChange);
        b.EventProperty("OnUpdateData", &TDataSource::OnUpdateData);
    });
}

namespace {

// The data sets a data set follows, through their master data sources; a
// bounded walk so that a cycle cannot hang it.
template <class F>
bool AnyMaster(const TDataSet* start, F&& test)
{
    int guard = 0;
    for (const TDataSet* d = start; d && guard < 1000; ++guard) {
        if (test(d)) return true;
        const TDataSource* source = d->DataSource();
        d = source ? source->DataSet() : nullptr;
    }
    return false;
}

}  // namespace

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_) return;
    if (AnyMaster(dataSet, [this](const TDataSet* d) { return d->DataSource() == this; }))
        DatabaseError(db_messages::SCircularDataLink, this);
    if (dataSet_) {
        dataSet_->RemoveDataSource(this);
        dataSet_->RemoveFreeNotification(this);
    }
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->AddDataSource(this);
        dataSet_->FreeNotification(this);
    }
    DataEvent(deUpdateState, 0);
}

bool TDataSource::IsLinkedTo(const TDataSet* dataSet) const
{
    return dataSet && AnyMaster(dataSet_, [dataSet](const TDataSet* d) { return d == dataSet; });
}

void TDataSource::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSource::State() const { return dataSet_ && enabled_ ? dataSet_->State() : dsInactive; }

void TDataSource::Edit()
{
    if (autoEdit_ && State() == dsBrowse) dataSet_->Edit();
}

void TDataSource::AddLink(TDataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) { std::erase(links_, link); }

void TDataSource::NotifyLinks(TDataEvent event, std::intptr_t info)
{
    // A link may leave (or others join) while it handles an event.
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->DataEvent(event, info);
}

void TDataSource::DataEvent(TDataEvent event, std::intptr_t info)
{
    if (event == deUpdateState) {
        const TDataSetState state = State();
        NotifyLinks(event, info);
        if (state != lastState_) {
            lastState_ = state;
            OnStateChange(this);
        }
        return;
    }
    if (!enabled_) return;
    NotifyLinks(event, info);
    switch (event) {
    case deFieldChange:
        OnDataChange(this, reinterpret_cast<TField*>(info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == dataSet_) SetDataSet(nullptr);
}

void TDataSource::Destroy()
{
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) link->SetDataSource(nullptr);
    SetDataSet(nullptr);
    TComponent::Destroy();
}

// ---- TDataLink ----------------------------------------------------------------------------

TClass TDataLink::StaticClass() { return DefineClass<TDataLink, TPersistent>("TDataLink"); }

TDataLink::~TDataLink()
{
    // Freed without its destruction chain: leave quietly.
    if (dataSource_) dataSource_->RemoveLink(this);
}

void TDataLink::Destroy()
{
    SetDataSource(nullptr);
    TPersistent::Destroy();
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == dataSource_) return;
    if (dataSource_) {
        TDataSet* old = DataSet();
        if (old && old->ReadIndex() >= 0) old->SetReadIndex(-1);
        dataSource_->RemoveLink(this);
    }
    dataSource_ = source;
    if (dataSource_) dataSource_->AddLink(this);
    UpdateState();
}

void TDataLink::UpdateState()
{
    const bool active = dataSource_ && dataSource_->State() != dsInactive;
    if (active != active_) {
        active_ = active;
        if (active_) ResetWindow();
        ActiveChanged();
    }
    const TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
    const bool editing = active_ && !readOnly_ && (state == dsEdit || state == dsInsert || state == dsSetKey);
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

void TDataLink::SetReadOnly(bool value)
{
    if (value == readOnly_) return;
    readOnly_ = value;
    UpdateState();
}

void TDataLink::SetBufferCount(int value)
{
    bufferCount_ = std::max(1, value);
    if (active_) PlaceWindow();
}

int TDataLink::RecordCount() const
{
    if (!active_) return 0;
    return std::clamp(DataSet()->CursorCount() - first_, 0, bufferCount_);
}

int TDataLink::ActiveRecord() const
{
    if (!active_) return 0;
    const TDataSet* ds = DataSet();
    return (ds->ReadIndex() >= 0 ? ds->ReadIndex() : ds->CursorIndex()) - first_;
}

void TDataLink::SetActiveRecord(int value)
{
    if (!active_) return;
    TDataSet* ds = DataSet();
    if (value < 0 || value >= RecordCount()) {
        // Outside the window: reads see no record.
        ds->SetReadIndex(INT_MAX);
        return;
    }
    const int index = first_ + value;
    ds->SetReadIndex(index == ds->CursorIndex() ? -1 : index);
}

bool TDataLink::Bof() const { return active_ && DataSet()->Bof(); }
bool TDataLink::Eof() const { return active_ && DataSet()->Eof(); }
int TDataLink::MoveBy(int distance) { return active_ ? DataSet()->MoveBy(distance) : 0; }

bool TDataLink::Edit()
{
    if (!readOnly_ && dataSource_) dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord()
{
    if (updating_) return;
    updating_ = true;
    quelvo::sys::ScopeGuard done([this] { updating_ = false; });
    UpdateData();
}

void TDataLink::ResetWindow()
{
    first_ = 0;
    PlaceWindow();
}

int TDataLink::PlaceWindow()
{
    const TDataSet* ds = DataSet();
    if (!ds) return 0;
    const int old = first_;
    const int cursor = ds->CursorIndex();
    const int maxFirst = std::max(0, ds->CursorCount() - bufferCount_);
    first_ = std::min(first_, maxFirst);
    if (cursor < first_) first_ = cursor;
    else if (cursor >= first_ + bufferCount_) first_ = cursor - bufferCount_ + 1;
    first_ = std::max(0, first_);
    return first_ - old;
}

void TDataLink::DataEvent(TDataEvent event, std::intptr_t info)
{
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!active_) return;
    switch (event) {
    case deFieldChange:
        if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deRecordChange:
        RecordChanged(nullptr);
        break;
    case deDataSetChange:
        PlaceWindow();
        DataSetChanged();
        break;
    case deDataSetScroll:
        DataSetScrolled(PlaceWindow());
        break;
    case deLayoutChange:
        PlaceWindow();
        LayoutChanged();
        break;
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        if (info) FocusControl(*reinterpret_cast<TField**>(info));
        break;
    default:
        break;
    }
}

}  // namespace hostlib

#include "components/data/cxDataSearch.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxDataUtils.h"

using hostlib::Variant;

namespace {

// Runs its closing step when the scope ends, also on an exception.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { f_(); }

private:
    F f_;
};

TcxCustomDataField* FieldOfDef(TcxValueDef* valueDef)
{
    if (!valueDef) return nullptr;
    return dynamic_cast<TcxCustomDataField*>(valueDef->GetLinkObject());
}

} // namespace

hostlib::TClass TcxDataControllerSearch::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerSearch, hostlib::TObject>("TcxDataControllerSearch");
}
hostlib::TClass TcxDataControllerLocateObject::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerLocateObject, hostlib::TObject>("TcxDataControllerLocateObject");
}
hostlib::TClass TcxDataControllerKeyLocateObject::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject>(
        "TcxDataControllerKeyLocateObject");
}
hostlib::TClass TcxDataControllerGroupLocateObject::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject>(
        "TcxDataControllerGroupLocateObject");
}
hostlib::TClass TcxValueDefUnboundReader::StaticClass()
{
    return hostlib::DefineClass<TcxValueDefUnboundReader, TcxValueDefReader>("TcxValueDefUnboundReader");
}
hostlib::TClass TcxValueDefRecordReader::StaticClass()
{
    return hostlib::DefineClass<TcxValueDefRecordReader, TcxValueDefReader>("TcxValueDefRecordReader");
}

// ---- TcxDataControllerSearch -------------------------------------------------

int TcxDataControllerSearch::GetItemIndex() const
{
    TcxCustomDataField* field = controller_->SearchField();
    return field ? controller_->GetItemIndexByField(field) : -1;
}

void TcxDataControllerSearch::SetItemIndex(int itemIndex)
{
    controller_->SetSearchField(controller_->GetField(itemIndex));
}

bool TcxDataControllerSearch::GetSearching() const
{
    return controller_->Searching();
}

std::string TcxDataControllerSearch::GetSearchText() const
{
    return controller_->SearchText();
}

bool TcxDataControllerSearch::Locate(int itemIndex, const std::string& text)
{
    if (text.empty() || controller_->GetFilteredRecordCount() == 0) return false;
    SetItemIndex(itemIndex);
    bool found = false;
    if (controller_->IsGridMode()) {
        found = controller_->DoSearchInGridMode(text, true, false);
    } else {
        const int focused = controller_->GetFocusedRecordIndex();
        const int start = focused == -1 ? 0 : std::max(controller_->GetFilteredIndexByRecordIndex(focused), 0);
        int position = DoSearch(start, -1, true, text);
        if (position == -1) position = DoSearch(0, start - 1, true, text);
        if (position != -1) DoFocusedRecord(position);
        found = position != -1;
    }
    if (!found) return false;
    controller_->SetSearchState(true, text);
    controller_->Change({dccSearch});
    controller_->CheckFocusedSelected();
    return true;
}

bool TcxDataControllerSearch::LocateNext(bool forward)
{
    const std::string text = controller_->SearchText();
    if (!controller_->Searching() || text.empty() || !controller_->SearchField() || controller_->GetFilteredRecordCount() == 0)
        return false;
    if (controller_->IsGridMode()) {
        if (!controller_->DoSearchInGridMode(text, forward, true)) return false;
    } else {
        const int focused = controller_->GetFocusedRecordIndex();
        const int current = focused == -1 ? -1 : controller_->GetFilteredIndexByRecordIndex(focused);
        if (current == -1) return false;
        const int position = forward ? DoSearch(current + 1, -1, true, text) : DoSearch(current - 1, 0, false, text);
        if (position == -1) return false;
        DoFocusedRecord(position);
    }
    controller_->CheckFocusedSelected();
    return true;
}

void TcxDataControllerSearch::Cancel()
{
    if (locked_ || !controller_->Searching()) return;
    controller_->SetSearchState(false, std::string());
    controller_->Change({dccSearch});
}

bool TcxDataControllerSearch::Found(int position, const std::string& text)
{
    const int record = controller_->GetFilteredRecordIndex(position);
    const int item = GetItemIndex();
    return DataCompareText(controller_->GetIncrementalSearchText(record, item), text, true);
}

int TcxDataControllerSearch::DoSearch(int from, int to, bool forward, const std::string& text)
{
    const int last = controller_->GetFilteredRecordCount() - 1;
    if (to == -1) to = forward ? last : 0;
    from = std::clamp(from, -1, last + 1);
    to = std::clamp(to, 0, last);
    if (forward) {
        for (int p = std::max(from, 0); p <= to; ++p)
            if (Found(p, text)) return p;
    } else {
        for (int p = std::min(from, last); p >= to; --p)
            if (Found(p, text)) return p;
    }
    return -1;
}

void TcxDataControllerSearch::DoFocusedRecord(int position)
{
    Lock();
    const ScopeExit unlock([this] { Unlock(); });
    controller_->ChangeFocusedRecordIndex(controller_->GetFilteredRecordIndex(position));
    controller_->SyncSelectionFocusedRecord();
}

// ---- locate objects ----------------------------------------------------------

void TcxDataControllerLocateObject::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
}

void TcxDataControllerLocateObject::Destroy()
{
    Clear();
    TObject::Destroy();
}

void TcxDataControllerLocateObject::Clear()
{
    if (recordIndex_ == 0) return;
    controller_->DataStorage().DeleteInternalRecord(recordIndex_);
    recordIndex_ = 0;
}

void TcxDataControllerLocateObject::ReadData(TcxValueDefReader& reader)
{
    if (recordIndex_ == 0) recordIndex_ = controller_->DataStorage().AddInternalRecord();
    controller_->DataStorage().ReadRecord(recordIndex_, reader, false);
}

int TcxDataControllerKeyLocateObject::FindRecordIndex()
{
    if (RecordIndex() == 0) return -1;
    return DataController()->FindRecordByFields(RecordIndex(), fields_);
}

void TcxDataControllerGroupLocateObject::Construct(TcxCustomDataController* controller)
{
    TcxDataControllerLocateObject::Construct(controller);
    TcxGroupingFieldList& grouping = controller->DataControllerInfo().GroupingFieldList();
    for (int i = 0; i < grouping.Count(); ++i) {
        TcxCustomDataField* field = grouping.Items(i).Field;
        groupingFields_.push_back(field);
        if (controller->IsSortByDisplayTextNeeded(field)) binarySearch_ = false;
    }
    TakeFindFields();
}

void TcxDataControllerGroupLocateObject::TakeFindFields()
{
    findFields_.clear();
    if (binarySearch_) return;
    const int count = std::min(level_ + 1, static_cast<int>(groupingFields_.size()));
    findFields_.assign(groupingFields_.begin(), groupingFields_.begin() + std::max(count, 0));
}

void TcxDataControllerGroupLocateObject::SetLevel(int level)
{
    if (level_ == level) return;
    level_ = level;
    TakeFindFields();
}

int TcxDataControllerGroupLocateObject::FindRecordIndex()
{
    if (RecordIndex() == 0) return -1;
    TcxCustomDataController* controller = DataController();
    if (binarySearch_) return controller->FindGroupRecord(RecordIndex(), level_ + 1);
    // Fields are compared by value here, not by their display texts.
    controller->SetInternalFind(true);
    const ScopeExit done([controller] { controller->SetInternalFind(false); });
    return controller->FindRecordByFields(RecordIndex(), findFields_);
}

// ---- value-definition readers ------------------------------------------------

Variant TcxValueDefUnboundReader::GetValue(TcxValueDef* valueDef)
{
    if (auto* internal = dynamic_cast<TcxInternalValueDef*>(valueDef)) valueDef = internal->GetValueDef();
    const auto it = std::find(valueDefs_.begin(), valueDefs_.end(), valueDef);
    const auto index = static_cast<std::size_t>(it - valueDefs_.begin());
    if (it == valueDefs_.end() || index >= values_.size()) return Variant::Null();
    return values_[index];
}

bool TcxValueDefUnboundReader::IsInternal(TcxValueDef* valueDef)
{
    TcxCustomDataField* field = FieldOfDef(valueDef);
    return field && field->IsValueDefInternal();
}

void TcxValueDefUnboundReader::SetValue(TcxValueDef* valueDef, const Variant& value)
{
    auto it = std::find(valueDefs_.begin(), valueDefs_.end(), valueDef);
    if (it == valueDefs_.end()) it = valueDefs_.insert(valueDefs_.end(), valueDef);
    const auto index = static_cast<std::size_t>(it - valueDefs_.begin());
    if (values_.size() <= index) values_.resize(index + 1, Variant::Null());
    values_[index] = value;
}

void TcxValueDefUnboundReader::Truncate(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < values_.size()) values_.resize(static_cast<std::size_t>(index));
}

TcxCustomDataField* TcxValueDefRecordReader::FieldOf(TcxValueDef* valueDef) const
{
    return FieldOfDef(valueDef);
}

Variant TcxValueDefRecordReader::GetValue(TcxValueDef* valueDef)
{
    TcxCustomDataField* field = FieldOf(valueDef);
    return field ? controller_->GetInternalValue(recordIndex_, field) : Variant::Null();
}

std::string TcxValueDefRecordReader::GetDisplayText(TcxValueDef* valueDef)
{
    TcxCustomDataField* field = FieldOf(valueDef);
    if (!field || IsInternal(valueDef)) return std::string();
    return controller_->GetInternalDisplayText(recordIndex_, field);
}

bool TcxValueDefRecordReader::IsInternal(TcxValueDef* valueDef)
{
    TcxCustomDataField* field = FieldOf(valueDef);
    return field && field->IsValueDefInternal();
}

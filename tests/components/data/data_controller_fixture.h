#pragma once
// A data controller whose items are plain objects it owns, and which
// records every notice it is handed as a short text:
//   "data <kind> <item> <record>", "layout", "record <r>",
//   "row <prev>><new>", "focus <prevRec>><rec> <prevRow>><row>",
//   "selection [r1 r2]", "bookmark", "search".

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "components/data/cxData.h"
#include "platform/hostlib/core/object.h"

class TestDataController : public TcxDataController {
public:
    hostlib::TObject* GetItem(int index) const override { return items_.at(static_cast<std::size_t>(index)).get(); }

    // Adds an item with a field of the value type; returns its item index.
    int AddColumn(TcxValueTypeClass valueType)
    {
        items_.push_back(std::make_unique<hostlib::TObject>());
        AddItem(items_.back().get());
        const int index = GetItemCount() - 1;
        ChangeValueTypeClass(index, valueType);
        return index;
    }

    // Reorders the control's items the way a column move does; the fields
    // follow on UpdateItemIndexes.
    void SwapItems(int a, int b) { std::swap(items_.at(static_cast<std::size_t>(a)), items_.at(static_cast<std::size_t>(b))); }

    void UpdateControl(TcxUpdateControlInfo* info) override
    {
        notices.push_back(Describe(info));
        TcxDataController::UpdateControl(info);
    }

    // As a control does: each item follows the controller's option.
    bool GetItemSortByDisplayText(int, bool defaultValue) const override { return defaultValue; }

    bool CanFocusRecord(int recordIndex) override
    {
        if (refusedRecords.count(recordIndex)) return false;
        return TcxDataController::CanFocusRecord(recordIndex);
    }

    static std::string Describe(TcxUpdateControlInfo* info)
    {
        static const char* const kinds[] = {"field", "record", "new", "deleted", "total"};
        if (auto* d = hostlib::As<TcxDataChangedInfo>(info))
            return "data " + std::string(kinds[d->Kind]) + " " + std::to_string(d->ItemIndex) + " " +
                   std::to_string(d->RecordIndex);
        if (hostlib::Is<TcxLayoutChangedInfo>(info)) return "layout";
        if (auto* u = hostlib::As<TcxUpdateRecordInfo>(info)) return "record " + std::to_string(u->RecordIndex);
        if (auto* r = hostlib::As<TcxFocusedRowChangedInfo>(info))
            return "row " + std::to_string(r->PrevFocusedRowIndex) + ">" + std::to_string(r->FocusedRowIndex);
        if (auto* f = hostlib::As<TcxFocusedRecordChangedInfo>(info))
            return "focus " + std::to_string(f->PrevFocusedRecordIndex) + ">" + std::to_string(f->FocusedRecordIndex) + " " +
                   std::to_string(f->PrevFocusedRowIndex) + ">" + std::to_string(f->FocusedRowIndex);
        if (auto* s = hostlib::As<TcxSelectionChangedInfo>(info)) {
            std::string text = "selection [";
            for (int i = 0; i < s->GetCount(); ++i) text += (i ? " " : "") + std::to_string(s->GetRowIndex(i));
            return text + "]";
        }
        if (hostlib::Is<TcxBookmarkChangedInfo>(info)) return "bookmark";
        if (hostlib::Is<TcxSearchChangedInfo>(info)) return "search";
        return "?";
    }

    // The notices of the given kind prefix ("data", "focus", ...).
    std::vector<std::string> NoticesOf(const std::string& prefix) const
    {
        std::vector<std::string> result;
        for (const std::string& n : notices)
            if (n.compare(0, prefix.size(), prefix) == 0) result.push_back(n);
        return result;
    }

    std::vector<std::string> notices;
    std::set<int> refusedRecords;

private:
    std::vector<std::unique_ptr<hostlib::TObject>> items_;
};

using TestDataControllerPtr = hostlib::ObjectPtr<TestDataController>;

inline TestDataControllerPtr MakeTestDataController()
{
    return hostlib::MakeObject<TestDataController>(static_cast<hostlib::TComponent*>(nullptr));
}

// The records in row order, read through one item.
inline std::vector<std::string> RowTexts(TcxCustomDataController& controller, int itemIndex)
{
    std::vector<std::string> result;
    for (int row = 0; row < controller.GetRowCount(); ++row) {
        const hostlib::Variant v = controller.GetValue(controller.GetRowInfo(row).RecordIndex, itemIndex);
        result.push_back(v.IsNull() ? std::string("<null>") : v.AsString());
    }
    return result;
}

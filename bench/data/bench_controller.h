#pragma once
// A data controller whose items are bare objects, one per column, for the
// benchmarks that load records into it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxData.h"

namespace quelvo_bench {

class BenchController : public TcxDataController {
public:
    hostlib::TObject* GetItem(int index) const override { return items_.at(static_cast<std::size_t>(index)).get(); }
    void AddColumn(TcxValueTypeClass type)
    {
        items_.push_back(std::make_unique<hostlib::TObject>());
        AddItem(items_.back().get());
        ChangeValueTypeClass(GetItemCount() - 1, type);
    }

private:
    std::vector<std::unique_ptr<hostlib::TObject>> items_;
};

// One record of the text, integer and float columns the benchmarks use.
struct PlainRecord {
    std::string Name;
    std::int32_t Number = 0;
    double Value = 0;
};

// A controller of those three columns holding count records made by
// recordOf; prepare runs inside the same update bracket, after loading.
template <class RecordOf, class Prepare>
hostlib::ObjectPtr<BenchController> LoadedController(int count, RecordOf recordOf, Prepare prepare)
{
    auto dc = hostlib::MakeObject<BenchController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxStringValueType::Class());
    dc->AddColumn(TcxIntegerValueType::Class());
    dc->AddColumn(TcxFloatValueType::Class());
    dc->BeginUpdate();
    dc->SetRecordCount(count);
    for (int r = 0; r < count; ++r) {
        const PlainRecord record = recordOf(r);
        dc->SetValue(r, 0, hostlib::Variant(record.Name));
        dc->SetValue(r, 1, hostlib::Variant(record.Number));
        dc->SetValue(r, 2, hostlib::Variant(record.Value));
    }
    prepare(*dc);
    dc->EndUpdate();
    return dc;
}

}  // namespace quelvo_bench

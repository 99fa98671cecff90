#pragma once
// A data controller whose items are bare objects, one per column, for the
// benchmarks that load records into it.

#include <memory>
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

}  // namespace quelvo_bench

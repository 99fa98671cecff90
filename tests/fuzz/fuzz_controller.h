#pragma once

// A data controller whose items are bare objects, known by their index as ID,
// for the fuzz targets that read controller data.

#include <cstddef>
#include <memory>
#include <vector>

#include "components/data/cxData.h"

class FuzzController : public TcxDataController {
public:
    hostlib::TObject* GetItem(int index) const override { return items_.at(static_cast<std::size_t>(index)).get(); }
    int GetItemID(hostlib::TObject* item) const override
    {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item) return static_cast<int>(i);
        return -1;
    }
    bool IsSmartLoad() const override { return smartLoad; }
    void AddColumn(TcxValueTypeClass type)
    {
        items_.push_back(std::make_unique<hostlib::TObject>());
        AddItem(items_.back().get());
        ChangeValueTypeClass(GetItemCount() - 1, type);
    }
    bool smartLoad = false;

private:
    std::vector<std::unique_ptr<hostlib::TObject>> items_;
};

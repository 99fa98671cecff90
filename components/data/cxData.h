#pragma once
// The plain data controller: keeps its records in its own storage and is
// active from the start. Concrete controllers supply their items through
// GetItem.

#include "components/data/cxCustomData.h"

class TcxDataController : public TcxCustomDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
};

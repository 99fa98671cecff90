#include "components/data/cxData.h"

hostlib::TClass TcxDataController::StaticClass()
{
    return hostlib::DefineClass<TcxDataController, TcxCustomDataController>("TcxDataController");
}

void TcxDataController::Construct(hostlib::TComponent* owner)
{
    TcxCustomDataController::Construct(owner);
    ActiveChanged(true);
}

#pragma once
// A master controller whose control makes, per master record and relation,
// a link object owning a clone detail controller with one Integer column.

#include <functional>
#include <string>

#include "tests/components/data/data_controller_fixture.h"

class DetailLink : public hostlib::TObject {
public:
    explicit DetailLink(int& destroyed) : destroyed_(destroyed) {}
    ~DetailLink() override { ++destroyed_; }

    TestDataControllerPtr Detail = MakeTestDataController();

private:
    int& destroyed_;
};

// The provider of a bound control that follows the data position.
class SyncProvider : public TcxCustomDataProvider {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<SyncProvider, TcxCustomDataProvider>("SyncProvider");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsSyncMode() const override { return true; }
};

class MasterController : public TestDataController {
public:
    hostlib::TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override
    {
        ++linksCreated;
        auto* link = hostlib::CreateObject<DetailLink>(linksDestroyed);
        link->Detail->AddColumn(TcxIntegerValueType::Class());
        link->Detail->SetMasterRelation(relation, recordIndex);
        if (onCreateLink) onCreateLink(recordIndex);
        return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(hostlib::TObject* link) override
    {
        auto* detail = hostlib::As<DetailLink>(link);
        return detail ? detail->Detail.get() : nullptr;
    }
    bool SyncDetailsFocusWithMaster() const override { return syncDetails; }
    bool CheckMasterBrowseMode() override { return !refuseBrowse; }
    hostlib::TClass GetDataProviderClass() const override
    {
        return syncProvider ? SyncProvider::StaticClass() : TestDataController::GetDataProviderClass();
    }

    int linksCreated = 0;
    int linksDestroyed = 0;
    bool syncDetails = false;
    bool refuseBrowse = false;
    // Read in the second construction phase, before the provider is made.
    static inline bool syncProvider = false;
    std::function<void(int)> onCreateLink;
};

using MasterControllerPtr = hostlib::ObjectPtr<MasterController>;

inline MasterControllerPtr MakeMasterController(int records)
{
    auto master = hostlib::MakeObject<MasterController>(static_cast<hostlib::TComponent*>(nullptr));
    master->AddColumn(TcxIntegerValueType::Class());
    master->SetRecordCount(records);
    for (int r = 0; r < records; ++r) master->SetValue(r, 0, hostlib::Variant(static_cast<std::int32_t>(r * 10)));
    return master;
}

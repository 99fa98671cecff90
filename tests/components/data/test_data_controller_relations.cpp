// Relations and master-detail: the internal detail field, detail objects
// and link objects, expanding, clones following their master record, the
// pattern flag and focusing details.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/components/data/detail_fixture.h"

namespace {

struct MasterDetail {
    TestDataControllerPtr pattern = MakeTestDataController();
    MasterControllerPtr master;
    hostlib::TObject item;
    TcxCustomDataRelation* relation = nullptr;

    explicit MasterDetail(int records) : master(MakeMasterController(records))
    {
        pattern->AddColumn(TcxIntegerValueType::Class());
        relation = master->Relations().Add(&item);
        pattern->SetMasterRelation(relation, -1);
    }
    TcxCustomDataController* Clone(int record) { return master->GetDetailDataController(record, 0); }
};

TEST(DataRelations, TheDetailFieldComesWithTheFirstRelationAndGoesWithTheLast)
{
    auto master = MakeMasterController(2);
    hostlib::TObject item1;
    hostlib::TObject item2;
    EXPECT_EQ(master->Fields().InternalCount(), 0);
    master->Relations().Add(&item1);
    master->Relations().Add(&item2);
    EXPECT_EQ(master->Fields().InternalCount(), 1);
    EXPECT_EQ(master->Relations().FindByItem(&item2)->GetIndex(), 1);
    master->Relations().RemoveByItem(&item1);
    EXPECT_EQ(master->Fields().InternalCount(), 1);
    EXPECT_EQ(master->Relations().GetItem(0)->Item(), &item2);
    master->Relations().RemoveByItem(&item2);
    EXPECT_EQ(master->Fields().InternalCount(), 0);
    EXPECT_EQ(master->GetValue(1, 0).AsInteger(), 10); // the records stay
}

TEST(DataRelations, RecordsHaveDetailsOnlyOnceARelationHasAPattern)
{
    auto master = MakeMasterController(3);
    hostlib::TObject item;
    TcxCustomDataRelation* relation = master->Relations().Add(&item);
    EXPECT_FALSE(master->ChangeDetailExpanding(1, true));
    EXPECT_EQ(master->GetDetailDataController(1, 0), nullptr);
    EXPECT_EQ(master->GetDetailActiveRelationIndex(1), -1);

    auto pattern = MakeTestDataController();
    pattern->SetMasterRelation(relation, -1);
    EXPECT_EQ(pattern->GetDetailMode(), dcdmPattern);
    EXPECT_EQ(relation->DetailDataController(), pattern.get());
    EXPECT_TRUE(master->ChangeDetailExpanding(1, true));
    EXPECT_TRUE(master->GetDetailExpanding(1));
    EXPECT_EQ(master->GetDetailActiveRelationIndex(1), 0);
    EXPECT_FALSE(master->ChangeDetailExpanding(1, true)); // unchanged

    // The pattern leaving takes the details with it.
    pattern->SetMasterRelation(nullptr, -1);
    EXPECT_EQ(relation->DetailDataController(), nullptr);
    EXPECT_FALSE(master->GetDetailExpanding(1));
}

TEST(DataRelations, ClonesFollowTheirMasterRecordAcrossInsertsAndDeletes)
{
    MasterDetail md(5);
    std::vector<TcxCustomDataController*> clones;
    for (int r = 0; r < 5; ++r) clones.push_back(md.Clone(r));
    EXPECT_EQ(clones[3]->GetDetailMode(), dcdmClone);
    EXPECT_EQ(clones[3]->GetMasterRecordIndex(), 3);
    EXPECT_EQ(clones[3]->GetMasterDataController(), md.master.get());
    EXPECT_EQ(clones[3]->GetPatternDataController(), md.pattern.get());
    EXPECT_EQ(md.master->linksCreated, 5);

    md.master->DeleteRecord(2);
    EXPECT_EQ(md.master->linksDestroyed, 1); // the deleted record's clone went with it
    EXPECT_EQ(clones[1]->GetMasterRecordIndex(), 1);
    EXPECT_EQ(clones[3]->GetMasterRecordIndex(), 2);
    EXPECT_EQ(clones[4]->GetMasterRecordIndex(), 3);
    EXPECT_EQ(md.Clone(2), clones[3]);

    md.master->InsertRecord(1);
    EXPECT_EQ(clones[0]->GetMasterRecordIndex(), 0);
    EXPECT_EQ(clones[1]->GetMasterRecordIndex(), 2);
    EXPECT_EQ(clones[3]->GetMasterRecordIndex(), 3);
    EXPECT_EQ(md.Clone(2), clones[1]);
}

TEST(DataRelations, ExpandingAsksTheHandlersAndARefusalChangesNothing)
{
    MasterDetail md(3);
    std::vector<std::string> events;
    bool allow = false;
    md.master->OnDetailExpanding = TcxDataDetailExpandingEvent::FromFunction([&](TcxCustomDataController*, int record, bool& a) {
        events.push_back("expanding " + std::to_string(record));
        a = allow;
    });
    md.master->OnDetailExpanded = TcxDataDetailExpandedEvent::FromFunction(
        [&](TcxCustomDataController*, int record) { events.push_back("expanded " + std::to_string(record)); });
    md.master->OnDetailCollapsed = TcxDataDetailExpandedEvent::FromFunction(
        [&](TcxCustomDataController*, int record) { events.push_back("collapsed " + std::to_string(record)); });
    md.master->notices.clear();

    EXPECT_FALSE(md.master->ChangeDetailExpanding(2, true));
    EXPECT_FALSE(md.master->GetDetailExpanding(2));
    EXPECT_TRUE(md.master->notices.empty());

    allow = true;
    EXPECT_TRUE(md.master->ChangeDetailExpanding(2, true));
    EXPECT_EQ(md.master->notices, (std::vector<std::string>{"layout"}));
    EXPECT_TRUE(md.master->ChangeDetailExpanding(2, false));
    EXPECT_EQ(events, (std::vector<std::string>{"expanding 2", "expanding 2", "expanded 2", "collapsed 2"}));
    EXPECT_FALSE(md.master->ChangeDetailExpanding(7, true)); // no such record
}

TEST(DataRelations, CollapseDetailsFreesEveryLinkAndCollapses)
{
    MasterDetail md(3);
    md.master->ChangeDetailExpanding(0, true);
    md.master->ChangeDetailExpanding(2, true);
    md.Clone(0);
    md.Clone(2);
    md.master->CollapseDetails();
    EXPECT_EQ(md.master->linksDestroyed, 2);
    EXPECT_FALSE(md.master->GetDetailExpanding(0));
    EXPECT_FALSE(md.master->GetDetailExpanding(2));
    EXPECT_FALSE(md.master->IsDetailDataControllerExist(0, 0));
}

TEST(DataRelations, ALinkMadeForDetailsThatWereReplacedMeanwhileIsDroppedAndMadeAgain)
{
    MasterDetail md(2);
    md.master->onCreateLink = [&](int record) {
        if (md.master->linksCreated != 1) return;
        // A handler resets the record's details while its link is made.
        md.master->SetStoredValue(record, md.master->Relations().DataField(), hostlib::Variant(0LL));
    };
    TcxCustomDataController* clone = md.Clone(1);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(md.master->linksCreated, 2);
    EXPECT_EQ(md.master->linksDestroyed, 1);
    EXPECT_EQ(md.Clone(1), clone);
}

TEST(DataRelations, AskingForTheLinkWhileItIsMadeGivesNone)
{
    MasterDetail md(2);
    TcxCustomDataController* inner = md.pattern.get();
    md.master->onCreateLink = [&](int record) { inner = md.master->GetDetailDataController(record, 0); };
    EXPECT_NE(md.Clone(0), nullptr);
    EXPECT_EQ(inner, nullptr);
    EXPECT_EQ(md.master->linksCreated, 1);
}

TEST(DataRelations, ThePatternFlagRefusesToSetWhileDataChangesAreCounted)
{
    MasterDetail md(3);
    TcxCustomDataController* clone = md.Clone(1);
    clone->AddDataChangeRefCount();
    EXPECT_EQ(clone->DataChangeRefCount(), 1);
    try {
        clone->SetIsPattern(true);
        FAIL() << "no exception";
    } catch (const hostlib::Exception& e) {
        EXPECT_EQ(std::string(e.what()), "!");
    }
    clone->RemoveDataChangeRefCount();

    // Without a master, the flag alone makes a pattern.
    auto plain = MakeTestDataController();
    EXPECT_EQ(plain->GetDetailMode(), dcdmNone);
    plain->SetIsPattern(true);
    EXPECT_EQ(plain->GetDetailMode(), dcdmPattern);
    plain->AddDataChangeRefCount();
    EXPECT_EQ(plain->GetDetailMode(), dcdmNone);
    plain->RemoveDataChangeRefCount();
    EXPECT_EQ(plain->GetDetailMode(), dcdmPattern);
}

TEST(DataRelations, ForEachDetailVisitsTheExistingDetailsOfARelation)
{
    MasterDetail md(4);
    md.Clone(1);
    md.Clone(3);
    std::vector<int> masters;
    md.master->ForEachDetail(md.relation, [&](TcxCustomDataController* detail) { masters.push_back(detail->GetMasterRecordIndex()); });
    EXPECT_EQ(masters, (std::vector<int>{1, 3}));
}

TEST(DataRelations, RemovingTheRelationDetachesItsClonesAndPattern)
{
    MasterDetail md(2);
    TcxCustomDataController* clone = md.Clone(0);
    ASSERT_EQ(clone->GetDetailMode(), dcdmClone);
    md.relation->Free();
    EXPECT_EQ(md.pattern->GetMasterRelation(), nullptr);
    EXPECT_EQ(md.pattern->GetDetailMode(), dcdmPattern); // it keeps being a pattern
    EXPECT_EQ(md.master->Fields().InternalCount(), 0);
}

TEST(DataRelations, WithSyncDetailsAFocusedMasterRecordFocusesItsDetail)
{
    MasterController::syncProvider = true;
    MasterDetail md(3);
    MasterController::syncProvider = false;
    md.master->syncDetails = true;
    TcxCustomDataController* clone = md.Clone(1);
    clone->SetRecordCount(2);
    ASSERT_EQ(clone->GetFocusedRowIndex(), -1);
    md.master->ChangeFocusedRecordIndex(1);
    EXPECT_EQ(clone->GetFocusedRowIndex(), 0);

    // A master that cannot leave its edit keeps its focus.
    md.master->refuseBrowse = true;
    EXPECT_FALSE(md.master->ChangeFocusedRowIndex(2));
    EXPECT_EQ(md.master->GetFocusedRowIndex(), 1);
}

// The master's keys come from its first column; a reload replaces every
// record.
class KeyedMaster : public MasterController {
public:
    bool IsKeyNavigation() const override { return true; }
    void GetKeyFields(std::vector<TcxCustomDataField*>& list) const override { list.push_back(GetField(0)); }
};

TEST(DataRelations, ExpandedDetailsAreKeptByKeyAcrossAReload)
{
    auto master = hostlib::MakeObject<KeyedMaster>(static_cast<hostlib::TComponent*>(nullptr));
    master->AddColumn(TcxIntegerValueType::Class());
    master->SetRecordCount(3);
    for (int r = 0; r < 3; ++r) master->SetValue(r, 0, hostlib::Variant(static_cast<std::int32_t>(r * 10)));
    hostlib::TObject item;
    auto pattern = MakeTestDataController();
    pattern->SetMasterRelation(master->Relations().Add(&item), -1);
    master->ChangeDetailExpanding(2, true);

    master->SaveKeys();
    master->SetRecordCount(0);
    master->SetRecordCount(3);
    for (int r = 0; r < 3; ++r) master->SetValue(r, 0, hostlib::Variant(static_cast<std::int32_t>(20 - r * 10)));
    EXPECT_FALSE(master->GetDetailExpanding(0));
    master->RestoreKeys();
    EXPECT_TRUE(master->GetDetailExpanding(0)); // key 20 moved to record 0
    EXPECT_FALSE(master->GetDetailExpanding(2));
}

} // namespace

TEST(DataRelations, ACopiedRecordTakesTheValuesButNotTheDetailsOfItsSource)
{
    MasterDetail md(3);
    TcxCustomDataController* clone = md.Clone(1);
    ASSERT_NE(clone, nullptr);
    ASSERT_TRUE(md.master->ChangeDetailExpanding(1, true));
    md.master->CopyRecord(1, 2);
    EXPECT_EQ(md.master->GetValue(2, 0), md.master->GetValue(1, 0));
    EXPECT_FALSE(md.master->GetDetailExpanding(2));
    // Dropping the copy leaves the source's details alone.
    md.master->DeleteRecord(2);
    EXPECT_TRUE(md.master->GetDetailExpanding(1));
    EXPECT_EQ(md.Clone(1), clone);
}

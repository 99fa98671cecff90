// Provider mode: a custom data source holds the records and the controller
// keeps their handles; values, edits, sorting, keys, streams and smart load
// go through the source.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "platform/hostlib/core/streams.h"
#include "tests/components/data/detail_fixture.h"

namespace {

using hostlib::Variant;

// Records (name, value) whose handles lie above 2^32; a record's ID is
// its own number, which survives reordering.
class ListSource : public TcxCustomDataSource {
public:
    static constexpr TcxDataRecordHandle kBase = TcxDataRecordHandle{1} << 40;
    struct Row {
        int id = 0;
        std::string name;
        std::int32_t value = 0;
    };

    void Add(const std::string& name, std::int32_t value) { rows.push_back({nextId++, name, value}); }
    Row* Find(TcxDataRecordHandle handle)
    {
        const auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return kBase + r.id == handle; });
        return it == rows.end() ? nullptr : &*it;
    }

    TcxDataRecordHandle AppendRecord() override
    {
        Add("", 0);
        if (reportChanges) DataChanged();
        return kBase + rows.back().id;
    }
    void DeleteRecord(TcxDataRecordHandle handle) override
    {
        deleted.push_back(handle);
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Row& r) { return kBase + r.id == handle; }), rows.end());
        if (reportChanges) DataChanged();
    }
    int GetRecordCount() override { return static_cast<int>(rows.size()); }
    TcxDataRecordHandle GetRecordHandle(int index) override { return kBase + rows.at(static_cast<std::size_t>(index)).id; }
    Variant GetRecordId(TcxDataRecordHandle handle) override
    {
        const Row* row = Find(handle);
        return row ? Variant(static_cast<std::int32_t>(row->id)) : Variant::Null();
    }
    Variant GetValue(TcxDataRecordHandle handle, TcxDataItemHandle item) override
    {
        const Row* row = Find(handle);
        if (!row) return Variant::Null();
        if (item == 0) return row->name == "array" ? Variant::ArrayOf({Variant(1), Variant(2)}) : Variant(row->name);
        return Variant(row->value);
    }
    void SetValue(TcxDataRecordHandle handle, TcxDataItemHandle item, const Variant& value) override
    {
        Row* row = Find(handle);
        if (!row) return;
        if (item == 0)
            row->name = hostlib::VarToStr(value);
        else
            row->value = value.IsNull() ? 0 : value.AsInteger();
    }
    bool GetDetailHasChildren(int recordIndex, int) override
    {
        ++hasChildrenAsked;
        return recordIndex % 2 == 0;
    }
    bool IsRecordIdSupported() override { return recordIds; }
    bool IsNativeCompare() override { return nativeCompare; }
    bool IsNativeCompareFunc() override { return nativeCompareFunc; }
    int NativeCompareFunc(TcxDataRecordHandle h1, TcxDataRecordHandle h2, TcxDataItemHandle) override
    {
        ++compareFuncCalls;
        return Find(h1)->value - Find(h2)->value;
    }
    bool IsCustomSorting() override { return customSorting; }
    void CustomSort() override { ++customSorts; }

    std::vector<Row> rows;
    std::vector<TcxDataRecordHandle> deleted;
    int nextId = 1;
    bool reportChanges = true;
    bool recordIds = false;
    bool nativeCompare = false;
    bool nativeCompareFunc = false;
    bool customSorting = false;
    int compareFuncCalls = 0;
    int customSorts = 0;
    int hasChildrenAsked = 0;
};

// Hands out its values in place, as the value types compare them.
class ComparingSource : public ListSource {
public:
    bool GetInfoForCompare(TcxDataRecordHandle handle, TcxDataItemHandle item, const void*& value) override
    {
        Row* row = Find(handle);
        if (item == 0)
            value = &row->name;
        else
            value = &row->value;
        return true;
    }
};

struct Bound {
    hostlib::ObjectPtr<ListSource> source;
    TestDataControllerPtr dc = MakeTestDataController();

    explicit Bound(ListSource* s, std::vector<std::pair<std::string, int>> rows = {{"b", 2}, {"c", 3}, {"a", 1}})
        : source(s)
    {
        for (const auto& [name, value] : rows) source->Add(name, value);
        dc->AddColumn(TcxStringValueType::Class());
        dc->AddColumn(TcxIntegerValueType::Class());
        dc->SetCustomDataSource(source.get());
    }
    std::vector<int> Ids()
    {
        std::vector<int> ids;
        for (int row = 0; row < dc->GetRowCount(); ++row)
            ids.push_back(dc->GetValue(dc->GetRowInfo(row).RecordIndex, 1).AsInteger());
        return ids;
    }
};

TEST(DataProviderMode, WithoutASourceEveryOperationIsInert)
{
    auto dc = MakeTestDataController();
    dc->AddColumn(TcxStringValueType::Class());
    dc->SetRecordCount(1);
    TcxCustomDataProvider& provider = dc->Provider();
    EXPECT_FALSE(dc->IsProviderMode());
    EXPECT_EQ(provider.AppendRecord(), -1);
    EXPECT_TRUE(provider.GetValue(0, dc->GetField(0)).IsNull());
    EXPECT_EQ(provider.GetDisplayText(0, dc->GetField(0)), "");
    EXPECT_TRUE(provider.GetRecordId(0).IsNull());
    EXPECT_FALSE(provider.IsRecordIdSupported());

    // A source with nothing overridden answers with its inert defaults.
    auto source = hostlib::MakeObject<TcxCustomDataSource>();
    dc->SetCustomDataSource(source.get());
    EXPECT_TRUE(dc->IsProviderMode());
    EXPECT_EQ(dc->GetRecordCount(), 0);
    EXPECT_EQ(dc->AppendRecord(), -1);
    EXPECT_EQ(dc->GetRecordCount(), 0);
}

TEST(DataProviderMode, TheControllerKeepsHandlesAndReadsValuesThroughTheSource)
{
    Bound b(new ListSource);
    EXPECT_EQ(b.dc->GetRecordCount(), 3);
    EXPECT_EQ(b.dc->Fields().InternalCount(), 1); // the handle field
    EXPECT_EQ(b.dc->GetDisplayText(1, 0), "c");
    EXPECT_EQ(b.dc->GetValue(2, 1).AsInteger(), 1);
    // Handles above 2^32 map to their records and back.
    EXPECT_EQ(b.source->GetRecordHandleByIndex(1), ListSource::kBase + 2);
    EXPECT_EQ(b.source->GetRecordIndexByHandle(ListSource::kBase + 3), 2);
    EXPECT_EQ(b.source->GetRecordIndexByHandle(ListSource::kBase + 9), -1);
    EXPECT_EQ(b.source->GetDataController(), b.dc.get());

    b.dc->notices.clear();
    b.dc->SetValue(0, 0, Variant("x"));
    EXPECT_EQ(b.source->rows[0].name, "x");
    EXPECT_EQ(b.dc->NoticesOf("data"), (std::vector<std::string>{"data field 0 0"}));
}

TEST(DataProviderMode, AValueWithoutTextShowsAnEmptyText)
{
    Bound b(new ListSource, {{"array", 1}});
    EXPECT_EQ(b.dc->GetDisplayText(0, 0), "");
    EXPECT_EQ(b.dc->GetDisplayText(0, 1), "1");
}

TEST(DataProviderMode, AppendingAndDeletingGoToTheSource)
{
    Bound b(new ListSource);
    const int appended = b.dc->AppendRecord();
    EXPECT_EQ(appended, 3);
    EXPECT_EQ(b.dc->GetRecordCount(), 4);
    EXPECT_EQ(b.source->GetRecordHandleByIndex(appended), ListSource::kBase + 4);

    b.dc->DeleteRecord(0);
    EXPECT_EQ(b.source->deleted, (std::vector<TcxDataRecordHandle>{ListSource::kBase + 1}));
    EXPECT_EQ(b.dc->GetRecordCount(), 3);
    EXPECT_EQ(b.dc->GetDisplayText(0, 0), "c");

    // A source that does not report its new record still gets it mapped.
    b.source->reportChanges = false;
    const int quiet = b.dc->AppendRecord();
    EXPECT_EQ(b.source->GetRecordHandleByIndex(quiet), ListSource::kBase + 5);
}

TEST(DataProviderMode, PostingTheNewItemRowAppendsASourceRecord)
{
    Bound b(new ListSource);
    b.dc->SetUseNewItemRowForEditing(true);
    b.dc->SetNewItemRowFocused(true);
    b.dc->Insert();
    b.dc->SetEditValue(0, Variant("new"), evsValue);
    b.dc->SetEditValue(1, Variant(7), evsValue);
    b.dc->Post();
    ASSERT_EQ(b.source->rows.size(), 4u);
    EXPECT_EQ(b.source->rows.back().name, "new");
    EXPECT_EQ(b.source->rows.back().value, 7);
    EXPECT_EQ(b.dc->GetRecordCount(), 4);
}

struct SortCase {
    const char* name;
    bool nativeCompare;
    bool nativeCompareFunc;
    bool comparingSource;
};

TEST(DataProviderMode, SortingComparesByTheSourcesRulesOrByValue)
{
    const SortCase cases[] = {
        {"by value", false, false, false},
        {"native compare function", false, true, false},
        {"native compare of raw values", true, false, true},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bound b(c.comparingSource ? new ComparingSource : new ListSource);
        b.source->nativeCompare = c.nativeCompare;
        b.source->nativeCompareFunc = c.nativeCompareFunc;
        b.dc->ChangeSorting(1, soDescending);
        EXPECT_EQ(b.Ids(), (std::vector<int>{3, 2, 1}));
        EXPECT_EQ(b.source->compareFuncCalls > 0, c.nativeCompareFunc);
        b.dc->ChangeSorting(1, soNone);
        b.dc->ChangeSorting(0, soAscending);
        EXPECT_EQ(RowTexts(*b.dc, 0), (std::vector<std::string>{"a", "b", "c"}));
    }
}

TEST(DataProviderMode, NativeCompareWithoutCompareInformationFails)
{
    Bound b(new ListSource);
    b.source->nativeCompare = true;
    try {
        b.dc->ChangeSorting(1, soAscending);
        FAIL() << "no exception";
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_EQ(std::string(e.what()), "GetInfoForCompare not implemented");
    }
}

TEST(DataProviderMode, ACustomSortingSourceSortsInsteadOfTheController)
{
    Bound b(new ListSource);
    b.source->customSorting = true;
    b.dc->ChangeSorting(1, soAscending);
    EXPECT_GE(b.source->customSorts, 1);
    EXPECT_EQ(b.Ids(), (std::vector<int>{2, 3, 1})); // the source's order
}

TEST(DataProviderMode, AReloadKeepsTheSelectionByRecordId)
{
    for (const bool recordIds : {true, false}) {
        SCOPED_TRACE(recordIds);
        Bound b(new ListSource, {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}});
        b.source->recordIds = recordIds;
        EXPECT_EQ(b.dc->IsKeyNavigation(), recordIds);
        b.dc->SetMultiSelect(true);
        b.dc->ChangeRowSelection(0, true);
        b.dc->ChangeRowSelection(1, true);
        std::reverse(b.source->rows.begin(), b.source->rows.end());
        b.source->rows.pop_back(); // "a" goes
        b.source->DataChanged();
        std::vector<std::string> selected;
        for (int i = 0; i < b.dc->GetSelectedCount(); ++i)
            selected.push_back(b.dc->GetDisplayText(b.dc->GetRowInfo(b.dc->GetSelectedRowIndex(i)).RecordIndex, 0));
        if (recordIds)
            EXPECT_EQ(selected, (std::vector<std::string>{"b"}));
        else
            EXPECT_EQ(selected, (std::vector<std::string>{"d", "c"}));
    }
}

TEST(DataProviderMode, DestroyingTheSourceUnbindsItsControllers)
{
    Bound b(new ListSource);
    auto other = MakeTestDataController();
    other->AddColumn(TcxIntegerValueType::Class());
    other->SetCustomDataSource(b.source.get());
    EXPECT_EQ(b.source->ProviderCount(), 2);
    b.source.reset();
    for (TestDataController* dc : {b.dc.get(), other.get()}) {
        EXPECT_FALSE(dc->IsProviderMode());
        EXPECT_EQ(dc->GetRecordCount(), 0);
        EXPECT_EQ(dc->Fields().InternalCount(), 0);
        EXPECT_EQ(dc->AppendRecord(), 0); // unbound again
    }
}

TEST(DataProviderMode, TheStreamNamesEveryDefinitionAndLoadingIsRefused)
{
    Bound b(new ListSource);
    hostlib::TMemoryStream stream;
    b.dc->SaveToStream(stream);
    stream.SetPosition(0);
    TcxReader reader(stream);
    EXPECT_EQ(reader.ReadString(), "DataController1");
    ASSERT_EQ(reader.ReadInteger(), 3);
    EXPECT_EQ(reader.ReadString(), "TcxStringValueType");
    EXPECT_EQ(reader.ReadString(), "TcxIntegerValueType");
    EXPECT_EQ(reader.ReadString(), "TcxLargeIntValueType");
    EXPECT_EQ(reader.ReadInteger(), 3);

    stream.SetPosition(0);
    try {
        b.dc->LoadFromStream(stream);
        FAIL() << "no exception";
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_EQ(std::string(e.what()), "This operation is not supported in provider mode");
    }
    EXPECT_EQ(b.dc->GetRecordCount(), 3);
}

class SmartLoadController : public TestDataController {
public:
    bool IsSmartLoad() const override { return smartLoad; }
    bool smartLoad = false;
};

TEST(DataProviderMode, SmartLoadAddsRecordsByHandleAndDeletesThroughTheSource)
{
    auto source = hostlib::MakeObject<ListSource>();
    source->Add("a", 1);
    source->reportChanges = false;
    auto dc = hostlib::MakeObject<SmartLoadController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxStringValueType::Class());
    dc->SetCustomDataSource(source.get());
    dc->smartLoad = true;
    dc->BeginSmartLoad();
    const int appended = dc->AppendRecord();
    EXPECT_EQ(appended, 1);
    EXPECT_EQ(source->GetRecordHandleByIndex(1), ListSource::kBase + 2);
    dc->DeleteInSmartLoad(0);
    dc->EndSmartLoad();
    EXPECT_EQ(source->deleted, (std::vector<TcxDataRecordHandle>{ListSource::kBase + 1}));
    EXPECT_EQ(dc->GetRecordCount(), 1);
    EXPECT_EQ(source->GetRecordHandleByIndex(0), ListSource::kBase + 2);
}

TEST(DataProviderMode, DetailsAskTheSourceWhetherTheyHaveRowsOnceUntilReset)
{
    auto source = hostlib::MakeObject<ListSource>();
    source->Add("a", 1);
    source->Add("b", 2);
    auto master = hostlib::MakeObject<MasterController>(static_cast<hostlib::TComponent*>(nullptr));
    master->AddColumn(TcxStringValueType::Class());
    master->SetCustomDataSource(source.get());
    hostlib::TObject item;
    auto pattern = MakeTestDataController();
    pattern->SetCustomDataSource(source.get());
    pattern->SetMasterRelation(master->Relations().Add(&item), -1);
    EXPECT_EQ(pattern->GetRecordCount(), 0); // a pattern loads nothing

    EXPECT_TRUE(master->GetDetailHasChildren(0, 0));
    EXPECT_FALSE(master->GetDetailHasChildren(1, 0));
    EXPECT_TRUE(master->GetDetailHasChildren(0, 0));
    EXPECT_EQ(source->hasChildrenAsked, 2);
    master->ResetHasChildrenFlag();
    master->GetDetailHasChildren(0, 0);
    EXPECT_EQ(source->hasChildrenAsked, 3);

    // A clone shares its pattern's source.
    TcxCustomDataController* clone = master->GetDetailDataController(1, 0);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetCustomDataSource(), source.get());
}

} // namespace

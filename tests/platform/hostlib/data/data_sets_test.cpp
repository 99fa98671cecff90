// Data sets: states and events, links and their windows, bookmarks,
// searching, field texts and the filter text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostlib/data/datalink.h"
#include "platform/hostlib/data/filter_expr.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/data/memdataset.h"

using namespace hostlib;

namespace {

struct Person {
    int id;
    const char* name;
    double price;
    const char* born;  // ISO date or nullptr for Null
    bool active;
};

const std::vector<Person> kPeople = {
    {1, "Anna", 10.5, "1980-01-31", true},  {2, "bob", 20, "1975-06-15", false},  {3, "Carl", 0, nullptr, true},
    {4, "Dora", 99.99, "2001-12-24", true}, {5, "Ann-Marie", 5, "1990-03-03", false}, {6, "Eve", 42, "1969-07-20", true},
    {7, "Finn", 7.25, "1988-08-08", false}, {8, "Gus", 15, "1999-09-09", true},   {9, "Hugo", 1000, "1950-05-05", true},
    {10, "O'Neil", 3, "2010-10-10", false},
};

Variant DateOf(const char* iso)
{
    if (!iso) return Variant::Null();
    const std::string s(iso);
    return Variant::FromDate(EncodeDate(std::stoi(s.substr(0, 4)), std::stoi(s.substr(5, 2)), std::stoi(s.substr(8, 2))));
}

// Fixed English settings so texts do not depend on the machine's locale.
class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds = MakeObject<TMemDataSet>(nullptr);
        ds->SetName("People");
        ds->FieldDefs().Add("ID", ftInteger, 0, true);
        ds->FieldDefs().Add("Name", ftString, 20);
        ds->FieldDefs().Add("Price", ftFloat);
        ds->FieldDefs().Add("Born", ftDate);
        ds->FieldDefs().Add("Active", ftBoolean);
        ds->Open();
        for (const Person& p : kPeople)
            ds->AppendRecord({Variant(p.id), Variant(p.name), Variant(p.price), DateOf(p.born), Variant(p.active)});
        ds->First();
    }

    std::vector<int> VisibleIds()
    {
        std::vector<int> ids;
        const TBookmark mark = ds->Bookmark();
        for (ds->First(); !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName("ID")->AsInteger());
        if (ds->BookmarkValid(mark)) ds->GotoBookmark(mark);
        return ids;
    }

    ScopedFormatSettings english{EnglishFormatSettings()};
    ObjectPtr<TMemDataSet> ds;
};

// Records every notification a link receives.
class RecordingLink : public TDataLink {
public:
    std::vector<std::string> calls;
    std::function<void()> onUpdateData;

    std::string Joined() const
    {
        std::string out;
        for (const std::string& c : calls) out += (out.empty() ? "" : " ") + c;
        return out;
    }

protected:
    void ActiveChanged() override { calls.push_back(Active() ? "Active" : "Inactive"); }
    void CheckBrowseMode() override { calls.push_back("CheckBrowse"); }
    void DataSetChanged() override { calls.push_back("Changed"); }
    void DataSetScrolled(int distance) override { calls.push_back("Scrolled(" + std::to_string(distance) + ")"); }
    void EditingChanged() override { calls.push_back(Editing() ? "Editing" : "NotEditing"); }
    void LayoutChanged() override { calls.push_back("Layout"); }
    void RecordChanged(TField* field) override { calls.push_back("Record(" + (field ? field->FieldName() : std::string()) + ")"); }
    void UpdateData() override
    {
        calls.push_back("UpdateData");
        if (onUpdateData) onUpdateData();
    }
};

}  // namespace

// ---- states and events ----------------------------------------------------------------

TEST_F(DataSetTest, StateTransitionsAndEventOrder)
{
    std::vector<std::string> log;
    auto track = [&](const char* name) { return TDataSetNotifyEvent::FromFunction([&log, name](TDataSet*) { log.push_back(name); }); };
    ds->BeforeEdit = track("BeforeEdit");
    ds->AfterEdit = track("AfterEdit");
    ds->BeforeInsert = track("BeforeInsert");
    ds->AfterInsert = track("AfterInsert");
    ds->BeforePost = track("BeforePost");
    ds->AfterPost = track("AfterPost");
    ds->BeforeCancel = track("BeforeCancel");
    ds->AfterCancel = track("AfterCancel");
    ds->BeforeDelete = track("BeforeDelete");
    ds->AfterDelete = track("AfterDelete");
    ds->BeforeScroll = track("BeforeScroll");
    ds->AfterScroll = track("AfterScroll");
    ds->OnNewRecord = TDataSetNotifyEvent::FromFunction([&log](TDataSet* d) {
        log.push_back("NewRecord");
        d->FieldByName("ID")->SetAsInteger(100);
    });

    struct Step {
        const char* what;
        std::function<void(TDataSet&)> run;
        TDataSetState state;
        std::vector<std::string> events;
    };
    const std::vector<Step> steps = {
        {"edit", [](TDataSet& d) { d.Edit(); }, dsEdit, {"BeforeEdit", "AfterEdit"}},
        {"edit again is a no-op", [](TDataSet& d) { d.Edit(); }, dsEdit, {}},
        {"cancel", [](TDataSet& d) { d.Cancel(); }, dsBrowse, {"BeforeCancel", "AfterCancel"}},
        {"insert", [](TDataSet& d) { d.Insert(); }, dsInsert,
         {"BeforeInsert", "BeforeScroll", "NewRecord", "AfterInsert", "AfterScroll"}},
        {"post", [](TDataSet& d) { d.Post(); }, dsBrowse, {"BeforePost", "AfterPost"}},
        {"next", [](TDataSet& d) { d.Next(); }, dsBrowse, {"BeforeScroll", "AfterScroll"}},
        {"unmodified edit is cancelled by a move", [](TDataSet& d) {
             d.Edit();
             d.Next();
         }, dsBrowse, {"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel", "BeforeScroll", "AfterScroll"}},
        {"modified edit is posted by a move", [](TDataSet& d) {
             d.Edit();
             d.FieldByName("Name")->SetAsString("Zed");
             d.Prior();
         }, dsBrowse, {"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}},
        {"delete", [](TDataSet& d) { d.Delete(); }, dsBrowse, {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {"cancelled insert", [](TDataSet& d) {
             d.Append();
             d.Cancel();
         }, dsBrowse,
         {"BeforeInsert", "BeforeScroll", "NewRecord", "AfterInsert", "AfterScroll", "BeforeCancel", "AfterCancel", "AfterScroll"}},
        {"set key", [](TDataSet& d) { d.SetKey(); }, dsSetKey, {}},
        {"set key cancelled", [](TDataSet& d) { d.Cancel(); }, dsBrowse, {}},
    };
    ds->First();
    int count = ds->RecordCount();
    for (const Step& step : steps) {
        log.clear();
        step.run(*ds);
        EXPECT_EQ(ds->State(), step.state) << step.what;
        EXPECT_EQ(log, step.events) << step.what;
        if (std::string(step.what) == "post") {
            EXPECT_EQ(ds->RecordCount(), ++count);
        }
        if (std::string(step.what) == "delete") {
            EXPECT_EQ(ds->RecordCount(), --count);
        }
    }
    EXPECT_EQ(ds->RecordCount(), 10);  // one inserted, one deleted
    ds->Close();
    EXPECT_EQ(ds->State(), dsInactive);
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_EQ(ds->RecNo(), -1);
    // The rows outlive closing.
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 10);
}

TEST_F(DataSetTest, NavigationFlagsAndMoveDistances)
{
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 1);
    struct Move {
        int distance;
        int moved;
        int recNo;
        bool bof;
        bool eof;
    };
    const Move moves[] = {
        {3, 3, 4, false, false}, {100, 6, 10, false, true}, {1, 0, 10, false, true},  {-2, -2, 8, false, false},
        {-50, -7, 1, true, false}, {-1, 0, 1, true, false}, {0, 0, 1, true, false},
    };
    for (const Move& m : moves) {
        EXPECT_EQ(ds->MoveBy(m.distance), m.moved) << m.distance;
        EXPECT_EQ(ds->RecNo(), m.recNo) << m.distance;
        EXPECT_EQ(ds->Bof(), m.bof) << m.distance;
        EXPECT_EQ(ds->Eof(), m.eof) << m.distance;
    }
    ds->SetRecNo(5);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 5);
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10);
}

TEST_F(DataSetTest, ErrorsNameTheDataSet)
{
    try {
        ds->FieldByName("Nope");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "People: Field 'Nope' not found");
    }
    auto unnamed = MakeObject<TMemDataSet>(nullptr);
    unnamed->FieldDefs().Add("A", ftInteger);
    unnamed->Open();
    EXPECT_THROW(
        {
            try {
                unnamed->FieldByName("B");
            } catch (const EDatabaseError& e) {
                EXPECT_EQ(e.Message(), "Field 'B' not found");
                throw;
            }
        },
        EDatabaseError);
    auto control = MakeObject<TComponent>(nullptr);
    control->SetName("NameEdit");
    try {
        GetFieldProperty(ds.get(), control.get(), "Missing");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "NameEdit: Field 'Missing' not found");
    }

    // Writing outside edit mode, a required field left empty, a read-only data set.
    EXPECT_THROW(ds->FieldByName("Name")->SetAsString("x"), EDatabaseError);
    ds->Append();
    ds->FieldByName("Name")->SetAsString("NoId");
    try {
        ds->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "People: Field 'ID' must have a value");
    }
    EXPECT_EQ(ds->State(), dsInsert);
    ds->Cancel();
    ds->SetReadOnly(true);
    EXPECT_THROW(ds->Edit(), EDatabaseError);
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->Close();
    EXPECT_THROW(ds->Next(), EDatabaseError);
}

// ---- links ------------------------------------------------------------------------------

TEST_F(DataSetTest, LinkCallsPerOperation)
{
    auto source = MakeObject<TDataSource>(nullptr);
    RecordingLink link;
    link.SetDataSource(source.get());
    source->SetDataSet(ds.get());
    EXPECT_EQ(link.Joined(), "Active");

    struct Op {
        const char* what;
        std::function<void()> run;
        const char* calls;
    };
    const std::vector<Op> ops = {
        {"next (a one-record window scrolls)", [&] { ds->Next(); }, "CheckBrowse Scrolled(1)"},
        {"first", [&] { ds->First(); }, "CheckBrowse Changed"},
        {"edit", [&] { ds->Edit(); }, "CheckBrowse Editing Record()"},
        {"field write", [&] { ds->FieldByName("Name")->SetAsString("Ada"); }, "Record(Name)"},
        {"post", [&] { ds->Post(); }, "UpdateData CheckBrowse NotEditing Changed"},
        {"insert", [&] { ds->Insert(); }, "CheckBrowse Editing Changed"},
        {"cancel", [&] { ds->Cancel(); }, "CheckBrowse NotEditing Changed"},
        {"delete", [&] { ds->Delete(); }, "CheckBrowse Changed"},
        {"locate", [&] { ds->Locate("ID", Variant(7)); }, "CheckBrowse Changed"},
        {"close", [&] { ds->Close(); }, "Inactive"},
        {"open", [&] { ds->Open(); }, "Active"},
        {"detach", [&] { source->SetDataSet(nullptr); }, "Inactive"},
    };
    for (const Op& op : ops) {
        link.calls.clear();
        op.run();
        EXPECT_EQ(link.Joined(), op.calls) << op.what;
    }
}

TEST_F(DataSetTest, PostAsksEveryLinkForItsValueBeforeWriting)
{
    auto source = MakeObject<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    RecordingLink first, second;
    first.SetDataSource(source.get());
    second.SetDataSource(source.get());
    first.onUpdateData = [&] { ds->FieldByName("Name")->SetAsString("From first"); };
    second.onUpdateData = [&] { ds->FieldByName("Price")->SetAsFloat(1.25); };
    ds->Edit();
    first.calls.clear();
    ds->Post();
    // The writing link hears no echo of its own write.
    EXPECT_EQ(first.Joined(), "UpdateData Record(Price) CheckBrowse NotEditing Changed");
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "From first");
    EXPECT_EQ(ds->FieldByName("Price")->AsFloat(), 1.25);

    // A read-only link never edits; Edit through a link follows AutoEdit.
    second.SetReadOnly(true);
    EXPECT_FALSE(second.Edit());
    EXPECT_EQ(ds->State(), dsBrowse);
    source->SetAutoEdit(false);
    EXPECT_FALSE(first.Edit());
    source->SetAutoEdit(true);
    EXPECT_TRUE(first.Edit());
    EXPECT_FALSE(second.Editing());
    ds->Cancel();
}

TEST_F(DataSetTest, ThreeRecordWindowOverTenRecords)
{
    auto source = MakeObject<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    RecordingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(source.get());
    struct Move {
        const char* what;
        std::function<void()> run;
        const char* calls;
        int activeRecord;
        int recordCount;
    };
    const std::vector<Move> moves = {
        {"next inside", [&] { ds->Next(); }, "CheckBrowse Scrolled(0)", 1, 3},
        {"next to the edge", [&] { ds->Next(); }, "CheckBrowse Scrolled(0)", 2, 3},
        {"one past the edge", [&] { ds->Next(); }, "CheckBrowse Scrolled(1)", 2, 3},
        {"four past", [&] { ds->MoveBy(4); }, "CheckBrowse Scrolled(4)", 2, 3},
        {"back inside", [&] { ds->MoveBy(-2); }, "CheckBrowse Scrolled(0)", 0, 3},
        {"back past the top", [&] { ds->MoveBy(-3); }, "CheckBrowse Scrolled(-3)", 0, 3},
        {"last", [&] { ds->Last(); }, "CheckBrowse Changed", 2, 3},
        {"first", [&] { ds->First(); }, "CheckBrowse Changed", 0, 3},
    };
    for (const Move& m : moves) {
        link.calls.clear();
        m.run();
        EXPECT_EQ(link.Joined(), m.calls) << m.what;
        EXPECT_EQ(link.ActiveRecord(), m.activeRecord) << m.what;
        EXPECT_EQ(link.RecordCount(), m.recordCount) << m.what;
    }

    // Reading the window row by row, then back to the current record.
    ds->MoveBy(5);  // window rows 3..5 (ids 4..6), current id 6
    std::vector<std::string> names;
    std::vector<TBookmark> bookmarks;
    for (int row = 0; row < link.RecordCount(); ++row) {
        link.SetActiveRecord(row);
        names.push_back(ds->FieldByName("Name")->AsString());
        bookmarks.push_back(ds->GetBookmark());
    }
    link.SetActiveRecord(2);
    EXPECT_EQ(names, (std::vector<std::string>{"Dora", "Ann-Marie", "Eve"}));
    EXPECT_EQ(bookmarks.back(), ds->GetBookmark());
    EXPECT_LT(ds->CompareBookmarks(bookmarks[0], bookmarks[1]), 0);
    ds->GotoBookmark(bookmarks[0]);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Dora");
    ds->MoveBy(2);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 6);
    EXPECT_EQ(ds->RecNo(), 6);

    // A window larger than the data set holds every record.
    link.SetBufferCount(20);
    EXPECT_EQ(link.RecordCount(), 10);
    EXPECT_EQ(link.ActiveRecord(), 5);
}

TEST_F(DataSetTest, DisabledControlsHoldBackOneDataSetChange)
{
    auto source = MakeObject<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    RecordingLink link;
    link.SetDataSource(source.get());
    int dataChanges = 0;
    source->OnDataChange = TDataChangeEvent::FromFunction([&](TObject*, TField*) { ++dataChanges; });
    link.calls.clear();
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("Quiet");
    ds->Post();
    ds->Last();
    ds->EnableControls();
    // Requests to write pending values still pass; nothing else does.
    EXPECT_EQ(link.Joined(), "CheckBrowse CheckBrowse UpdateData CheckBrowse CheckBrowse");
    ds->EnableControls();
    EXPECT_EQ(link.Joined(), "CheckBrowse CheckBrowse UpdateData CheckBrowse CheckBrowse Changed");
    EXPECT_EQ(dataChanges, 1);
    EXPECT_FALSE(ds->ControlsDisabled());
    // Nothing held back: no change at all.
    link.calls.clear();
    ds->DisableControls();
    ds->EnableControls();
    EXPECT_EQ(link.Joined(), "");
    // A state change while disabled is reported once enabled.
    ds->DisableControls();
    ds->Edit();
    ds->EnableControls();
    EXPECT_EQ(link.Joined(), "CheckBrowse Editing Changed");
    ds->Cancel();
}

TEST_F(DataSetTest, DataSourceRules)
{
    auto source = MakeObject<TDataSource>(nullptr);
    std::vector<TDataSetState> states;
    source->OnStateChange = TNotifyEvent::FromFunction([&](TObject*) { states.push_back(source->State()); });
    source->SetDataSet(ds.get());
    source->Edit();
    EXPECT_EQ(ds->State(), dsEdit);
    ds->Cancel();
    source->SetEnabled(false);
    EXPECT_EQ(source->State(), dsInactive);
    source->SetEnabled(true);
    EXPECT_EQ(states, (std::vector<TDataSetState>{dsBrowse, dsEdit, dsBrowse, dsInactive, dsBrowse}));
    EXPECT_TRUE(source->IsLinkedTo(ds.get()));
    // The data set goes away first: the source lets go of it.
    RecordingLink link;
    link.SetDataSource(source.get());
    ds.reset();
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

// ---- bookmarks ------------------------------------------------------------------------------

TEST_F(DataSetTest, BookmarksSurviveOtherInsertsAndDeletes)
{
    ds->Locate("ID", Variant(5));
    const TBookmark five = ds->Bookmark();
    ds->Locate("ID", Variant(8));
    const TBookmark eight = ds->Bookmark();
    EXPECT_LT(ds->CompareBookmarks(five, eight), 0);
    EXPECT_GT(ds->CompareBookmarks(eight, five), 0);
    EXPECT_EQ(ds->CompareBookmarks(five, five), 0);
    EXPECT_LT(ds->CompareBookmarks("", five), 0);

    ds->First();
    ds->InsertRecord({Variant(11), Variant("Ida")});
    ds->Locate("ID", Variant(2));
    ds->Delete();
    ds->GotoBookmark(five);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 5);
    EXPECT_EQ(ds->RecNo(), 5);  // Ida before it, bob gone
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(five));
    EXPECT_TRUE(ds->BookmarkValid(eight));
    EXPECT_THROW(ds->GotoBookmark(five), EDatabaseError);
    for (const char* bad : {"", "0", "-3", "abc", "99999"}) EXPECT_FALSE(ds->BookmarkValid(bad)) << bad;
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 6);  // where the delete left it
}

TEST(MemDataSet, EmptyAutoIncrementValuesAreNumberedWhenStored)
{
    auto ds = MakeObject<TMemDataSet>(nullptr);
    ds->FieldDefs().Add("ID", ftAutoInc);
    ds->FieldDefs().Add("Name", ftString, 10);
    ds->Open();
    ds->AppendRecord({Variant(), Variant("a")});
    ds->AppendRecord({Variant(7), Variant("b")}); // given values stay
    ds->Append();
    ds->FieldByName("Name")->SetAsString("c");
    EXPECT_TRUE(ds->FieldByName("ID")->IsNull()); // numbered when posted
    ds->Post();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 8);
    ds->InsertRecord({Variant::Null(), Variant("d")});
    std::vector<int> ids;
    for (ds->First(); !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName("ID")->AsInteger());
    EXPECT_EQ(ids, (std::vector<int>{1, 7, 9, 8}));
}

// ---- searching ---------------------------------------------------------------------------------

TEST_F(DataSetTest, LocateOptionsAndKeyArrays)
{
    struct Case {
        const char* fields;
        Variant keys;
        TLocateOptions options;
        int foundId;  // 0: not found
    };
    const std::vector<Case> cases = {
        {"ID", Variant(4), {}, 4},
        {"Name", Variant("ann"), {}, 0},
        {"Name", Variant("ann"), TLocateOptions{loCaseInsensitive}, 0},
        {"Name", Variant("ann"), TLocateOptions{loCaseInsensitive, loPartialKey}, 1},
        {"Name", Variant("Ann-"), TLocateOptions{loPartialKey}, 5},
        {"Name", Variant("BOB"), TLocateOptions{loCaseInsensitive}, 2},
        {"Active;Price", VarArrayOf({Variant(false), Variant(7.25)}), {}, 7},
        {"Active; Price", VarArrayOf({Variant(true), Variant(7.25)}), {}, 0},
        {"Born", Variant::Null(), {}, 3},
        {"Price", Variant("42"), {}, 6},
        {"Price", Variant("not a number"), {}, 0},
        {"ID;Name", Variant(1), {}, 0},  // two fields, one value
    };
    for (const Case& c : cases) {
        ds->Locate("ID", Variant(9));
        const bool found = ds->Locate(c.fields, c.keys, c.options);
        EXPECT_EQ(found, c.foundId != 0) << c.fields << " " << VarToStr(c.keys);
        EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), c.foundId ? c.foundId : 9) << c.fields;
    }
    EXPECT_THROW(ds->Locate("Unknown", Variant(1)), EDatabaseError);

    ds->First();
    EXPECT_EQ(VarToStr(ds->Lookup("ID", Variant(6), "Name")), "Eve");
    const Variant pair = ds->Lookup("Name", Variant("Gus"), "ID;Active");
    ASSERT_TRUE(pair.IsArray());
    EXPECT_EQ(pair[0].AsInteger(), 8);
    EXPECT_TRUE(pair[1].AsBoolean());
    EXPECT_TRUE(ds->Lookup("ID", Variant(77), "Name").IsNull());
    EXPECT_EQ(ds->RecNo(), 1);  // Lookup does not move

    const Variant values = ds->FieldValues("ID;Name");
    EXPECT_EQ(values[1].AsString(), "Anna");
    ds->Edit();
    ds->SetFieldValues("Name;Price", VarArrayOf({Variant("Anne"), Variant(11.0)}));
    EXPECT_THROW(ds->SetFieldValues("Name;Price", Variant("scalar")), EDatabaseError);
    ds->Post();
    EXPECT_EQ(ds->FieldValues("Name").AsString(), "Anne");
}

TEST_F(DataSetTest, LookupFieldShowsAndWritesThroughAnotherDataSet)
{
    auto cities = MakeObject<TMemDataSet>(nullptr);
    cities->FieldDefs().Add("Code", ftInteger);
    cities->FieldDefs().Add("City", ftString, 30);
    cities->Open();
    cities->AppendRecord({Variant(1), Variant("Oslo")});
    cities->AppendRecord({Variant(2), Variant("Lima")});

    auto orders = MakeObject<TMemDataSet>(nullptr);
    orders->FieldDefs().Add("No", ftInteger);
    orders->FieldDefs().Add("CityCode", ftInteger);
    auto* no = CreateObject<TIntegerField>(orders.get());
    no->SetFieldName("No");
    no->SetDataSet(orders.get());
    auto* code = CreateObject<TIntegerField>(orders.get());
    code->SetFieldName("CityCode");
    code->SetDataSet(orders.get());
    auto* city = CreateObject<TStringField>(orders.get());
    city->SetFieldName("CityName");
    city->SetFieldKind(fkLookup);
    city->SetLookupDataSet(cities.get());
    city->SetKeyFields("CityCode");
    city->SetLookupKeyFields("Code");
    city->SetLookupResultField("City");
    city->SetDataSet(orders.get());
    orders->Open();
    orders->AppendRecord({Variant(10), Variant(2)});
    orders->AppendRecord({Variant(11), Variant(9)});
    orders->AppendRecord({Variant(12)});

    const std::vector<std::string> expected = {"Lima", "", ""};
    int i = 0;
    for (orders->First(); !orders->Eof(); orders->Next()) EXPECT_EQ(city->DisplayText(), expected[i++]);
    EXPECT_TRUE(city->Lookup());
    EXPECT_TRUE(city->CanModify());

    orders->First();
    orders->Edit();
    city->SetAsString("Oslo");
    EXPECT_EQ(code->AsInteger(), 1);
    orders->Post();
    EXPECT_EQ(city->AsString(), "Oslo");
    // A filter may name the lookup field.
    orders->SetFilter("CityName = 'Oslo'");
    orders->SetFiltered(true);
    EXPECT_EQ(orders->RecordCount(), 1);
    // The lookup data set going away leaves the field empty, not dangling.
    cities.reset();
    EXPECT_EQ(city->LookupDataSet(), nullptr);
    EXPECT_TRUE(city->IsNull());
}

// ---- field texts --------------------------------------------------------------------------------

TEST_F(DataSetTest, TextAndDisplayTextWithFormats)
{
    ds->Locate("ID", Variant(4));
    auto* price = static_cast<TFloatField*>(ds->FieldByName("Price"));
    auto* born = static_cast<TDateTimeField*>(ds->FieldByName("Born"));
    auto* active = static_cast<TBooleanField*>(ds->FieldByName("Active"));
    auto* id = static_cast<TIntegerField*>(ds->FieldByName("ID"));

    struct Case {
        const char* what;
        std::function<void()> setup;
        TField* field;
        const char* text;
        const char* displayText;
    };
    const std::vector<Case> cases = {
        {"float plain", [] {}, price, "99.99", "99.99"},
        {"float currency", [&] { price->SetCurrency(true); }, price, "99.99", "$99.99"},
        // Without an edit format the edit text uses the display format.
        {"float display format", [&] { price->SetDisplayFormat("#,##0.0"); }, price, "100.0", "100.0"},
        {"float edit format", [&] { price->SetEditFormat("0.000"); }, price, "99.990", "100.0"},
        {"float precision", [&] {
             price->SetDisplayFormat("");
             price->SetEditFormat("");
             price->SetCurrency(false);
             price->SetPrecision(3);
         }, price, "100", "100"},
        {"date plain", [] {}, born, "12/24/2001", "12/24/2001"},
        {"date display format", [&] { born->SetDisplayFormat("yyyy-mm-dd"); }, born, "12/24/2001", "2001-12-24"},
        {"boolean", [] {}, active, "True", "True"},
        {"boolean display values", [&] { active->SetDisplayValues("Yes;No"); }, active, "Yes", "Yes"},
        {"integer display format", [&] { id->SetDisplayFormat("000"); }, id, "004", "004"},
        {"integer edit format", [&] { id->SetEditFormat("0"); }, id, "4", "004"},
        {"get-text handler", [&] {
             id->OnGetText = TFieldGetTextEvent::FromFunction([](TField* f, std::string& text, bool display) {
                 text = (display ? "#" : "") + std::to_string(f->AsInteger());
             });
         }, id, "4", "#4"},
    };
    for (const Case& c : cases) {
        c.setup();
        EXPECT_EQ(c.field->Text(), c.text) << c.what;
        EXPECT_EQ(c.field->DisplayText(), c.displayText) << c.what;
    }
    EXPECT_EQ(price->Alignment(), taRightJustify);
    EXPECT_EQ(ds->FieldByName("Name")->Alignment(), taLeftJustify);
    EXPECT_EQ(ds->FieldByName("Name")->DisplayWidth(), 20);
    // Null shows as empty text whatever the format.
    ds->Locate("ID", Variant(3));
    EXPECT_EQ(born->DisplayText(), "");
    EXPECT_TRUE(born->IsNull());
}

TEST_F(DataSetTest, TextThatDoesNotConvertRaisesAndLeavesTheFieldUnchanged)
{
    ds->Locate("ID", Variant(6));
    ds->Edit();
    auto* id = static_cast<TIntegerField*>(ds->FieldByName("ID"));
    id->SetMaxValue(100);
    struct Case {
        const char* field;
        const char* text;
        bool ok;
        const char* after;  // the field's text afterwards
    };
    const std::vector<Case> cases = {
        {"ID", "12x", false, "6"},
        {"ID", "101", false, "6"},
        {"ID", " 42 ", true, "42"},
        {"ID", "99999999999", false, "42"},
        {"Price", "1,5", false, "42"},
        {"Price", "1.5", true, "1.5"},
        {"Born", "31/31/2000", false, "7/20/1969"},
        {"Born", "2/29/2000", true, "2/29/2000"},
        {"Active", "maybe", false, "True"},
        {"Active", "f", true, "False"},
        {"Active", "", true, ""},
        {"Name", "A name that is far longer than twenty", true, "A name that is far l"},
    };
    for (const Case& c : cases) {
        TField* field = ds->FieldByName(c.field);
        if (c.ok) {
            EXPECT_NO_THROW(field->SetText(c.text)) << c.field << " " << c.text;
        } else {
            EXPECT_THROW(field->SetText(c.text), Exception) << c.field << " " << c.text;
        }
        EXPECT_EQ(field->Text(), c.after) << c.field << " " << c.text;
    }
    // Empty text clears a non-text field and keeps an empty string field.
    ds->FieldByName("Price")->SetText("");
    EXPECT_TRUE(ds->FieldByName("Price")->IsNull());
    ds->FieldByName("Name")->SetText("");
    EXPECT_FALSE(ds->FieldByName("Name")->IsNull());
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Eve");

    struct Chars {
        const char* field;
        const char* valid;
        const char* invalid;
    };
    for (const Chars& c : {Chars{"ID", "0123456789+-", "a.e "}, Chars{"Price", "0123456789+-.eE", "a,x"}, Chars{"Name", "aZ 9;", "\x01"}}) {
        for (const char* p = c.valid; *p; ++p) EXPECT_TRUE(ds->FieldByName(c.field)->IsValidChar(*p)) << c.field << *p;
        for (const char* p = c.invalid; *p; ++p) EXPECT_FALSE(ds->FieldByName(c.field)->IsValidChar(*p)) << c.field << *p;
    }
}

// ---- filters ---------------------------------------------------------------------------------------

TEST_F(DataSetTest, FilterTexts)
{
    struct Case {
        const char* filter;
        std::vector<int> ids;
        TFilterOptions options{};
    };
    const std::vector<Case> cases = {
        {"ID > 7", {8, 9, 10}},
        {"(ID >= 2) AND (ID <= 3)", {2, 3}},
        {"ID = 1 OR ID = 10", {1, 10}},
        {"NOT (ID < 9)", {9, 10}},
        {"Name = 'bob'", {2}},
        {"Name = 'BOB'", {}},
        {"Name = 'BOB'", {2}, TFilterOptions{foCaseInsensitive}},
        {"[Name] LIKE 'Ann%'", {1, 5}},
        {"Name LIKE '_o%'", {2, 4}},
        {"Name NOT LIKE '%n%'", {2, 3, 4, 6, 8, 9, 10}},
        {"Name = 'Ann*'", {1, 5}},
        {"Name = 'Ann*'", {}, TFilterOptions{foNoPartialCompare}},
        {"Name = 'O''Neil'", {10}},
        {"Price BETWEEN 5 AND 15", {1, 5, 7, 8}},
        {"Price NOT BETWEEN 5 AND 1000", {3, 10}},
        {"ID IN (2, 4, 6)", {2, 4, 6}},
        {"ID NOT IN (2, 4, 6, 8, 10)", {1, 3, 5, 7, 9}},
        {"Born = NULL", {3}},
        {"Born <> NULL AND Born < '1/1/1970'", {6, 9}},
        {"Born IS NOT NULL AND Born > '1/1/2000'", {4, 10}},
        {"Active = True AND Price > 40", {4, 6, 9}},
        {"Active = 'False'", {2, 5, 7, 10}},
        {"(Name = 'Eve') OR ((ID = 1) AND (Active = True))", {1, 6}},
        {"NOT ((ID = 1) OR (ID = 2) OR (ID = 3))", {4, 5, 6, 7, 8, 9, 10}},
        {"Price = 10.5", {1}},
        {"  ", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        ds->SetFiltered(false);
        ds->SetFilterOptions(c.options);
        ds->SetFilter(c.filter);
        ds->SetFiltered(true);
        EXPECT_EQ(VisibleIds(), c.ids) << c.filter;
        EXPECT_EQ(ds->RecordCount(), static_cast<int>(c.ids.size())) << c.filter;
    }
}

TEST_F(DataSetTest, UnreadableFilterRaisesAndKeepsThePreviousFilter)
{
    ds->SetFilter("ID < 4");
    ds->SetFiltered(true);
    const char* bad[] = {
        "ID >",         "ID = 'abc'",       "Nope = 1",         "Name = 'unterminated", "[Name = 'x'",
        "ID BETWEEN 1", "ID IN (1, 2",      "ID 5",             "Name LIKE",            "(ID = 1",
        "ID = 1)",      "ID < NULL",        "Born = '32/1/2000'", "ID = 1 AND",         "ID ! 3",
        "NOT",          "Active = 'perhaps'", "ID = 1 # 2",
    };
    for (const char* text : bad) {
        EXPECT_THROW(ds->SetFilter(text), EDatabaseError) << text;
        EXPECT_EQ(ds->Filter(), "ID < 4") << text;
        EXPECT_EQ(VisibleIds(), (std::vector<int>{1, 2, 3})) << text;
    }
    // Switching a bad text on fails the same way and leaves filtering off.
    ds->SetFiltered(false);
    ds->SetFilter("ID >");
    EXPECT_THROW(ds->SetFiltered(true), EDatabaseError);
    EXPECT_FALSE(ds->Filtered());
    EXPECT_EQ(ds->RecordCount(), 10);
    // Opening with a bad text fails and leaves the data set closed.
    ds->Close();
    ds->SetFiltered(true);
    EXPECT_THROW(ds->Open(), EDatabaseError);
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(ds->FieldCount(), 0);
    ds->SetFilter("ID = 2");
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 1);
}

TEST_F(DataSetTest, DeepFiltersAreRefusedAndLongChainsStillFilter)
{
    const auto repeat = [](const std::string& part, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += part;
        return text;
    };
    ds->SetFilter("ID < 4");
    ds->SetFiltered(true);
    for (const std::string& text : {repeat("(", 1000) + "ID = 1" + repeat(")", 1000), repeat("NOT ", 1000) + "ID = 1"}) {
        try {
            ds->SetFilter(text);
            ADD_FAILURE() << text.substr(0, 10);
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message(), "Filter expression error: expression nested too deeply");
        }
    }
    ds->SetFilter(repeat("ID > 0 AND ", 2000) + "ID < 3 OR " + repeat("ID = 9 OR ", 2000) + "ID = 7");
    EXPECT_EQ(VisibleIds(), (std::vector<int>{1, 2, 7, 9}));
}

TEST_F(DataSetTest, FilterRecordHandlerAndFilteredEditing)
{
    ds->SetOnFilterRecord(TFilterRecordEvent::FromFunction([](TDataSet* d, bool& accept) {
        EXPECT_EQ(d->State(), dsFilter);
        accept = d->FieldByName("ID")->AsInteger() % 2 == 0;
    }));
    ds->SetFilter("ID > 4");
    ds->SetFiltered(true);
    EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 8, 10}));
    // A posted record that the filter rejects leaves the view; the cursor stays near.
    ds->Locate("ID", Variant(8));
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(3);
    ds->Post();
    EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 10}));
    ds->AppendRecord({Variant(12), Variant("Ivy")});
    EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 10, 12}));
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 11);
}

TEST_F(DataSetTest, FilterNumbersInTheLocaleForm)
{
    TFormatSettings comma = EnglishFormatSettings();
    comma.DecimalSeparator = ',';
    ScopedFormatSettings scope(comma);
    ds->SetFilter("Price = 10,5 OR ID IN (2, 3)");
    ds->SetFiltered(true);
    EXPECT_EQ(VisibleIds(), (std::vector<int>{1, 2, 3}));
    ds->SetFilter("Price BETWEEN 7,25 AND 10,5");
    EXPECT_EQ(VisibleIds(), (std::vector<int>{1, 7}));
}

TEST(FilterLikeTest, Wildcards)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"", "%", true},     {"", "", true},      {"a", "", false},     {"abc", "a%", true},   {"abc", "%c", true},
        {"abc", "%b%", true}, {"abc", "a_c", true}, {"ac", "a_c", false}, {"Abc", "a%", false}, {"aXbXc", "a%b%c", true},
        {"ab", "a%%b", true}, {"abcbd", "a%b_", true}, {"abc", "%%%", true}, {"abc", "abcd", false},
    };
    for (const Case& c : cases) EXPECT_EQ(FilterLike(c.text, c.pattern), c.match) << c.text << " LIKE " << c.pattern;
}

// ---- query-like data set -----------------------------------------------------------------------

TEST(MemQueryTest, ParamsArePublished)
{
    auto query = MakeObject<TMemQuery>(nullptr);
    EXPECT_NE(query->ClassName().find("Query"), std::string::npos);
    auto* params = dynamic_cast<TParams*>(GetObjectProp(query.get(), "Params"));
    ASSERT_NE(params, nullptr);
    params->CreateParam(ftInteger, "MasterID")->SetValue(Variant(7));
    EXPECT_EQ(query->Params()->ParamByName("masterid")->Value().AsInteger(), 7);
    EXPECT_EQ(query->Params()->FindParam("Other"), nullptr);
    EXPECT_THROW(query->Params()->ParamByName("Other"), EDatabaseError);
    EXPECT_EQ(GetPropInfo(query.get(), "Params")->Kind, pkCollection);
    // A plain in-memory data set has no such property.
    auto table = MakeObject<TMemDataSet>(nullptr);
    EXPECT_EQ(GetPropInfo(table.get(), "Params"), nullptr);
}

namespace {
// Handles the one action it knows.
class ActionLink : public TDataLink {
public:
    TComponent* known = nullptr;
    bool ExecuteAction(TComponent* action) override { return action == known; }
    bool UpdateAction(TComponent* action) override { return action == known; }
};
}  // namespace

TEST(DataLinkActions, TheBaseHandlesNoneAndAnOverrideIsReached)
{
    auto action = MakeObject<TComponent>(nullptr);
    TDataLink plain;
    EXPECT_FALSE(plain.ExecuteAction(action.get()));
    EXPECT_FALSE(plain.UpdateAction(action.get()));
    ActionLink link;
    link.known = action.get();
    TDataLink& asBase = link;
    EXPECT_TRUE(asBase.ExecuteAction(action.get()));
    EXPECT_TRUE(asBase.UpdateAction(action.get()));
    EXPECT_FALSE(asBase.ExecuteAction(nullptr));
}

// The tree list's data stream (bytes, round trips, blocks inside larger
// streams, malformed streams, files, the form's Data, copying nodes) and
// its layout storage in INI files and streams.
#include "tests/components/treelist/tree_list_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/lists.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

void PutInt(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value)
{
    std::memcpy(bytes.data() + offset, &value, 4);
}

std::vector<std::uint8_t> Ints(const std::vector<std::int32_t>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i) PutInt(bytes, i * 4, values[i]);
    return bytes;
}

// The node part of the five-node tree below, as the stream carries it.
const std::vector<std::int32_t> kFiveNodes{2, 0, 0x04, 2, 0, 0, -1, 1, 0x10, 0, 0, -1, 2, 0x10, 0, 0, -1,
                                           3, 0x14, 1, 0, 0, -1, 4, 0x10, 0, 0, -1};

class DataStreamTest : public TreeListTest {
protected:
    // a (expanded) with b and c, then d (collapsed) with e; two columns of
    // text and number.
    void MakeFiveNodes(TcxTreeList* target)
    {
        TcxTreeListNode* a = target->AddChild(nullptr);
        a->AssignValues({Variant("a"), Variant(1)});
        a->AddChild()->AssignValues({Variant("b"), Variant(2)});
        a->AddChild()->AssignValues({Variant("c"), Variant(3)});
        a->Expand(false);
        TcxTreeListNode* d = target->AddChild(nullptr);
        d->AssignValues({Variant("d"), Variant(4)});
        d->AddChild()->AssignValues({Variant("e"), Variant(5)});
    }
    TcxTreeList* MakeTwin()
    {
        auto* twin = CreateObject<TcxTreeList>(form);
        // Parented, so that the form frees it before the columns it shares the owner with.
        twin->SetParent(form);
        for (int i = 0; i < list->GetColumnCount(); ++i) twin->CreateColumn();
        MakeInteger(twin->GetColumn(1));
        return twin;
    }
    std::vector<std::uint8_t> Saved()
    {
        TMemoryStream stream;
        list->SaveToStream(stream);
        return stream.Bytes();
    }
    // Texts of column 0 in pre-order with the depth, e.g. "a b. c. d e.".
    static std::string Shape(TcxTreeList* target)
    {
        std::string shape;
        for (TcxTreeListNode* n = target->TopNode(); n; n = n->GetNext()) {
            if (!shape.empty()) shape += ' ';
            shape += n->GetText(0) + std::string(static_cast<std::size_t>(n->Level()), '.');
        }
        return shape;
    }
    void SetUpFive()
    {
        MakeTreeList(2);
        MakeInteger(Column(1));
        MakeFiveNodes(list);
    }
};

TEST_F(DataStreamTest, TheStreamCarriesHeaderRecordsAndNodesInPreOrder)
{
    SetUpFive();
    const std::vector<std::uint8_t> bytes = Saved();
    ASSERT_GT(bytes.size(), 8 + kFiveNodes.size() * 4);
    EXPECT_EQ(IntAt(bytes, 0), 0x00040002);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<std::uint8_t>{2, 0, 4, 0}));
    EXPECT_EQ(IntAt(bytes, 4), static_cast<std::int32_t>(bytes.size()));
    const std::string signature = "DataController1";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), signature.begin(), signature.end()), bytes.end());
    const std::vector<std::uint8_t> tail(bytes.end() - static_cast<long>(kFiveNodes.size() * 4), bytes.end());
    EXPECT_EQ(tail, Ints(kFiveNodes));
}

TEST_F(DataStreamTest, AnEmptyTwinLoadsStructureValuesExpansionAndImages)
{
    SetUpFive();
    list->Items(1)->SetNodeImageIndex(tlitStateIndex, 3);
    TMemoryStream stream;
    list->SaveToStream(stream);
    stream.SetPosition(0);
    TcxTreeList* twin = MakeTwin();
    twin->LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(Shape(twin), "a b. c. d e.");
    EXPECT_TRUE(twin->Items(0)->Expanded());
    EXPECT_FALSE(twin->Items(1)->Expanded());
    EXPECT_EQ(twin->Items(1)->getFirstChild()->GetValue(1).AsInteger(), 5);
    EXPECT_EQ(twin->Items(1)->StateIndex(), 3);
    EXPECT_EQ(twin->Items(0)->ImageIndex(), 0);
    EXPECT_EQ(twin->DataController()->GetRecordCount(), 5);
    // The loaded records map back to their nodes.
    for (int r = 0; r < 5; ++r) EXPECT_EQ(twin->GetNodeByID(r)->RecordIndex(), r);
    // A second load replaces what was there.
    stream.SetPosition(0);
    twin->LoadFromStream(stream);
    EXPECT_EQ(Shape(twin), "a b. c. d e.");
    EXPECT_EQ(twin->DataController()->GetRecordCount(), 5);
}

TEST_F(DataStreamTest, ANodeClaimingChildrenRoundTripsWithCountZero)
{
    MakeTreeList(2);
    MakeInteger(Column(1));
    list->AddChild(nullptr)->SetHasChildren(true);
    const std::vector<std::uint8_t> bytes = Saved();
    const std::vector<std::uint8_t> tail(bytes.end() - 28, bytes.end());
    EXPECT_EQ(tail, Ints({1, 0, 0x14, 0, 0, 0, -1}));
    TMemoryStream stream(bytes);
    TcxTreeList* twin = MakeTwin();
    twin->LoadFromStream(stream);
    ASSERT_EQ(twin->Count(), 1);
    EXPECT_TRUE(twin->Items(0)->HasChildren());
    EXPECT_EQ(twin->Items(0)->Count(), 0);
}

// A block inside a larger stream keeps what stands before it and reads
// back from its own start; two blocks follow each other.
TEST_F(DataStreamTest, BlocksFollowAPrefixAndEachOther)
{
    SetUpFive();
    TcxTreeList* other = MakeTwin();
    other->AddChild(nullptr)->AssignValues({Variant("z"), Variant(9)});
    TMemoryStream stream;
    stream.WriteBuffer("PREF", 4);
    list->SaveToStream(stream);
    const std::int64_t second = stream.Position();
    other->SaveToStream(stream);
    const std::vector<std::uint8_t> bytes = stream.Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "PREF");
    EXPECT_EQ(IntAt(bytes, 8), second - 4);
    EXPECT_EQ(IntAt(bytes, static_cast<std::size_t>(second) + 4), stream.Size() - second);

    TcxTreeList* reader = MakeTwin();
    stream.SetPosition(4);
    reader->LoadFromStream(stream);
    EXPECT_EQ(Shape(reader), "a b. c. d e.");
    EXPECT_EQ(stream.Position(), second);
    reader->LoadFromStream(stream);
    EXPECT_EQ(Shape(reader), "z");
    EXPECT_EQ(stream.Position(), stream.Size());
}

// A header that does not fit is refused before anything changes.
TEST_F(DataStreamTest, ABadHeaderLeavesTheNodesAsTheyWere)
{
    SetUpFive();
    const std::vector<std::uint8_t> good = Saved();
    TcxTreeList* target = MakeTwin();
    target->AddChild(nullptr)->AssignValues({Variant("old"), Variant(1)});
    const struct {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    } cases[] = {
        {"size one too large", [](auto& b) { PutInt(b, 4, IntAt(b, 4) + 1); }},
        {"size below the header", [](auto& b) { PutInt(b, 4, 7); }},
        {"negative size", [](auto& b) { PutInt(b, 4, -8); }},
        {"header cut short", [](auto& b) { b.resize(5); }},
        {"empty stream", [](auto& b) { b.clear(); }},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        c.damage(bytes);
        TMemoryStream stream(bytes);
        try {
            target->LoadFromStream(stream);
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const EcxTreeList& e) {
            EXPECT_STREQ(e.what(), "Invalid stream format") << c.name;
        }
        EXPECT_EQ(Shape(target), "old") << c.name;
        EXPECT_EQ(target->DataController()->GetRecordCount(), 1) << c.name;
    }
}

// Broken node parts: an error, and neither nodes nor records are left.
TEST_F(DataStreamTest, MalformedNodePartsClearTheList)
{
    SetUpFive();
    const std::vector<std::uint8_t> good = Saved();
    const std::size_t nodes = good.size() - kFiveNodes.size() * 4;
    const auto at = [nodes](int index) { return nodes + static_cast<std::size_t>(index) * 4; };
    const auto resized = [](std::vector<std::uint8_t>& b, std::size_t size) {
        b.resize(size);
        PutInt(b, 4, static_cast<std::int32_t>(size));
    };
    const struct {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    } cases[] = {
        {"record index past the records", [&](auto& b) { PutInt(b, at(7), 5); }},
        {"negative record index", [&](auto& b) { PutInt(b, at(7), -1); }},
        {"record index used twice", [&](auto& b) { PutInt(b, at(7), 0); }},
        {"negative top-level count", [&](auto& b) { PutInt(b, at(0), -1); }},
        {"top-level count beyond the stream", [&](auto& b) { PutInt(b, at(0), 0x7FFFFFFF); }},
        {"child count beyond the stream", [&](auto& b) { PutInt(b, at(3), 1000); }},
        {"negative child count", [&](auto& b) { PutInt(b, at(3), -2); }},
        {"a record without a node", [&](auto& b) {
             PutInt(b, at(0), 1);
             resized(b, at(17));
         }},
        {"a node cut short", [&](auto& b) { resized(b, b.size() - 2); }},
        {"size one too small", [&](auto& b) { PutInt(b, 4, IntAt(b, 4) - 1); }},
        {"bytes after the last node", [&](auto& b) {
             b.push_back(0);
             PutInt(b, 4, static_cast<std::int32_t>(b.size()));
         }},
        {"no record stream", [&](auto& b) {
             b.erase(b.begin() + 8, b.begin() + static_cast<long>(nodes));
             PutInt(b, 4, static_cast<std::int32_t>(b.size()));
         }},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        c.damage(bytes);
        TcxTreeList* target = MakeTwin();
        target->AddChild(nullptr)->AssignValues({Variant("old"), Variant(1)});
        TMemoryStream stream(bytes);
        EXPECT_THROW(target->LoadFromStream(stream), Exception) << c.name;
        EXPECT_EQ(target->Count(), 0) << c.name;
        EXPECT_EQ(target->DataController()->GetRecordCount(), 0) << c.name;
        EXPECT_EQ(target->RecordMapCount(), 0) << c.name;
        // The list works on afterwards.
        target->AddChild(nullptr)->AssignValues({Variant("new"), Variant(2)});
        EXPECT_EQ(Shape(target), "new") << c.name;
        target->Free();
    }
}

TEST_F(DataStreamTest, ATreeTooDeepIsRefused)
{
    MakeTreeList(2);
    MakeInteger(Column(1));
    TcxTreeListNode* node = nullptr;
    for (int i = 0; i < 1100; ++i) node = list->AddChild(node);
    TMemoryStream stream;
    list->SaveToStream(stream);
    stream.SetPosition(0);
    TcxTreeList* target = MakeTwin();
    try {
        target->LoadFromStream(stream);
        ADD_FAILURE() << "loaded";
    } catch (const EcxTreeList& e) {
        EXPECT_STREQ(e.what(), "Invalid stream format");
    }
    EXPECT_EQ(target->Count(), 0);
}

TEST_F(DataStreamTest, AssigningNodesCopiesThem)
{
    SetUpFive();
    TcxTreeList* twin = MakeTwin();
    twin->SetNodes(list->Nodes());
    EXPECT_EQ(Shape(twin), "a b. c. d e.");
    EXPECT_EQ(Shape(list), "a b. c. d e.");
    EXPECT_EQ(twin->Items(1)->GetValue(1).AsInteger(), 4);
}

TEST_F(DataStreamTest, FilesRoundTripAndAFailedSaveKeepsTheTarget)
{
    SetUpFive();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tl_data_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "nodes.dat").string();
    { std::ofstream(file) << "old content"; }
    list->SaveToFile(file);
    TcxTreeList* twin = MakeTwin();
    twin->LoadFromFile(file);
    EXPECT_EQ(Shape(twin), "a b. c. d e.");
    // Nothing beside the file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
    EXPECT_THROW(twin->LoadFromFile(file), EFOpenError);
    EXPECT_EQ(Shape(twin), "a b. c. d e.");

    // A file whose folder takes no new files stays as it was.
    const std::string target = "/proc/version";
    std::string before;
    { std::stringstream s; s << std::ifstream(target).rdbuf(); before = s.str(); }
    EXPECT_THROW(list->SaveToFile(target), EFCreateError);
    std::stringstream after;
    after << std::ifstream(target).rdbuf();
    EXPECT_EQ(after.str(), before);
}

TEST_F(DataStreamTest, TheFormKeepsDataOnlyForAListWithNodes)
{
    RegisterClasses({TcxTreeList::StaticClass(), TcxTreeListColumn::StaticClass()});
    MakeTreeList(2, false);
    list->SetName("List");
    list->SetParent(form);
    MakeInteger(Column(1));
    Column(0)->SetName("Text");
    Column(1)->SetName("Number");
    form->SetName("DataForm");
    EXPECT_EQ(WriteFormResource(form).find("Data ="), std::string::npos);
    MakeFiveNodes(list);
    const std::string written = WriteFormResource(form);
    EXPECT_NE(written.find("Data ="), std::string::npos) << written;
    ObjectPtr<TComponent> loaded(CreateFromFormResource(written, "data.form", nullptr));
    auto* copy = static_cast<TcxTreeList*>(loaded->FindComponent("List"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Shape(copy), "a b. c. d e.");
    EXPECT_TRUE(copy->Items(0)->Expanded());
}

// ---- layout storage ----------------------------------------------------------------------

class LayoutStorageTest : public TreeListTest {
protected:
    void SetUp() override
    {
        TreeListTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("tl_layout_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        ini = (dir / "layout.ini").string();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        TreeListTest::TearDown();
    }
    // Three named columns in two bands, sorted by B then A.
    void MakeLayout()
    {
        MakeTreeList(3);
        list->SetName("List");
        list->Bands()->Add();
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            Column(i)->SetName(names[i]);
            Column(i)->Caption()->SetText(std::string("Caption ") + names[i]);
            MakeInteger(Column(i));
        }
        Column(2)->Position()->SetBandIndex(1);
        for (int v : {3, 1, 2}) list->AddChild(nullptr)->AssignValues({Variant(v % 2), Variant(v), Variant(0)});
    }
    std::string IniText() const
    {
        std::stringstream s;
        s << std::ifstream(ini).rdbuf();
        return s.str();
    }

    std::filesystem::path dir;
    std::string ini;
};

TEST_F(LayoutStorageTest, AnIniFileHoldsTheColumnsAndBandsAndRestoresThem)
{
    MakeLayout();
    Column(0)->SetWidth(140);
    Column(1)->SetVisible(false);
    list->Bands()->Items(0)->Caption()->SetText("First");
    list->StoreToIniFile(ini);
    const std::string text = IniText();
    for (const char* section : {"[List.List: TcxTreeList]", "[List.List/A: TcxTreeListColumn]", "List.List/B:",
                                "List.List/C:", "[List.List/Bands: TcxTreeListBands]",
                                "[List.List/Bands/Band0: TcxTreeListBand]", "List.List/Bands/Band1:"})
        EXPECT_NE(text.find(section), std::string::npos) << section << "\n" << text;
    EXPECT_NE(text.find("RealWidth=140"), std::string::npos) << text;

    Column(0)->SetWidth(60);
    Column(1)->SetVisible(true);
    Column(0)->Caption()->SetText("changed");
    list->Bands()->Items(0)->Caption()->SetText("changed");
    Column(2)->Position()->SetBandIndex(0);
    list->RestoreFromIniFile(ini);
    EXPECT_EQ(Column(0)->Width(), 140);
    EXPECT_FALSE(Column(1)->Visible());
    EXPECT_EQ(Column(0)->Caption()->Text(), "Caption A");
    EXPECT_EQ(list->Bands()->Items(0)->Caption()->Text(), "First");
    EXPECT_EQ(Column(2)->OwnerBand(), list->Bands()->Items(1));
}

TEST_F(LayoutStorageTest, TheRegistryHoldsALayoutToo)
{
    MakeLayout();
    Column(1)->SetWidth(150);
    list->Bands()->Items(1)->Caption()->SetText("Right");
    const std::string key = "Software\\QuelvoTest\\TreeListLayout";
    list->StoreToRegistry(key);
    Column(1)->SetWidth(50);
    list->Bands()->Items(1)->Caption()->SetText("");
    list->Bands()->Items(1)->Free();
    list->RestoreFromRegistry(key, true, false);
    EXPECT_EQ(Column(1)->Width(), 150);
    ASSERT_EQ(list->Bands()->Count(), 2);
    EXPECT_EQ(list->Bands()->Items(1)->Caption()->Text(), "Right");
    EXPECT_EQ(Column(2)->OwnerBand(), list->Bands()->Items(1));
}

TEST_F(LayoutStorageTest, AColumnWithoutANameIsStoredByClassAndIndex)
{
    MakeTreeList(2);
    list->SetName("List");
    list->StoreToIniFile(ini);
    const std::string text = IniText();
    EXPECT_NE(text.find("[List.List/TcxTreeListColumn0: TcxTreeListColumn]"), std::string::npos) << text;
    EXPECT_NE(text.find("[List.List/TcxTreeListColumn1: TcxTreeListColumn]"), std::string::npos) << text;
}

// A stored extra column is created only when asked; bands are deleted only
// when asked; current columns are never deleted.
TEST_F(LayoutStorageTest, ChildrenAreCreatedAndDeletedOnlyWhenAsked)
{
    MakeLayout();
    auto* extra = list->CreateColumn();
    extra->SetName("Extra");
    list->Bands()->Add();
    list->StoreToIniFile(ini);
    extra->Free();
    list->Bands()->Items(2)->Free();
    list->Bands()->Items(1)->Free();

    list->RestoreFromIniFile(ini, false, false);
    EXPECT_EQ(list->GetColumnCount(), 3);
    EXPECT_EQ(list->Bands()->Count(), 1);
    list->RestoreFromIniFile(ini, true, false);
    ASSERT_EQ(list->GetColumnCount(), 4);
    EXPECT_EQ(list->GetColumn(3)->Name(), "Extra");
    EXPECT_EQ(list->Bands()->Count(), 3);
    // The restored band indexes name the bands created after the columns.
    EXPECT_EQ(list->ColumnByName("C")->OwnerBand(), list->Bands()->Items(1));

    // A layout with one band deletes the surplus bands, never columns.
    std::filesystem::remove(ini);
    while (list->Bands()->Count() > 1) list->Bands()->Items(list->Bands()->Count() - 1)->Free();
    list->StoreToIniFile(ini);
    list->Bands()->Add();
    list->Bands()->Add();
    list->CreateColumn()->SetName("Later");
    list->RestoreFromIniFile(ini, false, true);
    EXPECT_EQ(list->Bands()->Count(), 1);
    EXPECT_EQ(list->GetColumnCount(), 5);
}

TEST_F(LayoutStorageTest, SortIndexRestoresATwoColumnSort)
{
    MakeLayout();
    list->OptionsBehavior()->SetMultiSort(true);
    Column(1)->SetSortOrder(soDescending);
    Column(0)->SetSortOrder(soAscending);
    ASSERT_EQ(list->GetSortedColumn(0), Column(1));
    TMemoryStream stream;
    list->StoreToStream(&stream);

    list->ClearSorting();
    Column(0)->SetSortOrder(soAscending);
    Column(1)->SetSortOrder(soAscending);
    stream.SetPosition(0);
    list->RestoreFromStream(&stream);
    ASSERT_EQ(list->GetSortedColumnCount(), 2);
    EXPECT_EQ(list->GetSortedColumn(0), Column(1));
    EXPECT_EQ(list->GetSortedColumn(1), Column(0));
    EXPECT_EQ(Column(1)->SortOrder(), soDescending);
    EXPECT_EQ(Keys(Root(), 1), (std::vector<int>{3, 2, 1}));
}

// Stored values of the wrong kind or range leave the properties as they were.
TEST_F(LayoutStorageTest, HostileValuesAreIgnored)
{
    MakeLayout();
    Column(0)->SetWidth(120);
    {
        std::ofstream out(ini);
        out << "[List.List/A: TcxTreeListColumn]\n=\nRealWidth=2147483647\nRealMinWidth=-5\nVisible=maybe\n"
               "LineCount=99999999\nSortOrder=7\nIndex=55\nBandIndex=abc\nColIndex=-3\nCaption=Fine\n"
               "[List.List/Bands: TcxTreeListBands]\n=\n"
               "[List.List/Bands/Band0: TcxTreeListBand]\n=\nRealWidth=-1\nIndex=9\nVisible=\n"
               "[List.List/1st: TcxTreeListColumn]\n=\n"
               "[List.List/Odd: TcxFoo]\n=\n";
    }
    list->RestoreFromIniFile(ini, true, false);
    EXPECT_EQ(Column(0)->Width(), 120);
    EXPECT_EQ(Column(0)->MinWidth(), TcxTreeListColumn::kDefaultMinWidth);
    EXPECT_TRUE(Column(0)->Visible());
    EXPECT_EQ(Column(0)->Position()->LineCount(), 1);
    EXPECT_EQ(Column(0)->SortOrder(), soNone);
    EXPECT_EQ(Column(0)->ItemIndex(), 0);
    EXPECT_EQ(Column(0)->Caption()->Text(), "Fine");
    EXPECT_EQ(list->GetColumnCount(), 3);
    EXPECT_EQ(list->Bands()->Count(), 2);
    Pump();
}

}  // namespace

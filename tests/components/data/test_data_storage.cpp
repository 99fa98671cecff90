// Record storage: value definitions and their places, record IDs, internal
// records, the record stream form, comparisons and the lookup list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "data_test_objects.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"

using hostlib::TMemoryStream;
using hostlib::TObject;
using hostlib::Variant;
using Bytes = std::vector<std::uint8_t>;

namespace {

Variant Int(std::int32_t v)
{
    return Variant(v);
}

std::string Text(const Variant& v)
{
    return v.IsNull() ? "<null>" : hostlib::VarToStr(v);
}

// A storage with a string and an integer field filled in three records.
class FilledStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = storage.ValueDefs().Add(TcxStringValueType::Class(), true, false, nullptr);
        count = storage.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
        for (int i = 0; i < 3; ++i) {
            const int r = storage.AppendRecord();
            storage.SetValue(r, name, Variant("row" + std::to_string(i)));
            storage.SetValue(r, count, Int(i * 10));
        }
    }

    std::vector<std::string> Column(TcxValueDef* def)
    {
        std::vector<std::string> values;
        for (int i = 0; i < storage.RecordCount(); ++i)
            values.push_back(Text(storage.GetValue(i, def)));
        return values;
    }

    TcxDataStorage storage;
    TcxValueDef* name = nullptr;
    TcxValueDef* count = nullptr;
};

Bytes WrittenRecord(TcxDataStorage& storage, int index)
{
    TMemoryStream stream;
    storage.WriteData(index, stream);
    return stream.Bytes();
}

} // namespace

TEST(DataStorageRecordIDs, StartAtOneResetWhenEmptiedNeverReused)
{
    TcxDataStorage storage;
    storage.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
    storage.SetUseRecordID(true);
    struct Step {
        const char* what;
        std::function<void()> action;
        std::vector<int> ids;
    };
    const std::vector<Step> steps = {
        {"append three", [&] { storage.SetRecordCount(3); }, {1, 2, 3}},
        {"delete the last, append", [&] { storage.DeleteRecord(2); storage.AppendRecord(); }, {1, 2, 4}},
        {"delete the first", [&] { storage.DeleteRecord(0); }, {2, 4}},
        {"insert at the front", [&] { storage.InsertRecord(0); }, {5, 2, 4}},
        {"delete all, append", [&] { storage.SetRecordCount(0); storage.AppendRecord(); }, {1}},
        {"clear without removing renumbers", [&] { storage.AppendRecord(); storage.ClearRecords(false); }, {3, 4}},
        {"clear removing, append", [&] { storage.Clear(false); storage.AppendRecord(); }, {1}},
    };
    for (const auto& step : steps) {
        step.action();
        std::vector<int> ids;
        for (int i = 0; i < storage.RecordCount(); ++i)
            ids.push_back(storage.GetRecordID(i));
        EXPECT_EQ(ids, step.ids) << step.what;
    }
    storage.SetRecordID(0, 42);
    EXPECT_EQ(storage.GetRecordID(0), 42);
}

TEST_F(FilledStorage, SwitchingRecordIDsOrStoredValuesOnlyDropsValues)
{
    struct Case {
        const char* name;
        std::function<void()> toggle;
    };
    const std::vector<Case> cases = {
        {"record IDs on", [&] { storage.SetUseRecordID(true); }},
        {"record IDs off", [&] { storage.SetUseRecordID(false); }},
        {"stored values only on", [&] { storage.SetStoredValuesOnly(true); }},
    };
    for (const auto& c : cases) {
        storage.SetValue(1, name, Variant("again"));
        c.toggle();
        EXPECT_EQ(storage.RecordCount(), 3) << c.name;
        EXPECT_EQ(Column(name), (std::vector<std::string>{"<null>", "<null>", "<null>"})) << c.name;
        EXPECT_EQ(Column(count), (std::vector<std::string>{"<null>", "<null>", "<null>"})) << c.name;
        EXPECT_EQ(storage.RecordBuffers(1), nullptr) << c.name;
    }
    // No IDs were handed out while switching.
    storage.SetUseRecordID(true);
    EXPECT_EQ(storage.RecordBuffers(0), nullptr);
    EXPECT_EQ(storage.GetRecordID(0), 0);
}

TEST_F(FilledStorage, AddingAndRemovingDefinitionsKeepsTheOtherValues)
{
    TcxValueDef* extra = storage.ValueDefs().Add(TcxVariantValueType::Class(), true, true, nullptr);
    EXPECT_EQ(Column(name), (std::vector<std::string>{"row0", "row1", "row2"}));
    EXPECT_EQ(Column(count), (std::vector<std::string>{"0", "10", "20"}));
    EXPECT_EQ(Column(extra), (std::vector<std::string>{"<null>", "<null>", "<null>"}));
    storage.SetValue(2, extra, Variant("x"));
    storage.SetDisplayText(2, extra, "shown");

    storage.ValueDefs().Remove(name);
    EXPECT_EQ(storage.ValueDefs().Count(), 2);
    EXPECT_EQ(Column(count), (std::vector<std::string>{"0", "10", "20"}));
    EXPECT_EQ(Column(extra), (std::vector<std::string>{"<null>", "<null>", "x"}));
    EXPECT_EQ(storage.GetDisplayText(2, extra), "shown");

    storage.ValueDefs().Remove(extra);
    EXPECT_EQ(Column(count), (std::vector<std::string>{"0", "10", "20"}));
    EXPECT_NE(storage.RecordBuffers(0), nullptr);

    // The last stored definition takes every buffer with it.
    storage.ValueDefs().Remove(count);
    EXPECT_EQ(storage.RecordCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(storage.RecordBuffers(i), nullptr);
    EXPECT_EQ(storage.InternalValueDefs().Count(), 0);
}

TEST_F(FilledStorage, ChangingADefinitionResetsOnlyItsOwnValues)
{
    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> countAfter;
    };
    const std::vector<Case> cases = {
        {"text stored on", [&] { count->SetTextStored(true); }, {"<null>", "<null>", "<null>"}},
        {"value type to Float", [&] { count->SetValueTypeClass(TcxFloatValueType::Class()); }, {"<null>", "<null>", "<null>"}},
        {"not stored, but every value is kept", [&] { count->SetStored(false); }, {"0", "10", "20"}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i)
            storage.SetValue(i, count, Int(i * 10));
        c.change();
        EXPECT_EQ(Column(count), c.countAfter) << c.name;
        EXPECT_EQ(Column(name), (std::vector<std::string>{"row0", "row1", "row2"})) << c.name;
    }
    // The internal mirror follows type and text flag.
    TcxValueDef* mirror = storage.InternalValueDefs().FindByLinkObject(count);
    ASSERT_NE(mirror, nullptr);
    EXPECT_EQ(mirror->ValueTypeClass(), TcxFloatValueType::Class());
    EXPECT_TRUE(mirror->TextStored());
    EXPECT_TRUE(mirror->Stored());
}

TEST_F(FilledStorage, StoredValuesOnlyGivesUnstoredDefinitionsNoPlace)
{
    count->SetStored(false);
    storage.SetStoredValuesOnly(true);
    EXPECT_EQ(count->BufferSize(), 0);
    storage.SetValue(0, name, Variant("kept"));
    storage.SetValue(0, count, Int(5));
    EXPECT_EQ(Text(storage.GetValue(0, name)), "kept");
    EXPECT_TRUE(storage.GetValue(0, count).IsNull());
    EXPECT_EQ(WrittenRecord(storage, 0), (Bytes{0x00, 0x00, 0x04, 0, 0, 0, 'k', 'e', 'p', 't'}));
    // Internal records still hold it.
    const int internal = storage.AddInternalRecord();
    storage.SetValue(internal, count, Int(5));
    EXPECT_EQ(Text(storage.GetValue(internal, count)), "5");
}

TEST(DataStorageInternalRecords, SlotsAreReusedAndMirrorTheLayout)
{
    TcxDataStorage storage;
    TcxValueDef* def = storage.ValueDefs().Add(TcxStringValueType::Class(), false, true, nullptr);
    int cleared = 0;
    storage.OnClearInternalRecords = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject* sender) {
        EXPECT_EQ(sender, &storage);
        ++cleared;
    });
    EXPECT_EQ(storage.AddInternalRecord(), -1);
    EXPECT_EQ(storage.AddInternalRecord(), -2);
    storage.DeleteInternalRecord(-1);
    EXPECT_EQ(storage.AddInternalRecord(), -1);
    EXPECT_EQ(storage.AddInternalRecord(), -3);

    storage.SetValue(-2, def, Variant("edit"));
    storage.SetDisplayText(-2, def, "Edit");
    EXPECT_EQ(Text(storage.GetValue(-2, def)), "edit");
    EXPECT_EQ(storage.GetDisplayText(-2, def), "Edit");
    TcxValueDef* mirror = storage.InternalValueDefs().FindByLinkObject(def);
    ASSERT_NE(mirror, nullptr);
    EXPECT_EQ(mirror->ClassName(), "TcxInternalValueDef");
    EXPECT_EQ(def->ClassName(), "TcxValueDef");
    EXPECT_EQ(storage.ClassName(), "TcxDataStorage");
    EXPECT_EQ(mirror->LinkObject(), def->LinkObject());
    EXPECT_EQ(Text(storage.GetValue(-2, mirror)), "edit");
    // The internal layout does not fit ordinary records.
    storage.AppendRecord();
    EXPECT_TRUE(storage.GetValue(0, mirror).IsNull());

    // An ordinary and an internal record compare through the mirror.
    storage.SetValue(0, def, Variant("edit"));
    EXPECT_EQ(storage.CompareRecords(0, -2, def), 0);

    storage.Clear(true);
    EXPECT_EQ(Text(storage.GetValue(-2, def)), "edit");
    EXPECT_EQ(cleared, 0);
    storage.Clear(false);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(storage.InternalRecordCount(), 0);
    EXPECT_EQ(storage.AddInternalRecord(), -1);
}

TEST(DataStorageStream, RecordBytes)
{
    struct Case {
        const char* name;
        bool useRecordID;
        std::function<void(TcxDataStorage&)> fill;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"a record without a buffer", false,
         [](TcxDataStorage& s) {
             s.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
             s.AppendRecord();
         },
         {0x01}},
        {"record ID 7 and Integer 5", true,
         [](TcxDataStorage& s) {
             TcxValueDef* d = s.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
             s.AppendRecord();
             s.SetRecordID(0, 7);
             s.SetValue(0, d, Int(5));
         },
         {0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00}},
        {"a Null value with its stored text", false,
         [](TcxDataStorage& s) {
             TcxValueDef* d = s.ValueDefs().Add(TcxIntegerValueType::Class(), true, true, nullptr);
             s.AppendRecord();
             s.SetDisplayText(0, d, "n/a");
         },
         {0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 'n', '/', 'a'}},
        {"two fields in list order", false,
         [](TcxDataStorage& s) {
             TcxValueDef* a = s.ValueDefs().Add(TcxBooleanValueType::Class(), true, false, nullptr);
             TcxValueDef* b = s.ValueDefs().Add(TcxStringValueType::Class(), true, false, nullptr);
             s.AppendRecord();
             s.SetValue(0, a, Variant(true));
             s.SetValue(0, b, Variant("z"));
         },
         {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 'z'}},
    };
    for (const auto& c : cases) {
        TcxDataStorage storage;
        storage.SetUseRecordID(c.useRecordID);
        c.fill(storage);
        const Bytes written = WrittenRecord(storage, 0);
        EXPECT_EQ(written, c.expected) << c.name;

        // Read into a second storage of the same shape: the same bytes again.
        TcxDataStorage copy;
        copy.SetUseRecordID(c.useRecordID);
        for (int i = 0; i < storage.ValueDefs().Count(); ++i) {
            TcxValueDef* d = storage.ValueDefs().Items(i);
            copy.ValueDefs().Add(d->ValueTypeClass(), d->Stored(), d->TextStored(), nullptr);
        }
        copy.AppendRecord();
        TMemoryStream stream(written);
        copy.ReadData(0, stream);
        EXPECT_EQ(WrittenRecord(copy, 0), c.expected) << c.name;
    }
}

TEST_F(FilledStorage, ReadingStreamsIntoExistingRecords)
{
    // A no-buffer record frees what was there.
    TMemoryStream none(Bytes{0x01});
    storage.ReadData(1, none);
    EXPECT_EQ(storage.RecordBuffers(1), nullptr);
    EXPECT_TRUE(storage.GetValue(1, name).IsNull());

    // A truncated record keeps what was read before the error.
    TMemoryStream truncated(Bytes{0x00, 0x00, 0x03, 0, 0, 0, 'n', 'e', 'w', 0x00, 0x07});
    EXPECT_THROW(storage.ReadData(0, truncated), hostlib::EReadError);
    EXPECT_EQ(Text(storage.GetValue(0, name)), "new");
    EXPECT_EQ(Text(storage.GetValue(0, count)), "0");

    // A hostile string length fails before anything is allocated.
    TMemoryStream hostile(Bytes{0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_THROW(storage.ReadData(2, hostile), hostlib::EReadError);
    EXPECT_EQ(Text(storage.GetValue(2, name)), "row2");
}

TEST_F(FilledStorage, StreamingOrderReplacesListOrder)
{
    storage.BeginStreaming([&](const TcxValueDef* a, const TcxValueDef* b) {
        // Integer field first.
        return (a == count ? 0 : 1) - (b == count ? 0 : 1);
    });
    EXPECT_EQ(storage.ValueDefs().Items(0), count);
    EXPECT_EQ(WrittenRecord(storage, 1), (Bytes{0x00, 0x00, 10, 0, 0, 0, 0x00, 0x04, 0, 0, 0, 'r', 'o', 'w', '1'}));
    storage.EndStreaming();
    EXPECT_EQ(storage.ValueDefs().Items(0), name);
}

TEST_F(FilledStorage, ValuesDisplayTextsAndFailedConversions)
{
    struct Case {
        const char* name;
        Variant before;
        Variant set;
        bool raises;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"text converts", Int(1), Variant("12"), false, "12"},
        {"Null clears", Int(1), Variant::Null(), false, "<null>"},
        {"x into a value is refused", Int(5), Variant("x"), true, "5"},
        {"x into Null is refused and stays Null", Variant::Null(), Variant("x"), true, "<null>"},
        {"overflow is refused", Int(5), Variant(1e20), true, "5"},
    };
    for (const auto& c : cases) {
        storage.SetValue(0, count, c.before);
        if (c.raises)
            EXPECT_THROW(storage.SetValue(0, count, c.set), hostlib::EVariantError) << c.name;
        else
            storage.SetValue(0, count, c.set);
        EXPECT_EQ(Text(storage.GetValue(0, count)), c.after) << c.name;
        EXPECT_EQ(storage.GetDisplayText(0, count), c.after == "<null>" ? "" : c.after) << c.name;
    }
    // Texts are only kept where the definition stores them.
    storage.SetDisplayText(1, count, "ignored");
    EXPECT_EQ(storage.GetDisplayText(1, count), "10");
    EXPECT_THROW(storage.GetValue(3, count), hostlib::EListError);

    // Buffers handed in must fit the layout.
    const int size = storage.ValueDefs().RecordSize();
    EXPECT_THROW(storage.SetRecordBuffers(0, std::vector<std::uint8_t>(static_cast<std::size_t>(size) + 1, 0)),
                 hostlib::EInvalidOperation);
    EXPECT_EQ(storage.GetDisplayText(0, name), "row0");
    storage.SetRecordBuffers(0, std::vector<std::uint8_t>(static_cast<std::size_t>(size), 0));
    EXPECT_TRUE(storage.GetValue(0, name).IsNull());
    storage.SetRecordBuffers(0, {});
    EXPECT_EQ(storage.RecordBuffers(0), nullptr);
    EXPECT_THROW(storage.GetValue(-1, count), hostlib::EListError);
}

TEST_F(FilledStorage, CompareRecordsAndCompareInfo)
{
    const int noBuffer = storage.AppendRecord();
    const int nullValue = storage.AppendRecord();
    storage.SetValue(nullValue, count, Variant::Null());
    storage.SetValue(nullValue, name, Variant("n"));
    struct Case {
        const char* name;
        int a;
        int b;
        int expected;
    };
    const std::vector<Case> cases = {
        {"no buffers equal", noBuffer, noBuffer, 0},
        {"no buffer first", noBuffer, nullValue, -1},
        {"a buffer after none", nullValue, noBuffer, 1},
        {"Null before a value", nullValue, 0, -1},
        {"by value", 2, 1, 1},
        {"equal values", 1, 1, 0},
    };
    for (const auto& c : cases) {
        const int r = storage.CompareRecords(c.a, c.b, count);
        EXPECT_EQ((r > 0) - (r < 0), c.expected) << c.name;
    }
    const void* prepared = nullptr;
    EXPECT_TRUE(storage.GetCompareInfo(nullValue, count, prepared));
    EXPECT_TRUE(storage.GetCompareInfo(noBuffer, count, prepared));
    ASSERT_FALSE(storage.GetCompareInfo(0, name, prepared));
    EXPECT_EQ(*static_cast<const std::string*>(prepared), "row0");
}

namespace {

class TableReader : public TcxValueDefReader {
public:
    std::string GetDisplayText(TcxValueDef*) override { return "text"; }
    Variant GetValue(TcxValueDef* def) override { return def == skipped ? Variant("no") : Variant("7"); }
    bool IsInternal(TcxValueDef* def) override { return def == skipped; }
    TcxValueDef* skipped = nullptr;
};

} // namespace

TEST_F(FilledStorage, ReadRecordFillsFromAReader)
{
    TcxValueDef* texted = storage.ValueDefs().Add(TcxIntegerValueType::Class(), true, true, nullptr);
    TableReader reader;
    reader.skipped = name;
    const int r = storage.AppendRecord();
    storage.ReadRecord(r, reader, true);
    EXPECT_TRUE(storage.GetValue(r, name).IsNull());
    EXPECT_EQ(Text(storage.GetValue(r, count)), "7");
    EXPECT_EQ(storage.GetDisplayText(r, texted), "text");

    storage.ReadRecord(r, reader, false);
    EXPECT_EQ(Text(storage.GetValue(r, name)), "no");

    TcxValueDefReader base;
    EXPECT_TRUE(base.GetValue(name).IsNull());
    EXPECT_EQ(base.GetDisplayText(name), "");
    EXPECT_FALSE(base.IsInternal(name));

    std::vector<TcxValueDef*> visited;
    storage.ReadRecordFrom(0, r, reader, [&](TcxValueDef* def, int from, int to, TcxValueDefReader* rd) {
        EXPECT_EQ(from, 0);
        EXPECT_EQ(to, r);
        EXPECT_EQ(rd, &reader);
        visited.push_back(def);
    });
    EXPECT_EQ(visited, (std::vector<TcxValueDef*>{name, count, texted}));
}

TEST(DataLookupList, FindGivesTheIndexOrTheInsertionPoint)
{
    TcxLookupList list;
    int index = -1;
    EXPECT_FALSE(list.Find(Int(4), index));
    EXPECT_EQ(index, 0);
    for (int key : {1, 3, 5}) {
        ASSERT_FALSE(list.Find(Int(key), index));
        list.Insert(index, Int(key), "k" + std::to_string(key));
    }
    struct Case {
        Variant key;
        bool found;
        int index;
    };
    const std::vector<Case> cases = {
        {Int(4), false, 2}, {Int(3), true, 1}, {Int(0), false, 0}, {Int(9), false, 3},
        {Variant::Null(), false, 0}, {Variant("5"), true, 2}, {Int(5), true, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list.Find(c.key, index), c.found) << Text(c.key);
        EXPECT_EQ(index, c.index) << Text(c.key);
    }
    EXPECT_EQ(list.Items(1).DisplayText, "k3");
    EXPECT_THROW(list.Insert(5, Int(9), "x"), hostlib::EListError);
    EXPECT_THROW(list.Items(3), hostlib::EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}


TEST(DataStorageOwnership, HeapValuesAreFreedWithTheirRecords)
{
    int destroyed = 0;
    {
        TcxDataStorage storage;
        TcxValueDef* objects = storage.ValueDefs().Add(TcxObjectValueType::Class(), true, true, nullptr);
        storage.ValueDefs().Add(TcxVariantValueType::Class(), true, true, nullptr);
        storage.SetRecordCount(4);
        for (int i = 0; i < 4; ++i) {
            storage.SetValue(i, objects, AddressOf(new CountedObject(destroyed)));
            storage.SetDisplayText(i, objects, "object");
        }
        storage.SetValue(storage.AddInternalRecord(), objects, AddressOf(new CountedObject(destroyed)));
        storage.DeleteRecord(0);
        EXPECT_EQ(destroyed, 1);
        storage.SetValue(1, objects, Variant::Null());
        EXPECT_EQ(destroyed, 2);
        storage.SetRecordCount(1);
        EXPECT_EQ(destroyed, 3);
    }
    // The last record and the internal one go with the storage.
    EXPECT_EQ(destroyed, 5);
}

namespace {

class WatchedStorage : public TcxDataStorage {
public:
    void ValueDefsChanged(TcxValueDef* valueDef, bool resyncNeeded) override
    {
        changes.push_back({valueDef, resyncNeeded});
    }
    std::vector<std::pair<TcxValueDef*, bool>> changes;
};

} // namespace

TEST(DataStorageDefinitions, SettersAnnounceOnlyRealChanges)
{
    WatchedStorage storage;
    TcxValueDef* def = storage.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
    TcxValueDef* mirror = storage.InternalValueDefs().FindByLinkObject(def);
    storage.changes.clear();
    def->SetStored(true);
    def->SetTextStored(false);
    def->SetValueTypeClass(TcxIntegerValueType::Class());
    def->SetValueTypeClass(nullptr);
    EXPECT_TRUE(storage.changes.empty());

    def->SetStored(false);
    def->SetTextStored(true);
    def->SetValueTypeClass(TcxStringValueType::Class());
    using Change = std::pair<TcxValueDef*, bool>;
    // Stored concerns only the ordinary definition; the mirror follows the
    // text flag and the value type, announcing its change first.
    EXPECT_EQ(storage.changes, (std::vector<Change>{{def, false}, {mirror, true}, {def, true}, {mirror, true}, {def, true}}));

    // Assign copies the two flags.
    TcxValueDef* other = storage.ValueDefs().Add(TcxIntegerValueType::Class(), true, false, nullptr);
    other->Assign(*def);
    EXPECT_FALSE(other->Stored());
    EXPECT_TRUE(other->TextStored());
    EXPECT_FALSE(other->IsNeedConversion());
    EXPECT_TRUE(def->IsNeedConversion());
}

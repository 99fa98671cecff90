// The "DataController1" stream and the smart-load operations.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"

using hostlib::TMemoryStream;
using hostlib::Variant;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Text(const std::string& text)
{
    Bytes bytes = {static_cast<std::uint8_t>(text.size()), 0, 0, 0};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Items String and Integer, record 0 = ("ab", 5), record 1 never written.
const Bytes kExample = Join({Text("DataController1"), {2, 0, 0, 0}, Text("TcxStringValueType"), Text("TcxIntegerValueType"),
                             {2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 0, 5, 0, 0, 0, 1}});

class Stream : public ::testing::Test {
protected:
    // Three records ("x", 1), ("y", 2), ("z", 3) with rows 0 and 2 selected.
    void SetUp() override
    {
        dc->BeginUpdate();
        const std::vector<std::pair<const char*, int>> rows = {{"x", 1}, {"y", 2}, {"z", 3}};
        for (const auto& [t, n] : rows) {
            const int r = dc->AppendRecord();
            dc->SetValue(r, text, Variant(t));
            dc->SetValue(r, number, Variant(n));
        }
        dc->EndUpdate();
        dc->SetMultiSelect(true);
        dc->ChangeRowSelection(0, true);
        dc->ChangeRowSelection(2, true);
    }

    std::vector<std::string> Records()
    {
        std::vector<std::string> result;
        for (int r = 0; r < dc->GetRecordCount(); ++r)
            result.push_back(dc->GetDisplayText(r, text) + "/" + dc->GetDisplayText(r, number));
        return result;
    }

    void ExpectUnchanged()
    {
        EXPECT_EQ(Records(), (std::vector<std::string>{"x/1", "y/2", "z/3"}));
        EXPECT_EQ(dc->GetSelectedCount(), 2);
        EXPECT_TRUE(dc->IsRowSelected(2));
    }

    TestDataControllerPtr dc = MakeTestDataController();
    const int text = dc->AddColumn(TcxStringValueType::Class());
    const int number = dc->AddColumn(TcxIntegerValueType::Class());
};

std::string MessageOf(TestDataController& dc, const Bytes& bytes)
{
    TMemoryStream stream(bytes);
    try {
        dc.LoadFromStream(stream);
    } catch (const hostlib::Exception& e) {
        return e.Message();
    }
    return "loaded";
}

} // namespace

TEST(DataControllerStream, WritesTheExampleBytes)
{
    auto dc = MakeTestDataController();
    const int text = dc->AddColumn(TcxStringValueType::Class());
    const int number = dc->AddColumn(TcxIntegerValueType::Class());
    dc->SetRecordCount(2);
    dc->SetValue(0, text, Variant("ab"));
    dc->SetValue(0, number, Variant(5));
    TMemoryStream stream;
    dc->SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), kExample);
}

TEST_F(Stream, ReadsTheExampleOverTheOldRecords)
{
    TMemoryStream stream(kExample);
    dc->LoadFromStream(stream);
    EXPECT_EQ(Records(), (std::vector<std::string>{"ab/5", "/"}));
    EXPECT_TRUE(dc->GetValue(1, number).IsNull());
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    EXPECT_EQ(dc->GetRowCount(), 2);
}

TEST_F(Stream, RoundTripAndCounts)
{
    TMemoryStream saved;
    dc->SaveToStream(saved);
    const std::vector<int> counts = {0, 1, 3};
    for (const int count : counts) {
        SCOPED_TRACE(count);
        auto other = MakeTestDataController();
        other->AddColumn(TcxStringValueType::Class());
        other->AddColumn(TcxIntegerValueType::Class());
        other->SetRecordCount(5);
        auto source = MakeTestDataController();
        source->AddColumn(TcxStringValueType::Class());
        source->AddColumn(TcxIntegerValueType::Class());
        TMemoryStream in(saved.Bytes());
        source->LoadFromStream(in);
        source->SetRecordCount(count);
        TMemoryStream out;
        source->SaveToStream(out);
        out.SetPosition(0);
        other->LoadFromStream(out);
        EXPECT_EQ(other->GetRecordCount(), count);
        EXPECT_EQ(other->GetRowCount(), count);
        for (int r = 0; r < count; ++r) EXPECT_EQ(other->GetValue(r, 1).AsInteger(), r + 1);
    }
}

TEST_F(Stream, RefusesOtherStreamsBeforeAnyChange)
{
    auto swapped = MakeTestDataController();
    swapped->AddColumn(TcxIntegerValueType::Class());
    swapped->AddColumn(TcxStringValueType::Class());
    swapped->SetRecordCount(1);
    TMemoryStream other;
    swapped->SaveToStream(other);

    Bytes signature = kExample;
    signature[4 + 14] = '2'; // "DataController2"
    Bytes count = kExample;
    count[4 + 15] = 3;
    Bytes typeName = kExample;
    typeName[4 + 15 + 4 + 4 + 3] = 'X'; // "TcxXtringValueType"
    struct Case {
        const char* name;
        Bytes bytes;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"items in the other order", other.Bytes(), cxSDataInvalidStreamFormat},
        {"another signature", signature, cxSDataInvalidStreamFormat},
        {"another definition count", count, cxSDataInvalidStreamFormat},
        {"another type name", typeName, cxSDataInvalidStreamFormat},
        {"cut after record 0", Bytes(kExample.begin(), kExample.end() - 1), cxSDataReadError},
        {"cut inside record 0", Bytes(kExample.begin(), kExample.end() - 4), cxSDataReadError},
        {"empty", {}, cxSDataReadError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dc->notices.clear();
        EXPECT_EQ(MessageOf(*dc, c.bytes), c.message);
        ExpectUnchanged();
        EXPECT_TRUE(dc->notices.empty());
    }
}

TEST_F(Stream, AHugeRecordCountFailsBeforeAllocating)
{
    const std::vector<std::int32_t> counts = {0x7FFFFFFF, -1, 3};
    for (const std::int32_t count : counts) {
        SCOPED_TRACE(count);
        Bytes bytes(kExample.begin(), kExample.end() - 18);
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i)));
        bytes.push_back(1);
        bytes.push_back(1);
        EXPECT_EQ(MessageOf(*dc, bytes), cxSDataReadError);
        ExpectUnchanged();
    }
}

TEST(DataControllerStream, WritesInFieldOrder)
{
    auto dc = MakeTestDataController();
    dc->AddColumn(TcxIntegerValueType::Class());
    dc->AddColumn(TcxStringValueType::Class());
    // The items move; their value definitions keep the order they were
    // made in.
    dc->SwapItems(0, 1);
    dc->UpdateItemIndexes();
    dc->SetRecordCount(2);
    dc->SetValue(0, 0, Variant("ab"));
    dc->SetValue(0, 1, Variant(5));
    TMemoryStream stream;
    dc->SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), kExample);
    stream.SetPosition(0);
    dc->LoadFromStream(stream);
    EXPECT_EQ(dc->GetDisplayText(0, 0), "ab");
    EXPECT_EQ(dc->GetValue(0, 1).AsInteger(), 5);
}

namespace {

class SmartLoadController : public TestDataController {
public:
    bool IsSmartLoad() const override { return true; }
    void DoReadRecord(int recordIndex) override
    {
        read.push_back(recordIndex);
        TestDataController::DoReadRecord(recordIndex);
    }
    std::vector<int> read;
};

} // namespace

TEST(DataControllerSmartLoad, AppendsAndDeletesSingleRecords)
{
    auto dc = hostlib::MakeObject<SmartLoadController>(static_cast<hostlib::TComponent*>(nullptr));
    const int item = dc->AddColumn(TcxStringValueType::Class());
    dc->BeginSmartLoad();
    EXPECT_EQ(dc->AppendRecord(), 0);
    dc->InsertRecord(0); // appends as well
    dc->SetValue(1, item, Variant("b"));
    dc->EndSmartLoad();
    EXPECT_EQ(dc->read, (std::vector<int>{0, 1}));
    EXPECT_EQ(dc->GetRowCount(), 2);
    EXPECT_TRUE(dc->GetValue(0, item).IsNull());
    EXPECT_FALSE(dc->InSmartLoadOperation());
    dc->DeleteInSmartLoad(0);
    EXPECT_EQ(dc->GetRecordCount(), 1);
    EXPECT_EQ(dc->GetDisplayText(0, item), "b");
}

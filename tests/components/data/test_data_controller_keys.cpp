// Keeping the selection by record key across a reload.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

// A controller whose records are known by the value of their first item.
class KeyedController : public TestDataController {
public:
    bool IsKeyNavigation() const override { return keyNavigation; }
    void GetKeyFields(std::vector<TcxCustomDataField*>& fields) const override { fields.push_back(GetField(0)); }
    bool keyNavigation = true;
};

class Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        key = dc->AddColumn(TcxIntegerValueType::Class());
        group = dc->AddColumn(TcxStringValueType::Class());
        Load({{1, "a"}, {2, "b"}, {3, "a"}, {4, "b"}, {5, "c"}});
        dc->SetMultiSelect(true);
    }

    // Replaces all records, as a provider's reload does.
    void Load(const std::vector<std::pair<int, const char*>>& rows)
    {
        dc->BeginUpdate();
        dc->SetRecordCount(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            dc->SetValue(r, key, Variant(rows[static_cast<std::size_t>(r)].first));
            dc->SetValue(r, group, Variant(rows[static_cast<std::size_t>(r)].second));
        }
        dc->EndUpdate();
    }

    void Reload(const std::vector<std::pair<int, const char*>>& rows)
    {
        dc->SaveKeys();
        Load(rows);
        dc->RestoreKeys();
    }

    // The keys of the selected records, in row order.
    std::vector<int> SelectedKeys()
    {
        std::vector<int> result;
        for (int i = 0; i < dc->GetSelectedCount(); ++i) {
            const TcxRowInfo info = dc->GetRowInfo(dc->GetSelectedRowIndex(i));
            if (info.Level == dc->GetGroupingItemCount()) result.push_back(dc->GetValue(info.RecordIndex, key).AsInteger());
        }
        return result;
    }

    hostlib::ObjectPtr<KeyedController> dc =
        hostlib::MakeObject<KeyedController>(static_cast<hostlib::TComponent*>(nullptr));
    int key = -1;
    int group = -1;
};

} // namespace

TEST_F(Keys, SelectedRecordsFollowTheirKeys)
{
    dc->ChangeRowSelection(1, true); // key 2
    dc->ChangeRowSelection(3, true); // key 4
    dc->ChangeRowSelection(4, true); // key 5
    Reload({{5, "c"}, {3, "a"}, {2, "b"}, {6, "d"}});
    EXPECT_EQ(SelectedKeys(), (std::vector<int>{5, 2}));
    EXPECT_TRUE(dc->IsRowSelected(0));
    EXPECT_TRUE(dc->IsRowSelected(2));
}

TEST_F(Keys, WithoutKeyNavigationTheSelectionIsOnlyTrimmed)
{
    dc->keyNavigation = false;
    dc->ChangeRowSelection(1, true);
    dc->ChangeRowSelection(4, true);
    Reload({{5, "c"}, {3, "a"}, {2, "b"}});
    // Record 1 is still selected, whatever it holds now; record 4 is gone.
    EXPECT_EQ(SelectedKeys(), (std::vector<int>{3}));
}

TEST_F(Keys, SelectedGroupsComeBackByValue)
{
    dc->Groups().ChangeGrouping(group, 0);
    // Rows: a (collapsed), b, c.
    dc->ChangeRowSelection(1, true);
    dc->Groups().ChangeExpanding(2, true, false); // c
    dc->ChangeRowSelection(3, true);              // key 5
    Reload({{7, "0"}, {5, "c"}, {4, "b"}});
    // Rows: 0, b, c (expanded) and its record.
    ASSERT_EQ(dc->GetRowCount(), 4);
    EXPECT_TRUE(dc->IsRowSelected(1));
    EXPECT_FALSE(dc->IsRowSelected(2));
    EXPECT_TRUE(dc->IsRowSelected(3));
    EXPECT_EQ(SelectedKeys(), (std::vector<int>{5}));
}

TEST_F(Keys, BracketsNest)
{
    dc->ChangeRowSelection(0, true); // key 1
    dc->SaveKeys();
    dc->SaveKeys();
    Load({{9, "x"}, {1, "a"}});
    dc->RestoreKeys();
    EXPECT_EQ(dc->GetLockCount(), 1);
    dc->RestoreKeys();
    EXPECT_EQ(dc->GetLockCount(), 0);
    EXPECT_EQ(SelectedKeys(), (std::vector<int>{1}));
    dc->RestoreKeys(); // unbalanced: nothing
    EXPECT_EQ(dc->GetLockCount(), 0);
}

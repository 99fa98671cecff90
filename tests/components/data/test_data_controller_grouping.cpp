// Grouping: the group tree and its row numbering, expansion, focus and
// selection in groups, and the operations that act on a whole group.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

// Group A (expanded) with innermost groups A1 (2 records) and A2 (1 record),
// both expanded, then group B (collapsed) with B1 (1 record).
void BuildExample(TcxDataGroups& groups, bool rebuild = true)
{
    groups.AddField(nullptr);
    groups.AddField(nullptr);
    groups.Add({0, true, 0, 1, 2, {}});
    groups.Add({0, true, 1, 0, 1, {}});
    groups.Add({0, true, 1, 2, 2, {}});
    groups.Add({0, false, 0, 4, 4, {}});
    groups.Add({0, true, 1, 3, 3, {}});
    if (rebuild) groups.Rebuild();
}

TEST(DataGroups, RowNumberingOfTheExample)
{
    TcxDataGroups groups;
    BuildExample(groups);
    std::vector<int> rows;
    for (int i = 0; i < groups.GetItemCount(); ++i) rows.push_back(groups.GetItem(i).RowIndex);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 4, 6, 6}));
    EXPECT_EQ(groups.GetRowCount(), 7);

    struct Row {
        int level;
        bool expanded;
        int position;
    };
    const Row expected[] = {{0, true, 0}, {1, true, 0}, {2, false, 0}, {2, false, 1}, {1, true, 2}, {2, false, 2}, {0, false, 3}};
    for (int row = 0; row < 7; ++row) {
        SCOPED_TRACE(row);
        const TcxRowInfo info = groups.GetRowInfo(row);
        EXPECT_EQ(info.Level, expected[row].level);
        EXPECT_EQ(info.Expanded, expected[row].expanded);
        EXPECT_EQ(info.RecordIndex, expected[row].position);
    }
}

TEST(DataGroups, ExpandingInfosKeepEachFieldOnce)
{
    auto dc = MakeTestDataController();
    const int item = dc->AddColumn(TcxStringValueType::Class());
    TcxDataExpandingInfos infos;
    infos.AddField(dc->GetField(item));
    infos.AddItem(0, Variant("a"), {eisExpanded});
    EXPECT_FALSE(infos.GetEmpty());
    EXPECT_THROW(infos.AddField(dc->GetField(item)), EcxInvalidDataControllerOperation);
    infos.CheckField(dc->GetField(item));
    EXPECT_TRUE(infos.GetEmpty());
    EXPECT_EQ(infos.GetFieldCount(), 0);
}

TEST(DataGroups, Navigation)
{
    TcxDataGroups groups;
    BuildExample(groups);
    EXPECT_EQ(groups.GetTopVisibleItem(4), 3);
    EXPECT_FALSE(groups.IsVisible(4));
    EXPECT_TRUE(groups.IsVisible(3));
    EXPECT_EQ(groups.GetFirstLevelCount(), 2);
    EXPECT_EQ(groups.GetChildIndex(-1, 1), 3);
    EXPECT_EQ(groups.GetChildIndex(-1, 2), -1);
    EXPECT_EQ(groups.GetChildCount(0), 2);
    EXPECT_EQ(groups.GetChildCount(1), 2);
    EXPECT_EQ(groups.GetChildCount(9), 0);
    EXPECT_EQ(groups.GetChildIndex(0, 1), 2);
    EXPECT_EQ(groups.GetChildIndex(1, 0), -1); // innermost: no child groups
    EXPECT_EQ(groups.GetChildRecordListIndex(1, 1), 1);
    EXPECT_EQ(groups.GetChildRecordListIndex(1, 2), -1);
    EXPECT_EQ(groups.GetParentIndex(4), 3);
    EXPECT_EQ(groups.GetParentIndex(0), -1);
    EXPECT_EQ(groups.GetLevel(7), -1);
    // Found by halving once numbered, by walking before.
    TcxDataGroups unnumbered;
    BuildExample(unnumbered, false);
    for (const TcxDataGroups* g : {&groups, &unnumbered}) {
        EXPECT_EQ(g->FindByIndex(3, 0), 3);
        EXPECT_EQ(g->FindByIndex(2, 1), 2);
        EXPECT_EQ(g->FindByIndex(1, 0), 0);
        EXPECT_EQ(g->FindByIndex(9, 1), -1);
        EXPECT_EQ(g->FindByIndex(-1, 1), -1);
        EXPECT_EQ(g->FindByIndex(0, 2), -1);
    }
    EXPECT_EQ(groups.GetIndexByRowIndexLevel(5, 0), 0);
    EXPECT_EQ(groups.GetIndexByRowIndexLevel(0, 1), 1);
    EXPECT_EQ(groups.GetIndexByRowIndex(3), 1);

    EXPECT_TRUE(groups.MakeVisible(4, false));
    EXPECT_EQ(groups.GetRowCount(), 9); // B expanded, B1 shows its record
    EXPECT_FALSE(groups.MakeVisible(4, false));
    groups.ChangeExpanding(0, false, true);
    EXPECT_FALSE(groups.GetItem(1).Expanded);
    EXPECT_EQ(groups.GetRowCount(), 4);
    groups.FullExpanding(true);
    EXPECT_EQ(groups.GetRowCount(), 9);
}

class ControllerGrouping : public ::testing::Test {
protected:
    void SetUp() override
    {
        // category, name
        const std::vector<std::pair<const char*, const char*>> rows = {
            {"b", "b1"}, {"a", "a1"}, {"c", "c1"}, {"a", "a2"}, {"b", "b2"}, {"a", "a3"},
        };
        dc->SetRecordCount(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            dc->SetValue(r, category, Variant(rows[r].first));
            dc->SetValue(r, name, Variant(rows[r].second));
        }
        dc->ChangeSorting(name, soAscending);
        dc->Groups().ChangeGrouping(category, 0);
        dc->notices.clear();
    }

    // Each row as its text: a group row shows its group value in brackets.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> result;
        for (int row = 0; row < dc->GetRowCount(); ++row) {
            const TcxRowInfo info = dc->GetRowInfo(row);
            if (info.Level < dc->GetGroupingItemCount()) {
                int item = name;
                const std::string text = dc->GetRowDisplayText(info, item);
                EXPECT_EQ(item, dc->Groups().GetGroupingItemIndex(info.Level));
                result.push_back(std::string(info.Expanded ? "-" : "+") + "[" + text + "]");
            } else {
                result.push_back(dc->GetValue(info.RecordIndex, name).AsString());
            }
        }
        return result;
    }

    std::string FocusedText()
    {
        const int row = dc->GetFocusedRowIndex();
        if (row == -1) return "none";
        const TcxRowInfo info = dc->GetRowInfo(row);
        return info.Level < dc->GetGroupingItemCount() ? "group " + dc->GetValue(info.RecordIndex, category).AsString()
                                                       : dc->GetValue(info.RecordIndex, name).AsString();
    }

    TestDataControllerPtr dc = MakeTestDataController();
    int category = dc->AddColumn(TcxStringValueType::Class());
    int name = dc->AddColumn(TcxStringValueType::Class());
};

TEST_F(ControllerGrouping, GroupsStartCollapsedAndExpand)
{
    EXPECT_EQ(dc->Groups().GetGroupingItemCount(), 1);
    EXPECT_EQ(dc->Groups().GetItemGroupIndex(category), 0);
    EXPECT_EQ(dc->Groups().GetItemGroupIndex(name), -1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[a]", "+[b]", "+[c]"}));
    dc->Groups().ChangeExpanding(1, true, false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[a]", "-[b]", "b1", "b2", "+[c]"}));
    dc->Groups().FullExpand();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-[a]", "a1", "a2", "a3", "-[b]", "b1", "b2", "-[c]", "c1"}));
    dc->Groups().FullCollapse();
    EXPECT_EQ(dc->GetRowCount(), 3);
    EXPECT_THROW(dc->Groups().ChangeExpanding(3, true, false), EcxInvalidDataControllerOperation);
}

TEST_F(ControllerGrouping, GroupOrderFollowsTheGroupingItemsSortOrder)
{
    dc->ChangeSorting(category, soDescending);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[c]", "+[b]", "+[a]"}));
    EXPECT_EQ(dc->GetItemSortOrder(category), soDescending);
    // Removing the sorting of a grouped item returns its groups to ascending.
    dc->ChangeSorting(category, soNone);
    EXPECT_EQ(dc->GetItemSortOrder(category), soAscending);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[a]", "+[b]", "+[c]"}));
}

TEST_F(ControllerGrouping, ExpansionSurvivesARefreshByGroupValue)
{
    dc->Groups().ChangeExpanding(1, true, false); // b
    dc->SetValue(2, category, Variant("0")); // c1 moves to a new first group
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[0]", "+[a]", "-[b]", "b1", "b2"}));
    dc->SetOptions(dc->Options() - TcxDataControllerOptions{dcoSaveExpanding});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[0]", "+[a]", "+[b]"}));
}

TEST_F(ControllerGrouping, AlwaysExpanded)
{
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoGroupsAlwaysExpanded});
    EXPECT_EQ(dc->GetRowCount(), 9);
    dc->Groups().ChangeExpanding(0, false, false); // refused
    EXPECT_EQ(dc->GetRowCount(), 9);
}

TEST_F(ControllerGrouping, CollapsingMovesTheFocusToTheGroupRow)
{
    dc->Groups().FullExpand();
    dc->ChangeFocusedRowIndex(2); // a2
    EXPECT_EQ(FocusedText(), "a2");
    dc->Groups().ChangeExpanding(0, false, false);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
    EXPECT_EQ(FocusedText(), "group a");
    dc->Groups().ChangeExpanding(0, true, false);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
    // Focusing a record inside a collapsed group expands it.
    dc->Groups().FullCollapse();
    dc->ChangeFocusedRecordIndex(4); // b2
    EXPECT_EQ(FocusedText(), "b2");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"+[a]", "-[b]", "b1", "b2", "+[c]"}));
}

TEST_F(ControllerGrouping, NearestRowStaysOnTheSameLevel)
{
    dc->Groups().FullExpand(); // -a a1 a2 a3 -b b1 b2 -c c1
    struct Case {
        int row;
        int nearest;
    };
    const Case cases[] = {{1, 2}, {3, 2}, {0, 1}, {4, 5}, {7, 8}, {8, 7}};
    for (const Case& c : cases) EXPECT_EQ(dc->GetNearestRowIndex(c.row), c.nearest) << c.row;
}

TEST_F(ControllerGrouping, DeletingAGroupRowDeletesItsRecords)
{
    dc->Groups().FullExpand();
    dc->ChangeFocusedRowIndex(4); // group b
    dc->DeleteFocused();
    EXPECT_EQ(dc->GetRecordCount(), 4);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-[a]", "a1", "a2", "a3", "-[c]", "c1"}));
    EXPECT_NE(dc->GetFocusedRowIndex(), -1);
}

TEST_F(ControllerGrouping, SelectedGroupsStayAcrossRefreshAndClearWhenTheGroupingGoes)
{
    dc->SetMultiSelect(true);
    dc->Groups().ChangeExpanding(0, true, false); // -a a1 a2 a3 +b +c
    dc->ChangeRowSelection(4, true);              // group b
    dc->ChangeRowSelection(2, true);              // a2
    dc->SetValue(0, name, Variant("b0"));         // refresh
    EXPECT_EQ(dc->GetSelectedCount(), 2);
    EXPECT_TRUE(dc->IsRowSelected(2));
    EXPECT_TRUE(dc->IsRowSelected(4));
    // Collapsing a hides a2: it leaves the selection; b moves up with it.
    dc->Groups().ChangeExpanding(0, false, false);
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_TRUE(dc->IsRowSelected(1));
    dc->RemoveItem(dc->GetItem(category));
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    EXPECT_EQ(dc->GetGroupingItemCount(), 0);
    EXPECT_EQ(dc->GetRowCount(), 6);
}

TEST_F(ControllerGrouping, InsertedRecordsTakeTheGroupValues)
{
    dc->Groups().FullExpand();
    dc->ChangeFocusedRowIndex(5); // b1
    dc->Insert();
    dc->SetEditValue(name, Variant("b9"), evsValue);
    dc->Post();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-[a]", "a1", "a2", "a3", "-[b]", "b1", "b2", "b9", "-[c]", "c1"}));
    dc->SetOptions(dc->Options() - TcxDataControllerOptions{dcoAssignGroupingValues});
    dc->ChangeFocusedRowIndex(1);
    dc->Append();
    dc->SetEditValue(name, Variant("x"), evsValue);
    dc->Post();
    EXPECT_EQ(Rows().front(), "-[]"); // a Null group, first, expanded to show the new record
}

TEST_F(ControllerGrouping, TwoLevels)
{
    const int flag = dc->AddColumn(TcxIntegerValueType::Class());
    for (int r = 0; r < dc->GetRecordCount(); ++r) dc->SetValue(r, flag, Variant(r % 2));
    dc->Groups().ChangeGrouping(flag, 1);
    dc->Groups().FullExpand();
    // a: records 1 (1), 3 (1), 5 (1); b: 0 (0), 4 (0); c: 2 (0)
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-[a]", "-[1]", "a1", "a2", "a3", "-[b]", "-[0]", "b1", "b2", "-[c]", "-[0]", "c1"}));
    TcxDataControllerGroups& groups = dc->Groups();
    EXPECT_TRUE(groups.HasAsParent(2, 0));
    EXPECT_TRUE(groups.HasAsParent(2, 1));
    EXPECT_TRUE(groups.HasAsParent(1, 0));
    EXPECT_FALSE(groups.HasAsParent(7, 0));
    EXPECT_FALSE(groups.HasAsParent(0, 1));
    std::vector<int> records;
    groups.LoadRecordIndexesByRowIndex(records, 5);
    EXPECT_EQ(records, (std::vector<int>{0, 4}));
    const int b = groups.GetDataGroupIndexByRowIndex(5);
    EXPECT_EQ(groups.GetLevel(b), 0);
    EXPECT_EQ(groups.GetChildCount(b), 1);
    const int b0 = groups.GetChildDataGroupIndex(b, 0);
    EXPECT_EQ(groups.GetParentDataGroupIndex(b0), b);
    EXPECT_EQ(groups.GetChildRecordIndex(b0, 1), 4);
    // Grouping values of a record, outermost first.
    Variant values;
    dc->GetGroupValues(4, values);
    EXPECT_EQ(values[0].AsString(), "b");
    EXPECT_EQ(values[1].AsInteger(), 0);
    dc->Groups().ClearGrouping();
    EXPECT_EQ(dc->GetRowCount(), 6);
}

} // namespace

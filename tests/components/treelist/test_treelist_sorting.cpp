// Sorting of nodes: both directions, ties in creation order, several sorted
// columns, nested lists, sorting when an update ends, the guard against
// records out of step with nodes, compares that never answer equal, and
// that a sort which moves nothing refreshes nothing.
#include <algorithm>

#include "tests/components/treelist/tree_list_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

// Counts the restores of the unsorted order.
class TCountingTreeList : public TcxTreeList {
public:
    static TClass StaticClass() { return DefineClass<TCountingTreeList, TcxTreeList>("TCountingTreeList"); }
    TClass ClassType() const override { return StaticClass(); }
    void RestoreSorting() override { ++restores; }
    int restores = 0;
};

class SortingTest : public TreeListTest {
protected:
    // Integer columns: the key, then a tag telling the rows apart.
    void MakeKeyed(const std::vector<std::pair<int, int>>& rows, TcxTreeListNode* parent = nullptr)
    {
        if (!list) {
            MakeTreeList(2);
            MakeInteger(Column(0));
            MakeInteger(Column(1));
        }
        for (auto [key, tag] : rows) AddRow(parent, {Variant(key), Variant(tag)});
    }
};

TEST_F(SortingTest, BothDirectionsWithTiesInCreationOrder)
{
    MakeKeyed({{3, 0}, {1, 1}, {2, 2}, {1, 3}, {3, 4}});
    Column(0)->SetSortOrder(soAscending);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{1, 1, 2, 3, 3}));
    EXPECT_EQ(Keys(Root(), 1), (std::vector<int>{1, 3, 2, 0, 4}));
    Column(0)->SetSortOrder(soDescending);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{3, 3, 2, 1, 1}));
    EXPECT_EQ(Keys(Root(), 1), (std::vector<int>{0, 4, 2, 1, 3})) << "ties keep creation order both ways";
    EXPECT_EQ(Records(Root()), (std::vector<int>{0, 4, 2, 1, 3})) << "records never move";
    for (int i = 0; i < list->Count(); ++i) EXPECT_EQ(list->Items(i)->Index(), i);
    EXPECT_EQ(Root()->getFirstChild()->getPrevSibling(), nullptr);
    EXPECT_EQ(Root()->GetLastChild()->getNextSibling(), nullptr);
}

TEST_F(SortingTest, TheColumnSortedFirstDecides)
{
    MakeKeyed({{1, 2}, {2, 1}, {1, 1}, {2, 2}});
    Column(0)->SetSortOrder(soAscending);
    Column(1)->SetSortOrder(soDescending);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(Keys(Root(), 1), (std::vector<int>{2, 1, 2, 1}));
    list->ClearSorting();
    Column(1)->SetSortOrder(soDescending);
    Column(0)->SetSortOrder(soAscending);
    EXPECT_EQ(Keys(Root(), 1), (std::vector<int>{2, 2, 1, 1}));
    EXPECT_EQ(Keys(Root()), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(list->GetSortedColumn(0), Column(1));
}

TEST_F(SortingTest, NestedListsAreSortedEachInPlace)
{
    MakeKeyed({{2, 0}, {1, 1}});
    TcxTreeListNode* second = list->Items(1);
    MakeKeyed({{9, 10}, {7, 11}, {8, 12}}, second);
    MakeKeyed({{5, 20}, {4, 21}}, second->GetItem(1));
    Column(0)->SetSortOrder(soAscending);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{1, 2}));
    TcxTreeListNode* parent = list->Items(0);
    EXPECT_EQ(Keys(parent), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(Keys(parent->GetItem(0)), (std::vector<int>{4, 5}));
    EXPECT_EQ(Records(parent), (std::vector<int>{3, 4, 2}));
}

TEST_F(SortingTest, ANodeAddedInsideAnUpdateLandsSortedAtItsEnd)
{
    MakeKeyed({{1, 0}, {3, 1}});
    Column(0)->SetSortOrder(soAscending);
    int sorts = 0;
    list->OnSorting = TNotifyEvent::FromFunction([&](TObject*) { ++sorts; });
    list->BeginUpdate();
    MakeKeyed({{2, 2}, {0, 3}});
    EXPECT_EQ(Keys(Root()), (std::vector<int>{1, 3, 2, 0}));
    list->EndUpdate();
    Pump();
    EXPECT_EQ(Keys(Root()), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(sorts, 1);
}

TEST_F(SortingTest, RecordsOutOfStepWithNodesSortNothing)
{
    MakeKeyed({{3, 0}, {1, 1}});
    int sorts = 0;
    list->OnSorting = TNotifyEvent::FromFunction([&](TObject*) { ++sorts; });
    list->DataController()->AppendRecord();
    Column(0)->SetSortOrder(soAscending);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{3, 1}));
    EXPECT_EQ(sorts, 0);
}

TEST_F(SortingTest, ClearingEverySortOrderRestoresOnceAndKeepsTheOrder)
{
    form = NewForm(600, 400);
    list = CreateObject<TCountingTreeList>(form);
    list->SetBounds(0, 0, 500, 300);
    list->SetParent(form);
    form->Show();
    list->CreateColumn();
    list->CreateColumn();
    MakeInteger(Column(0));
    MakeInteger(Column(1));
    MakeKeyed({{3, 0}, {1, 1}, {2, 2}});
    Column(0)->SetSortOrder(soDescending);
    list->ClearSorting();
    EXPECT_FALSE(list->Sorted());
    EXPECT_EQ(static_cast<TCountingTreeList*>(list)->restores, 1);
    EXPECT_EQ(Keys(Root()), (std::vector<int>{3, 2, 1}));
}

// A compare that answers "greater" for every pair, the node against itself
// included, must neither run off the list nor lose nodes.
TEST_F(SortingTest, ComparesThatNeverAnswerEqualStayInBounds)
{
    std::vector<std::pair<int, int>> rows;
    for (int i = 0; i < 40; ++i) rows.push_back({i % 7, i});
    MakeKeyed(rows);
    int asked = 0;
    list->OnCompare = TcxTreeListNodeCompareEvent::FromFunction([&](TObject*, TcxTreeListNode*, TcxTreeListNode*, int&) {
        ++asked;
    });
    Column(0)->SetSortOrder(soAscending);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(list->Count(), 40);
    for (auto compare : {+[](TcxTreeListNode*, TcxTreeListNode*) { return 1; },
                         +[](TcxTreeListNode*, TcxTreeListNode*) { return -1; }}) {
        Root()->CustomSort(compare, true);
        std::vector<int> tags = Keys(Root(), 1);
        std::sort(tags.begin(), tags.end());
        for (int i = 0; i < 40; ++i) EXPECT_EQ(tags[static_cast<std::size_t>(i)], i);
        EXPECT_EQ(list->Items(39)->Index(), 39);
    }
}

// Re-sorting a list already in order must not pull the view around or
// announce a change; a value change that moves a node does both.
TEST_F(SortingTest, OnlyASortThatMovesNodesRefreshes)
{
    MakeKeyed({{3, 0}, {1, 1}, {2, 2}});
    Column(0)->SetSortOrder(soAscending);
    Pump();
    int layouts = 0, changes = 0;
    list->OnLayoutChanged = TNotifyEvent::FromFunction([&](TObject*) { ++layouts; });
    list->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    list->DoChanged(false);
    changes = 0;
    list->DoSortNodes();
    list->Items(0)->SetValue(1, Variant(42));
    EXPECT_EQ(layouts, 0);
    EXPECT_EQ(changes, 0);
    list->Items(0)->SetValue(0, Variant(5));
    EXPECT_EQ(Keys(Root()), (std::vector<int>{2, 3, 5}));
    EXPECT_GE(layouts, 1);
    EXPECT_EQ(changes, 1);
}

// Keys that agree in their first bytes, keys that are the start of longer
// ones and the extremes of a whole number order as the values do, in both
// directions, ties in creation order.
TEST_F(SortingTest, KeysAlikeInTheirFirstBytesOrderAsTheirValues)
{
    const std::vector<int> numbers = {-5, 2147483647, 0, -2147483647 - 1, 7, -1, 7, 256, 255};
    const std::vector<std::string> texts = {"a shared start of some texts 2", "a shared start of some texts 10",
                                            "a shared start of some texts",   "a shared start of",
                                            "",                               "b",
                                            "a shared start of some texts 2", "a shared start of some texts\x01"};
    MakeTreeList(2);
    MakeInteger(Column(0));
    for (std::size_t i = 0; i < std::max(numbers.size(), texts.size()); ++i)
        AddRow(nullptr, {Variant(numbers[i % numbers.size()]), Variant(texts[i % texts.size()])});
    const auto expected = [&](int column, bool descending) {
        std::vector<int> order = Records(Root());
        std::sort(order.begin(), order.end());
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const Variant x = list->DataController()->GetValue(a, column);
            const Variant y = list->DataController()->GetValue(b, column);
            return descending ? y < x : x < y;
        });
        return order;
    };
    for (int column : {0, 1}) {
        for (const auto order : {soAscending, soDescending}) {
            SCOPED_TRACE(std::to_string(column) + (order == soAscending ? " ascending" : " descending"));
            list->ClearSorting();
            Column(column)->SetSortOrder(order);
            EXPECT_EQ(Records(Root()), expected(column, order == soDescending));
        }
    }
}

} // namespace

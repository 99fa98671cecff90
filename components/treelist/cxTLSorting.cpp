// Sorting of nodes: sibling lists are sorted in place by relinking the
// nodes; the records never move. One job serves a whole recursive sort.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "components/treelist/cxTL.h"

using namespace hostlib;

// A sort of one node's children, and of the lists below it when recursing.
class TreeListSortJob {
public:
    TreeListSortJob(TcxCustomTreeListControl* treeList, TcxTreeListCompareFunc compare, bool recursive)
        : treeList_(treeList), compare_(compare), recursive_(recursive),
          useDefaultCompare_(!compare && !treeList->OnCompare)
    {
    }

    void Run(TcxTreeListNode* node)
    {
        node_ = node;
        ++refCount_;
        quelvo::sys::ScopeGuard release([this] { Release(); });
        SortChildren();
        if (recursive_) SortBelow(node);
    }

private:
    void SortBelow(TcxTreeListNode* node)
    {
        bool moved = moved_;
        quelvo::sys::ScopeGuard restore([&] { moved_ = moved; });
        for (TcxTreeListNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
            moved_ = false;
            if (child->getFirstChild()) {
                node_ = child;
                SortChildren();
                SortBelow(child);
            }
            moved = moved || moved_;
        }
    }

    void SortChildren()
    {
        const int count = node_->Count();
        if (count == 0) return;
        if (count > static_cast<int>(items_.capacity())) items_.reserve(static_cast<std::size_t>(count));
        items_.clear();
        for (TcxTreeListNode* child = node_->getFirstChild(); child; child = child->getNextSibling())
            items_.push_back(child);
        BuildKeys();
        bool movedHere = false;
        std::swap(moved_, movedHere);
        if (keyed_)
            SortByKeys();
        else
            QuickSort(0, count - 1);
        if (moved_) Relink();
        moved_ = moved_ || movedHere;
    }

    // The default compare orders records field by field; where the data
    // controller can key a field, each node's keys are built once per list
    // and compared as bytes, which gives the same order. Ties fall to the
    // records' own order, so the order is total and any sort finds the one
    // the compare defines.
    void BuildKeys()
    {
        keyed_ = useDefaultCompare_ && !treeList_->SortOrders().empty();
        if (!keyed_) return;
        const auto& orders = treeList_->SortOrders();
        const std::size_t fields = orders.size();
        keys_.resize(items_.size() * fields);
        TcxControlDataController* data = treeList_->DataController();
        for (std::size_t i = 0; i < items_.size() && keyed_; ++i) {
            for (std::size_t f = 0; f < fields && keyed_; ++f) {
                std::string& key = keys_[i * fields + f];
                key.clear();
                keyed_ = data->GetSortKey(items_[i]->RecordIndex(), orders[f].Field, key);
            }
        }
        if (keyed_) BuildHeads();
    }

    // The first sixteen bytes of each first key as two numbers (which hold
    // a whole number or date key), so that most compares need no string
    // compare.
    void BuildHeads()
    {
        const std::size_t fields = treeList_->SortOrders().size();
        heads_.resize(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const std::string& key = keys_[i * fields];
            const auto byte = [&key](std::size_t b) -> std::uint64_t {
                return b < key.size() ? static_cast<unsigned char>(key[b]) : 0u;
            };
            KeyHead& head = heads_[i];
            head = KeyHead{0, 0, key.size()};
            for (std::size_t b = 0; b < 8; ++b) {
                head.high = head.high << 8 | byte(b);
                head.low = head.low << 8 | byte(b + 8);
            }
        }
    }

    // Heads that differ order as their keys do (a shorter key is padded with
    // zero bytes, which never orders it after a longer one); equal heads of
    // keys of one length up to sixteen bytes mean equal keys.
    int CompareKeys(std::size_t a, std::size_t b) const
    {
        const auto& orders = treeList_->SortOrders();
        const std::size_t fields = orders.size();
        const KeyHead& headA = heads_[a];
        const KeyHead& headB = heads_[b];
        std::size_t f = 0;
        if (headA.high != headB.high || headA.low != headB.low) {
            const bool less = headA.high != headB.high ? headA.high < headB.high : headA.low < headB.low;
            const int result = less ? -1 : 1;
            return orders[0].SortOrder == soDescending ? -result : result;
        }
        if (headA.size == headB.size && headA.size <= 16) f = 1;
        for (; f < fields; ++f) {
            const int result = keys_[a * fields + f].compare(keys_[b * fields + f]);
            if (result != 0) return orders[f].SortOrder == soDescending ? -result : result;
        }
        return treeList_->DataController()->CompareEqualRecords(items_[a]->RecordIndex(), items_[b]->RecordIndex());
    }

    // Sorts positions by the keys and moves the nodes after them; a list
    // already in order is left alone and does not count as moved.
    void SortByKeys()
    {
        const std::size_t count = items_.size();
        order_.resize(count);
        for (std::size_t i = 0; i < count; ++i) order_[i] = i;
        const auto less = [this](std::size_t a, std::size_t b) { return CompareKeys(a, b) < 0; };
        if (std::is_sorted(order_.begin(), order_.end(), less)) return;
        std::sort(order_.begin(), order_.end(), less);
        sorted_.resize(count);
        for (std::size_t i = 0; i < count; ++i) sorted_[i] = items_[order_[i]];
        items_.swap(sorted_);
        moved_ = true;
    }

    // A node compared with itself is equal before any compare is asked, so a
    // compare that answers otherwise cannot run the scan off the array.
    int Compare(TcxTreeListNode* a, TcxTreeListNode* b)
    {
        if (a == b) return 0;
        if (compare_) return compare_(a, b);
        if (!useDefaultCompare_) {
            int result = 0;
            treeList_->DoOnCompare(a, b, result);
            return result;
        }
        TcxControlDataController* data = treeList_->DataController();
        for (const TcxDataSortInfo& info : treeList_->SortOrders()) {
            const int result = data->CompareRecords(a->RecordIndex(), b->RecordIndex(), info);
            if (result != 0) return result;
        }
        return data->CompareEqualRecords(a->RecordIndex(), b->RecordIndex());
    }

    void QuickSort(int l, int r)
    {
        while (l < r) {
            const auto middle = static_cast<std::size_t>((l + r) / 2);
            TcxTreeListNode* pivot = items_[middle];
            int i = l, j = r;
            do {
                while (i < r && Compare(items_[static_cast<std::size_t>(i)], pivot) < 0) ++i;
                while (j > l && Compare(items_[static_cast<std::size_t>(j)], pivot) > 0) --j;
                if (i <= j) {
                    // Only a real exchange moves anything: a list already in
                    // order must not trigger the refresh.
                    if (i < j) {
                        moved_ = true;
                        std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
                    }
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j) QuickSort(l, j);
            l = i;
        }
    }

    void Relink()
    {
        const int last = static_cast<int>(items_.size()) - 1;
        if (last < 1) return;
        for (int k = 0; k <= last; ++k) {
            TcxTreeListNode* node = items_[static_cast<std::size_t>(k)];
            node->index_ = k;
            node->prev_ = k > 0 ? items_[static_cast<std::size_t>(k - 1)] : nullptr;
            node->next_ = k < last ? items_[static_cast<std::size_t>(k + 1)] : nullptr;
        }
        node_->firstChild_ = items_.front();
        node_->lastChild_ = items_.back();
    }

    void Release()
    {
        if (--refCount_ > 0) return;
        if (moved_) treeList_->RefreshAfterSort();
    }

    TcxCustomTreeListControl* treeList_;
    TcxTreeListCompareFunc compare_;
    bool recursive_;
    bool useDefaultCompare_;
    TcxTreeListNode* node_ = nullptr;
    std::vector<TcxTreeListNode*> items_;
    struct KeyHead {
        std::uint64_t high;
        std::uint64_t low;
        std::size_t size;
    };
    std::vector<std::string> keys_;  // a row of sort fields per item
    std::vector<KeyHead> heads_;     // of each item's first key
    std::vector<std::size_t> order_;
    std::vector<TcxTreeListNode*> sorted_;
    bool keyed_ = false;
    bool moved_ = false;
    int refCount_ = 0;
};

namespace {

// The jobs under way, for the program's life.
class TSortingManager {
public:
    void Register(TreeListSortJob* job) { jobs_.push_back(job); }
    void Unregister(TreeListSortJob* job) { jobs_.erase(std::remove(jobs_.begin(), jobs_.end(), job), jobs_.end()); }
    int Count() const { return static_cast<int>(jobs_.size()); }

private:
    std::vector<TreeListSortJob*> jobs_;
};

TSortingManager* sortingManager = nullptr;

}  // namespace

void cxTreeListSortingInitialize()
{
    if (!sortingManager) sortingManager = new TSortingManager();
}

void cxTreeListSortingFinalize()
{
    delete sortingManager;
    sortingManager = nullptr;
}

void TcxTreeListNode::CustomSort(TcxTreeListCompareFunc compare, bool recurse)
{
    if (!firstChild_ && !recurse) return;
    TreeListSortJob job(TreeList(), compare, recurse);
    if (sortingManager) sortingManager->Register(&job);
    quelvo::sys::ScopeGuard unregister([&job] {
        if (sortingManager) sortingManager->Unregister(&job);
    });
    job.Run(this);
}

// ---- the control's side --------------------------------------------------------------------

void TcxCustomTreeListControl::SetSorted(bool value)
{
    if (value) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    for (TcxTreeListColumn* column : std::vector<TcxTreeListColumn*>(sortedColumns_)) column->SetSortOrder(soNone);
}

void TcxCustomTreeListControl::EnableSorting()
{
    if (sortingDisabled_ == 0) return;
    if (--sortingDisabled_ == 0) DoSortNodes();
}

void TcxCustomTreeListControl::RecreateSortOrdersList()
{
    sortOrders_.clear();
    for (TcxTreeListColumn* column : sortedColumns_) {
        const TcxDataSortOrder order = column->GetRealSortOrder();
        if (order == soNone || column->ItemIndex() < 0) continue;
        sortOrders_.push_back(TcxDataSortInfo{DataController()->GetField(column->ItemIndex()), order});
    }
}

void TcxCustomTreeListControl::DoSortNodes()
{
    if (sortingDisabled_ > 0 || IsDestroying() || !nodes_) return;
    if (DataController()->GetRecordCount() != RecordMapCount()) return;
    DoSorting();
    quelvo::sys::ScopeGuard after([this] { DoOnAfterSorting(); });
    CancelSortPost();
    if (Sorted()) {
        try {
            RecreateSortOrdersList();
        } catch (...) {
            nodes_->Root()->AlphaSort(true);
            throw;
        }
        nodes_->Root()->AlphaSort(true);
    } else if (sortOrderChanged_) {
        sortOrderChanged_ = false;
        RestoreSorting();
    }
}

void TcxCustomTreeListControl::DoOnCompare(TcxTreeListNode* node1, TcxTreeListNode* node2, int& result)
{
    result = 1;
    OnCompare(this, node1, node2, result);
}

void TcxCustomTreeListControl::RefreshAfterSort()
{
    nodes_->MarkDirty();
    nodes_->CalculateInfo(false);
    LayoutChanged();
    Invalidate();
    if (TcxTreeListNode* node = FocusedNode()) MakeNodeVisible(node);
    DoChanged(true);
}

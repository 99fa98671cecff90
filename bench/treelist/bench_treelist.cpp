// The model side of the configurator's watch tick on its process list: 1,000
// top-level rows of five columns (two integers, three strings). One tick,
// inside one update bracket: every row compares its priority text with the
// wanted one (one row in ten differs and is set) and takes new integers in
// its two processor cells; closing the bracket sends the merged notice and
// sorts. Three lists: unsorted, sorted by the second column descending, and
// sorted by the third column with the locale-aware compare. Beside each the
// least work giving the same rows: a vector of row structs updated the same
// way and, when sorted, a stable sort of row pointers by the same key. Also
// a tick that changes nothing, which must not re-lay out the list.
#include "bench/common/ratio_reporter.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/editors/cxTextEdit.h"
#include "components/treelist/cxTL.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/controls/winctl.h"
#include "platform/windows/loop.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace hostlib;

constexpr int kRows = 1000;
const char* const kPriorities[] = {"Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime"};

int Instant(int row, int tick) { return (row * 7 + tick * 11) % 100; }
int Average(int row, int tick) { return (row * 13 + tick * 5) % 100; }
std::string Name(int row) { return "program" + std::to_string((row * 7919) % kRows) + ".exe"; }
// One row in ten wants another priority each tick.
std::string Priority(int row, int tick) { return kPriorities[(row + ((row + tick) % 10 == 0 ? tick : 0)) % 6]; }

enum class Order { None, InstantDescending, NameAnsi };

// ---- the reference -------------------------------------------------------------------

struct Row {
    int instant = 0, average = 0;
    std::string name, priority, rule;
    int created = 0;
};

class PlainList {
public:
    explicit PlainList(Order order) : order_(order)
    {
        rows_.resize(kRows);
        for (int i = 0; i < kRows; ++i) rows_[i] = Row{Instant(i, 0), Average(i, 0), Name(i), Priority(i, 0), "", i};
        for (Row& row : rows_) view_.push_back(&row);
        Sort();
    }
    void Tick(int tick)
    {
        bool changed = false;
        for (int i = 0; i < kRows; ++i) {
            Row& row = rows_[static_cast<std::size_t>(i)];
            const std::string wanted = Priority(i, tick);
            if (row.priority != wanted) row.priority = wanted;
            changed |= row.instant != Instant(i, tick) || row.average != Average(i, tick);
            row.instant = Instant(i, tick);
            row.average = Average(i, tick);
        }
        if (changed) Sort();
    }
    std::vector<int> Created() const
    {
        std::vector<int> result;
        for (const Row* row : view_) result.push_back(row->created);
        return result;
    }

private:
    void Sort()
    {
        // Equal keys keep creation order, in either direction.
        if (order_ == Order::InstantDescending)
            std::stable_sort(view_.begin(), view_.end(), [](const Row* a, const Row* b) {
                return a->instant != b->instant ? a->instant > b->instant : a->created < b->created;
            });
        if (order_ == Order::NameAnsi)
            std::stable_sort(view_.begin(), view_.end(), [](const Row* a, const Row* b) {
                const int result = AnsiCompareStr(a->name, b->name);
                return result != 0 ? result < 0 : a->created < b->created;
            });
    }

    Order order_;
    std::vector<Row> rows_;
    std::vector<Row*> view_;
};

// ---- the tree list -------------------------------------------------------------------

class ProcessList {
public:
    ProcessList(TForm* form, Order order)
    {
        list_ = CreateObject<TcxTreeList>(form);
        list_->SetBounds(0, 0, 600, 400);
        list_->SetParent(form);
        for (int c = 0; c < 5; ++c) {
            TcxTreeListColumn* column = list_->CreateColumn();
            column->SetPropertiesClassName("TcxTextEditProperties");
            if (c < 2) static_cast<TcxItemDataBinding*>(column->DataBinding())->SetValueType("Integer");
        }
        list_->OptionsData()->SetAnsiSort(true);
        list_->BeginUpdate();
        for (int i = 0; i < kRows; ++i) {
            TcxTreeListNode* node = list_->AddChild(nullptr);
            node->AssignValues({Variant(Instant(i, 0)), Variant(Average(i, 0)), Variant(Name(i)), Variant(Priority(i, 0)),
                                Variant(std::string())});
        }
        list_->EndUpdate();
        if (order == Order::InstantDescending) list_->GetColumn(0)->SetSortOrder(soDescending);
        if (order == Order::NameAnsi) list_->GetColumn(2)->SetSortOrder(soAscending);
        // With no change delay the notice follows every sort that moved rows.
        list_->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++refreshes; });
    }
    void Tick(int tick)
    {
        list_->BeginUpdate();
        for (TcxTreeListNode* node = list_->TopNode(); node; node = node->getNextSibling()) {
            const int i = node->RecordIndex();
            const std::string wanted = Priority(i, tick);
            if (node->GetText(3) != wanted) node->SetValue(3, Variant(wanted));
            node->SetValue(0, Variant(Instant(i, tick)));
            node->SetValue(1, Variant(Average(i, tick)));
        }
        list_->EndUpdate();
    }
    std::vector<int> Created() const
    {
        std::vector<int> result;
        for (TcxTreeListNode* node = list_->TopNode(); node; node = node->getNextSibling())
            result.push_back(node->RecordIndex());
        return result;
    }
    int refreshes = 0;

private:
    TcxTreeList* list_ = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    char folder[] = "/tmp/quelvo-bench-XXXXXX";
    quelvo::win::SetRuntimeFolder(mkdtemp(folder));
    quelvo::ctl::InitControls();
    InitVisualLibrary();
    cxEditPaintUtilsInitialize();
    cxInplaceContainerInitialize();
    cxTextEditInitialize();
    cxTreeListInitialize();
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(0, 0, 700, 500);

    const quelvo::bench::Options options = quelvo::bench::ParseOptions(argc, argv);
    quelvo::bench::RatioReporter reporter("model side of one watch tick, 1,000 rows");
    std::vector<quelvo::bench::Pair> pairs;
    std::vector<std::unique_ptr<ProcessList>> lists;
    std::vector<std::unique_ptr<PlainList>> plains;
    struct Kind {
        const char* name;
        Order order;
    };
    int failures = 0;
    for (Kind kind : {Kind{"unsorted", Order::None}, Kind{"sorted by integer", Order::InstantDescending},
                      Kind{"sorted by text", Order::NameAnsi}}) {
        lists.push_back(std::make_unique<ProcessList>(form, kind.order));
        plains.push_back(std::make_unique<PlainList>(kind.order));
        ProcessList* list = lists.back().get();
        PlainList* plain = plains.back().get();
        list->Tick(1);
        plain->Tick(1);
        if (list->Created() != plain->Created()) {
            std::printf("%s: the list's order differs from the reference\n", kind.name);
            ++failures;
        }
        auto listTick = std::make_shared<int>(1);
        auto plainTick = std::make_shared<int>(1);
        pairs.push_back(quelvo::bench::Pair{kind.name, {kind.name, [list, listTick] { list->Tick(++*listTick); }},
                                            {"vector of rows", [plain, plainTick] { plain->Tick(++*plainTick); }},
                                            3.0});
    }
    form->Show();
    Application->ProcessMessages();
    reporter.Run(pairs, options);

    // A tick that changes nothing moves no row, so the sort refreshes nothing.
    ProcessList* sorted = lists[1].get();
    sorted->Tick(7);
    sorted->refreshes = 0;
    quelvo::bench::Pair idle{"unchanged tick", {"unchanged tick", [sorted] { sorted->Tick(7); }},
                             {"vector of rows", [p = plains[1].get()] { p->Tick(7); }}, 0};
    reporter.Run({idle}, options);
    reporter.Print();
    std::printf("sort refreshes in unchanged ticks: %d\n", sorted->refreshes);
    if (sorted->refreshes != 0) ++failures;

    lists.clear();
    form->Free();
    cxTreeListFinalize();
    cxTextEditFinalize();
    cxInplaceContainerFinalize();
    FreeDefaultEditStyleController();
    cxEditPaintUtilsFinalize();
    cxControlsFinalize();
    cxLookAndFeelsFinalize();
    DoneVisualLibrary();
    return failures == 0 ? 0 : 1;
}

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
//
// Then the painted tick, the one users watch every second: the process list
// as the configurator's window declares it, 1,000 rows in a 1280 x 1024 form
// on the headless display, one tick being the model tick followed by the
// layout and the one paint of the visible page. Beside it a vector of rows
// and the visible page drawn with the drawing layer's calls directly (a fill
// per row, the grid lines, the header strip, a text per text and combo
// cell, a filled and framed bar with its percentage, a button per combo
// cell). Also a scroll by one page against drawing the next page.
#include "bench/common/ratio_reporter.h"
#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/editors/cxTextEdit.h"
#include "components/treelist/cxTL.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/controls/winctl.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/display.h"
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

enum class Order { None, InstantDescending, NameAnsi, AverageDescending };

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
    const std::vector<Row*>& View() const { return view_; }

private:
    void Sort()
    {
        // Equal keys keep creation order, in either direction.
        if (order_ == Order::InstantDescending)
            std::stable_sort(view_.begin(), view_.end(), [](const Row* a, const Row* b) {
                return a->instant != b->instant ? a->instant > b->instant : a->created < b->created;
            });
        if (order_ == Order::AverageDescending)
            std::stable_sort(view_.begin(), view_.end(), [](const Row* a, const Row* b) {
                return a->average != b->average ? a->average > b->average : a->created < b->created;
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


// ---- the painted tick ----------------------------------------------------------------

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;

// The process list as the configurator's window declares it.
const char* const kProcessListForm = R"(Window : TForm {
  Processes : TcxTreeList {
    Bands = < item { } >;
    BufferedPaint = False;
    LookAndFeel.Kind = lfUltraFlat;
    LookAndFeel.NativeStyle = False;
    OptionsData.AnsiSort = True;
    OptionsSelection.HideFocusRect = False;
    OptionsSelection.InvertSelect = False;
    OptionsView.ColumnAutoWidth = True;
    OptionsView.GridLines = tlglHorz;
    OptionsView.HeaderSingleLine = True;
    OptionsView.ShowRoot = False;
    OptionsView.TreeLineStyle = tllsNone;
    CpuInstant : TcxTreeListColumn {
      PropertiesClassName = "TcxProgressBarProperties";
      Properties.BarBevelOuter = cxbvRaised;
      Caption.AlignHorz = taCenter;
      Caption.Text = "CPU Inst.";
      DataBinding.ValueType = "Integer";
      MinWidth = 75;
      Options.Editing = False;
      Options.Focusing = False;
      Options.Sizing = False;
      Width = 75;
      Position.BandIndex = 0;
      Position.ColIndex = 0;
      Position.RowIndex = 0;
    }
    CpuAvg : TcxTreeListColumn {
      PropertiesClassName = "TcxProgressBarProperties";
      Properties.BarBevelOuter = cxbvRaised;
      Properties.BeginColor = clGreen;
      Properties.OverloadValue = 20;
      Caption.AlignHorz = taCenter;
      Caption.Text = "CPU Avg.";
      DataBinding.ValueType = "Integer";
      MinWidth = 75;
      Options.Editing = False;
      Options.Focusing = False;
      Options.Sizing = False;
      Width = 75;
      Position.BandIndex = 0;
      Position.ColIndex = 1;
      Position.RowIndex = 0;
    }
    AppName : TcxTreeListColumn {
      PropertiesClassName = "TcxTextEditProperties";
      Properties.ReadOnly = True;
      Caption.Text = "Application Name";
      MinWidth = 100;
      Options.Editing = False;
      Options.Moving = False;
      Options.ShowEditButtons = eisbNever;
      Position.BandIndex = 0;
      Position.ColIndex = 2;
      Position.RowIndex = 0;
    }
    Priority : TcxTreeListColumn {
      PropertiesClassName = "TcxComboBoxProperties";
      Properties.ImmediatePost = True;
      Properties.Items = ("Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime");
      Caption.Text = "Priority";
      MinWidth = 100;
      Options.ShowEditButtons = eisbAlways;
      Options.Sizing = False;
      Position.BandIndex = 0;
      Position.ColIndex = 3;
      Position.RowIndex = 0;
    }
    Rule : TcxTreeListColumn {
      PropertiesClassName = "TcxComboBoxProperties";
      Properties.DropDownRows = 12;
      Properties.ImmediatePost = True;
      Properties.Items = ("", "Ignore", "Force Low", "Force High", "Force Normal", "Force Below Normal",
                          "Force Above Normal", "Force Realtime", "Force Kill");
      Caption.Text = "Explicit Rule";
      MinWidth = 130;
      Options.ShowEditButtons = eisbAlways;
      Options.Sizing = False;
      Width = 130;
      Position.BandIndex = 0;
      Position.ColIndex = 4;
      Position.RowIndex = 0;
    }
  }
})";

void Pump() { quelvo::win::Headless().PumpUntilIdle(); }

class PaintedList {
public:
    explicit PaintedList(Order order)
    {
        form_.reset(static_cast<TForm*>(CreateFromFormResource(kProcessListForm, "processes.form", nullptr)));
        form_->SetBounds(0, 0, kScreenWidth, kScreenHeight);
        list_ = static_cast<TcxTreeList*>(form_->FindComponent("Processes"));
        list_->SetBounds(0, 0, form_->ClientWidth(), form_->ClientHeight());
        list_->BeginUpdate();
        for (int i = 0; i < kRows; ++i)
            list_->AddChild(nullptr)->AssignValues({Variant(Instant(i, 0)), Variant(Average(i, 0)), Variant(Name(i)),
                                                    Variant(Priority(i, 0)), Variant(std::string())});
        list_->EndUpdate();
        if (order == Order::AverageDescending) list_->GetColumn(1)->SetSortOrder(soDescending);
        form_->Show();
        Pump();
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
        Pump();
    }
    void ScrollPage()
    {
        int top = list_->GetTopVisibleIndex() + list_->GetVisibleCount();
        if (top + list_->GetVisibleCount() > kRows) top = 0;
        list_->SetTopVisibleIndex(top);
        Pump();
    }
    // The rows a tick paints by itself, counted by their name cells.
    int PaintedRows(int tick)
    {
        int rows = 0;
        TcxTreeListColumn* name = list_->GetColumn(2);
        list_->OnCustomDrawCell = TcxCustomDrawViewInfoItemEvent::FromFunction(
            [&rows, name](TObject*, TcxCanvas*, TcxCustomViewInfoItem* item, bool&) {
                auto* cell = As<TcxTreeListEditCellViewInfo>(item);
                rows += cell && cell->GetColumn() == name;
            });
        Tick(tick);
        list_->OnCustomDrawCell = {};
        return rows;
    }
    int HeaderHeight() const { return list_->GetHeaderPanelHeight(); }
    int RowHeight() const { return list_->TreeListViewInfo()->GetDefaultHeight(); }
    int Width() const { return list_->ClientWidth(); }
    int Height() const { return list_->ClientHeight(); }
    std::vector<std::pair<int, int>> ColumnSpans() const
    {
        std::vector<std::pair<int, int>> spans;
        for (int c = 0; c < list_->GetColumnCount(); ++c) {
            const RECT r = list_->GetColumn(c)->ViewInfo()->ColumnHeader()->DisplayRect;
            spans.emplace_back(r.left, r.right);
        }
        return spans;
    }
    TFont* Font() const { return list_->Font(); }

private:
    ObjectPtr<TForm> form_;
    TcxTreeList* list_ = nullptr;
};

// The least work that shows the same page: the rows in a vector, drawn
// with the drawing layer's calls into a surface of the same size.
class DrawnPage {
public:
    DrawnPage(Order order, const PaintedList& shape)
        : rows_(order), width_(shape.Width()), height_(shape.Height()), header_(shape.HeaderHeight()),
          rowHeight_(shape.RowHeight()), spans_(shape.ColumnSpans())
    {
        dc_ = CreateCompatibleDC(nullptr);
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        bitmap_ = CreateCompatibleBitmap(display, kScreenWidth, kScreenHeight);
        DeleteDC(display);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        font_->Assign(shape.Font());
        oldFont_ = SelectObject(dc_, font_->Handle());
        SetBkMode(dc_, TRANSPARENT);
    }
    ~DrawnPage()
    {
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBitmap_);
        for (HBRUSH brush : {window_, face_, grid_, bar_, frame_}) DeleteObject(brush);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DrawnPage(const DrawnPage&) = delete;
    DrawnPage& operator=(const DrawnPage&) = delete;

    void Tick(int tick)
    {
        rows_.Tick(tick);
        Draw();
    }
    void ScrollPage()
    {
        top_ += Visible();
        if (top_ + Visible() > kRows) top_ = 0;
        Draw();
    }
    // The rows drawn, the last one cut.
    int Draw()
    {
        RECT strip{0, 0, width_, header_};
        FillRect(dc_, &strip, face_);
        for (std::size_t c = 0; c < spans_.size(); ++c) Text(static_cast<int>(c), 0, kCaptions[c]);
        int drawn = 0;
        int y = header_;
        const std::vector<Row*>& view = rows_.View();
        for (int r = top_; y < height_ && r < kRows; ++r, ++drawn, y += rowHeight_) {
            const Row& row = *view[static_cast<std::size_t>(r)];
            RECT line{0, y, width_, y + rowHeight_};
            FillRect(dc_, &line, window_);
            RECT grid{0, y + rowHeight_ - 1, width_, y + rowHeight_};
            FillRect(dc_, &grid, grid_);
            Bar(0, y, row.instant);
            Bar(1, y, row.average);
            Text(2, y, row.name);
            Combo(3, y, row.priority);
            Combo(4, y, row.rule);
        }
        RECT rest{0, y, width_, height_};
        if (y < height_) FillRect(dc_, &rest, window_);
        return drawn;
    }

private:
    static constexpr const char* kCaptions[] = {"CPU Inst.", "CPU Avg.", "Application Name", "Priority", "Explicit Rule"};

    int Visible() const { return (height_ - header_) / rowHeight_; }
    RECT Cell(int column, int y) const
    {
        const auto& [left, right] = spans_[static_cast<std::size_t>(column)];
        return RECT{left, y, right, y + rowHeight_ - 1};
    }
    void Text(int column, int y, const std::string& text)
    {
        const RECT r = Cell(column, y);
        ExtTextOutA(dc_, r.left + 2, y + 2, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
    void Bar(int column, int y, int percent)
    {
        RECT r = Cell(column, y);
        InflateRect(&r, -2, -2);
        RECT filled = r;
        filled.right = r.left + (r.right - r.left) * percent / 100;
        FillRect(dc_, &filled, bar_);
        FrameRect(dc_, &r, frame_);
        char text[8];
        const int n = std::snprintf(text, sizeof text, "%d%%", percent);
        ExtTextOutA(dc_, (r.left + r.right) / 2 - 8, r.top, ETO_CLIPPED, &r, text, static_cast<UINT>(n), nullptr);
    }
    void Combo(int column, int y, const std::string& text)
    {
        Text(column, y, text);
        const RECT cell = Cell(column, y);
        RECT button{cell.right - 17, cell.top + 1, cell.right - 1, cell.bottom - 1};
        FillRect(dc_, &button, face_);
        FrameRect(dc_, &button, frame_);
    }

    PlainList rows_;
    int width_, height_, header_, rowHeight_;
    std::vector<std::pair<int, int>> spans_;
    int top_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    ObjectPtr<TFont> font_ = MakeObject<TFont>();
    HBRUSH window_ = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH face_ = CreateSolidBrush(RGB(212, 208, 200));
    HBRUSH grid_ = CreateSolidBrush(RGB(128, 128, 128));
    HBRUSH bar_ = CreateSolidBrush(RGB(0, 0, 128));
    HBRUSH frame_ = CreateSolidBrush(RGB(0, 0, 0));
};

// Runs the painted pairs; the number of failed checks.
int RunPaintedTicks(const quelvo::bench::Options& options)
{
    RegisterClasses({TForm::StaticClass(), TcxTreeList::StaticClass(), TcxTreeListColumn::StaticClass()});
    quelvo::bench::RatioReporter reporter("painted watch tick, 1,000 rows in a 1280 x 1024 form");
    int failures = 0;
    struct Kind {
        const char* name;
        Order order;
    };
    std::vector<std::unique_ptr<PaintedList>> lists;
    std::vector<std::unique_ptr<DrawnPage>> pages;
    std::vector<quelvo::bench::Pair> pairs;
    for (Kind kind : {Kind{"painted, unsorted", Order::None}, Kind{"painted, by CPU Avg.", Order::AverageDescending}}) {
        lists.push_back(std::make_unique<PaintedList>(kind.order));
        pages.push_back(std::make_unique<DrawnPage>(kind.order, *lists.back()));
        PaintedList* list = lists.back().get();
        DrawnPage* page = pages.back().get();
        page->Tick(1);
        const int drawn = page->Draw();
        const int painted = list->PaintedRows(1);
        std::printf("%s: %d rows painted, %d drawn by the reference\n", kind.name, painted, drawn);
        if (painted != drawn) ++failures;
        auto listTick = std::make_shared<int>(1);
        auto pageTick = std::make_shared<int>(1);
        pairs.push_back(quelvo::bench::Pair{kind.name, {kind.name, [list, listTick] { list->Tick(++*listTick); }},
                                            {"vector and direct drawing", [page, pageTick] { page->Tick(++*pageTick); }},
                                            3.0});
    }
    pairs.push_back(quelvo::bench::Pair{"page scroll", {"page scroll", [list = lists[0].get()] { list->ScrollPage(); }},
                                        {"drawing the next page", [page = pages[0].get()] { page->ScrollPage(); }},
                                        3.0});
    for (const quelvo::bench::Pair& pair : pairs) {
        const quelvo::bench::PairResult result = quelvo::bench::RunPair(pair, options);
        quelvo::bench::PrintPair(pair, result);
        const double ms = quelvo::bench::Median(result.subject) * 1e3;
        std::printf("  %s: %.2f ms median, %.1f%% of the 1,000 ms watch interval\n", pair.subject.name.c_str(), ms,
                    ms / 10.0);
        reporter.Add(pair.subject.name, result, pair.target);
    }
    reporter.Print();
    return failures;
}

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
    cxDropDownEditInitialize();
    cxProgressBarInitialize();
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
    failures += RunPaintedTicks(options);
    cxTreeListFinalize();
    cxProgressBarFinalize();
    cxDropDownEditFinalize();
    cxTextEditFinalize();
    cxInplaceContainerFinalize();
    FreeDefaultEditStyleController();
    cxEditPaintUtilsFinalize();
    cxControlsFinalize();
    cxLookAndFeelsFinalize();
    DoneVisualLibrary();
    return failures == 0 ? 0 : 1;
}

// The Processes page over scripted processes: which processes get rows and
// when, what their cells hold, and what picking a priority or a rule in a
// row does.
#include "tests/configurator/ListsFixture.h"


#include <algorithm>
#include <cstdint>

#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

using namespace configuratortest;
using namespace hostlib;

namespace {

class ProcessListTest : public ScriptedTest {
protected:
    // Three processes of two names; none busy yet.
    void AddProcesses()
    {
        fake.AddProcess(100, "/usr/bin/hog.exe");
        fake.AddProcess(101, "/usr/bin/hog.exe");
        fake.AddProcess(102, "/usr/bin/calm.exe");
    }
    void ShowAll()
    {
        form->HideLowCheckBox->SetChecked(false);
        Tick();
    }
    // Counts the list's notices of changed data: one per refresh that
    // wrote any cell.
    void CountWrites()
    {
        Processes()->OnDataChanged = TNotifyEvent::FromFunction([this](TObject*) { ++writes; });
    }
    int writes = 0;
};

TEST_F(ProcessListTest, HideLowHoldsBackNewRowsBelowOnePercentAndKeepsRowsOnceShown)
{
    AddProcesses();
    Open();
    ASSERT_TRUE(form->HideLowCheckBox->Checked());
    Busy(100, 50);
    Tick();
    EXPECT_EQ(Processes()->Count(), 0) << "the first sample gives no use yet";
    Busy(100, 50);
    Tick();
    ASSERT_NE(Row(100), nullptr) << "busy from the second tick on";
    EXPECT_EQ(Processes()->Count(), 1);

    // Exactly at the edge, on the next refresh of the same sample.
    Record(101)->SmoothedCpuUse = 0.99;
    Record(102)->SmoothedCpuUse = 1.0;
    form->RefreshProcessList();
    EXPECT_EQ(Row(101), nullptr);
    ASSERT_NE(Row(102), nullptr);
    EXPECT_EQ(Row(102)->Data(), Record(102)) << "row and record point at each other";

    Tick(3);
    EXPECT_NE(Row(102), nullptr) << "idle now, but its row stays";
    EXPECT_EQ(Row(101), nullptr);
    EXPECT_EQ(Processes()->Count(), 2);
}

TEST_F(ProcessListTest, CheckingHideLowEmptiesTheListAtOnceAndClearingItBringsEveryRowBack)
{
    AddProcesses();
    Open();
    ShowAll();
    EXPECT_EQ(Processes()->Count(), 3 + 0) << "every named process with a class";
    form->HideLowCheckBox->SetChecked(true);
    EXPECT_EQ(Processes()->Count(), 0);
    for (DWORD pid : {100u, 101u, 102u}) EXPECT_EQ(Record(pid)->UserData, nullptr) << pid;
    Busy(101, 30);
    Tick(2);
    EXPECT_EQ(Processes()->Count(), 1);
    EXPECT_NE(Row(101), nullptr);
    form->HideLowCheckBox->SetChecked(false);
    EXPECT_EQ(Processes()->Count(), 1) << "nothing until the next tick";
    Tick();
    EXPECT_EQ(Processes()->Count(), 3);
}

TEST_F(ProcessListTest, RowsAreHeldBackWithoutAClassOrANameAndGoWithTheirProcess)
{
    AddProcesses();
    fake.AddProcess(103, "/usr/bin/locked.exe").deniedAccess = PROCESS_QUERY_INFORMATION;
    quelvo::sys::FakeProcess& nameless = fake.AddProcess(104, "/usr/bin/nameless");
    nameless.pathReadable = false;
    nameless.shortName = "";
    Open();
    ShowAll();
    EXPECT_EQ(Record(103)->PriorityClass, 0u);
    EXPECT_EQ(Row(103), nullptr) << "class unreadable when the row would be made";
    ASSERT_NE(Record(104), nullptr);
    EXPECT_EQ(Record(104)->Name, "");
    EXPECT_EQ(Row(104), nullptr) << "no name";
    ASSERT_NE(Row(102), nullptr);
    EXPECT_EQ(Row(102)->GetText(3), "Normal");

    // A row whose class can no longer be read stays, with an empty class.
    fake.Process(102)->deniedAccess = PROCESS_QUERY_INFORMATION;
    Tick();
    ASSERT_NE(Row(102), nullptr);
    EXPECT_EQ(Row(102)->GetText(3), "");

    // A process that ends loses its row in that very tick; the sanitizers
    // watch that nothing reaches the freed row or record afterwards.
    fake.EndProcess(100);
    Tick();
    EXPECT_EQ(Record(100), nullptr);
    EXPECT_EQ(Processes()->Count(), 2);
    for (int i = 0; i < Processes()->Count(); ++i)
        EXPECT_NE(static_cast<ProcessObject*>(Processes()->Items(i)->Data())->Pid, 100u);
    Tick(2);
    EXPECT_EQ(Processes()->Count(), 2);
}

TEST_F(ProcessListTest, TheFocusedRowKeepsTheFocusWhenRowsAboveItGo)
{
    AddProcesses();
    Open();
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    ShowAll();
    Pump();
    Row(102)->SetFocused(true);
    fake.EndProcess(100);
    Tick();
    ASSERT_EQ(Processes()->Count(), 2);
    EXPECT_TRUE(Row(102)->Focused());
    // The focused row's own process: the focus goes with it, to no other row.
    Row(101)->SetFocused(true);
    fake.EndProcess(101);
    Tick();
    EXPECT_EQ(Processes()->Count(), 1);
    EXPECT_EQ(Processes()->FocusedNode(), nullptr);
}

TEST_F(ProcessListTest, AnAverageOfHalfShowsAGreenBarAcrossTheLeftHalfOfItsCell)
{
    AddProcesses();
    Open();
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    ShowAll();
    Record(100)->SmoothedCpuUse = 50;
    form->RefreshProcessList();
    Pump();
    TcxTreeListColumn* average = Processes()->GetColumn(1);
    const auto green = [&](int x, int y) {
        const POINT p = form->ScreenToClient(Processes()->ClientToScreen(POINT{x, y}));
        return Screen().ClientPixel(form->Handle(), p.x, p.y) == 0x008000u;
    };
    // The one busy row's line: the one with most green in the column.
    const int start = Processes()->GetColumn(0)->Width();
    const int width = average->Width();
    int left = 0, right = 0;
    for (int y = 0; y < Processes()->Height(); ++y) {
        int line = 0;
        for (int x = start; x < start + width / 2 - 6; ++x) line += green(x, y);
        left = std::max(left, line);
        for (int x = start + width - 12; x < start + width; ++x) right += green(x, y);
    }
    EXPECT_GT(left, width / 4) << "green across the left half";
    EXPECT_EQ(right, 0) << "none near the right edge";
}

// ---- what the rows look like ------------------------------------------------------------------

class ProcessListPixelsTest : public ProcessListTest {
protected:
    void ShowPage()
    {
        AddProcesses();
        Open();
        form->PageControl->SetActivePage(form->ProcessTabSheet);
        ShowAll();
        Pump();
    }
    // Pixels of the process list within a box that pass a test.
    template <class Wanted>
    int CountIn(const RECT& r, Wanted wanted)
    {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) count += wanted(ListPixel(Processes(), x, y));
        return count;
    }
    RECT CellRect(DWORD pid, int column)
    {
        TcxTreeListEditCellViewInfo* cell = Cell(Processes(), Row(pid), column);
        return cell ? cell->EditRect : RECT{};
    }
};

TEST_F(ProcessListPixelsTest, AnIdleRowShowsNoInstantBarWhereABusyRowShowsItsShare)
{
    ShowPage();
    Record(100)->CpuUse = 50;
    form->RefreshProcessList();
    Pump();
    const auto navy = [](std::uint32_t c) { return c == 0x000080u; };
    const RECT busy = CellRect(100, 0);
    const int half = (busy.right - busy.left) / 2;
    EXPECT_GT(CountIn(RECT{busy.left, busy.top, busy.left + half - 4, busy.bottom}, navy),
              (half - 4) * (busy.bottom - busy.top) / 2)
        << "the bar's colour across the left half";
    EXPECT_EQ(CountIn(RECT{busy.right - 12, busy.top, busy.right, busy.bottom}, navy), 0);
    for (DWORD idle : {101u, 102u}) EXPECT_EQ(CountIn(CellRect(idle, 0), navy), 0) << idle;
}

TEST_F(ProcessListPixelsTest, ThePriorityCellShowsItsClassAndItsButtonOnEveryRow)
{
    fake.AddProcess(103, "/usr/bin/low.exe").priorityClass = BELOW_NORMAL_PRIORITY_CLASS;
    ShowPage();
    fake.Process(101)->deniedAccess = PROCESS_QUERY_INFORMATION;
    Tick();
    Pump();
    ASSERT_EQ(Processes()->FocusedNode(), nullptr);
    struct Case {
        DWORD pid;
        const char* text;
    };
    // How far right the text's dark pixels reach from the cell's left edge.
    int reach[3] = {};
    const Case cases[] = {{101, ""}, {100, "Normal"}, {103, "Below Normal"}};
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        ASSERT_EQ(Row(c.pid)->GetText(3), c.text);
        TcxTreeListEditCellViewInfo* cell = Cell(Processes(), Row(c.pid), 3);
        ASSERT_NE(cell, nullptr);
        ASSERT_EQ(cell->ViewInfo()->ButtonCount(), 1) << c.text;
        RECT button = cell->ViewInfo()->ButtonsInfo[0]->Bounds;
        OffsetRect(&button, cell->ViewInfo()->Left, cell->ViewInfo()->Top);
        const int area = (button.right - button.left) * (button.bottom - button.top);
        EXPECT_GT(CountIn(button, [](std::uint32_t p) { return p == 0xD4D0C8u; }), area / 2)
            << "the button's face on the " << c.text << " row";
        EXPECT_GE(CountIn(button, [](std::uint32_t p) { return p == 0u; }), 5)
            << "its arrow on the " << c.text << " row";
        const RECT r = cell->EditRect;
        for (int x = r.left; x < button.left; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if ((ListPixel(Processes(), x, y) & 0xFF) < 0x60) reach[i] = x - r.left + 1;
    }
    EXPECT_EQ(reach[0], 0) << "no text for a class that cannot be read";
    EXPECT_GT(reach[1], 20);
    EXPECT_GT(reach[2], reach[1] + 20) << "the longer name reaches further";
}

TEST_F(ProcessListPixelsTest, TheFocusedRowKeepsItsFocusRectangleAcrossTicks)
{
    ShowPage();
    // Dots of the focus rectangle: the inverse of the cell's own colour on
    // the line just above the cell.
    const auto dots = [&](DWORD pid) {
        const RECT r = CellRect(pid, 2);
        const std::uint32_t inside = ListPixel(Processes(), r.left, r.top);
        return CountIn(RECT{r.left - 1, r.top - 1, r.right + 1, r.top},
                       [inside](std::uint32_t p) { return p == (~inside & 0xFFFFFFu); });
    };
    const auto click = [&](DWORD pid) {
        const RECT r = CellRect(pid, 2);
        Screen().Click(Processes()->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        Pump();
    };
    for (DWORD pid : {100u, 101u, 102u}) EXPECT_EQ(dots(pid), 0) << pid;
    click(102);
    ASSERT_EQ(Processes()->FocusedNode(), Row(102));
    const int width = CellRect(102, 2).right - CellRect(102, 2).left;
    EXPECT_GT(dots(102), width / 3);
    Busy(100, 20);
    Tick(2);
    Pump();
    ASSERT_EQ(Processes()->FocusedNode(), Row(102));
    EXPECT_GT(dots(102), width / 3) << "kept while the cells around it change";
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(dots(pid), 0) << pid;
    click(100);
    EXPECT_GT(dots(100), width / 3);
    EXPECT_EQ(dots(102), 0) << "gone from the row that lost the focus";
}

TEST_F(ProcessListTest, TheProcessorCellsHoldTheUseRoundedHalfToEvenWhateverTheLocale)
{
    AddProcesses();
    Open();
    ShowAll();
    CountWrites();
    struct Case {
        DWORD pid;
        double average;
        int shown;
    };
    const Case cases[] = {{100, 12.5, 12}, {101, 13.5, 14}, {102, 2.4, 2}};
    for (const char separator : {'.', ','}) {
        TFormatSettings settings = FormatSettings();
        settings.DecimalSeparator = separator;
        settings.ThousandSeparator = separator == ',' ? '.' : ',';
        const ScopedFormatSettings locale(settings);
        for (const Case& c : cases) Record(c.pid)->SmoothedCpuUse = c.average;
        Record(100)->CpuUse = separator == '.' ? 7 : 8;
        writes = 0;
        form->RefreshProcessList();
        for (const Case& c : cases) {
            EXPECT_EQ(Row(c.pid)->GetValue(1).AsInteger(), c.shown) << separator << " " << c.average;
            EXPECT_EQ(Row(c.pid)->GetText(1), std::to_string(c.shown)) << separator;
        }
        EXPECT_EQ(Row(100)->GetValue(0).AsInteger(), separator == '.' ? 7 : 8);
        EXPECT_GT(writes, 0) << separator;
        // The same use again, or one that rounds to the same integer,
        // writes nothing.
        Record(101)->SmoothedCpuUse = 13.9;
        writes = 0;
        form->RefreshProcessList();
        EXPECT_EQ(writes, 0) << separator;
        Record(101)->SmoothedCpuUse = 14.6;
        form->RefreshProcessList();
        EXPECT_GT(writes, 0) << separator;
        EXPECT_EQ(Row(101)->GetText(1), "15");
    }
}

TEST_F(ProcessListTest, AClassChangedFromOutsideTakesTheFocusOffItsRowAndShows)
{
    AddProcesses();
    Open();
    ShowAll();
    Row(100)->SetFocused(true);
    Row(100)->SetSelected(true);
    Tick();
    EXPECT_TRUE(Row(100)->Focused()) << "an unchanged class leaves the row alone";
    fake.Process(100)->priorityClass = HIGH_PRIORITY_CLASS;
    Tick();
    EXPECT_FALSE(Row(100)->Focused());
    EXPECT_FALSE(Row(100)->Selected());
    EXPECT_EQ(Row(100)->GetText(3), "High");
    fake.Process(101)->priorityClass = 0x12345;
    Tick();
    EXPECT_EQ(Row(101)->GetText(3), "Unknown");
}

// ---- picking in a row ----------------------------------------------------------------------

TEST_F(ProcessListTest, APickedPriorityIsSetAtOnceAndAsksTheTrayToApplyTheRules)
{
    AddProcesses();
    AddTrayWithoutWindow();
    Open();
    ShowAll();
    Tick();
    ASSERT_EQ(WaitingRequest(), -1);
    TcxTreeListNode* row = Row(101);
    row->SetFocused(true);
    row->SetValue(3, Variant("Below Normal"));
    form->cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange(form);
    ASSERT_EQ(fake.priorityChanges.size(), 1u);
    EXPECT_EQ(fake.priorityChanges[0].pid, 101u);
    EXPECT_EQ(fake.priorityChanges[0].priorityClass, 0x4000u);
    EXPECT_EQ(Record(101)->PriorityClass, 0x4000u);
    EXPECT_FALSE(row->Focused());
    Tick();
    EXPECT_EQ(WaitingRequest(), 1);
    EXPECT_EQ(Row(101)->GetText(3), "Below Normal");
}

TEST_F(ProcessListTest, AnUnknownPriorityIsReportedAndARowGoneMeanwhileIsLeftAlone)
{
    AddProcesses();
    Open();
    ShowAll();
    struct Case {
        bool endDuringBox;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        boxes.clear();
        const DWORD pid = c.endDuringBox ? 101 : 100;
        TcxTreeListNode* row = Row(pid);
        ASSERT_NE(row, nullptr);
        row->SetFocused(true);
        row->SetValue(3, Variant("Idle"));
        Application->SetMessageBoxResponder([&](const std::string& text, const std::string& caption, UINT flags) {
            boxes.push_back(visualtest::Box{text, caption, flags});
            // The box keeps the timers running: the process ends and a tick
            // deletes its row while the box is open.
            if (c.endDuringBox) {
                fake.EndProcess(pid);
                Tick();
            }
            return IDOK;
        });
        form->cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange(form);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "ERROR: Unknown priority - cannot be set.");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_TRUE(fake.priorityChanges.empty());
        if (c.endDuringBox) {
            EXPECT_EQ(Record(pid), nullptr);
        } else {
            EXPECT_FALSE(row->Focused());
            EXPECT_FALSE(form->Dirty);
        }
    }
}

TEST_F(ProcessListTest, ARulePickedInARowReachesEveryRowOfTheProgramAndTheRuleList)
{
    AddProcesses();
    AddTrayWithoutWindow();
    Open();
    ShowAll();
    Tick();
    struct Case {
        const char* picked;
        const char* cell;       // every hog.exe row's rule cell afterwards
        const char* ruleRows;   // the rule list afterwards
        const char* saved;      // RuleStrings after the next tick
    };
    const Case cases[] = {
        {"Force Low", "Force Low", "hog.exe=Force Low", "hog.exe?Force Low"},
        {"Force Kill", "Force Kill", "hog.exe=Force Kill", "hog.exe?Force Kill"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        TcxTreeListNode* row = Row(101);
        row->SetFocused(true);
        row->SetValue(4, Variant(c.picked));
        form->cxTreeListProcessescxTreeListColumn_RulePropertiesChange(form);
        EXPECT_FALSE(row->Focused()) << c.picked;
        for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), c.cell) << c.picked << " " << pid;
        EXPECT_EQ(Row(102)->GetText(4), "") << c.picked;
        EXPECT_EQ(RuleRows(), c.ruleRows) << c.picked;
        EXPECT_EQ(watcher->Rules().size(), std::string(c.saved).empty() ? 0u : 1u);
        Tick();
        EXPECT_EQ(RuleStrings(), c.saved) << c.picked;
        EXPECT_EQ(WaitingRequest(), 1) << c.picked;
    }
    EXPECT_TRUE(fake.terminations.empty()) << "the configurator never acts on a rule itself";
}

TEST_F(ProcessListTest, NewRowsShowTheirProgramsRule)
{
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=hog.exe?Force High|calm.exe?Ignore\n");
    AddProcesses();
    Open();
    ShowAll();
    EXPECT_EQ(Row(100)->GetText(4), "Force High");
    EXPECT_EQ(Row(101)->GetText(4), "Force High");
    EXPECT_EQ(Row(102)->GetText(4), "Ignore");
    EXPECT_EQ(Row(102)->GetText(2), "calm.exe");
}

TEST_F(ProcessListTest, TheFocusLeavesTheRowWhenTheListScrollsOrAHeaderIsClicked)
{
    AddProcesses();
    Open();
    ShowAll();
    Row(100)->SetFocused(true);
    form->cxTreeListProcessesTopRecordIndexChanged(Processes());
    EXPECT_EQ(Processes()->FocusedNode(), nullptr);
    Row(101)->SetFocused(true);
    form->cxTreeListProcessesColumnHeaderClick(Processes(), Processes()->GetColumn(2));
    EXPECT_EQ(Processes()->FocusedNode(), nullptr);
    // Without a focused row nothing happens.
    form->cxTreeListProcessesColumnHeaderClick(Processes(), Processes()->GetColumn(2));
    form->TerminateNowClick(form);
    form->cxTreeListProcessescxTreeListColumn_RulePropertiesChange(form);
    form->cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange(form);
    EXPECT_TRUE(fake.closeRequests.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ProcessListTest, TheMenuClosesOrKillsTheFocusedRowsProcess)
{
    AddProcesses();
    fake.Process(101)->closesOnRequest = false;
    Open();
    ShowAll();
    Row(100)->SetFocused(true);
    form->TerminateNowClick(form);
    EXPECT_EQ(fake.closeRequests, (std::vector<DWORD>{100}));
    EXPECT_TRUE(fake.terminations.empty());
    Tick();
    EXPECT_EQ(Record(100), nullptr);
    EXPECT_EQ(Processes()->Count(), 2);

    Row(101)->SetFocused(true);
    form->TerminateNowClick(form);
    Tick();
    ASSERT_NE(Row(101), nullptr) << "it ignores the request";
    Row(101)->SetFocused(true);
    form->TerminateProcessHarshly1Click(form);
    ASSERT_EQ(fake.terminations.size(), 1u);
    EXPECT_EQ(fake.terminations[0].pid, 101u);
    Tick();
    EXPECT_EQ(Processes()->Count(), 1);
}

}  // namespace

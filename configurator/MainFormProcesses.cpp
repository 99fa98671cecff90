// The Processes page: one row per watched process, refreshed every tick of
// the watch cycle, with the priority and rule of a process picked in its
// row and its popup menu closing or killing it.
#include <algorithm>
#include <climits>
#include <cmath>

#include "components/treelist/cxTL.h"
#include "configurator/MainFormUnit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace cfg = quelvo::configurator;

namespace {

// Value indexes of a process row.
constexpr int kCpuInstant = 0;
constexpr int kCpuAverage = 1;
constexpr int kAppName = 2;
constexpr int kPriority = 3;
constexpr int kRule = 4;

constexpr const char* kUnknownPriority = "ERROR: Unknown priority - cannot be set.";

ProcessObject* RecordOf(const TcxTreeListNode* row) { return static_cast<ProcessObject*>(row->Data()); }

// The processor columns hold integers: a half goes to the even neighbour,
// and what no integer can hold (only a damaged counter gives it) to the edge.
int RoundedUse(double use)
{
    if (std::isnan(use)) return 0;
    if (use >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (use <= static_cast<double>(INT_MIN)) return INT_MIN;
    double whole = std::round(use);
    if (std::fabs(use - std::trunc(use)) == 0.5) whole = 2.0 * std::round(use / 2.0);
    return static_cast<int>(whole);
}

// Writes an integer cell only when the stored integer differs, so an
// unchanged use leaves the row alone.
void SetIntegerCell(TcxTreeListNode* row, int index, int value)
{
    const Variant stored = row->GetValue(index);
    if (!stored.IsNull() && !stored.IsEmpty() && stored.AsInt64() == value) return;
    row->SetValue(index, Variant(value));
}

void Unfocus(TcxTreeListNode* row)
{
    row->SetFocused(false);
    row->SetSelected(false);
}

}  // namespace

// ---- the refresh -----------------------------------------------------------------------------

void TMainForm::RefreshProcessList()
{
    const bool hideLow = HideLowCheckBox->Checked();
    TcxTreeListNode* const focused = UnfocusForDeletions();
    {
        cxTreeListProcesses->BeginUpdate();
        ScopeGuard end([this] { cxTreeListProcesses->EndUpdate(); });
        const ProcessWatcher::ProcessList& records = cfg::Watcher().Processes();
        for (std::size_t i = 0; i < records.size(); ++i) RefreshProcessRow(records[i].get(), hideLow);
    }
    if (focused) focused->SetFocused(true);
}

// The list brings its focused row into view after deletions from a layout
// that may still hold a deleted row, so rows go while none is focused: the
// row focused before, when its process stays, gets the focus back after.
TcxTreeListNode* TMainForm::UnfocusForDeletions()
{
    TcxTreeListNode* focused = cxTreeListProcesses->FocusedNode();
    if (!focused) return nullptr;
    const ProcessWatcher& watcher = cfg::Watcher();
    const bool deletions = std::any_of(watcher.Processes().begin(), watcher.Processes().end(),
                                       [&](const auto& record) { return record->UserData && watcher.IsStale(record.get()); });
    if (!deletions) return nullptr;
    focused->SetFocused(false);
    const ProcessObject* record = RecordOf(focused);
    return record && watcher.IsStale(record) ? nullptr : focused;
}

void TMainForm::RefreshProcessRow(ProcessObject* record, bool hideLow)
{
    auto* row = static_cast<TcxTreeListNode*>(record->UserData);
    if (cfg::Watcher().IsStale(record)) {
        // The record goes with this tick's purge; a refresh before that
        // finds no row to delete twice. The focus does not pass on to a
        // neighbour, as no editor may open on a row the user did not pick.
        if (row) {
            Unfocus(row);
            row->Delete();
        }
        record->UserData = nullptr;
        return;
    }
    if (row) {
        record->PriorityClass = ProcessWatcher::GetPidPriority(record->Pid);
    } else {
        if (hideLow && record->SmoothedCpuUse < 1.0) return;
        if (record->PriorityClass == 0 || record->Name.empty()) return;
        row = AddProcessNode(record);
        record->UserData = row;
    }
    const std::string priority = ProcessWatcher::PriorityName(record->PriorityClass);
    if (row->GetText(kPriority) != priority) {
        Unfocus(row);
        row->SetValue(kPriority, Variant(priority));
    }
    SetIntegerCell(row, kCpuAverage, RoundedUse(record->SmoothedCpuUse));
    SetIntegerCell(row, kCpuInstant, record->CpuUse);
}

TcxTreeListNode* TMainForm::AddProcessNode(ProcessObject* record)
{
    TcxTreeListNode* row = cxTreeListProcesses->AddChild(nullptr);
    row->SetData(record);
    const std::string priority =
        record->PriorityClass == 0 ? std::string("bad priority") : ProcessWatcher::PriorityName(record->PriorityClass);
    row->AssignValues({Variant(record->CpuUse), Variant(RoundedUse(record->SmoothedCpuUse)), Variant(record->Name),
                       Variant(priority), Variant(cfg::Watcher().RuleTextFor(record))});
    return row;
}

void TMainForm::ClearProcessList()
{
    for (const auto& record : cfg::Watcher().Processes()) record->UserData = nullptr;
    cxTreeListProcesses->Clear();
}

void TMainForm::HideLowCheckBoxClick(TObject*)
{
    if (HideLowCheckBox->Checked()) ClearProcessList();
}

void TMainForm::SetProcessPriority(ProcessObject* record, DWORD priorityClass)
{
    ProcessWatcher::SetPidPriority(record->Pid, priorityClass);
    record->PriorityClass = priorityClass;
}

// ---- what the user picks in a row ------------------------------------------------------------

void TMainForm::cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange(TObject*)
{
    TcxTreeListNode* row = cxTreeListProcesses->FocusedNode();
    if (!row) return;
    if (!RecordOf(row)) {
        row->SetValue(kPriority, Variant(""));
    } else if (const DWORD priorityClass = ProcessWatcher::PriorityClassOf(row->GetText(kPriority))) {
        SetProcessPriority(RecordOf(row), priorityClass);
        Dirty = true;
        RulesChanged = true;
    } else {
        Application->MessageBox(kUnknownPriority, Application->Title(), MB_OK);
        // The box kept the watch cycle running: the row may be gone.
        row = cxTreeListProcesses->FocusedNode();
        if (!row) return;
    }
    Unfocus(row);
}

void TMainForm::cxTreeListProcessescxTreeListColumn_RulePropertiesChange(TObject*)
{
    TcxTreeListNode* row = cxTreeListProcesses->FocusedNode();
    if (!row) return;
    const std::string name = row->GetValue(kAppName).AsString();
    cfg::Watcher().SetRule(name, row->GetText(kRule));
    Dirty = true;
    RulesChanged = true;
    const ProcessOverrideRule* rule = cfg::Watcher().FindRule(name);
    const std::string text = rule ? ProcessWatcher::RuleText(rule) : std::string();
    UpdateProcessRuleColumn(name, text);
    SyncRuleRows(name, text, nullptr);
    Unfocus(row);
}

void TMainForm::TerminateNowClick(TObject*) { ClosePidOfFocusedRow(false); }

void TMainForm::TerminateProcessHarshly1Click(TObject*) { ClosePidOfFocusedRow(true); }

void TMainForm::ClosePidOfFocusedRow(bool terminate)
{
    const TcxTreeListNode* row = cxTreeListProcesses->FocusedNode();
    if (!row || !RecordOf(row)) return;
    // The row goes once a later sample no longer sees the process.
    cfg::Watcher().ClosePid(RecordOf(row)->Pid, 3, terminate);
}

// ---- the list's own events -------------------------------------------------------------------

// No editor may stay open on a row that scrolls away or is about to move.
void TMainForm::cxTreeListProcessesTopRecordIndexChanged(TObject*)
{
    if (TcxTreeListNode* row = cxTreeListProcesses->FocusedNode()) row->SetFocused(false);
}

void TMainForm::cxTreeListProcessesColumnHeaderClick(TObject* sender, TcxTreeListColumn*)
{
    cxTreeListProcessesTopRecordIndexChanged(sender);
}

void TMainForm::cxTreeListProcessesFocusedNodeChanged(TObject*, TcxTreeListNode*, TcxTreeListNode*) {}
void TMainForm::cxTreeListProcessesNothing(TObject*) {}

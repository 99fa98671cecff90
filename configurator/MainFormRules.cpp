// The rule list of the Configuration page: one row per program name with
// its rule, fed by the open dialog and by dropped files, and kept in step
// with the rule cells of the process list. A row's Data only marks it as
// standing for a rule: the engine frees a rule whenever its name's rule is
// set again, so it is never followed.
#include <algorithm>
#include <vector>

#include "components/treelist/cxTL.h"
#include "configurator/MainFormUnit.h"
#include "platform/hostlib/core/files.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace cfg = quelvo::configurator;

namespace {

// Value indexes of a rule row, and of the process rows' name and rule.
constexpr int kRuleName = 0;
constexpr int kRuleText = 1;
constexpr int kProcessName = 2;
constexpr int kProcessRule = 4;

constexpr const char* kDroppedRule = "Ignore";

std::string EngineRuleText(const std::string& name)
{
    const ProcessOverrideRule* rule = cfg::Watcher().FindRule(name);
    return rule ? ProcessWatcher::RuleText(rule) : std::string();
}

}  // namespace

void TMainForm::FillRuleList()
{
    cxTreeListRules->BeginUpdate();
    ScopeGuard end([this] { cxTreeListRules->EndUpdate(); });
    std::vector<ProcessOverrideRule*> rules;
    for (const auto& rule : cfg::Watcher().Rules()) rules.push_back(rule.get());
    for (ProcessOverrideRule* rule : rules) {
        // Re-applying an earlier row removed the further rules of its name.
        const auto& now = cfg::Watcher().Rules();
        const bool present = std::any_of(now.begin(), now.end(), [rule](const auto& r) { return r.get() == rule; });
        if (present) AddRuleNode(rule);
    }
}

TcxTreeListNode* TMainForm::AddRuleNode(ProcessOverrideRule* rule)
{
    TcxTreeListNode* row = cxTreeListRules->AddChild(nullptr);
    row->SetData(rule);
    row->AssignValues({Variant(rule->Name), Variant(ProcessWatcher::RuleText(rule))});
    row->SetFocused(true);
    RuleChanged(row);
    return row;
}

void TMainForm::RuleChanged(TcxTreeListNode* row)
{
    const std::string name = row->GetValue(kRuleName).AsString();
    cfg::Watcher().SetRule(name, row->GetText(kRuleText));
    Dirty = true;
    RulesChanged = true;
    const std::string text = EngineRuleText(name);
    UpdateProcessRuleColumn(name, text);
    SyncRuleRows(name, text, row);
}

void TMainForm::cxTreeListColumn_RuleRuleStringPropertiesChange(TObject*)
{
    if (TcxTreeListNode* row = cxTreeListRules->FocusedNode()) RuleChanged(row);
}

void TMainForm::UpdateProcessRuleColumn(const std::string& name, const std::string& text)
{
    cxTreeListProcesses->BeginUpdate();
    ScopeGuard end([this] { cxTreeListProcesses->EndUpdate(); });
    for (TcxTreeListNode* row = cxTreeListProcesses->TopNode(); row; row = row->getNextSibling()) {
        if (row->GetValue(kProcessName).AsString() != name) continue;
        if (row->GetText(kProcessRule) != text) row->SetValue(kProcessRule, Variant(text));
    }
}

void TMainForm::SyncRuleRows(const std::string& name, const std::string& text, TcxTreeListNode* keep)
{
    cxTreeListRules->BeginUpdate();
    ScopeGuard end([this] { cxTreeListRules->EndUpdate(); });
    bool found = false;
    for (int i = 0; i < cxTreeListRules->Count();) {
        TcxTreeListNode* row = cxTreeListRules->Items(i);
        if (row->GetValue(kRuleName).AsString() != name) {
            ++i;
            continue;
        }
        if ((keep && row != keep) || text.empty()) {
            row->Delete();
            continue;
        }
        if (row->GetText(kRuleText) != text) row->SetValue(kRuleText, Variant(text));
        found = true;
        ++i;
    }
    if (!found && !text.empty()) AddRuleForFile(name, text);
}

void TMainForm::AddRuleForFile(const std::string& path, const std::string& text)
{
    const std::string name = ExtractFileName(path);
    ProcessOverrideRule* rule = cfg::Watcher().SetRule(name, text);
    Dirty = true;
    RulesChanged = true;
    if (rule) {
        AddRuleNode(rule);
        return;
    }
    // Refused (a name the settings could not hold, or an unknown text):
    // the engine keeps no rule of that name now, so neither do the lists.
    UpdateProcessRuleColumn(name, "");
    SyncRuleRows(name, "", nullptr);
}

void TMainForm::AddRuleClick(TObject*)
{
    if (OpenDialog->Execute()) AddRuleForFile(OpenDialog->FileName(), kDroppedRule);
}

void TMainForm::FileDropperRulesDrop(TObject*, const std::string& path) { AddRuleForFile(path, kDroppedRule); }

void TMainForm::DeleteRuleClick(TObject*)
{
    TcxTreeListNode* row = cxTreeListRules->FocusedNode();
    if (!row) return;
    row->SetFocused(false);
    const bool standsForRule = row->Data() != nullptr;
    const std::string name = row->GetValue(kRuleName).AsString();
    row->Delete();
    if (standsForRule) {
        if (ProcessOverrideRule* rule = cfg::Watcher().FindRule(name)) cfg::Watcher().DeleteRule(rule);
        Dirty = true;
        RulesChanged = true;
    }
    UpdateProcessRuleColumn(name, "");
}

#pragma once
// The configuration window over the scripted system: processes with exact
// processor times and priority classes, and the clock that drives both the
// samples and the window's timer. A process named as the tray program but
// without a window keeps a reload request waiting, so a test reads the
// flag the next request would carry.

#include <cstdint>
#include <memory>
#include <string>

#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxTL.h"
#include "platform/system/fake_system.h"
#include "tests/configurator/ConfiguratorFixture.h"

namespace configuratortest {

class ScriptedTest : public ConfiguratorTest {
protected:
    static constexpr DWORD kTrayPid = 900;

    void SetUp() override
    {
        ConfiguratorTest::SetUp();
        fake.SetProcessorCount(1);
        fake.Clock().Advance(100000);
        scope_ = std::make_unique<quelvo::sys::FakeSystemScope>(fake);
        // The engine reads the scripted system from its construction on.
        cfg::SetWatcher(nullptr);
        watcher = std::make_unique<ProcessWatcher>();
        cfg::SetWatcher(watcher.get());
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        cfg::SetWatcher(nullptr);
        watcher.reset();
        scope_.reset();
        ConfiguratorTest::TearDown();
    }

    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            fake.Clock().Advance(1000);
            Pump();
        }
    }
    // Processor time for the next tick, in percent of the machine.
    void Busy(DWORD pid, int percent) { fake.AddCpuTime(pid, percent * 10); }
    void AddTrayWithoutWindow() { fake.AddProcess(kTrayPid, "/opt/quelvo/QuelvoTray.exe"); }
    // The flag of the reload request waiting for the tray's window; -1 when
    // none waits.
    int WaitingRequest() const { return form->RequestPending ? (form->RequestRulesChanged ? 1 : 0) : -1; }

    ProcessObject* Record(DWORD pid) const { return watcher->FindProcess(pid); }
    TcxTreeListNode* Row(DWORD pid) const
    {
        const ProcessObject* record = Record(pid);
        return record ? static_cast<TcxTreeListNode*>(record->UserData) : nullptr;
    }
    TcxTreeList* Processes() const { return form->cxTreeListProcesses; }
    // Where a row's cell of a column stands in its list, as last laid out;
    // none when the row is out of view.
    TcxTreeListEditCellViewInfo* Cell(TcxTreeList* list, TcxTreeListNode* row, int column) const
    {
        auto* controller = static_cast<TcxTreeListController*>(list->Controller());
        return controller->GetCellFromViewInfoEx(list->GetColumn(column), row);
    }
    // What the screen shows at a point of a list.
    std::uint32_t ListPixel(TcxTreeList* list, int x, int y)
    {
        const POINT p = form->ScreenToClient(list->ClientToScreen(POINT{x, y}));
        return Screen().ClientPixel(form->Handle(), p.x, p.y);
    }
    TcxTreeList* Rules() const { return form->cxTreeListRules; }
    // "name=text" of every rule row, in order, ", " between them.
    std::string RuleRows() const
    {
        std::string out;
        for (int i = 0; i < Rules()->Count(); ++i) {
            if (!out.empty()) out += ", ";
            out += Rules()->Items(i)->GetText(0) + "=" + Rules()->Items(i)->GetText(1);
        }
        return out;
    }
    std::string RuleStrings() const
    {
        const std::string settings = Settings();
        const std::size_t at = settings.find("RuleStrings=");
        if (at == std::string::npos) return "<none>";
        const std::size_t end = settings.find('\r', at);
        return settings.substr(at + 12, end - at - 12);
    }

    quelvo::sys::FakeSystem fake;

private:
    std::unique_ptr<quelvo::sys::FakeSystemScope> scope_;
};

}  // namespace configuratortest

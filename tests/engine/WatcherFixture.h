#pragma once
// A watcher on the scripted system, with the events it reports collected.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ProcessWatcher.h"
#include "platform/system/fake_system.h"

class WatcherFixture : public testing::Test {
protected:
    using Event = std::pair<std::string, std::string>;

    quelvo::sys::FakeSystem fake;
    quelvo::sys::FakeSystemScope scope{fake};
    std::vector<Event> events;

    // Created on first use, so a test scripts the system first.
    ProcessWatcher& W()
    {
        if (!watcher_) {
            watcher_ = std::make_unique<ProcessWatcher>();
            watcher_->EventCallback = [this](const std::string& e, const std::string& n) {
                events.emplace_back(e, n);
            };
        }
        return *watcher_;
    }
    void DestroyWatcher() { watcher_.reset(); }

    quelvo::sys::FakeProcess& Add(DWORD pid, const std::string& name)
    {
        return fake.AddProcess(pid, "/usr/bin/" + name);
    }

    // One watch cycle's sampling: time moves on by a second, then sample.
    void Tick(std::uint64_t ms = 1000)
    {
        fake.Clock().Advance(ms);
        W().Sample();
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (const auto& r : W().Processes())
            names.push_back(r->Name);
        return names;
    }

    // Marks a record as lowered by the engine from a saved class.
    void Lower(ProcessObject* record, DWORD savedClass, DWORD now)
    {
        record->SavedClass = savedClass;
        record->LastChange = 1;
        record->PriorityClass = now;
        fake.Process(record->Pid)->priorityClass = now;
    }

private:
    std::unique_ptr<ProcessWatcher> watcher_;
};

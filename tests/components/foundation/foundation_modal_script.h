#pragma once
// Plays a user's part from inside a modal message loop: the loop serves an
// always-ready descriptor whenever it looks for work, and each time its
// queue is empty the next step runs. A step answers false to be asked
// again (waiting for a real display). A loop that outlives the script is
// ended with WM_QUIT, so a failing test cannot hang.

#include <gtest/gtest.h>

#include <strings.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace foundationtest {

class ModalScript {
public:
    using Step = std::function<bool()>;

    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps))
    {
        fd_ = eventfd(1, EFD_CLOEXEC | EFD_NONBLOCK);
        id_ = quelvo::win::AddLoopSource(fd_, [this] { Serve(); });
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript()
    {
        quelvo::win::RemoveLoopSource(id_);
        close(fd_);
    }

    bool Finished() const { return next_ == steps_.size(); }

    // A step that always succeeds.
    static Step Do(std::function<void()> action)
    {
        return [action = std::move(action)] {
            action();
            return true;
        };
    }

private:
    void Serve()
    {
        if (serving_ || GetQueueStatus(QS_ALLINPUT) != 0) return;
        serving_ = true;
        if (next_ < steps_.size()) {
            if (steps_[next_]()) ++next_;
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else if (Overran()) {
            ADD_FAILURE() << "the modal loop outlived its script";
            PostQuitMessage(0);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        serving_ = false;
    }

    // Measured in time, not in turns: the input that ends the loop may come
    // from a real display, which answers late on a busy machine.
    bool Overran()
    {
        const auto now = std::chrono::steady_clock::now();
        if (!overrunSince_) overrunSince_ = now;
        return now - *overrunSince_ > std::chrono::seconds(5);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::optional<std::chrono::steady_clock::time_point> overrunSince_;
    bool serving_ = false;
    int fd_ = -1;
    int id_ = 0;
};

// The window the auto-scroll mode shows at the press point, while it shows.
inline HWND VisibleAutoScrollAnchor()
{
    HWND found = nullptr;
    EnumWindows(
        [](HWND w, LPARAM p) {
            char name[32] = {};
            GetClassNameA(w, name, sizeof name);
            if (strcasecmp(name, "static") == 0 && IsWindowVisible(w)) *reinterpret_cast<HWND*>(p) = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace foundationtest

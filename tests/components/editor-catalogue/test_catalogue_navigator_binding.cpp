// The notifier a data control keeps of its navigators: no duplicates,
// refreshes in order, and a navigator that unbinds itself while refreshing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxNavigator.h"

using namespace hostlib;

namespace {

class FakeNavigator : public IcxNavigatorOwner {
public:
    FakeNavigator(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void NavigatorChanged(TcxNavigatorChangeType) override {}
    RECT GetNavigatorBounds() override { return RECT{}; }
    TcxCustomNavigatorButtons* GetNavigatorButtons() override { return nullptr; }
    TCanvas* GetNavigatorCanvas() override { return nullptr; }
    TWinControl* GetNavigatorControl() override { return nullptr; }
    bool GetNavigatorFocused() override { return false; }
    TcxLookAndFeel* GetNavigatorLookAndFeel() override { return nullptr; }
    TComponent* GetNavigatorOwner() override { return nullptr; }
    bool GetNavigatorShowHint() override { return false; }
    bool GetNavigatorTabStop() override { return false; }
    void NavigatorButtonsStateChanged() override
    {
        log_.push_back(name_);
        if (unbind) unbind();
    }
    void RefreshNavigator() override {}
    std::function<void()> unbind;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(NavigatorNotifier, RefreshesEachBoundNavigatorOnceInOrder)
{
    std::vector<std::string> log;
    FakeNavigator a("a", log), b("b", log), c("c", log);
    auto notifier = MakeObject<TcxNavigatorControlNotifier>();
    notifier->AddNavigator(&a);
    notifier->AddNavigator(&b);
    notifier->AddNavigator(&a);
    notifier->AddNavigator(nullptr);
    notifier->AddNavigator(&c);
    EXPECT_EQ(notifier->Count(), 3);
    notifier->RemoveNavigator(&b);
    notifier->RemoveNavigator(&b);
    notifier->RefreshNavigatorButtons();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));

    // A navigator that unbinds the next one while refreshing.
    log.clear();
    notifier->AddNavigator(&b);
    c.unbind = [&] { notifier->RemoveNavigator(&b); };
    notifier->RefreshNavigatorButtons();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(notifier->Count(), 2);
    EXPECT_EQ(NavigatorButtonCount, NBDI_FILTER + 1);
}

}  // namespace

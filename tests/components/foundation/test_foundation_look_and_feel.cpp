#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxOffice11.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/properties.h"
#include "platform/windows/loop.h"

using namespace hostlib;

// Present only in sanitizer builds.
extern "C" void __lsan_disable() __attribute__((weak));

namespace {

using LookAndFeelPtr = ObjectPtr<TcxLookAndFeel>;

LookAndFeelPtr NewLookAndFeel() { return LookAndFeelPtr(CreateObject<TcxLookAndFeel>(static_cast<TPersistent*>(nullptr))); }

std::string Text(TcxLookAndFeelValues values)
{
    std::string s;
    if (values.Contains(lfvKind)) s += "K";
    if (values.Contains(lfvNativeStyle)) s += "N";
    return s;
}

// Records the OnChanged calls of a look and feel as "K", "N" or "KN".
struct Changes {
    explicit Changes(TcxLookAndFeel& lf)
    {
        lf.OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
            [this](TcxLookAndFeel*, TcxLookAndFeelValues values) { seen.push_back(Text(values)); });
    }
    std::vector<std::string> seen;
};

// A listener that logs its calls by name and may detach from its master.
class Listener : public IcxLookAndFeelNotificationListener {
public:
    Listener(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    TObject* GetObject() override { return nullptr; }
    void MasterLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values) override
    {
        log_.push_back(name_ + ":" + Text(values));
        if (detach) sender->RemoveChangeListener(this);
    }
    void MasterLookAndFeelDestroying(TcxLookAndFeel*) override { log_.push_back(name_ + ":gone"); }
    bool detach = false;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

// Distinct painters so that the table lookups can be told apart.
class StyledPainter : public TcxCustomLookAndFeelPainter {
public:
    explicit StyledPainter(TcxLookAndFeelStyle style) : style_(style) {}
    TcxLookAndFeelStyle LookAndFeelStyle() const override { return style_; }

private:
    TcxLookAndFeelStyle style_;
};

const StyledPainter kPainters[kLookAndFeelStyleCount] = {StyledPainter(lfsFlat), StyledPainter(lfsStandard),
                                                         StyledPainter(lfsUltraFlat), StyledPainter(lfsNative),
                                                         StyledPainter(lfsOffice11)};

class LookAndFeel : public ::testing::Test {
protected:
    void SetUp() override
    {
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
    }
    void TearDown() override
    {
        cxLookAndFeelsFinalize();
        for (int s = 0; s < kLookAndFeelStyleCount; ++s) cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle(s), nullptr);
        quelvo::gfx::SetThemeActive(true);
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
    static void RegisterAllPainters()
    {
        for (int s = 0; s < kLookAndFeelStyleCount; ++s) cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle(s), &kPainters[s]);
    }
};

TEST_F(LookAndFeel, ANewObjectFollowsTheRoot)
{
    TcxLookAndFeel* root = RootLookAndFeel();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->IsRoot());
    EXPECT_EQ(root->MasterLookAndFeel(), nullptr);
    root->SetKind(lfFlat);
    auto lf = NewLookAndFeel();
    EXPECT_EQ(lf->Kind(), lfFlat);
    EXPECT_FALSE(lf->NativeStyle());
    EXPECT_EQ(lf->MasterLookAndFeel(), root);
    EXPECT_TRUE(lf->AssignedValues().Empty());
}

TEST_F(LookAndFeel, AMasterChangeStopsAtTheFirstObjectThatSetsTheValue)
{
    struct Case {
        bool childAssigned;
        TcxLookAndFeelKind childKind;
        std::vector<std::string> childChanges, grandchildChanges;
        TcxLookAndFeelKind grandchildKind;
    };
    const Case cases[] = {
        {false, lfUltraFlat, {"K"}, {"K"}, lfOffice11},
        {true, lfStandard, {}, {}, lfStandard},
    };
    for (const auto& c : cases) {
        auto master = NewLookAndFeel(), child = NewLookAndFeel(), grandchild = NewLookAndFeel();
        child->SetMasterLookAndFeel(master.get());
        grandchild->SetMasterLookAndFeel(child.get());
        if (c.childAssigned) child->SetKind(lfStandard);
        std::vector<std::string> log;
        Listener spy("spy", log);
        child->AddChangeListener(&spy);
        Changes childChanges(*child), grandchildChanges(*grandchild);
        master->SetKind(lfOffice11);
        EXPECT_EQ(childChanges.seen, c.childChanges) << c.childAssigned;
        EXPECT_EQ(grandchildChanges.seen, c.grandchildChanges) << c.childAssigned;
        EXPECT_EQ(log.size(), c.childChanges.size()) << c.childAssigned;
        EXPECT_EQ(grandchild->Kind(), c.grandchildKind) << c.childAssigned;
        child->RemoveChangeListener(&spy);
    }
}

TEST_F(LookAndFeel, SettingTheResolvedValueAssignsItSilently)
{
    auto lf = NewLookAndFeel();
    Changes changes(*lf);
    lf->SetKind(lfUltraFlat);
    lf->SetNativeStyle(false);
    EXPECT_TRUE(changes.seen.empty());
    EXPECT_EQ(lf->AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
    // Now assigned, a change of the root passes it by.
    RootLookAndFeel()->SetKind(lfFlat);
    EXPECT_EQ(lf->Kind(), lfUltraFlat);
    EXPECT_TRUE(changes.seen.empty());
}

TEST_F(LookAndFeel, ResetSendsTheValuesWhoseResolutionChanged)
{
    struct Case {
        TcxLookAndFeelKind kind;
        bool nativeStyle;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {lfFlat, false, {"K"}},
        {lfUltraFlat, true, {"N"}},
        {lfOffice11, true, {"KN"}},
        {lfUltraFlat, false, {}},
    };
    for (const auto& c : cases) {
        auto lf = NewLookAndFeel();
        lf->SetKind(c.kind);
        lf->SetNativeStyle(c.nativeStyle);
        Changes changes(*lf);
        lf->Reset();
        EXPECT_EQ(changes.seen, c.expected) << c.kind << c.nativeStyle;
        EXPECT_EQ(lf->Kind(), lfUltraFlat);
        EXPECT_TRUE(lf->AssignedValues().Empty());
    }
}

TEST_F(LookAndFeel, ReparentingThatChangesNothingIsIgnored)
{
    auto a = NewLookAndFeel(), b = NewLookAndFeel();
    a->SetKind(lfFlat);
    b->SetMasterLookAndFeel(a.get());
    ASSERT_EQ(b->Kind(), lfFlat);
    Changes changes(*b);
    std::vector<TcxLookAndFeel*> noOps = {b.get(), a.get()};
    for (TcxLookAndFeel* value : noOps) b->SetMasterLookAndFeel(value);
    // A master whose chain leads back would loop every change for ever.
    a->SetMasterLookAndFeel(b.get());
    EXPECT_EQ(a->MasterLookAndFeel(), RootLookAndFeel());
    RootLookAndFeel()->SetMasterLookAndFeel(a.get());
    EXPECT_EQ(RootLookAndFeel()->MasterLookAndFeel(), nullptr);
    EXPECT_TRUE(changes.seen.empty());
    // The root set explicitly where it is the default changes nothing.
    auto c = NewLookAndFeel();
    Changes cChanges(*c);
    c->SetMasterLookAndFeel(RootLookAndFeel());
    EXPECT_TRUE(cChanges.seen.empty());
    // Back to the root: the kind follows it again.
    b->SetMasterLookAndFeel(nullptr);
    EXPECT_EQ(changes.seen, std::vector<std::string>{"K"});
    EXPECT_EQ(b->Kind(), lfUltraFlat);
}

TEST_F(LookAndFeel, AFreedMasterHandsItsChildrenToTheRoot)
{
    auto master = NewLookAndFeel(), child = NewLookAndFeel();
    master->SetKind(lfStandard);
    child->SetMasterLookAndFeel(master.get());
    std::vector<std::string> log;
    Listener spy("spy", log);
    master->AddChangeListener(&spy);
    Changes changes(*child);
    master.reset();
    EXPECT_EQ(log, std::vector<std::string>{"spy:gone"});
    EXPECT_EQ(child->MasterLookAndFeel(), RootLookAndFeel());
    EXPECT_EQ(child->Kind(), lfUltraFlat);
    EXPECT_EQ(changes.seen, std::vector<std::string>{"K"});
    RootLookAndFeel()->SetKind(lfFlat);
    EXPECT_EQ(child->Kind(), lfFlat);
}

TEST_F(LookAndFeel, AListenerThatDetachesDoesNotMakeTheNextOneBeSkipped)
{
    auto lf = NewLookAndFeel();
    std::vector<std::string> log;
    Listener first("first", log), second("second", log), third("third", log);
    first.detach = true;
    for (Listener* l : {&first, &second, &first, &third}) lf->AddChangeListener(l);
    lf->AddChangeListener(nullptr);
    lf->SetKind(lfFlat);
    EXPECT_EQ(log, (std::vector<std::string>{"first:K", "second:K", "third:K"}));
    log.clear();
    lf->SetNativeStyle(true);
    EXPECT_EQ(log, (std::vector<std::string>{"second:N", "third:N"}));
    lf->RemoveChangeListener(&second);
    lf->RemoveChangeListener(&third);
}

TEST_F(LookAndFeel, ControllersDriveTheRootAndTheLastOneResetsIt)
{
    auto owner = MakeObject<TComponent>(static_cast<TComponent*>(nullptr));
    auto* first = CreateObject<TcxLookAndFeelController>(owner.get());
    auto* second = CreateObject<TcxLookAndFeelController>(owner.get());
    // Only the root accepts a controller.
    auto other = NewLookAndFeel();
    other->AddChangeListener(first);
    std::vector<std::string> log;
    Listener spy("spy", log);
    other->AddChangeListener(&spy);

    first->SetKind(lfOffice11);
    second->SetNativeStyle(true);
    EXPECT_EQ(RootLookAndFeel()->Kind(), lfOffice11);
    EXPECT_EQ(second->Kind(), lfOffice11);
    EXPECT_TRUE(first->NativeStyle());
    EXPECT_EQ(log, (std::vector<std::string>{"spy:K", "spy:N"}));

    log.clear();
    auto child = NewLookAndFeel();
    child->SetNativeStyle(true);
    Changes changes(*child);
    first->Free();
    EXPECT_EQ(RootLookAndFeel()->Kind(), lfOffice11) << "one controller is left";
    second->Free();
    EXPECT_EQ(RootLookAndFeel()->Kind(), lfUltraFlat);
    EXPECT_FALSE(RootLookAndFeel()->NativeStyle());
    EXPECT_TRUE(RootLookAndFeel()->AssignedValues().Empty());
    EXPECT_EQ(changes.seen, std::vector<std::string>{"K"});
    EXPECT_EQ(log, std::vector<std::string>{"spy:KN"});
    other->RemoveChangeListener(&spy);
}

TEST_F(LookAndFeel, ControllerPropertiesAreAlwaysStoredLookAndFeelOnlyWhenAssigned)
{
    auto controller = MakeObject<TcxLookAndFeelController>(static_cast<TComponent*>(nullptr));
    for (const char* name : {"Kind", "NativeStyle"}) {
        const TPropInfo* prop = TcxLookAndFeelController::StaticClass()->FindProperty(name);
        ASSERT_NE(prop, nullptr);
        EXPECT_TRUE(IsStoredProp(controller.get(), *prop));
        EXPECT_FALSE(IsDefaultPropValue(controller.get(), *prop));
    }
    auto lf = NewLookAndFeel();
    const auto* kind = TcxLookAndFeel::StaticClass()->FindProperty("Kind");
    const auto* assigned = TcxLookAndFeel::StaticClass()->FindProperty("AssignedValues");
    EXPECT_FALSE(IsStoredProp(lf.get(), *kind));
    lf->SetKind(lfUltraFlat);
    EXPECT_TRUE(IsStoredProp(lf.get(), *kind));
    EXPECT_FALSE(IsStoredProp(lf.get(), *assigned));
    EXPECT_FALSE(IsStoredProp(lf.get(), *TcxLookAndFeel::StaticClass()->FindProperty("NativeStyle")));
}

TEST_F(LookAndFeel, PainterFollowsKindNativeStyleAndTheForcedPainter)
{
    auto lf = NewLookAndFeel();
    // Without registered painters every kind draws with the custom painter.
    EXPECT_EQ(lf->Painter(), TcxCustomLookAndFeelPainter::Class());
    RegisterAllPainters();
    EXPECT_EQ(GetCurrentPainterClass(), &kPainters[lfsUltraFlat]);
    const std::pair<TcxLookAndFeelKind, TcxLookAndFeelStyle> kinds[] = {
        {lfFlat, lfsFlat}, {lfStandard, lfsStandard}, {lfUltraFlat, lfsUltraFlat}, {lfOffice11, lfsOffice11}};
    for (const auto& [kind, style] : kinds) {
        lf->SetKind(kind);
        EXPECT_EQ(lf->Painter(), &kPainters[style]) << kind;
        EXPECT_EQ(lf->GetActiveStyle(), style) << kind;
    }
    lf->SetNativeStyle(true);
    EXPECT_EQ(lf->Painter(), &kPainters[lfsNative]);
    EXPECT_EQ(lf->GetActiveStyle(), lfsNative);
    EXPECT_EQ(lf->GetAvailablePainter(totButton), &kPainters[lfsNative]);

    Changes changes(*lf);
    lf->SetPainter(&kPainters[lfsFlat]);
    lf->SetPainter(&kPainters[lfsFlat]);
    EXPECT_EQ(changes.seen, std::vector<std::string>{"KN"});
    EXPECT_EQ(lf->Painter(), &kPainters[lfsFlat]);
    EXPECT_EQ(lf->GetAvailablePainter(TdxThemedObjectTypes{totButton, totHeader}), &kPainters[lfsNative]);

    // Themes off in the system: native style falls back to the kind.
    quelvo::gfx::SetThemeActive(false);
    lf->SetPainter(nullptr);
    EXPECT_EQ(lf->Painter(), &kPainters[lfsOffice11]);
    EXPECT_EQ(lf->GetActiveStyle(), lfsOffice11);
    EXPECT_EQ(lf->GetAvailablePainter(totButton), &kPainters[lfsOffice11]);
}

TEST_F(LookAndFeel, AssignCopiesOwnValuesAndMasterAndRefusesOtherClasses)
{
    auto master = NewLookAndFeel(), source = NewLookAndFeel(), target = NewLookAndFeel();
    master->SetNativeStyle(true);
    source->SetMasterLookAndFeel(master.get());
    source->SetKind(lfFlat);
    Changes changes(*target);
    target->Assign(source.get());
    EXPECT_EQ(target->Kind(), lfFlat);
    EXPECT_TRUE(target->NativeStyle());
    EXPECT_EQ(target->AssignedValues(), TcxLookAndFeelValues{lfvKind});
    EXPECT_EQ(target->MasterLookAndFeel(), master.get());
    EXPECT_EQ(changes.seen, std::vector<std::string>{"KN"});

    auto controller = MakeObject<TcxLookAndFeelController>(static_cast<TComponent*>(nullptr));
    EXPECT_THROW(target->Assign(controller.get()), EConvertError);
    EXPECT_THROW(target->Assign(nullptr), EConvertError);
}

TEST_F(LookAndFeel, ASystemColourChangeNotifiesPrimaryThenOrdinaryNewestFirst)
{
    std::vector<std::string> log;
    auto notifier = [&](bool primary, const char* name) {
        ObjectPtr<TcxSystemPaletteChangedNotifier> n(CreateObject<TcxSystemPaletteChangedNotifier>(primary));
        n->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent::FromFunction([&log, name] { log.push_back(name); });
        return n;
    };
    auto older = NewLookAndFeel(), newer = NewLookAndFeel();
    // Assigned, so the root's own notice does not reach them a second time.
    older->SetNativeStyle(false);
    newer->SetNativeStyle(false);
    older->OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
        [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { log.push_back("older:" + Text(v)); });
    newer->OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
        [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { log.push_back("newer:" + Text(v)); });
    auto p1 = notifier(true, "p1");
    auto o1 = notifier(false, "o1");
    auto p2 = notifier(true, "p2");
    ASSERT_NE(dxOffice11MenuBrush, nullptr) << "the listener builds the Office 2003 colours";

    INT index = COLOR_WINDOW;
    COLORREF pink = RGB(250, 200, 220);
    SetSysColors(1, &index, &pink);
    EXPECT_EQ(log, (std::vector<std::string>{"p2", "p1", "o1", "newer:N", "older:N"}));
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11MenuColor), pink) << "colours are refreshed first";

    // A notifier that frees a later one in the walk: that one is skipped.
    log.clear();
    p1->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent::FromFunction([&] { log.push_back("p1"); o1.reset(); });
    quelvo::gfx::ResetSysColors();
    EXPECT_EQ(log, (std::vector<std::string>{"p2", "p1", "newer:N", "older:N"}));
}

TEST(LookAndFeelExit, ANotifierStillAliveAtExitEndsTheProgramCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // The child leaves its notifier alive on purpose; only faults count.
            if (__lsan_disable) __lsan_disable();
            CreateObject<TcxSystemPaletteChangedNotifier>(false);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(LookAndFeel, ShutDownLeavesNoRoot)
{
    cxLookAndFeelsInitialize();
    cxLookAndFeelsFinalize();
    EXPECT_NE(RootLookAndFeel(), nullptr) << "start-up is counted";
    auto orphan = NewLookAndFeel();
    cxLookAndFeelsFinalize();
    EXPECT_EQ(RootLookAndFeel(), nullptr);
    // Without a root, defaults answer and controllers do nothing.
    EXPECT_EQ(orphan->MasterLookAndFeel(), nullptr);
    auto controller = MakeObject<TcxLookAndFeelController>(static_cast<TComponent*>(nullptr));
    controller->SetKind(lfFlat);
    EXPECT_EQ(controller->Kind(), lfUltraFlat);
    orphan.reset();
    cxLookAndFeelsInitialize();
}

}  // namespace

// Container styles and style controllers: resolution of every value through
// the style, the controller's style of the same state and the defaults;
// holder mode; the border style table; change signalling; controller links,
// cycles and freeing; restoring defaults and assigning.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;
using namespace visualtest;

namespace {

constexpr TcxContainerStateItem kStates[] = {csNormal, csActive, csDisabled, csHotTrack};

// Counts the style changes it is told of.
class TCountingContainer : public TcxContainer {
public:
    static TClass StaticClass() { return DefineClass<TCountingContainer, TcxContainer>("TCountingContainer"); }
    TClass ClassType() const override { return StaticClass(); }

    void ContainerStyleChanged(TObject* sender) override
    {
        ++styleChanges;
        seenColor = Style()->GetColor();
        seenStyleColor = Style()->GetStyleColor();
        TcxContainer::ContainerStyleChanged(sender);
    }
    bool DefaultParentColor() override { return parentColorByDefault; }
    TcxContainerStyleValues GetNotPublishedStyleValues() const override { return notPublished; }

    int styleChanges = 0;
    TColor seenColor = clNone;
    TColor seenStyleColor = clNone;
    bool parentColorByDefault = false;
    TcxContainerStyleValues notPublished;
};

class ContainerStyles : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxControlsInitialize();
        cxContainerInitialize();
        defaultController = CreateObject<TcxStyleController>(static_cast<TComponent*>(nullptr));
        cxContainerDefaultStyleController = defaultController;
        form = NewForm(400, 300);
        container = Add<TCountingContainer>(form, "container", 10, 10, 120, 30);
    }
    void TearDown() override
    {
        form->Free();
        for (auto* c : controllers) c->Free();
        if (defaultController) defaultController->Free();
        cxContainerDefaultStyleController = nullptr;
        cxContainerFinalize();
        cxControlsFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        VisualTest::TearDown();
    }
    TcxStyleController* NewController()
    {
        controllers.push_back(CreateObject<TcxStyleController>(static_cast<TComponent*>(nullptr)));
        return controllers.back();
    }
    void FreeController(TcxStyleController* controller)
    {
        std::erase(controllers, controller);
        controller->Free();
    }

    TcxStyleController* defaultController = nullptr;
    std::vector<TcxStyleController*> controllers;
    TForm* form = nullptr;
    TCountingContainer* container = nullptr;
};

// One style value: how to set it (two distinct values) and read it.
struct ValueCase {
    const char* name;
    bool baseOnly;  // a state style reads the base style's
    std::function<void(TcxCustomContainerStyle*, int)> set;
    std::function<long long(const TcxCustomContainerStyle*)> get;
};

const std::vector<ValueCase>& ValueCases()
{
    using S = TcxCustomContainerStyle;
    static const std::vector<ValueCase> cases = {
        {"BorderColor", false, [](S* s, int v) { s->SetBorderColor(v ? clRed : clLime); },
         [](const S* s) -> long long { return s->BorderColor(); }},
        {"BorderStyle", false, [](S* s, int v) { s->SetBorderStyle(v ? cbsThick : cbsNone); },
         [](const S* s) -> long long { return s->BorderStyle(); }},
        {"Color", false, [](S* s, int v) { s->SetColor(v ? clYellow : clAqua); },
         [](const S* s) -> long long { return s->GetColor(); }},
        {"TextColor", false, [](S* s, int v) { s->SetTextColor(v ? clMaroon : clNavy); },
         [](const S* s) -> long long { return s->GetTextColor(); }},
        {"TextStyle", false, [](S* s, int v) { s->SetTextStyle(v ? TFontStyles{fsBold} : TFontStyles{fsItalic}); },
         [](const S* s) -> long long { return static_cast<long long>(s->GetTextStyle().Bits()); }},
        {"Edges", true, [](S* s, int v) { s->SetEdges(v ? TcxBorders{bLeft} : TcxBorders{bTop, bBottom}); },
         [](const S* s) -> long long { return static_cast<long long>(s->Edges().Bits()); }},
        {"HotTrack", true, [](S* s, int v) { s->SetHotTrack(v != 0); }, [](const S* s) -> long long { return s->HotTrack(); }},
        {"Shadow", true, [](S* s, int v) { s->SetShadow(v == 0); }, [](const S* s) -> long long { return s->Shadow(); }},
        {"TransparentBorder", true, [](S* s, int v) { s->SetTransparentBorder(v != 0); },
         [](const S* s) -> long long { return s->TransparentBorder(); }},
    };
    return cases;
}

// The value each case reads with nothing assigned anywhere, by state.
long long ExpectedDefault(const std::string& name, TcxContainerStateItem state, const TcxCustomContainerStyle* normal)
{
    const bool disabled = state == csDisabled;
    if (name == "BorderColor") return disabled ? clBtnShadow : clWindowFrame;
    if (name == "BorderStyle") return cbsUltraFlat;  // the root look and feel's kind
    if (name == "Color") return disabled ? clBtnFace : clWindow;
    if (name == "TextColor") return disabled ? clBtnShadow : normal->Font()->Color();
    if (name == "TextStyle") return 0;
    if (name == "Edges") return static_cast<long long>(cxBordersAll.Bits());
    if (name == "HotTrack") return 1;
    if (name == "Shadow") return 0;
    return 1;  // TransparentBorder
}

TEST_F(ContainerStyles, EveryValueResolvesFromOwnThenControllerThenDefault)
{
    TcxStyleController* controller = NewController();
    container->Style()->SetStyleController(controller);
    for (const ValueCase& c : ValueCases()) {
        for (TcxContainerStateItem state : kStates) {
            SCOPED_TRACE(std::string(c.name) + " state " + std::to_string(state));
            container->RestoreStyles();
            controller->RestoreStyles();
            TcxCustomContainerStyle* style = container->GetInternalStyle(state);
            EXPECT_EQ(c.get(style), ExpectedDefault(c.name, state, container->Style())) << "default";

            // A base-only value comes from the controller's normal style.
            TcxCustomContainerStyle* lender = controller->GetInternalStyle(c.baseOnly ? csNormal : state);
            c.set(lender, 0);
            const long long fromController = c.get(lender);
            EXPECT_EQ(c.get(style), fromController) << "from the controller";

            c.set(style, 1);
            EXPECT_NE(c.get(style), fromController) << "own value wins";
            EXPECT_EQ(c.get(style), c.get(container->GetInternalStyle(c.baseOnly ? csNormal : state)));
        }
    }
}

TEST_F(ContainerStyles, DisabledDefaultsGiveWayToAssignedValues)
{
    TcxCustomContainerStyle* disabled = container->StyleDisabled();
    EXPECT_EQ(disabled->GetColor(), clBtnFace);
    EXPECT_EQ(disabled->GetTextColor(), clBtnShadow);
    EXPECT_EQ(disabled->BorderColor(), clBtnShadow);

    container->Style()->SetColor(clYellow);
    container->Style()->SetBorderColor(clRed);
    EXPECT_EQ(disabled->GetColor(), clBtnFace) << "the normal style's values do not reach the disabled state";
    EXPECT_EQ(container->StyleFocused()->GetColor(), clYellow) << "but they reach the focused one";
    EXPECT_EQ(container->StyleFocused()->BorderColor(), clRed);

    TcxStyleController* controller = NewController();
    container->Style()->SetStyleController(controller);
    controller->GetInternalStyle(csDisabled)->SetTextColor(clPurple);
    EXPECT_EQ(disabled->GetTextColor(), clPurple);
    disabled->SetTextColor(clTeal);
    EXPECT_EQ(disabled->GetTextColor(), clTeal);
}

TEST_F(ContainerStyles, HolderModeCarriesFedValues)
{
    auto font = MakeObject<TFont>();
    font->SetStyle({fsUnderline});
    auto holder = MakeObject<TcxContainerStyle>(static_cast<TPersistent*>(nullptr), true);
    int changes = 0;
    holder->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    holder->SetColor(clLime);
    holder->SetTextColor(clRed);
    holder->SetFont(font.get());

    EXPECT_EQ(holder->AssignedValues().Bits(), (1u << cxContainerStyleValueCount) - 1) << "everything reads as assigned";
    EXPECT_EQ(holder->GetColor(), clLime);
    EXPECT_EQ(holder->GetTextColor(), clRed);
    EXPECT_EQ(holder->Font(), font.get()) << "the font is held by reference";
    EXPECT_EQ(holder->GetTextStyle(), TFontStyles{fsUnderline});
    EXPECT_EQ(holder->BorderColor(), clDefault);
    EXPECT_TRUE(holder->Edges().Empty());
    EXPECT_FALSE(holder->Shadow());
    EXPECT_TRUE(holder->TransparentBorder());
    EXPECT_TRUE(holder->HotTrack());
    holder->SetHotTrack(false);
    EXPECT_FALSE(holder->HotTrack());
    EXPECT_EQ(changes, 0) << "a holder never signals";
}

TEST_F(ContainerStyles, DefaultBorderStyleFollowsKindAndHotTrackTable)
{
    const std::pair<TcxLookAndFeelKind, TcxContainerBorderStyle> kinds[] = {
        {lfFlat, cbsFlat}, {lfStandard, cbs3D}, {lfUltraFlat, cbsUltraFlat}, {lfOffice11, cbsOffice11}};
    for (auto [kind, expected] : kinds) {
        container->Style()->LookAndFeel()->SetKind(kind);
        EXPECT_EQ(container->Style()->BorderStyle(), expected) << "kind " << kind;
        EXPECT_EQ(container->StyleFocused()->BorderStyle(), expected == cbsFlat ? cbs3D : expected);
    }

    const TcxContainerBorderStyle raised[] = {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11};
    for (bool hotTrack : {true, false}) {
        container->Style()->SetHotTrack(hotTrack);
        for (int b = cbsNone; b <= cbsOffice11; ++b) {
            SCOPED_TRACE("hot track " + std::to_string(hotTrack) + " border " + std::to_string(b));
            const auto base = static_cast<TcxContainerBorderStyle>(b);
            container->Style()->SetBorderStyle(base);
            const TcxContainerBorderStyle up = hotTrack ? raised[b] : base;
            EXPECT_EQ(container->StyleFocused()->BorderStyle(), up);
            EXPECT_EQ(container->StyleHot()->BorderStyle(), up);
            EXPECT_EQ(container->StyleDisabled()->BorderStyle(), base);
        }
    }
}

TEST_F(ContainerStyles, ColorAgainstStyleColorUnderParentColor)
{
    form->SetColor(clOlive);
    container->SetParentColor(true);
    EXPECT_EQ(container->Style()->GetColor(), clOlive);
    EXPECT_EQ(container->Style()->GetStyleColor(), clOlive);
    EXPECT_FALSE(container->Style()->AssignedValues().Contains(csvColor)) << "the parent's colour is not a style value";

    container->Style()->SetColor(clAqua);
    EXPECT_EQ(container->seenColor, clOlive) << "ParentColor wins in GetColor";
    EXPECT_EQ(container->seenStyleColor, clAqua) << "an assigned colour wins in GetStyleColor";
    EXPECT_FALSE(container->ParentColor()) << "so the assigned colour switches ParentColor off";
    EXPECT_EQ(container->Color(), clAqua);
    EXPECT_EQ(container->Style()->GetColor(), clAqua);

    container->SetParentColor(true);
    EXPECT_EQ(container->Color(), clOlive);
    EXPECT_FALSE(container->Style()->AssignedValues().Contains(csvColor));
}

TEST_F(ContainerStyles, ChangesSignalOncePerBracketAndNotForEqualValues)
{
    auto style = MakeObject<TcxContainerStyle>(static_cast<TPersistent*>(nullptr), false);
    int changes = 0;
    style->OnChanged = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, style.get());
        ++changes;
    });
    style->SetColor(clRed);
    EXPECT_EQ(changes, 1);
    style->SetColor(clRed);
    style->SetTextColor(style->GetTextColor());
    EXPECT_EQ(changes, 2) << "the text colour was not assigned yet";
    style->SetTextColor(style->GetTextColor());
    EXPECT_EQ(changes, 2) << "equal assigned values fire nothing";

    style->BeginUpdate();
    style->BeginUpdate();
    for (int i = 0; i < 10; ++i) style->SetBorderColor(static_cast<TColor>(i + 1));
    style->EndUpdate();
    EXPECT_EQ(changes, 2);
    style->EndUpdate();
    EXPECT_EQ(changes, 3);
    style->EndUpdate();
    EXPECT_EQ(changes, 3) << "the count never goes below zero";
    style->LockFontAssignedValue(false);
    EXPECT_FALSE(style->IsFontAssignedValueLocked());
}

TEST_F(ContainerStyles, ControllerFocusedValueReachesItsContainersUnlessOwn)
{
    TcxStyleController* controller = NewController();
    auto* other = Add<TCountingContainer>(form, "other", 10, 60, 120, 30);
    auto* own = Add<TCountingContainer>(form, "own", 10, 110, 120, 30);
    for (TcxContainer* c : {static_cast<TcxContainer*>(container), static_cast<TcxContainer*>(other),
                            static_cast<TcxContainer*>(own)})
        c->Style()->SetStyleController(controller);
    own->StyleFocused()->SetBorderColor(clLime);
    container->styleChanges = other->styleChanges = 0;

    controller->GetInternalStyle(csActive)->SetBorderColor(clRed);
    EXPECT_EQ(container->StyleFocused()->BorderColor(), clRed);
    EXPECT_EQ(other->StyleFocused()->BorderColor(), clRed);
    EXPECT_EQ(own->StyleFocused()->BorderColor(), clLime);
    EXPECT_EQ(container->Style()->BorderColor(), clWindowFrame) << "only the focused state";
    EXPECT_EQ(container->styleChanges, 1);
    EXPECT_EQ(other->styleChanges, 1);
    EXPECT_TRUE(container->StyleFocused()->IsValueAssigned(csvBorderColor));
    EXPECT_FALSE(container->StyleFocused()->AssignedValues().Contains(csvBorderColor));
}

TEST_F(ContainerStyles, ControllerLinksDefaultsAndCycles)
{
    EXPECT_EQ(container->Style()->StyleController(), nullptr) << "the default controller reads as nothing";
    EXPECT_EQ(container->Style()->GetActiveStyleController(), defaultController);
    EXPECT_EQ(defaultController->GetStyle()->GetActiveStyleController(), nullptr) << "the default's styles take none";

    TcxStyleController* first = NewController();
    TcxStyleController* second = NewController();
    second->GetStyle()->SetStyleController(first);
    first->GetStyle()->SetStyleController(second);
    EXPECT_EQ(first->GetStyle()->StyleController(), nullptr) << "a cycle is refused";
    EXPECT_EQ(first->GetStyle()->GetActiveStyleController(), defaultController) << "the old link stays";
    first->GetStyle()->SetStyleController(first);
    EXPECT_EQ(first->GetStyle()->StyleController(), nullptr);

    // A chain lends values through every link.
    first->GetStyle()->SetColor(clTeal);
    container->StyleHot()->SetStyleController(second);
    EXPECT_EQ(container->Style()->StyleController(), second) << "state styles forward to the base style";
    EXPECT_EQ(container->Style()->GetColor(), clTeal);
}

TEST_F(ContainerStyles, FreeingAControllerMovesItsContainersToTheDefault)
{
    TcxStyleController* controller = NewController();
    auto* other = Add<TCountingContainer>(form, "other", 10, 60, 120, 30);
    container->Style()->SetStyleController(controller);
    other->Style()->SetStyleController(controller);
    controller->GetStyle()->SetColor(clFuchsia);
    ASSERT_EQ(other->Style()->GetColor(), clFuchsia);
    container->styleChanges = other->styleChanges = 0;

    FreeController(controller);
    for (TCountingContainer* c : {container, other}) {
        EXPECT_EQ(c->Style()->GetActiveStyleController(), defaultController);
        EXPECT_EQ(c->Style()->GetColor(), clWindow);
        EXPECT_EQ(c->Color(), clWindow) << "refreshed";
        EXPECT_GE(c->styleChanges, 1);
    }
    const auto& listeners = defaultController->Listeners();
    EXPECT_EQ(std::ranges::count(listeners, container->Style()), 1);
    EXPECT_EQ(std::ranges::count(listeners, other->Style()), 1);
}

TEST_F(ContainerStyles, FreeingTheDefaultControllerLeavesNoDanglingLink)
{
    defaultController->Free();
    defaultController = nullptr;
    EXPECT_EQ(cxContainerDefaultStyleController, nullptr);
    EXPECT_EQ(container->Style()->GetActiveStyleController(), nullptr);
    container->Style()->SetColor(clRed);
    EXPECT_EQ(container->Color(), clRed);
}

TEST_F(ContainerStyles, RestoreDefaultsAndParentColor)
{
    container->parentColorByDefault = true;
    container->Style()->SetColor(clRed);
    container->Style()->SetBorderStyle(cbsThick);
    container->Style()->LookAndFeel()->SetKind(lfFlat);
    container->RestoreStyles();
    EXPECT_TRUE(container->Style()->AssignedValues().Empty());
    EXPECT_TRUE(container->Style()->LookAndFeel()->AssignedValues().Empty());
    EXPECT_TRUE(container->ParentColor());
    EXPECT_TRUE(container->ParentFont());

    TcxStyleController* controller = NewController();
    container->Style()->SetStyleController(controller);
    controller->GetStyle()->SetColor(clBlue);
    container->RestoreStyles();
    EXPECT_FALSE(container->ParentColor()) << "the controller's colour keeps ParentColor off";
    EXPECT_EQ(container->Color(), clBlue);
}

TEST_F(ContainerStyles, FontProtocol)
{
    // A controller's font reaches a style without a font of its own.
    TcxStyleController* controller = NewController();
    auto style = MakeObject<TcxContainerStyle>(static_cast<TPersistent*>(nullptr), false);
    auto big = MakeObject<TFont>();
    big->SetSize(20);
    controller->GetStyle()->SetFont(big.get());
    style->SetStyleController(controller);
    EXPECT_EQ(style->Font()->Size(), 20);
    EXPECT_FALSE(style->AssignedValues().Contains(csvFont));

    style->Font()->SetName("Serif");
    EXPECT_TRUE(style->AssignedValues().Contains(csvFont)) << "editing the own font assigns it";
    style->SetStyleController(nullptr);
    EXPECT_EQ(style->Font()->Name(), "Serif");

    style->SetTextColor(clRed);
    style->SetTextStyle({fsBold});
    TFont* visible = style->GetVisibleFont();
    EXPECT_EQ(visible->Name(), "Serif");
    EXPECT_EQ(visible->Color(), clRed);
    EXPECT_EQ(visible->Style(), TFontStyles{fsBold});
    EXPECT_NE(style->Font()->Color(), clRed) << "the own font keeps its colour";

    // The container's font follows it without becoming a stored value.
    auto font = MakeObject<TFont>();
    font->SetName("Mono");
    container->SetFont(font.get());
    EXPECT_EQ(container->Style()->Font()->Name(), "Mono");
    EXPECT_FALSE(container->Style()->AssignedValues().Contains(csvFont));
    EXPECT_FALSE(container->Style()->IsFontStored());
}

TEST_F(ContainerStyles, AssignCopiesStylesAndRefusesOthers)
{
    auto source = MakeObject<TcxContainerStyle>(static_cast<TPersistent*>(nullptr), false);
    source->SetBorderStyle(cbsThick);
    source->SetColor(clYellow);
    source->SetTextColor(clMaroon);
    source->Font()->SetName("Serif");
    TcxStyleController* controller = NewController();
    source->SetStyleController(controller);

    container->styleChanges = 0;
    container->Style()->Assign(source.get());
    EXPECT_EQ(container->styleChanges, 1) << "one signal for the whole copy";
    EXPECT_EQ(container->Style()->StyleController(), controller);
    EXPECT_EQ(container->Style()->BorderStyle(), cbsThick);
    EXPECT_EQ(container->Style()->GetColor(), clYellow);
    EXPECT_EQ(container->Style()->GetTextColor(), clMaroon);
    EXPECT_EQ(container->Font()->Name(), "Serif");
    EXPECT_EQ(container->Style()->AssignedValues(), source->AssignedValues());

    container->StyleFocused()->Assign(source.get());
    EXPECT_EQ(container->StyleFocused()->GetColor(), clYellow);
    EXPECT_EQ(container->StyleFocused()->Font(), container->Style()->Font()) << "a state style keeps its base's font";

    auto font = MakeObject<TFont>();
    EXPECT_THROW(container->Style()->Assign(font.get()), EConvertError);
    EXPECT_THROW(container->Style()->Assign(nullptr), EConvertError);
}

TEST_F(ContainerStyles, NamesAndStoredness)
{
    TcxCustomContainerStyle* style = container->Style();
    int index = -1;
    EXPECT_TRUE(style->GetStyleValue("transparentborder", index));
    EXPECT_EQ(index, csvTransparentBorder);
    EXPECT_FALSE(style->GetStyleValue("Bitmap", index));
    std::string name;
    EXPECT_TRUE(style->GetStyleValueName(csvTextStyle, name));
    EXPECT_EQ(name, "TextStyle");
    EXPECT_FALSE(style->GetStyleValueName(cxContainerStyleValueCount, name));
    EXPECT_FALSE(style->IsValueAssigned(csvTransparentBorder)) << "only values 0 to 8 are looked up";

    EXPECT_FALSE(style->IsColorStored());
    style->SetColor(clRed);
    EXPECT_TRUE(style->IsColorStored());
    container->notPublished = {csvColor};
    EXPECT_FALSE(style->IsColorStored()) << "the container does not publish it";
}

}  // namespace

// Styles, style sets, sheets and repositories: slot entries and their
// change notices, sheet chains, view parameters, copying, the form-resource
// round trip, and the sheets' INI files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/common/TempFolder.h"
#include "components/foundation/cxStyles.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"

using namespace hostlib;

namespace {

// Three slots and a record of the change notices.
class TTestStyles : public TcxStyles {
public:
    static TClass StaticClass()
    {
        return DefineClass<TTestStyles, TcxStyles>("TTestStyles", [](ClassBuilder<TTestStyles>& b) {
            b.Property("Content", &TTestStyles::Content, &TTestStyles::SetContent);
            b.Property("Header", &TTestStyles::Header, &TTestStyles::SetHeader);
            b.Property("Footer", &TTestStyles::Footer, &TTestStyles::SetFooter);
            b.Property("StyleSheet", &TTestStyles::StyleSheet, &TTestStyles::SetStyleSheet);
        });
    }
    TClass ClassType() const override { return StaticClass(); }

    TcxStyle* Content() const { return GetValue(0); }
    void SetContent(TcxStyle* v) { SetValue(0, v); }
    TcxStyle* Header() const { return GetValue(1); }
    void SetHeader(TcxStyle* v) { SetValue(1, v); }
    TcxStyle* Footer() const { return GetValue(2); }
    void SetFooter(TcxStyle* v) { SetValue(2, v); }

    using TcxStyles::Changed;
    void Changed(int index) override { notices.push_back(index); }
    void GetDefaultViewParams(int index, void* data, TcxViewParams& params) override
    {
        TcxStyles::GetDefaultViewParams(index, data, params);
        params.Color = clSilver;
        params.Font = defaultFont;
        params.TextColor = clBlack;
    }

    std::vector<int> notices;
    TFont* defaultFont = nullptr;
};

class TTestStyleSheet : public TcxCustomStyleSheet {
public:
    static TClass StaticClass()
    {
        return DefineClass<TTestStyleSheet, TcxCustomStyleSheet>("TTestStyleSheet", [](ClassBuilder<TTestStyleSheet>& b) {
            b.Property("Styles", &TTestStyleSheet::Styles, &TTestStyleSheet::SetStyles);
        });
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetStylesClass() const override { return TTestStyles::StaticClass(); }
    TTestStyles* Styles() const { return static_cast<TTestStyles*>(GetStyles()); }
    void SetStyles(TTestStyles* v) { TcxCustomStyleSheet::SetStyles(v); }
};

class TOtherStyles : public TcxStyles {
public:
    static TClass StaticClass() { return DefineClass<TOtherStyles, TcxStyles>("TOtherStyles"); }
    TClass ClassType() const override { return StaticClass(); }
};

class TOtherStyleSheet : public TcxCustomStyleSheet {
public:
    static TClass StaticClass() { return DefineClass<TOtherStyleSheet, TcxCustomStyleSheet>("TOtherStyleSheet"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetStylesClass() const override { return TOtherStyles::StaticClass(); }
};

// A form that reports its repositories to the form writer.
class TStyleForm : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<TStyleForm, TComponent>("TStyleForm"); }
    TClass ClassType() const override { return StaticClass(); }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent()) proc(Components(i));
    }
};

class Styles : public ::testing::Test {
public:
    void SetUp() override
    {
        form_ = MakeObject<TStyleForm>(nullptr);
        repository_ = CreateObject<TcxStyleRepository>(form_.get());
        repository_->SetName("Repository");
        set_ = MakeObject<TTestStyles>(nullptr);
    }
    TcxStyle* NewStyle(TColor color = clDefault)
    {
        auto* style = static_cast<TcxStyle*>(repository_->CreateItemEx(TcxStyle::StaticClass(), form_.get()));
        style->SetColor(color);
        return style;
    }
    TTestStyleSheet* NewSheet()
    {
        return static_cast<TTestStyleSheet*>(repository_->CreateStyleSheetEx(TTestStyleSheet::StaticClass(), form_.get()));
    }

    ObjectPtr<TStyleForm> form_;
    TcxStyleRepository* repository_ = nullptr;
    ObjectPtr<TTestStyles> set_;
};

TEST_F(Styles, SetValueEntriesAndNotices)
{
    struct Case {
        const char* name;
        std::function<TcxStyle*(Styles&, TTestStyles&)> prepare;  // gives the style to set
        int entries;
        std::vector<int> notices;
    };
    const Case cases[] = {
        {"no entry, no style", [](Styles&, TTestStyles&) -> TcxStyle* { return nullptr; }, 0, {}},
        {"the sheet's own style",
         [](Styles& t, TTestStyles& set) {
             TTestStyleSheet* sheet = t.NewSheet();
             sheet->Styles()->SetValue(1, t.NewStyle(clRed));
             set.SetStyleSheet(sheet);
             return sheet->Styles()->Header();
         },
         0, {}},
        {"new entry", [](Styles& t, TTestStyles&) { return t.NewStyle(clRed); }, 1, {1}},
        {"replace",
         [](Styles& t, TTestStyles& set) {
             set.SetValue(1, t.NewStyle(clRed));
             return t.NewStyle(clBlue);
         },
         1, {1}},
        {"drop",
         [](Styles& t, TTestStyles& set) -> TcxStyle* {
             set.SetValue(1, t.NewStyle(clRed));
             return nullptr;
         },
         0, {1}},
    };
    for (const Case& c : cases) {
        auto set = MakeObject<TTestStyles>(nullptr);
        TcxStyle* style = c.prepare(*this, *set);
        set->notices.clear();
        set->SetValue(1, style);
        EXPECT_EQ(set->GetCount(), c.entries) << c.name;
        EXPECT_EQ(set->notices, c.notices) << c.name;
    }
}

TEST_F(Styles, ReplacedStyleNoLongerReachesTheSet)
{
    TcxStyle* old = NewStyle(clRed);
    TcxStyle* shared = NewStyle(clGreen);
    set_->SetValue(0, old);
    set_->SetValue(2, shared);
    set_->SetValue(1, shared);
    set_->SetValue(0, shared);
    set_->notices.clear();
    old->SetColor(clBlue);
    EXPECT_TRUE(set_->notices.empty());
    // A style held in several slots keeps reaching every one of them.
    set_->SetValue(1, nullptr);
    set_->notices.clear();
    shared->SetColor(clAqua);
    EXPECT_EQ(set_->notices, (std::vector<int>{0, 2}));
}

TEST_F(Styles, StyleValuesAndAssignedFlags)
{
    TcxStyle* style = NewStyle();
    EXPECT_TRUE(style->AssignedValues().Empty());
    style->SetColor(clRed);
    style->SetTextColor(clWhite);
    EXPECT_EQ(style->AssignedValues(), (TcxStyleValues{svColor, svTextColor}));
    style->SetColor(clDefault);
    EXPECT_EQ(style->AssignedValues(), TcxStyleValues{svTextColor});
    style->Font()->SetName("Arial");
    style->Bitmap()->SetSize(2, 2);
    EXPECT_EQ(style->AssignedValues(), (TcxStyleValues{svBitmap, svFont, svTextColor}));
    style->Bitmap()->SetSize(0, 0);
    EXPECT_FALSE(style->AssignedValues().Contains(svBitmap));

    set_->SetValue(0, style);
    set_->notices.clear();
    style->RestoreDefaults();
    EXPECT_TRUE(style->AssignedValues().Empty());
    EXPECT_EQ(style->Font()->Name(), "Arial");
    EXPECT_EQ(style->TextColor(), clDefault);
    EXPECT_EQ(set_->notices, std::vector<int>{0});

    TcxStyle* copy = NewStyle();
    style->SetColor(clNavy);
    style->Font()->SetSize(14);
    copy->Assign(style);
    EXPECT_EQ(copy->Color(), clNavy);
    EXPECT_EQ(copy->Font()->Size(), 14);
    EXPECT_EQ(copy->AssignedValues(), style->AssignedValues());
    EXPECT_THROW(copy->Assign(repository_), EConvertError);
}

TEST_F(Styles, ChangesRunAlongSheetChains)
{
    TTestStyleSheet* base = NewSheet();
    TTestStyleSheet* derived = NewSheet();
    TcxStyle* header = NewStyle(clRed);
    base->Styles()->SetValue(1, header);
    derived->Styles()->SetStyleSheet(base);
    auto user = MakeObject<TTestStyles>(nullptr);
    user->SetStyleSheet(derived);
    set_->SetStyleSheet(base);
    EXPECT_EQ(user->GetValue(1), header);

    user->notices.clear();
    set_->notices.clear();
    derived->Styles()->notices.clear();
    header->SetColor(clBlue);
    EXPECT_EQ(set_->notices, std::vector<int>{1});
    EXPECT_EQ(derived->Styles()->notices, std::vector<int>{1});
    EXPECT_EQ(user->notices, std::vector<int>{1});

    // Moving to another sheet tells the slots of both chains, once each.
    TTestStyleSheet* other = NewSheet();
    other->Styles()->SetValue(2, NewStyle(clLime));
    other->Styles()->SetValue(1, NewStyle(clLime));
    user->notices.clear();
    user->SetStyleSheet(other);
    EXPECT_EQ(user->notices, (std::vector<int>{1, 2}));
    EXPECT_EQ(derived->UserCount(), 0);
}

TEST_F(Styles, SheetsRefusedForClassOrCycle)
{
    TTestStyleSheet* a = NewSheet();
    TTestStyleSheet* b = NewSheet();
    auto* other = static_cast<TOtherStyleSheet*>(repository_->CreateStyleSheetEx(TOtherStyleSheet::StaticClass(), form_.get()));
    set_->SetStyleSheet(other);
    EXPECT_EQ(set_->StyleSheet(), nullptr);
    a->Styles()->SetStyleSheet(a);
    EXPECT_EQ(a->Styles()->StyleSheet(), nullptr);
    b->Styles()->SetStyleSheet(a);
    a->Styles()->SetStyleSheet(b);
    EXPECT_EQ(a->Styles()->StyleSheet(), nullptr);
    EXPECT_EQ(b->Styles()->StyleSheet(), a);

    // A destroyed sheet lets go of every set that used it.
    set_->SetStyleSheet(a);
    a->Free();
    EXPECT_EQ(set_->StyleSheet(), nullptr);
    EXPECT_EQ(b->Styles()->StyleSheet(), nullptr);
}

TEST_F(Styles, DestroyingAStyleEmptiesEverySlotOnce)
{
    TcxStyle* style = NewStyle(clRed);
    auto second = MakeObject<TTestStyles>(nullptr);
    set_->SetValue(0, style);
    set_->SetValue(2, style);
    second->SetValue(1, style);
    set_->notices.clear();
    second->notices.clear();
    style->Free();
    EXPECT_EQ(set_->notices, (std::vector<int>{2, 0}));
    EXPECT_EQ(second->notices, std::vector<int>{1});
    EXPECT_EQ(set_->GetCount(), 0);
    EXPECT_EQ(second->GetCount(), 0);
    EXPECT_EQ(repository_->GetCount(), 0);
}

TEST_F(Styles, ResetStylesClearsEverySlot)
{
    set_->SetValue(0, NewStyle(clRed));
    set_->SetValue(2, NewStyle(clRed));
    set_->SetValue(5, NewStyle(clRed));
    set_->notices.clear();
    set_->ResetStyles();
    EXPECT_EQ(set_->GetCount(), 0);
    EXPECT_EQ(set_->notices, (std::vector<int>{0, 2, 5}));
}

TEST_F(Styles, ViewParamsResolveExplicitSlotAndDefaults)
{
    auto defaultFont = MakeObject<TFont>();
    set_->defaultFont = defaultFont.get();
    TcxStyle* slot = NewStyle();
    slot->Font()->SetName("Slot font");
    slot->SetTextColor(clMaroon);
    set_->SetValue(0, slot);
    TcxStyle* explicitStyle = NewStyle(clYellow);

    TcxViewParams params;
    set_->GetViewParams(0, nullptr, explicitStyle, params);
    EXPECT_EQ(params.Color, clYellow);
    EXPECT_EQ(params.Font, slot->Font());
    EXPECT_EQ(params.TextColor, clMaroon);
    EXPECT_EQ(params.Bitmap, nullptr);
    set_->GetViewParams(1, nullptr, explicitStyle, params);
    EXPECT_EQ(params.Color, clYellow);
    EXPECT_EQ(params.Font, defaultFont.get());
    EXPECT_EQ(params.TextColor, clBlack);

    // Slots whose font is the default one hear about its changes.
    set_->notices.clear();
    set_->DefaultFontChanged(nullptr, defaultFont.get());
    EXPECT_EQ(set_->notices, std::vector<int>{1});
}

TEST_F(Styles, CombineParamsFirstStyleWins)
{
    TcxStyle* first = NewStyle(clRed);
    TcxStyle* second = NewStyle(clBlue);
    second->SetTextColor(clWhite);
    TcxViewParams params;
    TcxStyleValues values = CombineParamsWithStyle(first, {}, params);
    values = CombineParamsWithStyle(second, values, params);
    values = CombineParamsWithStyle(nullptr, values, params);
    EXPECT_EQ(values, (TcxStyleValues{svColor, svTextColor}));
    EXPECT_EQ(params.Color, clRed);
    EXPECT_EQ(params.TextColor, clWhite);
    EXPECT_EQ(params.Font, nullptr);
}

TEST_F(Styles, CopyFromAndCreateStyleSheetStyles)
{
    TTestStyleSheet* source = NewSheet();
    source->Styles()->SetValue(0, NewStyle(clRed));
    TcxStyle* empty = NewStyle();
    source->Styles()->SetValue(2, empty);
    TTestStyleSheet* copy = NewSheet();
    copy->CopyFrom(source);
    ASSERT_EQ(copy->Styles()->GetCount(), 2);
    EXPECT_NE(copy->Styles()->Content(), source->Styles()->Content());
    EXPECT_EQ(copy->Styles()->Content()->Color(), clRed);
    EXPECT_EQ(copy->Styles()->Content()->StyleRepository(), repository_);

    TTestStyleSheet* dest = NewSheet();
    TcxStyle* header = NewStyle(clLime);
    dest->Styles()->SetHeader(header);
    int named = 0;
    CreateStyleSheetStyles(dest, source, [&](TcxStyle*) { return "Made" + std::to_string(++named); });
    ASSERT_NE(dest->Styles()->Content(), nullptr);
    EXPECT_EQ(dest->Styles()->Content()->Name(), "Made1");
    EXPECT_EQ(dest->Styles()->Content()->Color(), clRed);
    EXPECT_EQ(dest->Styles()->Content()->Owner(), form_.get());
    EXPECT_EQ(dest->Styles()->Header(), nullptr);  // the source has none
    EXPECT_EQ(dest->Styles()->Footer(), nullptr);  // nothing assigned: no new style
    EXPECT_EQ(named, 1);
}

TEST_F(Styles, RepositoryRoundTripThroughFormResource)
{
    RegisterClasses({TStyleForm::StaticClass(), TcxStyleRepository::StaticClass(), TcxStyle::StaticClass(),
                     TTestStyleSheet::StaticClass()});
    TcxStyle* red = NewStyle(clRed);
    red->SetName("Red");
    red->Font()->SetName("Arial");
    TcxStyle* blue = NewStyle(clBlue);
    blue->SetName("Blue");
    TTestStyleSheet* base = NewSheet();
    base->SetName("Base");
    base->Styles()->SetFooter(blue);
    TTestStyleSheet* sheet = NewSheet();
    sheet->SetName("Sheet");
    sheet->SetCaption("My sheet");
    sheet->Styles()->SetContent(red);
    sheet->Styles()->SetStyleSheet(base);
    const std::string text = WriteFormResource(form_.get());
    // The sheet writes its own slots only, not those its chain supplies.
    EXPECT_EQ(text.find("Styles.Footer = Blue"), text.rfind("Styles.Footer = Blue")) << text;
    EXPECT_NE(text.find("BuiltIn = False"), std::string::npos) << text;

    ObjectPtr<TComponent> loaded(CreateFromFormResource(text, "styles.form", nullptr));
    auto* repository = As<TcxStyleRepository>(loaded->FindComponent("Repository"));
    ASSERT_NE(repository, nullptr);
    ASSERT_EQ(repository->GetCount(), 2);
    ASSERT_EQ(repository->GetStyleSheetCount(), 2);
    auto* copy = As<TTestStyleSheet>(loaded->FindComponent("Sheet"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Caption(), "My sheet");
    EXPECT_EQ(copy->StyleRepository(), repository);
    EXPECT_EQ(copy->Styles()->GetCount(), 1);
    EXPECT_EQ(copy->Styles()->Content(), loaded->FindComponent("Red"));
    EXPECT_EQ(copy->Styles()->Content()->Font()->Name(), "Arial");
    EXPECT_EQ(copy->Styles()->StyleSheet(), loaded->FindComponent("Base"));
    EXPECT_EQ(copy->Styles()->Footer(), loaded->FindComponent("Blue"));
    EXPECT_EQ(As<TcxStyle>(loaded->FindComponent("Blue"))->AssignedValues(), TcxStyleValues{svColor});
}

TEST_F(Styles, CaptionFallsBackToTheName)
{
    TTestStyleSheet* sheet = NewSheet();
    sheet->SetName("Plain");
    EXPECT_EQ(sheet->Caption(), "Plain");
    sheet->SetCaption("Shown");
    EXPECT_EQ(sheet->Caption(), "Shown");
    sheet->SetCaption("PLAIN");
    EXPECT_EQ(sheet->Caption(), "Plain");
    sheet->SetName("Renamed");
    EXPECT_EQ(sheet->Caption(), "Renamed");
}

TEST(StyleSheetClasses, RegisteredInOrderOnce)
{
    RegisterStyleSheetClass(TTestStyleSheet::StaticClass());
    RegisterStyleSheetClass(TOtherStyleSheet::StaticClass());
    RegisterStyleSheetClass(TTestStyleSheet::StaticClass());
    std::vector<TClass> classes{TcxStyle::StaticClass()};
    GetRegisteredStyleSheetClasses(classes);
    EXPECT_EQ(classes, (std::vector<TClass>{TTestStyleSheet::StaticClass(), TOtherStyleSheet::StaticClass()}));
    UnregisterStyleSheetClass(TTestStyleSheet::StaticClass());
    GetRegisteredStyleSheetClasses(classes);
    EXPECT_EQ(classes, std::vector<TClass>{TOtherStyleSheet::StaticClass()});
    cxStylesFinalize();
    GetRegisteredStyleSheetClasses(classes);
    EXPECT_TRUE(classes.empty());
    UnregisterStyleSheetClass(TOtherStyleSheet::StaticClass());
}

// ---- style-sheet INI files ---------------------------------------------------------

class StyleSheetIni : public Styles {
protected:
    std::string File() const { return dir_.File("sheets.ini"); }
    std::string Text() const
    {
        std::string text;
        ReadFileBytes(File(), text);
        return text;
    }
    void Write(const std::string& text) const { std::ofstream(File(), std::ios::binary) << text; }
    std::vector<TcxCustomStyleSheet*> Load(TStrings* sections = nullptr)
    {
        std::vector<TcxCustomStyleSheet*> sheets;
        LoadStyleSheetsFromIniFile(File(), repository_, TTestStyleSheet::StaticClass(), sections, nullptr, &sheets);
        return sheets;
    }
    static TTestStyles* StylesOf(TcxCustomStyleSheet* sheet) { return static_cast<TTestStyles*>(sheet->GetStyles()); }

    TempFolder dir_;
};

TEST_F(StyleSheetIni, ValueTexts)
{
    TTestStyleSheet* sheet = NewSheet();
    sheet->SetName("Sheet");
    TcxStyle* content = NewStyle(clBlue);
    content->Font()->SetName("Arial");
    content->Font()->SetSize(10);
    content->Font()->SetStyle({fsBold});
    sheet->Styles()->SetContent(content);
    sheet->Styles()->SetFooter(NewStyle());
    sheet->Styles()->SetHeader(NewStyle(clWindow));
    SaveStyleSheetsToIniFile(File(), {sheet});
    EXPECT_EQ(Text(), "[Sheet]\nContent=16711680,default,Arial,10,[B]\nFooter=default,default\n"
                      "Header=-2147483643,default\n");
}

TEST_F(StyleSheetIni, ValueParsing)
{
    struct Case {
        const char* value;
        TColor color;
        TColor textColor;
        const char* font;  // nullptr: no font assigned
        int size;
        TFontStyles styles;
    };
    const std::string defaultName = MakeObject<TFont>()->Name();
    const int defaultSize = MakeObject<TFont>()->Size();
    const Case cases[] = {
        {"255", clRed, clDefault, nullptr, 0, {}},
        {"255,-2147483643", clRed, clWindow, nullptr, 0, {}},
        {"DEFAULT,default,Arial", clDefault, clDefault, "Arial", defaultSize, {}},
        {"default,default,Arial,12", clDefault, clDefault, "Arial", 12, {}},
        {"default,default,Arial,12,[]", clDefault, clDefault, "Arial", 12, {}},
        {"default,default,Arial,big,[SxIB]", clDefault, clDefault, "Arial", defaultSize, {fsBold, fsItalic, fsStrikeOut}},
        {"default,default,,9,[u]", clDefault, clDefault, "", 9, {}},
    };
    for (const Case& c : cases) {
        Write(std::string("[S]\nContent=") + c.value + "\n");
        repository_->ClearStyleSheets();
        const auto sheets = Load();
        ASSERT_EQ(sheets.size(), 1u) << c.value;
        TcxStyle* style = StylesOf(sheets[0])->Content();
        ASSERT_NE(style, nullptr) << c.value;
        EXPECT_EQ(style->Color(), c.color) << c.value;
        EXPECT_EQ(style->TextColor(), c.textColor) << c.value;
        EXPECT_EQ(style->AssignedValues().Contains(svFont), c.font != nullptr) << c.value;
        if (!c.font) continue;
        EXPECT_EQ(style->Font()->Name(), c.font) << c.value;
        EXPECT_EQ(style->Font()->Size(), c.size) << c.value;
        EXPECT_EQ(style->Font()->Style(), c.styles) << c.value;
    }
    (void)defaultName;
}

TEST_F(StyleSheetIni, BadColourRaisesWithEarlierSheetsKept)
{
    Write("[First]\nContent=255\n[Second]\nHeader=red\n[Third]\nContent=1\n");
    std::vector<TcxCustomStyleSheet*> sheets;
    EXPECT_THROW(LoadStyleSheetsFromIniFile(File(), repository_, TTestStyleSheet::StaticClass(), nullptr, nullptr, &sheets),
                 EConvertError);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0]->Caption(), "First");
    EXPECT_EQ(StylesOf(sheets[0])->Content()->Color(), clRed);
    EXPECT_EQ(repository_->GetStyleSheetCount(), 2);
}

TEST_F(StyleSheetIni, SectionsAndKeysThatMatchNothing)
{
    Write("[A]\nContent=1\n[B]\nUnknown=2\n[Empty]\n[C]\nHeader=3\n");
    auto names = MakeObject<TStringList>();
    names->SetCommaText("C,Missing,A");
    auto sheets = Load(names.get());
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0]->Caption(), "C");
    EXPECT_EQ(sheets[1]->Caption(), "A");
    repository_->ClearStyleSheets();
    sheets = Load();
    ASSERT_EQ(sheets.size(), 3u);  // the section without keys gives no sheet
    EXPECT_EQ(sheets[1]->Caption(), "B");
    EXPECT_EQ(sheets[1]->GetStyles()->GetCount(), 0);
}

// A 32-bit bitmap of n pixels is a BMP stream of 54 + 4n bytes.
void Fill(TBitmap& bitmap, int width)
{
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(width, 1);
}

TEST_F(StyleSheetIni, BitmapChunks)
{
    struct Case {
        int width;
        std::vector<std::size_t> chunks;  // lengths
    };
    // 1022 bytes are 2044 digits, 1026 bytes 2052: chunks hold 2047.
    for (const Case& c : {Case{242, {2044}}, Case{243, {2047, 5}}, Case{0, {}}}) {
        TTestStyleSheet* sheet = NewSheet();
        sheet->SetName("Sheet" + std::to_string(c.width));
        TcxStyle* style = NewStyle();
        if (c.width) Fill(*style->Bitmap(), c.width);
        style->SetAssignedValues({svBitmap});
        sheet->Styles()->SetContent(style);
        SaveStyleSheetsToIniFile(File(), {sheet});
        auto ini = MakeObject<TMemIniFile>(File());
        auto keys = MakeObject<TStringList>();
        ini->ReadSection(sheet->Caption(), keys.get());
        ASSERT_EQ(keys->Count(), static_cast<int>(c.chunks.size()) + 1) << c.width;
        EXPECT_EQ(ini->ReadString(sheet->Caption(), "Content", ""), "default,default");
        for (std::size_t n = 0; n < c.chunks.size(); ++n)
            EXPECT_EQ(ini->ReadString(sheet->Caption(), "ContentBitmap" + std::to_string(n), "").size(), c.chunks[n]);
        if (c.chunks.empty()) continue;

        const auto loaded = Load();
        TcxStyle* copy = StylesOf(loaded.back())->Content();
        EXPECT_EQ(copy->Bitmap()->Width(), c.width);
        EXPECT_EQ(copy->AssignedValues(), TcxStyleValues{svBitmap});
    }
}

TEST_F(StyleSheetIni, SheetsWithoutStylesLeaveAnEmptyFile)
{
    Write("[Old]\nContent=1\n");
    SaveStyleSheetsToIniFile(File(), {NewSheet(), NewSheet()});
    EXPECT_EQ(Text(), "");
}

// A styles class whose style property fails when it is read.
class TFailingStyles : public TcxStyles {
public:
    static TClass StaticClass()
    {
        return DefineClass<TFailingStyles, TcxStyles>("TFailingStyles", [](ClassBuilder<TFailingStyles>& b) {
            b.Property("Broken", &TFailingStyles::Broken, &TFailingStyles::SetBroken);
        });
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxStyle* Broken() const { throw EInOutError("disk gone"); }
    void SetBroken(TcxStyle*) {}
};

class TFailingSheet : public TcxCustomStyleSheet {
public:
    static TClass StaticClass() { return DefineClass<TFailingSheet, TcxCustomStyleSheet>("TFailingSheet"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetStylesClass() const override { return TFailingStyles::StaticClass(); }
};

TEST_F(StyleSheetIni, FailedSaveLeavesTheFileAsItWas)
{
    Write("[Old]\nContent=1\n");
    auto* sheet = repository_->CreateStyleSheetEx(TFailingSheet::StaticClass(), form_.get());
    EXPECT_THROW(SaveStyleSheetsToIniFile(File(), {sheet}), EInOutError);
    EXPECT_EQ(Text(), "[Old]\nContent=1\n");
}

TEST_F(StyleSheetIni, SaveReplacesTheSheetsSectionsOnly)
{
    TTestStyleSheet* sheet = NewSheet();
    sheet->SetName("Sheet");
    TcxStyle* content = NewStyle(clRed);
    Fill(*content->Bitmap(), 600);
    sheet->Styles()->SetContent(content);
    sheet->Styles()->SetHeader(NewStyle(clBlue));
    Write("[Other]\nKey=1\n");
    SaveStyleSheetsToIniFile(File(), {sheet});
    Fill(*content->Bitmap(), 10);
    sheet->Styles()->SetHeader(nullptr);
    SaveStyleSheetsToIniFile(File(), {sheet});

    auto ini = MakeObject<TMemIniFile>(File());
    auto keys = MakeObject<TStringList>();
    ini->ReadSection("Sheet", keys.get());
    EXPECT_EQ(keys->ToVector(), (std::vector<std::string>{"Content", "ContentBitmap0"}));
    EXPECT_EQ(ini->ReadString("Other", "Key", ""), "1");
    const auto loaded = Load(MakeObject<TStringList>().get());
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(StylesOf(loaded[1])->Header(), nullptr);
    EXPECT_EQ(StylesOf(loaded[1])->Content()->Bitmap()->Width(), 10);
}

TEST_F(StyleSheetIni, BitmapKeysFromHandEditedFiles)
{
    TTestStyleSheet* sheet = NewSheet();
    sheet->SetName("Sheet");
    TcxStyle* content = NewStyle();
    Fill(*content->Bitmap(), 3);
    sheet->Styles()->SetContent(content);
    SaveStyleSheetsToIniFile(File(), {sheet});
    auto ini = MakeObject<TMemIniFile>(File());
    const std::string hex = ini->ReadString("Sheet", "ContentBitmap0", "");
    struct Case {
        const char* name;
        std::string file;
        int width;  // of the loaded Content bitmap, -1 for no Content style
    };
    std::string lower = hex;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const Case cases[] = {
        {"lower-case digits", "[S]\nContent=1\nContentBitmap0=" + lower + "\n", 3},
        {"not a digit", "[S]\nContent=1\nContentBitmap0=" + hex.substr(0, 10) + "G" + hex.substr(11) + "\n", 0},
        {"not a bitmap", "[S]\nContent=1\nContentBitmap0=00FF\n", 0},
        {"bitmap before value", "[S]\nContentBitmap0=" + hex + "\nContent=1\n", 0},
        {"no chunk 0", "[S]\nContent=1\nContentBitmap1=" + hex + "\nHeader=2\n", 0},
    };
    for (const Case& c : cases) {
        Write(c.file);
        repository_->ClearStyleSheets();
        const auto sheets = Load();
        ASSERT_EQ(sheets.size(), 1u) << c.name;
        TcxStyle* style = StylesOf(sheets[0])->Content();
        ASSERT_NE(style, nullptr) << c.name;
        EXPECT_EQ(style->Color(), 1) << c.name;
        EXPECT_EQ(style->Bitmap()->Width(), c.width) << c.name;
    }
    // The key after a chunk that had no chunk 0 is still read.
    EXPECT_EQ(StylesOf(repository_->GetStyleSheet(0))->Header()->Color(), 2);
}

}  // namespace

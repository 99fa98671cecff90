// Form resources: parsing, loading with the host library's semantics,
// errors with their line, the component-stream filers and a write-read
// round trip.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/core/streams.h"
#include "tests/platform/hostlib/core/form_classes.h"

using namespace hostlib;

namespace quelvo_resources {
void Register_hostlib_test();
}

using namespace form_classes;

namespace {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterClasses({TTestForm::StaticClass(), TPanel::StaticClass(), TSpinProps::StaticClass(), TBaseProps::StaticClass(),
                         TStringList::StaticClass()});
        gEvents.clear();
    }
    ObjectPtr<TTestForm> form_ = MakeObject<TTestForm>(nullptr);
};

const char* const kForm = R"(// A form with nested panels.
Main : TTestForm {
  Title = "Process " "list";
  Top : TPanel {
    Caption = "Top \"panel\"\n";
    Color = clRed;
    Align = paTop;
    Sides = [sdLeft, sdBottom];
    Buddy = Inner;
    OnClick = PanelClick;
    Items = ("one", "two", "");
    Columns = <
      item { Caption = "Name"; Width = 120; }
      item { }
    >;
    Font.Size = 10;
    PropsClassName = "TSpinProps";
    Props.Increment = 5;
    Data = hex{00 ff 10};
    Legacy = "old";
    Inner : TPanel {
      Ratio = 1.5;
      Price = 12.3456;
      Value = "text";
      Enabled = False;
      Accel = "&";
      Color = $00FF00;
      Buddy = Top;
    }
  }
}
)";

TEST_F(FormTest, LoadsNestedComponentsWithHostSemantics)
{
    ReadFormResource(form_.get(), kForm, "main.form");
    EXPECT_EQ(form_->Name(), "Main");
    EXPECT_EQ(form_->Title(), "Process list");
    ASSERT_EQ(form_->ComponentCount(), 2);
    auto* top = As<TPanel>(form_->FindComponent("Top"));
    auto* inner = As<TPanel>(form_->FindComponent("Inner"));
    ASSERT_TRUE(top && inner);
    EXPECT_EQ(top->Owner(), form_.get());
    EXPECT_EQ(inner->Owner(), form_.get());  // the form owns every component
    EXPECT_EQ(top->GetParentComponent(), form_.get());
    EXPECT_EQ(inner->GetParentComponent(), top);
    EXPECT_EQ(top->Caption(), "Top \"panel\"\n");
    EXPECT_EQ(top->Color(), 0x0000FF);
    EXPECT_EQ(top->Align(), paTop);
    EXPECT_EQ(top->Sides(), (TSides{sdLeft, sdBottom}));
    EXPECT_EQ(top->Buddy(), inner);  // forward reference fixed up
    EXPECT_EQ(inner->Buddy(), top);
    EXPECT_EQ(top->Items()->ToVector(), (std::vector<std::string>{"one", "two", ""}));
    ASSERT_EQ(top->Columns()->Count(), 2);
    EXPECT_EQ(static_cast<TColumn*>(top->Columns()->Items(0))->Caption(), "Name");
    EXPECT_EQ(static_cast<TColumn*>(top->Columns()->Items(0))->Width(), 120);
    EXPECT_EQ(static_cast<TColumn*>(top->Columns()->Items(1))->Width(), 100);
    EXPECT_EQ(top->Font()->Size(), 10);
    ASSERT_NE(As<TSpinProps>(top->Props()), nullptr);
    EXPECT_EQ(As<TSpinProps>(top->Props())->Increment(), 5);
    EXPECT_EQ(top->Data(), (std::vector<std::uint8_t>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(top->Legacy(), "old");
    EXPECT_EQ(inner->Ratio(), 1.5);
    EXPECT_EQ(inner->Price().Scaled(), 123456);
    EXPECT_EQ(inner->Value().AsString(), "text");
    EXPECT_FALSE(inner->Enabled());
    EXPECT_EQ(inner->Accel(), '&');
    EXPECT_EQ(inner->Color(), 0x00FF00);

    EXPECT_EQ(top->OnClick().HandlerName(), "PanelClick");
    top->OnClick()(top);
    EXPECT_EQ(form_->clicked, std::vector<std::string>{"Top"});

    const std::vector<std::string> expected = {"read Top parent Main reading", "read Inner parent Top reading", "read end Inner",
                                               "read end Top", "loaded form", "loaded Top loading", "loaded Inner loading"};
    EXPECT_EQ(gEvents, expected);
    EXPECT_FALSE(top->IsLoading());
    EXPECT_FALSE(form_->ComponentState().Contains(csReading));
}

TEST_F(FormTest, CreatesTheRootByClassName)
{
    TComponent* root = CreateFromFormResource("F : TTestForm { Title = \"x\"; }", "f.form", nullptr);
    ObjectPtr<TComponent> guard(root);
    EXPECT_EQ(root->ClassName(), "TTestForm");
    EXPECT_EQ(static_cast<TTestForm*>(root)->Title(), "x");
    EXPECT_THROW(CreateFromFormResource("F : TNoSuchForm { }", "f.form", nullptr), EFormResourceError);
}

TEST_F(FormTest, LoadsCompiledInResources)
{
    RegisterResource("SMALLFORM", restype::Form, "S : TTestForm { Title = \"from resource\"; }");
    ReadFormResourceByName(form_.get(), "smallform");
    EXPECT_EQ(form_->Title(), "from resource");
    EXPECT_THROW(ReadFormResourceByName(form_.get(), "NOFORM"), EResNotFound);

    // A file of the tree compiled into the program.
    quelvo_resources::Register_hostlib_test();
    auto sample = MakeObject<TTestForm>(nullptr);
    ReadFormResourceByName(sample.get(), "SampleForm");
    EXPECT_EQ(sample->Title(), "compiled in");
    EXPECT_EQ(As<TPanel>(sample->FindComponent("Box"))->Caption(), "box");
}

TEST_F(FormTest, ErrorsCarryTheirLine)
{
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"F : TTestForm {\n  X : TNoSuch { }\n}", "t.form:2: Class TNoSuch not found"},
        {"F : TTestForm {\n  Title = 5;\n}", "t.form:2: A string expected for property Title"},
        {"F : TTestForm {\n  Nope = 5;\n}", "t.form:2: Property Nope does not exist in TTestForm"},
        {"F : TTestForm {\n P : TPanel {\n  Align = paLeft;\n }\n}", "t.form:3: Invalid value paLeft for property Align"},
        {"F : TTestForm {\n P : TPanel {\n  Sides = [sdLeft, sdUp];\n }\n}", "t.form:3: Invalid set element sdUp for property Sides"},
        {"F : TTestForm {\n P : TPanel {\n  Color = clPurple;\n }\n}", "t.form:3: Unknown identifier clPurple for property Color"},
        {"F : TTestForm {\n P : TPanel {\n\n  Buddy = Ghost;\n }\n}", "t.form:4: Component Ghost not found"},
        {"F : TTestForm {\n P : TPanel {\n  OnClick = NoHandler;\n }\n}", "t.form:3: Handler NoHandler not found in TTestForm"},
        {"F : TTestForm {\n P : TPanel {\n  OnClick = Resized;\n }\n}", "t.form:3: Handler Resized does not match event OnClick"},
        {"F : TTestForm {\n P : TPanel {\n  Props.Increment = 2;\n }\n}", "t.form:3: Property Props of TPanel is nil"},
        {"F : TTestForm {\n P : TPanel {\n  Caption.X = 2;\n }\n}", "t.form:3: Property Caption of TPanel is not an object"},
        {"F : TTestForm {\n P : TPanel {\n  Data = \"x\";\n }\n}", "t.form:3: Binary data expected for Data"},
        {"F : TTestForm {\n P : TPanel {\n  Legacy = 5;\n }\n}", "t.form:3: Invalid property value"},
        {"F : TTestForm {\n P : TPanel { }\n P : TPanel { }\n}", "t.form:3: A component named P already exists"},
        {"F : TTestForm {\n P : TPanel {\n  Columns = < item { Wide = 1; } >;\n }\n}", "t.form:3: Property Wide does not exist in TColumn"},
        {"F : TTestForm {\n  Title = \"abc;\n}", "t.form:2: Unterminated string"},
        {"F : TTestForm {\n  Title = ;\n}", "t.form:2: Value expected but ';' found"},
        {"F : TTestForm {\n  Title = \"a\"\n}", "t.form:3: ';' expected but '}' found"},
        {"F : TTestForm {\n", "t.form:2: '}' expected but end of file found"},
        {"F : TTestForm { } extra", "t.form:1: Text after the end of the form"},
        {"F : TPanel { }", "t.form:1: Form class TPanel does not match TTestForm"},
        {"F : TTestForm {\n P : TPanel {\n  Ratio = 1.5x;\n }\n}", "t.form:3: Invalid number 1.5x"},
        {"F : TTestForm {\n P : TPanel {\n  Data = hex{0g};\n }\n}", "t.form:3: Invalid binary digit 'g'"},
        {"F : TTestForm {\n P : TPanel {\n  Data = hex{012};\n }\n}", "t.form:3: Binary data has an odd number of digits"},
        {"F : TTestForm {\n P : TPanel {\n  Color = 99999999999999999999;\n }\n}", "t.form:3: Integer out of range: 99999999999999999999"},
        {"F : TTestForm {\n P : TPanel {\n  Items = (\"a\", 1);\n }\n}", "t.form:3: A string expected in list Items"},
        {"F : TTestForm {\n P : TPanel {\n  Font = 1;\n }\n}", "t.form:3: Property Font is an object: assign its properties with Font.Name"},
        {"F : TTestForm {\n  X : TStringList { }\n}", "t.form:2: TStringList is not a component class"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto form = MakeObject<TTestForm>(nullptr);
        try {
            ReadFormResource(form.get(), c.text, "t.form");
            ADD_FAILURE() << "no error";
        } catch (const EFormResourceError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        // A failed load leaves no half-read components behind.
        EXPECT_EQ(form->ComponentCount(), 0);
        EXPECT_FALSE(form->IsLoading());
    }
}

TEST_F(FormTest, WrittenFormReadsBackToTheSameObjects)
{
    ReadFormResource(form_.get(), kForm, "main.form");
    auto* top = As<TPanel>(form_->FindComponent("Top"));
    top->SetRatio(0.1);  // needs all 17 digits
    top->SetValue(Variant(7));
    const std::string written = WriteFormResource(form_.get());

    auto copy = MakeObject<TTestForm>(nullptr);
    ReadFormResource(copy.get(), written, "written.form");
    EXPECT_EQ(WriteFormResource(copy.get()), written);

    auto* top2 = As<TPanel>(copy->FindComponent("Top"));
    auto* inner2 = As<TPanel>(copy->FindComponent("Inner"));
    ASSERT_TRUE(top2 && inner2);
    EXPECT_EQ(top2->Caption(), top->Caption());
    EXPECT_EQ(top2->Ratio(), 0.1);
    EXPECT_EQ(top2->Value().VarType(), varInteger);
    EXPECT_EQ(top2->Buddy(), inner2);
    EXPECT_EQ(inner2->GetParentComponent(), top2);
    EXPECT_EQ(top2->Data(), top->Data());
    EXPECT_EQ(top2->Legacy(), "old");
    EXPECT_EQ(top2->Columns()->Count(), 2);
    EXPECT_EQ(As<TSpinProps>(top2->Props())->Increment(), 5);
    EXPECT_EQ(inner2->Price().Scaled(), 123456);
    EXPECT_EQ(inner2->Accel(), '&');
    // The event is written by its handler name, also when bound in code.
    inner2->OnClick() = TNotifyEvent::Bind(copy.get(), &TTestForm::PanelClick);
    EXPECT_NE(WriteFormResource(copy.get()).find("    OnClick = PanelClick;"), std::string::npos);

    // Defaults and stored rules: a fresh panel writes nothing but its name.
    auto bare = MakeObject<TTestForm>(nullptr);
    bare->SetName("Bare");
    auto* p = CreateObject<TPanel>(bare.get());
    p->SetName("P");
    p->SetParentComponent(bare.get());
    EXPECT_EQ(WriteFormResource(bare.get()), "Bare : TTestForm {\n  P : TPanel {\n  }\n}\n");
}

TEST(Filers, ValueEncodingRoundTrip)
{
    TMemoryStream s;
    {
        TWriter w(&s);
        w.WriteInteger(5);
        w.WriteInteger(-300);
        w.WriteInteger(100000);
        w.WriteInteger(5000000000LL);
        w.WriteFloat(1.5);
        w.WriteSingle(0.25f);
        w.WriteCurrency(Currency::FromScaled(15000));
        w.WriteDate(2.5);
        w.WriteString("abc");
        w.WriteString(std::string(300, 'x'));
        w.WriteWideString("wé");
        w.WriteBoolean(true);
        w.WriteIdent("clRed");
        w.WriteListBegin();
        w.WriteVariant(Variant(7));
        w.WriteVariant(Variant("s"));
        w.WriteListEnd();
        EXPECT_THROW(w.WriteVariant(VarArrayOf({Variant(1), Null()})), EWriteError);
        w.WriteBinary({1, 2});
    }
    const std::vector<std::uint8_t> head = {0x02, 0x05, 0x03, 0xD4, 0xFE, 0x04, 0xA0, 0x86, 0x01, 0x00, 0x13};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), s.Bytes().begin()));
    s.SetPosition(0);
    TReader r(&s);
    EXPECT_EQ(r.ReadInteger(), 5);
    EXPECT_EQ(r.ReadInteger(), -300);
    EXPECT_EQ(r.ReadInteger(), 100000);
    EXPECT_THROW(r.ReadInteger(), EReadError);  // a 64-bit value is not an Integer
    EXPECT_EQ(r.ReadInt64(), 5000000000LL);
    EXPECT_EQ(r.ReadFloat(), 1.5);
    EXPECT_EQ(r.ReadSingle(), 0.25f);
    EXPECT_EQ(r.ReadCurrency().Scaled(), 15000);
    EXPECT_EQ(r.ReadDate(), 2.5);
    EXPECT_EQ(r.ReadString(), "abc");
    EXPECT_EQ(r.ReadString(), std::string(300, 'x'));
    EXPECT_EQ(r.ReadWideString(), "wé");
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_EQ(r.ReadIdent(), "clRed");
    const Variant list = r.ReadVariant();
    EXPECT_EQ(list.ArrayHighBound(), 1);
    EXPECT_EQ(list[1].AsString(), "s");
    EXPECT_EQ(r.ReadBinary(), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_THROW(r.ReadValue(), EReadError);  // end of stream

    struct Bad {
        std::vector<std::uint8_t> bytes;
        const char* what;
    };
    for (const auto& b : std::vector<Bad>{{{0x06, 0x05, 'a'}, "short string"},
                                          {{0x0C, 0xFF, 0xFF, 0xFF, 0x7F}, "huge length"},
                                          {{0x0C, 0x00, 0x00, 0x00, 0x80}, "negative length"},
                                          {{0x99}, "unknown kind"},
                                          {{0x05, 0x00}, "short extended"}}) {
        SCOPED_TRACE(b.what);
        TMemoryStream m(b.bytes);
        TReader rr(&m);
        EXPECT_THROW(rr.ReadVariant(), EReadError);
    }
}

TEST(Filers, ListsNestedBeyondTheLimitAreAReadError)
{
    const auto nested = [](int depth) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(depth), vaList);
        bytes.push_back(vaInt8);
        bytes.push_back(1);
        bytes.insert(bytes.end(), static_cast<std::size_t>(depth), vaNull);
        return bytes;
    };
    for (bool skip : {false, true}) {
        SCOPED_TRACE(skip ? "skip" : "read");
        for (int depth : {TReader::kMaxNesting, TReader::kMaxNesting + 1, 40000}) {
            TMemoryStream m(nested(depth));
            TReader r(&m);
            const auto read = [&] { skip ? r.SkipValue() : static_cast<void>(r.ReadVariant()); };
            if (depth <= TReader::kMaxNesting) {
                EXPECT_NO_THROW(read());
                EXPECT_EQ(m.Position(), m.Size());
                continue;
            }
            try {
                read();
                ADD_FAILURE() << depth;
            } catch (const EReadError& e) {
                EXPECT_EQ(e.Message(), "Values nested too deeply");
            }
        }
    }
}

TEST(Streams, ReadErrorsAndCopies)
{
    TMemoryStream m;
    const char text[] = "hello";
    m.WriteBuffer(text, 5);
    EXPECT_EQ(m.Size(), 5);
    m.SetPosition(3);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 2);
    m.SetPosition(3);
    try {
        m.ReadBuffer(buf, 3);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_THROW(m.Seek(-10, soCurrent), EStreamError);
    m.SetPosition(10);  // beyond the end is allowed; writing fills the gap
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Size(), 11);
    TStringStream dst;
    EXPECT_EQ(dst.CopyFrom(m, 0), 11);
    EXPECT_EQ(dst.DataString().substr(0, 5), "hello");
    m.SetPosition(0);
    EXPECT_THROW(dst.CopyFrom(m, 20), EReadError);
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);

    try {
        TFileStream f("/nonexistent/dir/file", fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"/nonexistent/dir/file\". ", 0), 0u);
    }
    EXPECT_THROW(TFileStream("/nonexistent/dir/file", fmCreate), EFCreateError);
    TResourceStream* none = nullptr;
    EXPECT_THROW(none = new TResourceStream("NONE", restype::Bitmap), EResNotFound);
    EXPECT_EQ(none, nullptr);
    RegisterResource("LOGO", restype::Bitmap, "BM..");
    TResourceStream logo("logo", "bitmap");
    EXPECT_EQ(logo.Size(), 4);
    EXPECT_THROW(logo.WriteBuffer("x", 1), EStreamError);
}

TEST(Resources, StringsByIdentifier)
{
    const TResourceString s{65278, "Can't create the registry key: \\%s"};
    EXPECT_EQ(LoadResString(s), "Can't create the registry key: \\%s");
    EXPECT_EQ(LoadStr(65278), "");
    RegisterResourceStrings({{65278, "replaced"}});
    EXPECT_EQ(LoadResString(s), "replaced");
    EXPECT_EQ(LoadStr(65278), "replaced");
}

}  // namespace

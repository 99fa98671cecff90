// Tree lists read from and written to form resources: bands, columns with
// their editor kinds and properties, value types, band placement, events,
// errors with their line, a round trip, and the configurator's two lists as
// its window declares them.
#include "tests/components/treelist/tree_list_fixture.h"

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

// The combo-box kind comes with a later part of the editors; this stand-in
// carries the three settings the configurator's lists give their combo
// columns.
class TTestComboProperties : public TTestTextProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<TTestComboProperties, TTestTextProperties>("TTestComboProperties", [](ClassBuilder<TTestComboProperties>& b) {
            using P = TTestComboProperties;
            b.Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("Items", &P::Items, &P::SetItems);
        });
    }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TPersistent* owner) override
    {
        TTestTextProperties::Construct(owner);
        items_.reset(CreateObject<TStringList>());
    }
    int DropDownRows() const { return dropDownRows_; }
    void SetDropDownRows(int value) { dropDownRows_ = value; }
    TStringList* Items() const { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(value); }

private:
    int dropDownRows_ = 8;
    ObjectPtr<TStringList> items_;
};

// The window the lists sit on, with the handlers the lists bind.
class TListsForm : public TForm {
public:
    static TClass StaticClass()
    {
        return DefineClass<TListsForm, TForm>("TListsForm", [](ClassBuilder<TListsForm>& b) {
            b.Method("ColumnHeaderClick", &TListsForm::ColumnHeaderClick);
            b.Method("TopRecordIndexChanged", &TListsForm::TopRecordIndexChanged);
            b.Method("Nothing", &TListsForm::Nothing);
            b.Method("PriorityChange", &TListsForm::Nothing);
            b.Method("RuleChange", &TListsForm::Nothing);
        });
    }
    TClass ClassType() const override { return StaticClass(); }

    // Both take the focus off the focused row.
    void ColumnHeaderClick(TObject* sender, TcxTreeListColumn*) { Unfocus(sender); }
    void TopRecordIndexChanged(TObject* sender) { Unfocus(sender); }
    void Nothing(TObject*) {}

private:
    static void Unfocus(TObject* sender)
    {
        if (TcxTreeListNode* node = static_cast<TcxTreeList*>(sender)->FocusedNode()) node->SetFocused(false);
    }
};

class FormTest : public TreeListTest {
protected:
    void SetUp() override
    {
        TreeListTest::SetUp();
        cxTextEditInitialize();
        cxProgressBarInitialize();
        GetRegisteredEditProperties()->Register(TTestComboProperties::StaticClass(), "Test combo|");
        RegisterClasses({TListsForm::StaticClass(), TcxTreeList::StaticClass(), TcxTreeListColumn::StaticClass()});
    }
    void TearDown() override
    {
        loaded.reset();
        GetRegisteredEditProperties()->Unregister(TTestComboProperties::StaticClass());
        cxProgressBarFinalize();
        cxTextEditFinalize();
        TreeListTest::TearDown();
    }
    TcxTreeList* Load(const std::string& text)
    {
        loaded.reset(CreateFromFormResource(text, "lists.form", nullptr));
        return static_cast<TcxTreeList*>(loaded->FindComponent("List"));
    }
    TcxTreeListColumn* Named(const std::string& name) { return static_cast<TcxTreeListColumn*>(loaded->FindComponent(name)); }

    ObjectPtr<TComponent> loaded;
};

const char* const kTwoBands = R"(Window : TListsForm {
  List : TcxTreeList {
    Width = 400;
    Height = 200;
    Bands = < item { Caption.Text = "Left"; } item { Caption.Text = "Right"; Width = 250; } >;
    OptionsView.Bands = True;
    OnColumnHeaderClick = ColumnHeaderClick;
    Count : TcxTreeListColumn {
      PropertiesClassName = "TTestTextProperties";
      DataBinding.ValueType = "integer";
      Caption.Text = "Count";
      Position.BandIndex = 1;
      Position.ColIndex = 0;
      Position.RowIndex = 0;
    }
    Choice : TcxTreeListColumn {
      PropertiesClassName = "TTestComboProperties";
      Properties.Items = ("one", "two");
      Properties.DropDownRows = 12;
      Width = 130;
      MinWidth = 130;
      Position.BandIndex = 0;
      Position.ColIndex = 0;
      Position.RowIndex = 0;
    }
  }
})";

TEST_F(FormTest, BandsColumnsEditorsAndEventsLoad)
{
    TcxTreeList* list = Load(kTwoBands);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Bands()->Count(), 2);
    EXPECT_EQ(list->Bands()->Items(1)->Caption()->Text(), "Right");
    EXPECT_EQ(list->Bands()->Items(1)->Width(), 250);
    ASSERT_EQ(list->GetColumnCount(), 2);
    TcxTreeListColumn* count = Named("Count");
    TcxTreeListColumn* choice = Named("Choice");
    EXPECT_EQ(count->OwnerBand(), list->Bands()->Items(1));
    EXPECT_EQ(choice->OwnerBand(), list->Bands()->Items(0));
    EXPECT_EQ(count->DataBinding()->GetValueTypeClass(), TcxIntegerValueType::Class());
    EXPECT_EQ(list->DataController()->GetItemValueTypeClass(count->ItemIndex()), TcxIntegerValueType::Class())
        << "the value type reaches the data controller";
    auto* combo = As<TTestComboProperties>(choice->Properties());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->DropDownRows(), 12);
    EXPECT_EQ(choice->MinWidth(), 130);
    EXPECT_EQ(list->OnColumnHeaderClick.HandlerName(), "ColumnHeaderClick");
    EXPECT_TRUE(list->OptionsView()->Bands());
    // The loaded list holds and sorts rows.
    TcxTreeListNode* a = list->AddChild(nullptr);
    a->SetValue(0, Variant(5));
    list->AddChild(nullptr)->SetValue(0, Variant(2));
    count->SetSortOrder(soAscending);
    EXPECT_EQ(list->Items(1), a);
}

TEST_F(FormTest, APropertyOfAnEditorBeforeItsKindFailsWithItsLine)
{
    const std::string text = R"(Window : TListsForm {
  List : TcxTreeList {
    Bands = < item { } >;
    Wrong : TcxTreeListColumn {
      Properties.ReadOnly = True;
      PropertiesClassName = "TcxTextEditProperties";
    }
  }
})";
    try {
        Load(text);
        ADD_FAILURE() << "loaded";
    } catch (const EFormResourceError& e) {
        EXPECT_NE(std::string(e.what()).find("lists.form:5:"), std::string::npos) << e.what();
    }
}

TEST_F(FormTest, WritingAndReadingGiveTheSameList)
{
    TcxTreeList* list = Load(kTwoBands);
    Named("Count")->SetSortOrder(soDescending);
    list->OptionsBehavior()->SetChangeDelay(300);
    const std::string written = WriteFormResource(static_cast<TComponent*>(loaded.get()));
    EXPECT_EQ(written.find("VisibleIndex"), std::string::npos) << written;
    EXPECT_EQ(written.find("ValueType = \"String\""), std::string::npos) << written;
    EXPECT_EQ(written.find("DefaultRowHeight"), std::string::npos) << written;
    EXPECT_EQ(written.find("Format"), std::string::npos) << written;
    EXPECT_EQ(written.find("Choice : TcxTreeListColumn"), written.rfind("Choice : TcxTreeListColumn")) << "once";
    loaded.reset();
    list = Load(written);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Bands()->Count(), 2);
    EXPECT_EQ(Named("Count")->OwnerBand(), list->Bands()->Items(1));
    EXPECT_EQ(Named("Count")->SortOrder(), soDescending);
    EXPECT_EQ(list->OptionsBehavior()->ChangeDelay(), 300);
    EXPECT_EQ(As<TTestComboProperties>(Named("Choice")->Properties())->Items()->Count(), 2);
    EXPECT_EQ(WriteFormResource(static_cast<TComponent*>(loaded.get())), written);
}

// The configurator's two lists, as its window declares them.
const char* const kConfiguratorLists = R"(Window : TListsForm {
  cxTreeListProcesses : TcxTreeList {
    Width = 560;
    Height = 300;
    Bands = < item { } >;
    BufferedPaint = False;
    LookAndFeel.Kind = lfUltraFlat;
    LookAndFeel.NativeStyle = False;
    OptionsData.AnsiSort = True;
    OptionsSelection.HideFocusRect = False;
    OptionsSelection.InvertSelect = False;
    OptionsView.ColumnAutoWidth = True;
    OptionsView.GridLines = tlglHorz;
    OptionsView.HeaderSingleLine = True;
    OptionsView.ShowRoot = False;
    OptionsView.TreeLineStyle = tllsNone;
    OnAfterSorting = Nothing;
    OnColumnHeaderClick = ColumnHeaderClick;
    OnSelectionChanged = Nothing;
    OnSorting = Nothing;
    OnTopRecordIndexChanged = TopRecordIndexChanged;
    cxTreeListProcessescxTreeListColumn_CpuInstant : TcxTreeListColumn {
      PropertiesClassName = "TcxProgressBarProperties";
      Properties.BarBevelOuter = cxbvRaised;
      Caption.AlignHorz = taCenter;
      Caption.Text = "CPU Inst.";
      DataBinding.ValueType = "Integer";
      MinWidth = 75;
      Options.Editing = False;
      Options.Focusing = False;
      Options.Sizing = False;
      Width = 75;
      Position.BandIndex = 0;
      Position.ColIndex = 0;
      Position.RowIndex = 0;
    }
    cxTreeListProcessescxTreeListColumn_CpuAvg : TcxTreeListColumn {
      PropertiesClassName = "TcxProgressBarProperties";
      Properties.BarBevelOuter = cxbvRaised;
      Properties.BeginColor = clGreen;
      Properties.OverloadValue = 20;
      Caption.AlignHorz = taCenter;
      Caption.Text = "CPU Avg.";
      DataBinding.ValueType = "Integer";
      MinWidth = 75;
      Options.Editing = False;
      Options.Focusing = False;
      Options.Sizing = False;
      Width = 75;
      Position.BandIndex = 0;
      Position.ColIndex = 1;
      Position.RowIndex = 0;
    }
    cxTreeListProcessescxTreeListColumn_AppName : TcxTreeListColumn {
      PropertiesClassName = "TcxTextEditProperties";
      Properties.ReadOnly = True;
      Caption.Text = "Application Name";
      MinWidth = 100;
      Options.Editing = False;
      Options.Moving = False;
      Options.ShowEditButtons = eisbNever;
      Position.BandIndex = 0;
      Position.ColIndex = 2;
      Position.RowIndex = 0;
    }
    cxTreeListProcessescxTreeListColumn_Priority : TcxTreeListColumn {
      PropertiesClassName = "TTestComboProperties";
      Properties.ImmediatePost = True;
      Properties.Items = ("Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime");
      Properties.OnChange = PriorityChange;
      Caption.Text = "Priority";
      MinWidth = 100;
      Options.ShowEditButtons = eisbAlways;
      Options.Sizing = False;
      Position.BandIndex = 0;
      Position.ColIndex = 3;
      Position.RowIndex = 0;
    }
    cxTreeListProcessescxTreeListColumn_Rule : TcxTreeListColumn {
      PropertiesClassName = "TTestComboProperties";
      Properties.DropDownRows = 12;
      Properties.ImmediatePost = True;
      Properties.Items = ("", "Ignore", "Force Low", "Force High", "Force Normal", "Force Below Normal",
                          "Force Above Normal", "Force Realtime", "Force Kill");
      Properties.OnChange = RuleChange;
      Caption.Text = "Explicit Rule";
      MinWidth = 130;
      Options.ShowEditButtons = eisbAlways;
      Options.Sizing = False;
      Width = 130;
      Position.BandIndex = 0;
      Position.ColIndex = 4;
      Position.RowIndex = 0;
    }
  }
  cxTreeListRules : TcxTreeList {
    Top = 310;
    Width = 560;
    Height = 200;
    Bands = < item { } >;
    BufferedPaint = False;
    LookAndFeel.Kind = lfUltraFlat;
    LookAndFeel.NativeStyle = False;
    OptionsSelection.HideFocusRect = False;
    OptionsSelection.InvertSelect = False;
    OptionsView.ColumnAutoWidth = True;
    OptionsView.GridLines = tlglHorz;
    OptionsView.HeaderSingleLine = True;
    OptionsView.ShowRoot = False;
    OptionsView.TreeLineStyle = tllsNone;
    cxTreeListColumn_RuleAppName : TcxTreeListColumn {
      PropertiesClassName = "TcxTextEditProperties";
      Properties.ReadOnly = True;
      Caption.Text = "Application Name";
      MinWidth = 100;
      Options.Editing = False;
      Options.Moving = False;
      Options.ShowEditButtons = eisbNever;
      Position.BandIndex = 0;
      Position.ColIndex = 0;
      Position.RowIndex = 0;
    }
    cxTreeListColumn_RuleRuleString : TcxTreeListColumn {
      PropertiesClassName = "TTestComboProperties";
      Properties.DropDownRows = 12;
      Properties.ImmediatePost = True;
      Properties.Items = ("Ignore", "Force Low", "Force High", "Force Normal", "Force Below Normal",
                          "Force Above Normal", "Force Realtime", "Force Kill");
      Properties.OnChange = RuleChange;
      Caption.Text = "Explicit Rule";
      MinWidth = 200;
      Options.ShowEditButtons = eisbAlways;
      Options.Sizing = False;
      Width = 200;
      Position.BandIndex = 0;
      Position.ColIndex = 1;
      Position.RowIndex = 0;
    }
  }
})";

TEST_F(FormTest, TheConfiguratorListsLoadHoldSortDeleteAndDropTheFocus)
{
    loaded.reset(CreateFromFormResource(kConfiguratorLists, "configurator.form", nullptr));
    auto* processes = static_cast<TcxTreeList*>(loaded->FindComponent("cxTreeListProcesses"));
    auto* rules = static_cast<TcxTreeList*>(loaded->FindComponent("cxTreeListRules"));
    ASSERT_NE(processes, nullptr);
    ASSERT_NE(rules, nullptr);
    ASSERT_EQ(processes->GetColumnCount(), 5);
    ASSERT_EQ(rules->GetColumnCount(), 2);
    const std::vector<std::string> captions = {"CPU Inst.", "CPU Avg.", "Application Name", "Priority", "Explicit Rule"};
    for (int i = 0; i < 5; ++i) {
        TcxTreeListColumn* column = processes->GetColumn(i);
        EXPECT_EQ(column->Caption()->Text(), captions[static_cast<std::size_t>(i)]);
        EXPECT_EQ(column->Position()->ColIndex(), i);
        EXPECT_EQ(column->OwnerBand(), processes->Bands()->Items(0));
    }
    TcxTreeListColumn* instant = processes->GetColumn(0);
    EXPECT_TRUE(Is<TcxProgressBarProperties>(instant->Properties()));
    EXPECT_EQ(static_cast<TcxProgressBarProperties*>(processes->GetColumn(1)->Properties())->BeginColor(), clGreen);
    EXPECT_TRUE(static_cast<TcxCustomEditProperties*>(processes->GetColumn(2)->Properties())->ReadOnly());
    EXPECT_EQ(As<TTestComboProperties>(processes->GetColumn(4)->Properties())->Items()->Count(), 9);
    EXPECT_EQ(As<TTestComboProperties>(rules->GetColumn(1)->Properties())->Items()->Count(), 8);
    EXPECT_FALSE(instant->ColumnOptions()->Sizing());
    EXPECT_FALSE(instant->Options()->Editing());
    EXPECT_EQ(processes->GetColumn(3)->ColumnOptions()->ShowEditButtons(), eisbAlways);
    EXPECT_TRUE(processes->OptionsData()->AnsiSort());
    EXPECT_FALSE(rules->OptionsData()->AnsiSort());
    EXPECT_TRUE(processes->OptionsView()->HeaderSingleLine());
    EXPECT_EQ(processes->OptionsView()->GridLines(), tlglHorz);
    EXPECT_FALSE(processes->OptionsView()->ShowRoot());
    EXPECT_FALSE(processes->BufferedPaint());
    EXPECT_EQ(processes->LookAndFeel()->Kind(), lfUltraFlat);

    // Rows as the refresh adds them, inside one update.
    int records[3] = {0, 1, 2};
    processes->BeginUpdate();
    for (int i = 0; i < 3; ++i) {
        TcxTreeListNode* row = processes->AddChild(nullptr);
        row->SetData(&records[i]);
        row->AssignValues({Variant(10 * i), Variant(5 - i), Variant("p" + std::to_string(i) + ".exe"),
                           Variant("Normal"), Variant(std::string())});
    }
    processes->EndUpdate();
    processes->GetColumn(1)->SetSortOrder(soDescending);
    EXPECT_EQ(processes->Items(0)->Data(), &records[0]);
    EXPECT_EQ(processes->Items(0)->GetText(2), "p0.exe");
    // A header click takes the focus off the focused row.
    processes->Items(1)->SetFocused(true);
    ASSERT_NE(processes->FocusedNode(), nullptr);
    processes->DoColumnHeaderClick(processes->GetColumn(1));
    EXPECT_EQ(processes->FocusedNode(), nullptr);
    // A vanished process's row goes with its record.
    processes->Items(0)->Delete();
    EXPECT_EQ(processes->Count(), 2);
    EXPECT_EQ(processes->DataController()->GetRecordCount(), 2);
    EXPECT_EQ(processes->Items(0)->Data(), &records[1]);
    processes->Clear();
    EXPECT_EQ(processes->DataController()->GetRecordCount(), 0);
}

} // namespace

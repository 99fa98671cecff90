// The two lists edited as a user edits them: a click on a cell's button
// drops its list down under the cell and a click on an entry picks it;
// what the window then does with the process, the engine's rules and the
// settings file.
#include "tests/configurator/ListsFixture.h"

#include <string>

#include "components/editors/cxComboBox.h"

using namespace configuratortest;
using namespace hostlib;

namespace {

class CellEditingTest : public ScriptedTest {
protected:
    void OpenWithProcesses()
    {
        fake.AddProcess(100, "/usr/bin/hog.exe");
        fake.AddProcess(101, "/usr/bin/hog.exe");
        fake.AddProcess(102, "/usr/bin/calm.exe");
        AddTrayWithoutWindow();
        Open();
        form->HideLowCheckBox->SetChecked(false);
        Tick(2);
    }
    static TcxComboBox* Editor(TcxTreeList* list)
    {
        return dynamic_cast<TcxComboBox*>(list->Controller()->EditingController()->Edit());
    }
    // Clicks the button a combo cell always shows; the list drops down.
    void ClickCellButton(TcxTreeList* list, TcxTreeListNode* row, int column)
    {
        Pump();
        TcxTreeListEditCellViewInfo* cell = Cell(list, row, column);
        ASSERT_NE(cell, nullptr) << "the row is not in view";
        const RECT r = cell->EditRect;
        Screen().Click(list->ClientToScreen(POINT{r.right - 6, (r.top + r.bottom) / 2}));
        Pump();
        ASSERT_NE(Editor(list), nullptr) << "no editor on the cell";
        ASSERT_TRUE(Editor(list)->DroppedDown()) << "the list did not drop down";
    }
    // Clicks an entry of the dropped-down list.
    void PickEntry(TcxTreeList* list, const std::string& entry)
    {
        TcxComboBox* edit = Editor(list);
        ASSERT_NE(edit, nullptr);
        TcxComboBoxListBox* box = edit->ComboLookupData()->ComboList();
        const int index = edit->ActiveProperties()->Items()->IndexOf(entry);
        ASSERT_GE(index, 0) << entry;
        const int h = box->GetItemHeight(index);
        const POINT p = box->ClientToScreen(POINT{box->Width() / 2, h * index + h / 2});
        Screen().MoveMouse(p);
        Screen().ButtonDown(p);
        Screen().ButtonUp(p);
        Pump();
    }
    void Pick(TcxTreeList* list, TcxTreeListNode* row, int column, const std::string& entry)
    {
        ClickCellButton(list, row, column);
        PickEntry(list, entry);
    }
};

TEST_F(CellEditingTest, APriorityPickedInTheCellsListIsSetAndTheEditorCloses)
{
    OpenWithProcesses();
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    ClickCellButton(Processes(), Row(101), 3);
    EXPECT_TRUE(fake.priorityChanges.empty()) << "opening the list sets nothing";
    EXPECT_EQ(Processes()->FocusedNode(), Row(101));
    PickEntry(Processes(), "Below Normal");
    ASSERT_EQ(fake.priorityChanges.size(), 1u);
    EXPECT_EQ(fake.priorityChanges[0].pid, 101u);
    EXPECT_EQ(fake.priorityChanges[0].priorityClass, 0x4000u);
    EXPECT_EQ(Processes()->FocusedNode(), nullptr) << "the row gives up the focus";
    EXPECT_EQ(Processes()->Controller()->EditingController()->Edit(), nullptr) << "the editor closed";
    EXPECT_EQ(Row(101)->GetText(3), "Below Normal");
    Tick();
    EXPECT_EQ(Row(101)->GetText(3), "Below Normal") << "as the system reports it";
    EXPECT_EQ(Row(100)->GetText(3), "Normal");
    EXPECT_EQ(WaitingRequest(), 1);
}

TEST_F(CellEditingTest, AHeaderClickWithTheListOpenClosesTheEditorAndSetsNothing)
{
    OpenWithProcesses();
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    ClickCellButton(Processes(), Row(101), 3);
    // The name column's header, right of the two bar columns.
    Screen().Click(Processes()->ClientToScreen(POINT{Processes()->GetColumn(0)->Width() * 2 + 20, 8}));
    Pump();
    EXPECT_EQ(Processes()->Controller()->EditingController()->Edit(), nullptr);
    EXPECT_EQ(Processes()->FocusedNode(), nullptr);
    EXPECT_TRUE(fake.priorityChanges.empty());
    EXPECT_EQ(Row(101)->GetText(3), "Normal");
}

TEST_F(CellEditingTest, ARulePickedInAProcessCellReachesBothListsAndTheFile)
{
    OpenWithProcesses();
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    Pick(Processes(), Row(100), 4, "Force Low");
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), "Force Low") << pid;
    EXPECT_EQ(RuleRows(), "hog.exe=Force Low");
    Tick();
    EXPECT_EQ(RuleStrings(), "hog.exe?Force Low");

    // The empty entry takes the rule away again.
    Pick(Processes(), Row(101), 4, "");
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), "") << pid;
    EXPECT_EQ(RuleRows(), "");
    Tick();
    EXPECT_EQ(RuleStrings(), "");
    EXPECT_TRUE(fake.priorityChanges.empty()) << "the configurator leaves rules to the tray";
}

TEST_F(CellEditingTest, ARuleRowsActionPickedInItsCellIsSaved)
{
    folder.Write("Quelvo.ini", "[Rules]\nRuleStrings=hog.exe?Ignore|calm.exe?Force High\n");
    OpenWithProcesses();
    form->PageControl->SetActivePage(form->ConfigTabSheet);
    TcxTreeListNode* hog = Rules()->Items(0);
    Pick(Rules(), hog, 1, "Force Kill");
    EXPECT_EQ(RuleRows(), "hog.exe=Force Kill, calm.exe=Force High");
    EXPECT_EQ(Rules()->FocusedNode(), hog) << "the focus stays on the rule row";
    for (DWORD pid : {100u, 101u}) EXPECT_EQ(Row(pid)->GetText(4), "Force Kill") << pid;
    Tick();
    // A rule set anew goes to the end of the engine's list.
    EXPECT_EQ(RuleStrings(), "calm.exe?Force High|hog.exe?Force Kill");
    EXPECT_EQ(WaitingRequest(), 1);
    EXPECT_TRUE(fake.terminations.empty());
}

}  // namespace

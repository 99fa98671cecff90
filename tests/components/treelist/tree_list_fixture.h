#pragma once
// A tree list on a shown form of the headless display, with the test text
// kind as the default editor of strings and of the integer columns.

#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxEditPaintUtils.h"
#include "components/treelist/cxTL.h"
#include "tests/components/treelist/inplace_test_control.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

namespace treelisttest {

class TreeListTest : public visualtest::VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        cxInplaceContainerInitialize();
        cxTreeListInitialize();
        kind = std::make_unique<DefaultTextKind>();
    }
    void TearDown() override
    {
        // Handlers capture the test's locals, which are gone by now.
        if (list) {
            list->OnDeletion = {};
            list->OnFocusedNodeChanged = {};
            list->OnSelectionChanged = {};
            list->OnCanSelectNode = {};
            list->OnChange = {};
            list->OnSorting = {};
            list->OnAfterSorting = {};
            list->OnCompare = {};
            list->OnLayoutChanged = {};
        }
        if (form) form->Free();
        form = nullptr;
        kind.reset();
        cxTreeListFinalize();
        cxInplaceContainerFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }

    // A tree list of the given columns in one band, shown unless asked not to.
    TcxTreeList* MakeTreeList(int columns, bool show = true)
    {
        form = NewForm(600, 400);
        list = hostlib::CreateObject<TcxTreeList>(form);
        list->SetBounds(0, 0, 500, 300);
        for (int i = 0; i < columns; ++i) list->CreateColumn();
        if (show) {
            list->SetParent(form);
            form->Show();
            Pump();
        }
        return list;
    }
    TcxTreeListColumn* Column(int index) const { return list->GetColumn(index); }
    // Integers kept as integers and sorted as numbers.
    void MakeInteger(TcxTreeListColumn* column)
    {
        static_cast<TcxItemDataBinding*>(column->DataBinding())->SetValueType("Integer");
        column->SetPropertiesClassName("TTestTextProperties");
    }
    TcxTreeListNode* AddRow(TcxTreeListNode* parent, const std::vector<hostlib::Variant>& values)
    {
        TcxTreeListNode* node = list->AddChild(parent);
        node->AssignValues(values);
        return node;
    }
    // The values of one column over a node's children, in link order.
    std::vector<int> Keys(TcxTreeListNode* parent, int column = 0) const
    {
        std::vector<int> keys;
        for (TcxTreeListNode* n = parent->getFirstChild(); n; n = n->getNextSibling())
            keys.push_back(n->GetValue(column).AsInteger());
        return keys;
    }
    std::vector<int> Records(TcxTreeListNode* parent) const
    {
        std::vector<int> records;
        for (TcxTreeListNode* n = parent->getFirstChild(); n; n = n->getNextSibling())
            records.push_back(n->RecordIndex());
        return records;
    }
    TcxTreeListNode* Root() const { return list->Nodes()->Root(); }

    std::unique_ptr<DefaultTextKind> kind;
    hostlib::TForm* form = nullptr;
    TcxTreeList* list = nullptr;
};

} // namespace treelisttest

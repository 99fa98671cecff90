#pragma once
// The test control on a form of the headless display, with the text kind
// as the string type's default editor and the fixed-metrics face.

#include <memory>
#include <vector>

#include "components/editors/cxEditPaintUtils.h"
#include "tests/components/treelist/inplace_test_control.h"
#include "tests/platform/graphics/canvas.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

namespace treelisttest {

class ControlTest : public visualtest::VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        cxInplaceContainerInitialize();
        kind = std::make_unique<DefaultTextKind>();
    }
    void TearDown() override
    {
        items.clear();
        if (form) form->Free();
        form = nullptr;
        kind.reset();
        cxInplaceContainerFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }

    // A control of itemCount items and recordCount records ("r<record>c<item>").
    TTestControl* MakeControl(int itemCount, int recordCount, bool show = true)
    {
        form = NewForm(300, 200);
        control = hostlib::CreateObject<TTestControl>(form);
        control->SetBounds(10, 10, 240, 120);
        control->SetBorderStyle(cxcbsNone);
        control->Font()->SetName(quelvo::gfx::kFixedTestFace);
        control->Font()->SetHeight(-16);
        for (int i = 0; i < itemCount; ++i) AddItem();
        SetRecords(recordCount);
        if (show) {
            control->SetParent(form);
            form->Show();
            Pump();
        }
        return control;
    }
    TTestItem* AddItem()
    {
        items.emplace_back(hostlib::CreateObject<TTestItem>(nullptr));
        TTestItem* item = static_cast<TTestItem*>(items.back().get());
        item->SetEditingControl(control);
        return item;
    }
    void SetRecords(int count)
    {
        TcxControlDataController* data = control->DataController();
        data->SetRecordCount(count);
        for (int r = 0; r < count; ++r)
            for (int i = 0; i < control->ItemCount(); ++i)
                data->SetValue(r, i, hostlib::Variant("r" + std::to_string(r) + "c" + std::to_string(i)));
    }
    int Calculations() const { return control->TestViewInfo()->calculations; }
    COLORREF Pixel(int x, int y)
    {
        const std::uint32_t p = Screen().ClientPixel(control->Handle(), x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    std::unique_ptr<DefaultTextKind> kind;
    hostlib::TForm* form = nullptr;
    TTestControl* control = nullptr;
    std::vector<hostlib::ObjectPtr<TcxCustomInplaceEditContainer>> items;
};

} // namespace treelisttest

#pragma once
// A shown form on the headless display with distinct system colours, for
// tests of editors as a user sees them; the editor units it starts are
// ended after each test.

#include "tests/platform/hostlib/visual/visual_fixture.h"

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "tests/components/control_units.h"
#include "tests/platform/graphics/canvas.h"

namespace editortest {

struct EditorFormTest : visualtest::VisualTest {
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        form = NewForm(400, 300);
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        // A test that needs units ended after its form frees it itself.
        if (form)
            form->Free();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        componenttest::EndControlUnits();
        VisualTest::TearDown();
    }
    // 0x00RRGGBB of a colour, as the display's pixels are read.
    static std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    hostlib::TForm* form = nullptr;
};

}  // namespace editortest

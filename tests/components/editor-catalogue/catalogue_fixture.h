#pragma once
// The catalogue's controls on a form of the headless display, with the
// look-and-feel units started and the fixed-metrics test face at hand.

#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <cstdint>

#include "tests/components/control_units.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/visual/graphics.h"

namespace cataloguetest {

class CatalogueTest : public visualtest::VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        componenttest::StartControlUnits();
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        componenttest::EndControlUnits();
        VisualTest::TearDown();
    }
    // 16 pixels high, every character 8 wide.
    static void UseFixedFace(hostlib::TFont* font)
    {
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
    }
    static std::uint32_t Rgb(hostlib::TColor color)
    {
        const auto c = static_cast<std::uint32_t>(hostlib::ColorToRGB(color));
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    std::uint32_t Pixel(hostlib::TWinControl* c, int x, int y) { return Screen().ClientPixel(c->Handle(), x, y); }

    hostlib::TForm* form = nullptr;
};

}  // namespace cataloguetest

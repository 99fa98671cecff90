// A header drag in a real X11 window under the test's own Xvfb: the picture
// is a translucent override-redirect window, the drop arrows two shaped
// windows, and none of them stays after the drop.
#include "components/treelist/cxTLDragAndDrop.h"
#include "tests/components/treelist/tree_list_x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

using namespace hostlib;
using namespace treelisttest;

namespace {

class DragOnX11 : public TreeListX11Test {
protected:
    // The alpha the server shows a window with: its pixels' own on a visual
    // with alpha, else the compositor's opacity property; -1 when neither.
    int ServerAlpha(HWND window, int x, int y)
    {
        const auto w = static_cast<::Window>(x_->XWindowOf(window));
        XWindowAttributes wa{};
        if (!XGetWindowAttributes(other_, w, &wa)) return -1;
        if (wa.depth == 32) {
            XImage* image = XGetImage(other_, w, x, y, 1, 1, AllPlanes, ZPixmap);
            if (!image) return -1;
            const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0));
            XDestroyImage(image);
            return static_cast<int>(pixel >> 24);
        }
        return OpacityProperty(w);
    }
    int OpacityProperty(::Window w)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom opacity = XInternAtom(other_, "_NET_WM_WINDOW_OPACITY", False);
        if (XGetWindowProperty(other_, w, opacity, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
                Success || !data)
            return -1;
        const unsigned long value = count == 1 ? *reinterpret_cast<unsigned long*>(data) : 0;
        XFree(data);
        return count == 1 ? static_cast<int>((value & 0xFFFFFFFFul) >> 24) : -1;
    }
};

TEST_F(DragOnX11, AHeaderDragShowsATranslucentPictureAndShapedArrows)
{
    form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 400, 260);
    auto* list = CreateObject<TcxTreeList>(form);
    list->SetBounds(0, 0, 360, 200);
    list->SetBorderStyle(cxcbsNone);
    list->OptionsView()->SetDropArrowColor(clRed);
    for (const char* caption : {"A", "B", "C"}) {
        TcxTreeListColumn* column = list->CreateColumn();
        column->Caption()->SetText(caption);
        column->SetWidth(100);
    }
    list->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    const RECT a = list->GetColumn(0)->ViewInfo()->ColumnHeader()->DisplayRect;
    const RECT c = list->GetColumn(2)->ViewInfo()->ColumnHeader()->DisplayRect;
    const int y = (a.top + a.bottom) / 2;
    const POINT start = list->ClientToScreen(POINT{a.left + 30, y});
    ClickScreen(start, 1, true, false);
    ASSERT_TRUE(PumpUntil([&] { return list->DragAndDropState() == ddsStarting; }));
    // Motion is compressed: the drag begins at one move, the picture comes
    // with the next.
    ClickScreen(POINT{start.x + 10, start.y}, 1, false, false);
    ASSERT_TRUE(PumpUntil([&] { return list->DragAndDropState() == ddsInProcess; }));
    const POINT to = list->ClientToScreen(POINT{c.right - 20, y});
    ClickScreen(to, 1, false, false);
    TcxTreeListDragAndDropObject* drag = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        drag = As<TcxTreeListDragAndDropObject>(list->DragAndDropState() == ddsInProcess ? list->DragAndDropObject()
                                                                                           : nullptr);
        return drag && drag->ArrowsShown() && drag->PictureWindow() && Viewable(drag->PictureWindow()) &&
               Viewable(drag->ArrowWindow(0)) && Viewable(drag->ArrowWindow(1));
    }));
    Settle();
    HWND picture = drag->PictureWindow();
    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(other_, static_cast<::Window>(x_->XWindowOf(picture)), &wa));
    EXPECT_TRUE(wa.override_redirect);
    EXPECT_EQ(ServerAlpha(picture, 20, 3), int{TcxCustomControlDragAndDropObject::kPictureAlpha});
    // The server blends: the picture's colour itself, or premultiplied by
    // the window's opacity on a visual with alpha.
    const COLORREF face = ColorToRGB(drag->DragPicture()->Canvas()->Pixel(20, 3));
    const int full = GetBValue(face), premultiplied = full * TcxCustomControlDragAndDropObject::kPictureAlpha / 255;
    const int blue = static_cast<int>(ServerPixel(picture, 20, 3) & 0xFF);
    EXPECT_TRUE(std::abs(blue - full) <= 1 || std::abs(blue - premultiplied) <= 1) << blue << " " << full;

    // The upper arrow: red inside, cut away at its corners.
    HWND arrow = drag->ArrowWindow(0);
    RECT ar{};
    GetWindowRect(arrow, &ar);
    const RECT line = drag->ArrowBaseLine();
    EXPECT_EQ(ServerPixel(arrow, line.left - ar.left, ar.bottom - ar.top - 4), 0xFF0000u);
    int rectangles = 0, ordering = 0;
    XRectangle* shape = XShapeGetRectangles(other_, static_cast<::Window>(x_->XWindowOf(arrow)), ShapeBounding,
                                            &rectangles, &ordering);
    int area = 0;
    for (int i = 0; i < rectangles; ++i) area += shape[i].width * shape[i].height;
    if (shape) XFree(shape);
    EXPECT_GT(area, 0);
    EXPECT_LT(area, (ar.right - ar.left) * (ar.bottom - ar.top)) << "shaped to the arrow";

    HWND second = drag->ArrowWindow(1);
    ClickScreen(to, 1, false, true);
    ASSERT_TRUE(PumpUntil([&] { return list->DragAndDropState() == ddsNone; }));
    EXPECT_FALSE(IsWindow(picture));
    EXPECT_FALSE(IsWindow(arrow));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(list->GetVisibleColumn(2)->Caption()->Text(), "A");
}

} // namespace

// Rows a tree list copies reach another program through the desktop's
// CLIPBOARD selection under the test's own Xvfb.
#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include "platform/desktop/clipboard/desktop_clipboard.h"
#include "tests/components/treelist/tree_list_x11_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class TreeListClipboardOnX11 : public TreeListX11Test {
protected:
    // The CLIPBOARD text as another client asks for it.
    std::string ForeignClipboardText()
    {
        ::Window requestor = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
        const Atom property = XInternAtom(other_, "TEST_CLIP", False);
        XConvertSelection(other_, XInternAtom(other_, "CLIPBOARD", False), XInternAtom(other_, "UTF8_STRING", False),
                          property, requestor, CurrentTime);
        XFlush(other_);
        XEvent ev{};
        std::string text;
        if (PumpUntil([&] { return XCheckTypedWindowEvent(other_, requestor, SelectionNotify, &ev); }) &&
            ev.xselection.property == property) {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(other_, requestor, property, 0, 4096, False, AnyPropertyType, &type, &format,
                                   &count, &after, &data) == Success && data) {
                if (format == 8) text.assign(reinterpret_cast<char*>(data), count);
                XFree(data);
            }
        }
        XDestroyWindow(other_, requestor);
        return text;
    }
};

TEST_F(TreeListClipboardOnX11, CopiedRowsAreReadByAnotherClient)
{
    ASSERT_TRUE(quelvo::desktop::UseDesktopClipboard());
    form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 300, 200);
    auto* list = CreateObject<TcxTreeList>(form);
    list->SetBounds(0, 0, 280, 180);
    for (const char* caption : {"Name", "Use"}) list->CreateColumn()->Caption()->SetText(caption);
    TcxTreeListNode* parent = list->AddChild(nullptr);
    parent->AssignValues({"explorer", ""});
    list->AddChild(parent)->AssignValues({"child \xE2\x9C\x93", "7"});
    list->SetParent(form);
    form->Show();
    Settle();
    list->CopyAllToClipboard();
    EXPECT_EQ(ForeignClipboardText(), "Name\tUse\nexplorer\t\nchild \xE2\x9C\x93\t7");
}

}  // namespace

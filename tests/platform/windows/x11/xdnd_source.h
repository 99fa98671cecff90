#pragma once
// Another program's side of a drag of files onto our windows: the messages
// of the drag protocol it sends, and its answer when the drop target asks
// for the dragged list.

#include <X11/Xlib.h>

#include <string>

namespace x11test {

// One message of the drag protocol from source to target: the source in
// the first field, then the message's own four.
inline void SendXdndMessage(Display* dpy, Window target, Window source, Atom type, long l1, long l2, long l3, long l4)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = target;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(source);
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    ev.xclient.data.l[4] = l4;
    XSendEvent(dpy, target, False, NoEventMask, &ev);
    XFlush(dpy);
}

// Hands the requestor the dragged list of URIs, as a file manager does.
inline void AnswerUriListRequest(Display* dpy, const XSelectionRequestEvent& req, const std::string& uris)
{
    XChangeProperty(dpy, req.requestor, req.property, req.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(uris.data()), static_cast<int>(uris.size()));
    XEvent answer{};
    answer.xselection.type = SelectionNotify;
    answer.xselection.requestor = req.requestor;
    answer.xselection.selection = req.selection;
    answer.xselection.target = req.target;
    answer.xselection.property = req.property;
    answer.xselection.time = req.time;
    XSendEvent(dpy, req.requestor, False, NoEventMask, &answer);
    XFlush(dpy);
}

}  // namespace x11test

#include "platform/windows/x11/controls_clipboard.h"

#include <memory>

#include "platform/controls/winctl.h"
#include "platform/windows/x11/x11_display.h"

namespace quelvo::win::x11 {

namespace {

class DesktopClipboard : public ctl::ClipboardBackend {
public:
    void Published(const std::string& text) override { SetClipboardText(DesktopLineEnds(text)); }
    bool Fetch(std::string& text) override
    {
        std::string desktop;
        // Short: the clipboard is asked on every availability check.
        if (!GetClipboardText(desktop, 500)) return false;
        text = ClipboardLineEnds(desktop);
        return true;
    }
};

}  // namespace

bool UseDesktopClipboard()
{
    X11Display* x = CurrentX11Display();
    if (!x) return false;
    ctl::SetClipboardBackend(std::make_unique<DesktopClipboard>());
    x->SetClipboardLostHandler([] { ctl::ClipboardTakenElsewhere(); });
    return true;
}

std::string DesktopLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ClipboardLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace quelvo::win::x11

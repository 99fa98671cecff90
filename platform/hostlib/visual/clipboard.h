#pragma once
// The clipboard as an object: text, and pictures as bitmaps (format 2);
// metafile pictures (format 3) are recognised but not produced.

#include <string>

#include "platform/hostlib/visual/graphics.h"

namespace hostlib {

class TClipboard : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    std::string AsText();
    void SetAsText(const std::string& text);
    bool HasFormat(UINT format);
    void Clear();
    // A bitmap or a picture (its graphic as a bitmap) goes on the
    // clipboard as format 2.
    void Assign(TPersistent* source) override;

protected:
    // Fills a bitmap or a picture from format 2; raises EInvalidGraphic
    // when the clipboard holds no bitmap.
    void AssignTo(TPersistent* dest) override;
};

// The one clipboard object of the program.
TClipboard* Clipboard();

// The registered picture format: a picture is on the clipboard whenever a
// bitmap is.
UINT CF_PICTURE();

}  // namespace hostlib

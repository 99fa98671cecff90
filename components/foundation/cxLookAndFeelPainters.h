#pragma once
// Painters draw the standard elements of the library's controls (borders,
// buttons, arrows, headers, scroll-bar parts, ...) in one look. A painter
// has no state: each painter class is one immutable object whose virtual
// operations are the class's methods, and a painter class reference is a
// pointer to that object, so two references name the same class exactly
// when the pointers are equal.

#include "components/foundation/cxGraphics.h"

enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11 };
inline constexpr int kLookAndFeelStyleCount = lfsOffice11 + 1;

class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

class TcxCustomLookAndFeelPainter {
public:
    TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
    TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;
    virtual ~TcxCustomLookAndFeelPainter() = default;

    static TcxCustomLookAndFeelPainterClass Class();
    virtual const char* ClassName() const { return "TcxCustomLookAndFeelPainter"; }

    virtual TcxLookAndFeelStyle LookAndFeelStyle() const { return lfsStandard; }

protected:
    TcxCustomLookAndFeelPainter() = default;
};

// The painter registered for a style, nullptr when none is. Painter units
// register theirs at start-up; this table is the one place that knows
// which painter class draws which style.
TcxCustomLookAndFeelPainterClass cxRegisteredLookAndFeelPainter(TcxLookAndFeelStyle style);
// nullptr unregisters.
void cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle style, TcxCustomLookAndFeelPainterClass painter);
// The registered painter of a style, the custom painter while none is.
TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterOfStyle(TcxLookAndFeelStyle style);
// The painter of the ultra-flat style.
TcxCustomLookAndFeelPainterClass GetCurrentPainterClass();

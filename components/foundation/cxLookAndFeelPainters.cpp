#include "components/foundation/cxLookAndFeelPainters.h"

namespace {

TcxCustomLookAndFeelPainterClass& Registered(TcxLookAndFeelStyle style)
{
    static TcxCustomLookAndFeelPainterClass table[kLookAndFeelStyleCount] = {};
    return table[style];
}

}  // namespace

TcxCustomLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Class()
{
    static const TcxCustomLookAndFeelPainter painter;
    return &painter;
}

TcxCustomLookAndFeelPainterClass cxRegisteredLookAndFeelPainter(TcxLookAndFeelStyle style) { return Registered(style); }

void cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle style, TcxCustomLookAndFeelPainterClass painter)
{
    Registered(style) = painter;
}

TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterOfStyle(TcxLookAndFeelStyle style)
{
    const auto painter = Registered(style);
    return painter ? painter : TcxCustomLookAndFeelPainter::Class();
}

TcxCustomLookAndFeelPainterClass GetCurrentPainterClass() { return cxLookAndFeelPainterOfStyle(lfsUltraFlat); }

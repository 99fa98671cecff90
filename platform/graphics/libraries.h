#pragma once
// Makes this layer's functions known to LoadLibraryA / GetProcAddress under
// the library names programs bind at run time: "UXTHEME.DLL" (the theme
// calls, with this layer's signatures: text is UTF-8) and "MSIMG32.DLL"
// ("AlphaBlend", "TransparentBlt"). Runs once by itself when the layer is
// linked in; programs that bind these libraries during their own start-up
// call it first to be independent of initialisation order. Idempotent.

namespace quelvo::gfx {

void RegisterLibraries();

} // namespace quelvo::gfx

#include "components/editor-catalogue/cxExtEditConsts.h"

using hostlib::TColor;

// Values are TColor, 0x00BBGGRR: a web colour #RRGGBB appears byte-reversed.

const std::array<std::string_view, cxIdentColorCount> cxIdentColorNames = [] {
    std::array<std::string_view, cxIdentColorCount> names{};
    for (int i = 0; i < cxIdentColorCount; ++i) names[i] = hostlib::ColorIdents()[i].Name;
    return names;
}();

const std::array<TColor, cxIdentColorCount> cxIdentColorValues = [] {
    std::array<TColor, cxIdentColorCount> values{};
    for (int i = 0; i < cxIdentColorCount; ++i) values[i] = hostlib::ColorIdents()[i].Value;
    return values;
}();

const std::array<std::string_view, 16> cxHTML4ColorNames{{
    "Black", "Silver", "Gray", "White", "Maroon", "Red", "Purple", "Fuchsia", "Green", "Lime", "Olive",
    "Yellow", "Navy", "Blue", "Teal", "Aqua",
}};

const std::array<TColor, 16> cxHTML4ColorValues{{
    0x00000000, 0x00C0C0C0, 0x00808080, 0x00FFFFFF, 0x00000080, 0x000000FF, 0x00800080, 0x00FF00FF,
    0x00008000, 0x0000FF00, 0x00008080, 0x0000FFFF, 0x00800000, 0x00FF0000, 0x00808000, 0x00FFFF00,
}};

const std::array<std::string_view, 140> cxX11ColorNames{{
    "AliceBlue", "AntiqueWhite", "Aqua", "Aquamarine", "Azure", "Beige", "Bisque", "Black", "BlanchedAlmond",
    "Blue", "BlueViolet", "Brown", "BurlyWood", "CadetBlue", "Chartreuse", "Chocolate", "Coral",
    "CornflowerBlue", "Cornsilk", "Crimson", "Cyan", "DarkBlue", "DarkCyan", "DarkGoldenrod", "DarkGray",
    "DarkGreen", "DarkKhaki", "DarkMagenta", "DarkOliveGreen", "DarkOrange", "DarkOrchid", "DarkRed",
    "DarkSalmon", "DarkSeaGreen", "DarkSlateBlue", "DarkSlateGray", "DarkTurquoise", "DarkViolet",
    "DeepPink", "DeepSkyBlue", "DimGray", "DodgerBlue", "FireBrick", "FloralWhite", "ForestGreen", "Fuchsia",
    "Gainsboro", "GhostWhite", "Gold", "Goldenrod", "Gray", "Green", "GreenYellow", "Honeydew", "HotPink",
    "IndianRed", "Indigo", "Ivory", "Khaki", "Lavender", "LavenderBlush", "LawnGreen", "LemonChiffon",
    "LightBlue", "LightCoral", "LightCyan", "LightGoldenrodYellow", "LightGreen", "LightGrey", "LightPink",
    "LightSalmon", "LightSeaGreen", "LightSkyBlue", "LightSlateGray", "LightSteelBlue", "LightYellow",
    "Lime", "LimeGreen", "Linen", "Magenta", "Maroon", "MediumAquamarine", "MediumBlue", "MediumOrchid",
    "MediumPurple", "MediumSeaGreen", "MediumSlateBlue", "MediumSpringGreen", "MediumTurquoise",
    "MediumVioletRed", "MidnightBlue", "MintCream", "MistyRose", "Moccasin", "NavajoWhite", "Navy",
    "OldLace", "Olive", "OliveDrab", "Orange", "OrangeRed", "Orchid", "PaleGoldenrod", "PaleGreen",
    "PaleTurquoise", "PaleVioletRed", "PapayaWhip", "PeachPuff", "Peru", "Pink", "Plum", "PowderBlue",
    "Purple", "Red", "RosyBrown", "RoyalBlue", "SaddleBrown", "Salmon", "SandyBrown", "SeaGreen", "Seashell",
    "Sienna", "Silver", "SkyBlue", "SlateBlue", "SlateGray", "Snow", "SpringGreen", "SteelBlue", "Tan",
    "Teal", "Thistle", "Tomato", "Turquoise", "Violet", "Wheat", "White", "WhiteSmoke", "Yellow",
    "YellowGreen",
}};

const std::array<TColor, 140> cxX11ColorValues{{
    0x00FFF8F0, 0x00D7EBFA, 0x00FFFF00, 0x00D4FF7F, 0x00FFFFF0, 0x00DCF5F5, 0x00C4E4FF, 0x00000000,
    0x00CDEBFF, 0x00FF0000, 0x00E22B8A, 0x002A2AA5, 0x0087B8DE, 0x00A09E5F, 0x0000FF7F, 0x001E69D2,
    0x00507FFF, 0x00ED9564, 0x00DCF8FF, 0x003C14DC, 0x00FFFF00, 0x008B0000, 0x008B8B00, 0x000B86B8,
    0x00A9A9A9, 0x00006400, 0x006BB7BD, 0x008B008B, 0x002F6B55, 0x00008CFF, 0x00CC3299, 0x0000008B,
    0x007A96E9, 0x008FBC8F, 0x008B3D48, 0x004F4F2F, 0x00D1CE00, 0x00D30094, 0x009314FF, 0x00FFBF00,
    0x00696969, 0x00FF901E, 0x002222B2, 0x00F0FAFF, 0x00228B22, 0x00FF00FF, 0x00DCDCDC, 0x00FFF8F8,
    0x0000D7FF, 0x0020A5DA, 0x00808080, 0x00008000, 0x002FFFAD, 0x00F0FFF0, 0x00B469FF, 0x005C5CCD,
    0x0082004B, 0x00F0FFFF, 0x008CE6F0, 0x00FAE6E6, 0x00F5F0FF, 0x0000FC7C, 0x00CDFAFF, 0x00E6D8AD,
    0x008080F0, 0x00FFFFE0, 0x00D2FAFA, 0x0090EE90, 0x00D3D3D3, 0x00C1B6FF, 0x007AA0FF, 0x00AAB220,
    0x00FACE87, 0x00998877, 0x00DEC4B0, 0x00E0FFFF, 0x0000FF00, 0x0032CD32, 0x00E6F0FA, 0x00FF00FF,
    0x00000080, 0x00AACD66, 0x00CD0000, 0x00D355BA, 0x00DB7093, 0x0071B33C, 0x00EE687B, 0x009AFA00,
    0x00CCD148, 0x008515C7, 0x00701919, 0x00FAFFF5, 0x00E1E4FF, 0x00B5E4FF, 0x00ADDEFF, 0x00800000,
    0x00E6F5FD, 0x00008080, 0x00238E6B, 0x0000A5FF, 0x000045FF, 0x00D670DA, 0x00AAE8EE, 0x0098FB98,
    0x00EEEEAF, 0x009370DB, 0x00D5EFFF, 0x00B9DAFF, 0x003F85CD, 0x00CBC0FF, 0x00DDA0DD, 0x00E6E0B0,
    0x00800080, 0x000000FF, 0x008F8FBC, 0x00E16941, 0x0013458B, 0x007280FA, 0x0060A4F4, 0x00578B2E,
    0x00EEF5FF, 0x002D52A0, 0x00C0C0C0, 0x00EBCE87, 0x00CD5A6A, 0x00908070, 0x00FAFAFF, 0x007FFF00,
    0x00B48246, 0x008CB4D2, 0x00808000, 0x00D8BFD8, 0x004763FF, 0x00D0E040, 0x00EE82EE, 0x00B3DEF5,
    0x00FFFFFF, 0x00F5F5F5, 0x0000FFFF, 0x0032CD9A,
}};

const std::array<std::string_view, 140> cxX11OrderedColorNames{{
    "LightPink", "Pink", "Crimson", "LavenderBlush", "PaleVioletRed", "HotPink", "DeepPink",
    "MediumVioletRed", "Orchid", "Thistle", "Plum", "Violet", "Magenta", "Fuchsia", "DarkMagenta", "Purple",
    "MediumOrchid", "DarkViolet", "DarkOrchid", "Indigo", "BlueViolet", "MediumPurple", "MediumSlateBlue",
    "SlateBlue", "DarkSlateBlue", "Lavender", "GhostWhite", "Blue", "MediumBlue", "MidnightBlue", "DarkBlue",
    "Navy", "RoyalBlue", "CornflowerBlue", "LightSteelBlue", "LightSlateGray", "SlateGray", "DodgerBlue",
    "AliceBlue", "SteelBlue", "LightSkyBlue", "SkyBlue", "DeepSkyBlue", "LightBlue", "PowderBlue",
    "CadetBlue", "Azure", "LightCyan", "PaleTurquoise", "Cyan", "Aqua", "DarkTurquoise", "DarkSlateGray",
    "DarkCyan", "Teal", "MediumTurquoise", "LightSeaGreen", "Turquoise", "Aquamarine", "MediumAquamarine",
    "MediumSpringGreen", "MintCream", "SpringGreen", "MediumSeaGreen", "SeaGreen", "Honeydew", "LightGreen",
    "PaleGreen", "DarkSeaGreen", "LimeGreen", "Lime", "ForestGreen", "Green", "DarkGreen", "Chartreuse",
    "LawnGreen", "GreenYellow", "DarkOliveGreen", "YellowGreen", "OliveDrab", "Beige",
    "LightGoldenrodYellow", "Ivory", "LightYellow", "Yellow", "Olive", "DarkKhaki", "LemonChiffon",
    "PaleGoldenrod", "Khaki", "Gold", "Cornsilk", "Goldenrod", "DarkGoldenrod", "FloralWhite", "OldLace",
    "Wheat", "Moccasin", "Orange", "PapayaWhip", "BlanchedAlmond", "NavajoWhite", "AntiqueWhite", "Tan",
    "BurlyWood", "Bisque", "DarkOrange", "Linen", "Peru", "PeachPuff", "SandyBrown", "Chocolate",
    "SaddleBrown", "Seashell", "Sienna", "LightSalmon", "Coral", "OrangeRed", "DarkSalmon", "Tomato",
    "MistyRose", "Salmon", "Snow", "LightCoral", "RosyBrown", "IndianRed", "Red", "Brown", "FireBrick",
    "DarkRed", "Maroon", "White", "WhiteSmoke", "Gainsboro", "LightGrey", "Silver", "DarkGray", "Gray",
    "DimGray", "Black",
}};

const std::array<TColor, 140> cxX11OrderedColorValues{{
    0x00C1B6FF, 0x00CBC0FF, 0x003C14DC, 0x00F5F0FF, 0x009370DB, 0x00B469FF, 0x009314FF, 0x008515C7,
    0x00D670DA, 0x00D8BFD8, 0x00DDA0DD, 0x00EE82EE, 0x00FF00FF, 0x00FF00FF, 0x008B008B, 0x00800080,
    0x00D355BA, 0x00D30094, 0x00CC3299, 0x0082004B, 0x00E22B8A, 0x00DB7093, 0x00EE687B, 0x00CD5A6A,
    0x008B3D48, 0x00FAE6E6, 0x00FFF8F8, 0x00FF0000, 0x00CD0000, 0x00701919, 0x008B0000, 0x00800000,
    0x00E16941, 0x00ED9564, 0x00DEC4B0, 0x00998877, 0x00908070, 0x00FF901E, 0x00FFF8F0, 0x00B48246,
    0x00FACE87, 0x00EBCE87, 0x00FFBF00, 0x00E6D8AD, 0x00E6E0B0, 0x00A09E5F, 0x00FFFFF0, 0x00FFFFE0,
    0x00EEEEAF, 0x00FFFF00, 0x00FFFF00, 0x00D1CE00, 0x004F4F2F, 0x008B8B00, 0x00808000, 0x00CCD148,
    0x00AAB220, 0x00D0E040, 0x00D4FF7F, 0x00AACD66, 0x009AFA00, 0x00FAFFF5, 0x007FFF00, 0x0071B33C,
    0x00578B2E, 0x00F0FFF0, 0x0090EE90, 0x0098FB98, 0x008FBC8F, 0x0032CD32, 0x0000FF00, 0x00228B22,
    0x00008000, 0x00006400, 0x0000FF7F, 0x0000FC7C, 0x002FFFAD, 0x002F6B55, 0x0032CD9A, 0x00238E6B,
    0x00DCF5F5, 0x00D2FAFA, 0x00F0FFFF, 0x00E0FFFF, 0x0000FFFF, 0x00008080, 0x006BB7BD, 0x00CDFAFF,
    0x00AAE8EE, 0x008CE6F0, 0x0000D7FF, 0x00DCF8FF, 0x0020A5DA, 0x000B86B8, 0x00F0FAFF, 0x00E6F5FD,
    0x00B3DEF5, 0x00B5E4FF, 0x0000A5FF, 0x00D5EFFF, 0x00CDEBFF, 0x00ADDEFF, 0x00D7EBFA, 0x008CB4D2,
    0x0087B8DE, 0x00C4E4FF, 0x00008CFF, 0x00E6F0FA, 0x003F85CD, 0x00B9DAFF, 0x0060A4F4, 0x001E69D2,
    0x0013458B, 0x00EEF5FF, 0x002D52A0, 0x007AA0FF, 0x00507FFF, 0x000045FF, 0x007A96E9, 0x004763FF,
    0x00E1E4FF, 0x007280FA, 0x00FAFAFF, 0x008080F0, 0x008F8FBC, 0x005C5CCD, 0x000000FF, 0x002A2AA5,
    0x002222B2, 0x0000008B, 0x00000080, 0x00FFFFFF, 0x00F5F5F5, 0x00DCDCDC, 0x00D3D3D3, 0x00C0C0C0,
    0x00A9A9A9, 0x00808080, 0x00696969, 0x00000000,
}};


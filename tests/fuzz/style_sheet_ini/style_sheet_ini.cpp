// Style sheets loaded from an INI file as a user's saved sheets would be,
// then saved back: sections, value texts, fonts and bitmap chunks.

#include <string>
#include <vector>

#include "components/foundation/cxStyles.h"
#include "platform/hostlib/core/exceptions.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

class TFuzzStyles : public TcxStyles {
public:
    static TClass StaticClass()
    {
        return DefineClass<TFuzzStyles, TcxStyles>("TFuzzStyles", [](ClassBuilder<TFuzzStyles>& b) {
            b.Property("Content", &TFuzzStyles::Content, &TFuzzStyles::SetContent);
            b.Property("Header", &TFuzzStyles::Header, &TFuzzStyles::SetHeader);
            b.Property("Selection", &TFuzzStyles::Selection, &TFuzzStyles::SetSelection);
        });
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxStyle* Content() const { return GetValue(0); }
    void SetContent(TcxStyle* v) { SetValue(0, v); }
    TcxStyle* Header() const { return GetValue(1); }
    void SetHeader(TcxStyle* v) { SetValue(1, v); }
    TcxStyle* Selection() const { return GetValue(2); }
    void SetSelection(TcxStyle* v) { SetValue(2, v); }
};

class TFuzzStyleSheet : public TcxCustomStyleSheet {
public:
    static TClass StaticClass() { return DefineClass<TFuzzStyleSheet, TcxCustomStyleSheet>("TFuzzStyleSheet"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetStylesClass() const override { return TFuzzStyles::StaticClass(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quelvo::fuzz::ScratchFile input("sheets.ini");
    static const quelvo::fuzz::ScratchFile output("saved.ini");
    if (!input.Write(quelvo::fuzz::Text(data, size))) return 0;
    auto repository = MakeObject<TcxStyleRepository>(nullptr);
    std::vector<TcxCustomStyleSheet*> sheets;
    quelvo::fuzz::Guarded<Exception>([&] {
        LoadStyleSheetsFromIniFile(input.Path(), repository.get(), TFuzzStyleSheet::StaticClass(), nullptr, nullptr,
                                   &sheets);
    });
    quelvo::fuzz::Guarded<Exception>([&] { SaveStyleSheetsToIniFile(output.Path(), sheets); });
    return 0;
}

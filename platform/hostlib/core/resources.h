#pragma once
// Resources compiled into the program: resource strings by identifier and
// named binary resources (bitmaps, cursors, icons, dialog templates, form
// resources). Files in the tree become resources with the CMake function
// quelvo_resources() (platform/hostlib/core/resources.cmake), whose generated
// registration function the program's start-up calls; nothing registers
// itself from a static constructor.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/hostlib/core/streams.h"

namespace hostlib {

// Resource type names.
namespace restype {
inline constexpr const char* Bitmap = "BITMAP";
inline constexpr const char* Cursor = "CURSOR";
inline constexpr const char* Icon = "ICON";
inline constexpr const char* Dialog = "DIALOG";
inline constexpr const char* RCData = "RCDATA";
inline constexpr const char* Form = "FORM";
}  // namespace restype
inline constexpr const char* RT_FORM = restype::Form;

struct ResourceData {
    std::string Name;
    std::string Type;
    std::vector<std::uint8_t> Bytes;

    std::string_view Text() const { return {reinterpret_cast<const char*>(Bytes.data()), Bytes.size()}; }
};

// Names and types compare without regard to case; registering a name and
// type again replaces the data.
void RegisterResource(std::string_view name, std::string_view type, const std::uint8_t* data, std::size_t size);
void RegisterResource(std::string_view name, std::string_view type, std::string_view data);
// nullptr when absent.
const ResourceData* FindResource(std::string_view name, std::string_view type);

// A resource string: its identifier and built-in text.
struct TResourceString {
    int Identifier = 0;
    const char* Text = "";
};

// Registered (for instance translated) texts replace built-in ones.
void RegisterResourceString(int identifier, std::string text);
void RegisterResourceStrings(std::initializer_list<std::pair<int, const char*>> table);
// The registered text, else the built-in one.
std::string LoadResString(const TResourceString& resource);
// The registered text for an identifier; "" when none.
std::string LoadStr(int identifier);

// A read-only stream over a resource; raises EResNotFound
// "Resource <name> not found".
class TResourceStream : public TCustomMemoryStream {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TResourceStream(std::string_view name, std::string_view type);
    std::int64_t Write(const void* buffer, std::int64_t count) override;
};

}  // namespace hostlib

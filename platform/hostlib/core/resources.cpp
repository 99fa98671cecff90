#include "platform/hostlib/core/resources.h"

#include <map>
#include <memory>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

namespace {

std::vector<std::unique_ptr<ResourceData>>& Resources()
{
    static std::vector<std::unique_ptr<ResourceData>> list;
    return list;
}

std::map<int, std::string>& Strings()
{
    static std::map<int, std::string> table;
    return table;
}

ResourceData* Find(std::string_view name, std::string_view type)
{
    for (auto& r : Resources())
        if (SameText(r->Name, name) && SameText(r->Type, type)) return r.get();
    return nullptr;
}

}  // namespace

void RegisterResource(std::string_view name, std::string_view type, const std::uint8_t* data, std::size_t size)
{
    ResourceData* r = Find(name, type);
    if (!r) {
        Resources().push_back(std::make_unique<ResourceData>());
        r = Resources().back().get();
        r->Name = std::string(name);
        r->Type = std::string(type);
    }
    r->Bytes.assign(data, data + size);
}

void RegisterResource(std::string_view name, std::string_view type, std::string_view data)
{
    RegisterResource(name, type, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

const ResourceData* FindResource(std::string_view name, std::string_view type)
{
    return Find(name, type);
}

void RegisterResourceString(int identifier, std::string text)
{
    Strings()[identifier] = std::move(text);
}

void RegisterResourceStrings(std::initializer_list<std::pair<int, const char*>> table)
{
    for (const auto& [id, text] : table) RegisterResourceString(id, text ? text : "");
}

std::string LoadResString(const TResourceString& resource)
{
    auto it = Strings().find(resource.Identifier);
    if (it != Strings().end()) return it->second;
    return resource.Text ? resource.Text : "";
}

std::string LoadStr(int identifier)
{
    auto it = Strings().find(identifier);
    return it == Strings().end() ? std::string() : it->second;
}

TClass TResourceStream::StaticClass()
{
    return DefineClass<TResourceStream, TCustomMemoryStream>("TResourceStream");
}

TResourceStream::TResourceStream(std::string_view name, std::string_view type)
{
    const ResourceData* r = Find(name, type);
    if (!r) throw EResNotFound(Format(messages::SResNotFound, std::string(name)));
    data_ = r->Bytes;
}

std::int64_t TResourceStream::Write(const void*, std::int64_t)
{
    throw EStreamError("Cannot write to a resource stream");
}

}  // namespace hostlib

#include "components/foundation/cxClasses.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/hostlib/core/format.h"

namespace {

struct Replacement {
    std::string Source;
    std::string Value;
};

// Created on the first replacement, freed at shut-down.
std::unique_ptr<std::vector<Replacement>>& Table()
{
    static std::unique_ptr<std::vector<Replacement>> table;
    return table;
}

Replacement* Find(const std::string& source)
{
    auto& table = Table();
    if (!table) return nullptr;
    auto it = std::find_if(table->begin(), table->end(),
                           [&](const Replacement& item) { return hostlib::SameText(item.Source, source); });
    return it == table->end() ? nullptr : &*it;
}

std::string LoadText(const TcxResourceString& resource) { return resource.Text ? resource.Text : ""; }

}  // namespace

std::string cxGetResourceString(const TcxResourceString& resource)
{
    return cxGetResourceStringNet(LoadText(resource));
}

std::string cxGetResourceStringNet(const std::string& text)
{
    const Replacement* found = Find(text);
    return found ? found->Value : text;
}

void cxSetResourceString(const TcxResourceString& resource, const std::string& value)
{
    cxSetResourceStringNet(LoadText(resource), value);
}

void cxSetResourceStringNet(const std::string& source, const std::string& value)
{
    if (Replacement* found = Find(source)) {
        found->Value = value;
        return;
    }
    auto& table = Table();
    if (!table) table = std::make_unique<std::vector<Replacement>>();
    table->push_back({source, value});
}

void cxClearResourceStrings() { Table().reset(); }

#include "platform/system/registry_store.h"

#include <cstring>

#include "platform/system/registry.h"
#include "platform/system/text_conversion.h"
#include "platform/system/winerror.h"

namespace quelvo::sys {

struct RegistryStore::Node {
    std::string name;
    std::vector<std::unique_ptr<Node>> children;
    std::vector<std::pair<std::string, RegistryValue>> values;
};

namespace {

using Node = RegistryStore::Node;

bool SameName(std::string_view a, std::string_view b)
{
    return SameTextIgnoringAsciiCase(a, b);
}

Node* Child(const Node& node, std::string_view name)
{
    for (const auto& child : node.children) {
        if (SameName(child->name, name)) return child.get();
    }
    return nullptr;
}

template <class F>
void ForEachElement(std::string_view path, F&& f)
{
    while (!path.empty()) {
        const std::size_t cut = path.find('\\');
        const std::string_view element = path.substr(0, cut);
        if (!element.empty() && !f(element)) return;
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
    }
}

std::string RootName(DWORD root) { return std::to_string(root); }

}  // namespace

std::string JoinRegistryPath(std::string_view parent, std::string_view subKey)
{
    std::string result;
    auto append = [&result](std::string_view element) {
        if (!result.empty()) result += '\\';
        result.append(element);
        return true;
    };
    ForEachElement(parent, append);
    ForEachElement(subKey, append);
    return result;
}

RegistryStore::RegistryStore() : roots_(std::make_unique<Node>()) {}
RegistryStore::~RegistryStore() = default;

void RegistryStore::AddDefaultKeys()
{
    CreateKey(kRootLocalMachine, kPerfOsKey);
    CreateKey(kRootLocalMachine, kPerfProcKey);
}

Node* RegistryStore::Find(DWORD root, std::string_view path) const
{
    Node* node = Child(*roots_, RootName(root));
    ForEachElement(path, [&node](std::string_view element) {
        node = node != nullptr ? Child(*node, element) : nullptr;
        return node != nullptr;
    });
    return node;
}

bool RegistryStore::KeyExists(DWORD root, std::string_view path) const
{
    std::lock_guard lock(mutex_);
    return Find(root, path) != nullptr;
}

bool RegistryStore::CreateKey(DWORD root, std::string_view path)
{
    std::lock_guard lock(mutex_);
    bool created = false;
    auto descend = [&created](Node& parent, std::string_view name) -> Node* {
        if (Node* existing = Child(parent, name)) return existing;
        parent.children.push_back(std::make_unique<Node>());
        parent.children.back()->name = std::string(name);
        created = true;
        return parent.children.back().get();
    };
    Node* node = descend(*roots_, RootName(root));
    created = false;  // the root itself does not count
    ForEachElement(path, [&](std::string_view element) {
        node = descend(*node, element);
        return true;
    });
    return created;
}

DWORD RegistryStore::DeleteKey(DWORD root, std::string_view path)
{
    std::lock_guard lock(mutex_);
    const std::string joined = JoinRegistryPath("", path);
    const std::size_t cut = joined.rfind('\\');
    Node* parent = cut == std::string::npos ? Child(*roots_, RootName(root)) : Find(root, joined.substr(0, cut));
    const std::string_view leaf = cut == std::string::npos ? std::string_view(joined) : std::string_view(joined).substr(cut + 1);
    if (parent == nullptr || leaf.empty()) return ERROR_FILE_NOT_FOUND;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (SameName((*it)->name, leaf)) {
            if (!(*it)->children.empty()) return ERROR_ACCESS_DENIED;
            parent->children.erase(it);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

std::optional<RegistryValue> RegistryStore::GetValue(DWORD root, std::string_view path, std::string_view name) const
{
    std::lock_guard lock(mutex_);
    const Node* node = Find(root, path);
    if (node == nullptr) return std::nullopt;
    for (const auto& [valueName, value] : node->values) {
        if (SameName(valueName, name)) return value;
    }
    return std::nullopt;
}

DWORD RegistryStore::SetValue(DWORD root, std::string_view path, std::string_view name, RegistryValue value)
{
    std::lock_guard lock(mutex_);
    Node* node = Find(root, path);
    if (node == nullptr) return ERROR_FILE_NOT_FOUND;
    for (auto& [valueName, existing] : node->values) {
        if (SameName(valueName, name)) {
            existing = std::move(value);
            return ERROR_SUCCESS;
        }
    }
    node->values.emplace_back(std::string(name), std::move(value));
    return ERROR_SUCCESS;
}

DWORD RegistryStore::DeleteValue(DWORD root, std::string_view path, std::string_view name)
{
    std::lock_guard lock(mutex_);
    Node* node = Find(root, path);
    if (node == nullptr) return ERROR_FILE_NOT_FOUND;
    const auto removed =
        std::erase_if(node->values, [name](const auto& entry) { return SameName(entry.first, name); });
    return removed != 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::optional<std::string> RegistryStore::SubKeyName(DWORD root, std::string_view path, std::size_t index) const
{
    std::lock_guard lock(mutex_);
    const Node* node = Find(root, path);
    if (node == nullptr || index >= node->children.size()) return std::nullopt;
    return node->children[index]->name;
}

std::optional<std::pair<std::string, RegistryValue>> RegistryStore::ValueAt(DWORD root, std::string_view path,
                                                                            std::size_t index) const
{
    std::lock_guard lock(mutex_);
    const Node* node = Find(root, path);
    if (node == nullptr || index >= node->values.size()) return std::nullopt;
    return node->values[index];
}

void RegistryStore::SetDword(DWORD root, std::string_view path, std::string_view name, DWORD value)
{
    CreateKey(root, path);
    RegistryValue entry{REG_DWORD, std::vector<BYTE>(sizeof(DWORD))};
    std::memcpy(entry.data.data(), &value, sizeof(DWORD));
    SetValue(root, path, name, std::move(entry));
}

std::optional<DWORD> RegistryStore::GetDword(DWORD root, std::string_view path, std::string_view name) const
{
    auto value = GetValue(root, path, name);
    if (!value || value->type != REG_DWORD || value->data.size() < sizeof(DWORD)) return std::nullopt;
    DWORD result = 0;
    std::memcpy(&result, value->data.data(), sizeof(DWORD));
    return result;
}

}  // namespace quelvo::sys

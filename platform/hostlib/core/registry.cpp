#include "platform/hostlib/core/registry.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <sys/stat.h>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/text_escape.h"

namespace hostlib {

namespace {

struct RegValue {
    std::string name;
    TRegDataType type = rdUnknown;
    std::vector<std::uint8_t> data;
};

// Children and values are found through indexes by case-folded name, so a
// store loads in time in proportion to its size; the lists keep the order
// of creation for writing back.
struct RegKey {
    std::string name;
    std::vector<std::unique_ptr<RegKey>> children;
    std::vector<RegValue> values;

    RegKey* Child(std::string_view n)
    {
        const auto it = childIndex_.find(AnsiSameTextKey(n));
        return it == childIndex_.end() ? nullptr : it->second;
    }
    RegKey* AddChild(std::string_view n)
    {
        children.push_back(std::make_unique<RegKey>());
        children.back()->name = n;
        childIndex_.emplace(AnsiSameTextKey(n), children.back().get());
        return children.back().get();
    }
    bool RemoveChild(std::string_view n)
    {
        const auto it = childIndex_.find(AnsiSameTextKey(n));
        if (it == childIndex_.end()) return false;
        const RegKey* child = it->second;
        childIndex_.erase(it);
        std::erase_if(children, [&](const auto& c) { return c.get() == child; });
        return true;
    }

    RegValue* Value(std::string_view n)
    {
        const auto it = valueIndex_.find(AnsiSameTextKey(n));
        return it == valueIndex_.end() ? nullptr : &values[it->second];
    }
    // Replaces the value of that name (keeping the name's spelling) or adds it.
    void SetValue(RegValue v)
    {
        const auto [it, added] = valueIndex_.emplace(AnsiSameTextKey(v.name), values.size());
        if (added) {
            values.push_back(std::move(v));
            return;
        }
        v.name = values[it->second].name;
        values[it->second] = std::move(v);
    }
    bool RemoveValue(std::string_view n)
    {
        const auto it = valueIndex_.find(AnsiSameTextKey(n));
        if (it == valueIndex_.end()) return false;
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
        IndexValues();
        return true;
    }
    void RenameValue(RegValue& v, std::string newName)
    {
        v.name = std::move(newName);
        IndexValues();
    }

private:
    void IndexValues()
    {
        valueIndex_.clear();
        for (std::size_t i = 0; i < values.size(); ++i) valueIndex_.emplace(AnsiSameTextKey(values[i].name), i);
    }

    std::unordered_map<std::string, RegKey*> childIndex_;
    std::unordered_map<std::string, std::size_t> valueIndex_;
};

// Deeper paths are refused: the real store's limit, and what keeps
// the recursive writing and freeing of a hostile store off the stack's end.
constexpr std::size_t kMaxKeyDepth = 512;

std::vector<std::string> SplitPath(std::string_view path)
{
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        const std::size_t j = path.find('\\', i);
        const std::string_view part = path.substr(i, j == std::string_view::npos ? std::string_view::npos : j - i);
        if (!part.empty()) parts.emplace_back(part);
        if (j == std::string_view::npos) break;
        i = j + 1;
    }
    return parts;
}

std::string RootName(HKEY root)
{
    return "0x" + IntToHex(static_cast<std::uint32_t>(reinterpret_cast<std::intptr_t>(root)), 8);
}

class Store {
public:
    static Store& Instance()
    {
        static Store store;
        return store;
    }

    void SetFile(const std::string& fileName)
    {
        file_ = fileName;
        Load();
    }
    const std::string& File()
    {
        EnsureLoaded();
        return file_;
    }

    RegKey* Find(HKEY root, std::string_view path, bool create)
    {
        EnsureLoaded();
        const auto parts = SplitPath(path);
        if (parts.size() > kMaxKeyDepth) return nullptr;
        RegKey* k = RootNode(root, create);
        if (!k) return nullptr;
        for (const auto& part : parts) {
            RegKey* c = k->Child(part);
            if (!c) {
                if (!create) return nullptr;
                c = k->AddChild(part);
                dirty_ = true;
            }
            k = c;
        }
        return k;
    }

    bool Delete(HKEY root, std::string_view path)
    {
        auto parts = SplitPath(path);
        if (parts.empty()) return false;
        const std::string last = parts.back();
        parts.pop_back();
        std::string parentPath;
        for (const auto& p : parts) parentPath += p + "\\";
        RegKey* parent = Find(root, parentPath, false);
        if (!parent || !parent->RemoveChild(last)) return false;
        dirty_ = true;
        return true;
    }

    void MarkDirty() { dirty_ = true; }

    void Flush()
    {
        if (!dirty_) return;
        std::string text = "# Quelvo per-user settings store\n";
        for (auto& r : roots_) Write(*r, r->name, text);
        // The folder may not exist yet on a fresh account.
        const std::size_t slash = file_.rfind('/');
        if (slash != std::string::npos && slash > 0) MakeDirs(file_.substr(0, slash));
        if (WriteFileBytesAtomic(file_, text)) dirty_ = false;
    }

private:
    static void MakeDirs(const std::string& dir)
    {
        std::string partial;
        for (std::size_t i = 0; i < dir.size(); ++i) {
            partial += dir[i];
            if ((dir[i] == '/' && i > 0) || i + 1 == dir.size()) ::mkdir(partial.c_str(), 0700);
        }
    }

    static std::string DefaultFile()
    {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        std::string base;
        if (xdg && *xdg == '/') base = xdg;
        else if (const char* home = std::getenv("HOME"); home && *home) base = std::string(home) + "/.config";
        else base = "/tmp";
        return base + "/quelvo/registry";
    }

    void EnsureLoaded()
    {
        if (!loaded_) {
            if (file_.empty()) file_ = DefaultFile();
            Load();
        }
    }

    RegKey* RootNode(HKEY root, bool create)
    {
        const std::string name = RootName(root);
        if (const auto it = rootIndex_.find(name); it != rootIndex_.end()) return it->second;
        if (!create) return nullptr;
        roots_.push_back(std::make_unique<RegKey>());
        roots_.back()->name = name;
        rootIndex_.emplace(name, roots_.back().get());
        dirty_ = true;
        return roots_.back().get();
    }

    void Load()
    {
        roots_.clear();
        rootIndex_.clear();
        dirty_ = false;
        loaded_ = true;
        std::string content;
        if (!ReadFileBytes(file_, content)) return;
        RegKey* current = nullptr;
        std::size_t i = 0;
        while (i < content.size()) {
            std::size_t j = content.find('\n', i);
            if (j == std::string::npos) j = content.size();
            std::string line = content.substr(i, j - i);
            i = j + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            if (line.front() == '[' && line.back() == ']') {
                const std::string path = line.substr(1, line.size() - 2);
                const std::size_t slash = path.find('\\');
                const std::string root = path.substr(0, slash);
                current = nullptr;
                std::int64_t rootValue = 0;
                if (root.rfind("0x", 0) != 0 || !TryStrToInt64(root, rootValue)) continue;
                current = Find(reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(rootValue))),
                               slash == std::string::npos ? std::string() : path.substr(slash + 1), true);
                continue;
            }
            if (current) ParseValue(line, *current);
        }
        dirty_ = false;
    }

    static void ParseValue(const std::string& line, RegKey& key)
    {
        // "name"=type:data
        if (line.size() < 4 || line[0] != '"') return;
        std::size_t k = 1;
        while (k < line.size() && !(line[k] == '"' && line[k - 1] != '\\')) {
            if (line[k] == '\\') ++k;
            ++k;
        }
        if (k >= line.size() || k + 1 >= line.size() || line[k + 1] != '=') return;
        std::string name;
        if (!UnescapeText(std::string_view(line).substr(1, k - 1), name)) return;
        const std::string rest = line.substr(k + 2);
        const std::size_t colon = rest.find(':');
        if (colon == std::string::npos) return;
        const std::string type = rest.substr(0, colon);
        const std::string data = rest.substr(colon + 1);
        RegValue v;
        v.name = name;
        if (type == "sz" || type == "expand") {
            std::string text;
            if (!UnescapeText(data, text)) return;
            v.type = type == "sz" ? rdString : rdExpandString;
            v.data.assign(text.begin(), text.end());
        } else if (type == "dword") {
            std::int64_t n = 0;
            if (!TryStrToInt64(data, n) || n < INT32_MIN || n > UINT32_MAX) return;
            const auto u = static_cast<std::uint32_t>(n);
            v.type = rdInteger;
            v.data = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
                      static_cast<std::uint8_t>(u >> 24)};
        } else if (type == "hex") {
            if (data.size() % 2) return;
            v.type = rdBinary;
            for (std::size_t p = 0; p < data.size(); p += 2) {
                std::int64_t b = 0;
                if (!TryStrToInt64("$" + data.substr(p, 2), b)) return;
                v.data.push_back(static_cast<std::uint8_t>(b));
            }
        } else {
            return;
        }
        RegValue* existing = key.Value(name);
        if (existing) *existing = std::move(v);
        else key.SetValue(std::move(v));
    }

    static void Write(const RegKey& k, const std::string& path, std::string& out)
    {
        out += "[" + path + "]\n";
        for (const auto& v : k.values) {
            out += "\"" + EscapeText(v.name) + "\"=";
            switch (v.type) {
            case rdString:
            case rdExpandString:
                out += (v.type == rdString ? "sz:" : "expand:") + EscapeText(std::string(v.data.begin(), v.data.end()));
                break;
            case rdInteger: {
                std::uint32_t u = 0;
                for (std::size_t b = 0; b < 4 && b < v.data.size(); ++b) u |= static_cast<std::uint32_t>(v.data[b]) << (8 * b);
                out += "dword:" + std::to_string(u);
                break;
            }
            default:
                out += "hex:";
                for (auto b : v.data) out += IntToHex(b, 2);
                break;
            }
            out += '\n';
        }
        for (const auto& c : k.children) Write(*c, path + "\\" + c->name, out);
    }

    std::string file_;
    std::vector<std::unique_ptr<RegKey>> roots_;
    std::unordered_map<std::string, RegKey*> rootIndex_;
    bool loaded_ = false;
    bool dirty_ = false;
};

bool ValidKeyName(std::string_view key)
{
    // Empty segments ("a\\\\b") are tolerated; control characters are not.
    for (char c : key)
        if (static_cast<unsigned char>(c) < 32) return false;
    return true;
}

}  // namespace

void SetRegistryStoreFile(const std::string& fileName)
{
    Store::Instance().SetFile(fileName);
}

std::string RegistryStoreFile()
{
    return Store::Instance().File();
}

TClass TRegistry::StaticClass()
{
    return DefineClass<TRegistry, TObject>("TRegistry");
}

TRegistry::~TRegistry()
{
    Store::Instance().Flush();
}

void TRegistry::Destroy()
{
    CloseKey();
    TObject::Destroy();
}

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    rootKey_ = root;
}

HKEY TRegistry::CurrentKey() const
{
    return keyOpen_ ? rootKey_ : nullptr;
}

bool TRegistry::ResolvePath(const std::string& key, std::string& path) const
{
    if (!ValidKeyName(key)) return false;
    std::string base = (!key.empty() && key[0] == '\\') ? std::string() : currentPath_;
    std::string joined;
    for (const auto& part : SplitPath(base + "\\" + key)) {
        if (!joined.empty()) joined += '\\';
        joined += part;
    }
    path = joined;
    return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    std::string path;
    if (!ResolvePath(key, path)) return false;
    if (!Store::Instance().Find(rootKey_, path, canCreate)) return false;
    currentPath_ = path;
    keyOpen_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    std::string path;
    if (!ResolvePath(key, path)) return false;
    if (!Store::Instance().Find(rootKey_, path, false)) return false;
    currentPath_ = path;
    keyOpen_ = true;
    readOnly_ = true;
    return true;
}

bool TRegistry::CreateKey(const std::string& key)
{
    std::string path;
    if (!ResolvePath(key, path) || path.empty()) return false;
    if (Store::Instance().Find(rootKey_, path, false)) return false;  // already there
    const bool ok = Store::Instance().Find(rootKey_, path, true) != nullptr;
    Store::Instance().Flush();
    return ok;
}

bool TRegistry::DeleteKey(const std::string& key)
{
    std::string path;
    if (!ResolvePath(key, path)) return false;
    const bool ok = Store::Instance().Delete(rootKey_, path);
    // A deleted open key closes.
    if (ok && keyOpen_ && (currentPath_ == path || StartsText(path + "\\", currentPath_))) CloseKey();
    Store::Instance().Flush();
    return ok;
}

bool TRegistry::KeyExists(const std::string& key)
{
    std::string path;
    return ResolvePath(key, path) && Store::Instance().Find(rootKey_, path, false) != nullptr;
}

void TRegistry::CloseKey()
{
    Store::Instance().Flush();
    keyOpen_ = false;
    readOnly_ = false;
    currentPath_.clear();
}

bool TRegistry::HasSubKeys()
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    return k && !k->children.empty();
}

void TRegistry::GetKeyNames(TStrings* strings)
{
    if (!strings) return;
    strings->BeginUpdate();
    strings->Clear();
    if (RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false))
        for (const auto& c : k->children) strings->Add(c->name);
    strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* strings)
{
    if (!strings) return;
    strings->BeginUpdate();
    strings->Clear();
    if (RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false))
        for (const auto& v : k->values) strings->Add(v.name);
    strings->EndUpdate();
}

bool TRegistry::ValueExists(const std::string& name)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    return k && k->Value(name);
}

bool TRegistry::DeleteValue(const std::string& name)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    if (!k || readOnly_ || !k->RemoveValue(name)) return false;
    Store::Instance().MarkDirty();
    return true;
}

void TRegistry::RenameValue(const std::string& oldName, const std::string& newName)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    if (!k || readOnly_ || k->Value(newName)) return;
    if (RegValue* v = k->Value(oldName)) {
        k->RenameValue(*v, newName);
        Store::Instance().MarkDirty();
    }
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    RegValue* v = k ? k->Value(name) : nullptr;
    if (!v) {
        info = TRegDataInfo{};
        return false;
    }
    info.RegData = v->type;
    info.DataSize = static_cast<int>(v->data.size()) + (v->type == rdString || v->type == rdExpandString ? 1 : 0);
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& name)
{
    TRegDataInfo info;
    GetDataInfo(name, info);
    return info.RegData;
}

int TRegistry::GetDataSize(const std::string& name)
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

std::vector<std::uint8_t> TRegistry::ReadData(const std::string& name, TRegDataType expected, int expectedSize)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    RegValue* v = k ? k->Value(name) : nullptr;
    if (!v) throw ERegistryException(Format(messages::SRegGetDataFailed, name));
    const bool typeOk = v->type == expected || (expected == rdString && v->type == rdExpandString);
    if (!typeOk || (expectedSize >= 0 && static_cast<int>(v->data.size()) != expectedSize))
        throw ERegistryException(Format(messages::SInvalidRegType, name));
    return v->data;
}

void TRegistry::WriteData(const std::string& name, TRegDataType type, const void* data, std::size_t size)
{
    if (readOnly_) throw ERegistryException(Format(messages::SRegSetDataFailed, name));
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, true);
    RegValue v;
    v.name = name;
    v.type = type;
    if (size > 0) v.data.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    k->SetValue(std::move(v));
    Store::Instance().MarkDirty();
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (!ValueExists(name)) return {};
    const auto data = ReadData(name, rdString, -1);
    return std::string(data.begin(), data.end());
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    WriteData(name, rdString, value.data(), value.size());
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value)
{
    WriteData(name, rdExpandString, value.data(), value.size());
}

int TRegistry::ReadInteger(const std::string& name)
{
    const auto d = ReadData(name, rdInteger, 4);
    return static_cast<int>(static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
                            (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24));
}

void TRegistry::WriteInteger(const std::string& name, int value)
{
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t d[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                               static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    WriteData(name, rdInteger, d, 4);
}

bool TRegistry::ReadBool(const std::string& name)
{
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const std::string& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

double TRegistry::ReadFloat(const std::string& name)
{
    const auto d = ReadData(name, rdBinary, 8);
    double v = 0;
    std::memcpy(&v, d.data(), 8);
    return v;
}

void TRegistry::WriteFloat(const std::string& name, double value)
{
    WriteData(name, rdBinary, &value, 8);
}

Currency TRegistry::ReadCurrency(const std::string& name)
{
    const auto d = ReadData(name, rdBinary, 8);
    std::int64_t v = 0;
    std::memcpy(&v, d.data(), 8);
    return Currency::FromScaled(v);
}

void TRegistry::WriteCurrency(const std::string& name, Currency value)
{
    const std::int64_t v = value.Scaled();
    WriteData(name, rdBinary, &v, 8);
}

TDateTime TRegistry::ReadDateTime(const std::string& name)
{
    return ReadFloat(name);
}

void TRegistry::WriteDateTime(const std::string& name, TDateTime value)
{
    WriteFloat(name, value);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size)
{
    RegKey* k = Store::Instance().Find(rootKey_, currentPath_, false);
    RegValue* v = k ? k->Value(name) : nullptr;
    if (!v) throw ERegistryException(Format(messages::SRegGetDataFailed, name));
    if (v->type != rdBinary && v->type != rdUnknown) throw ERegistryException(Format(messages::SInvalidRegType, name));
    const int n = static_cast<int>(v->data.size());
    // An empty value has no data to copy (and no address to copy from).
    if (buffer && size > 0 && n > 0) std::memcpy(buffer, v->data.data(), static_cast<std::size_t>(std::min(n, size)));
    return n;
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size)
{
    WriteData(name, rdBinary, buffer, size > 0 ? static_cast<std::size_t>(size) : 0);
}

std::vector<std::uint8_t> TRegistry::ReadBinary(const std::string& name)
{
    return ReadData(name, rdBinary, -1);
}

}  // namespace hostlib

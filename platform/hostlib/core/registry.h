#pragma once
// TRegistry over the per-user store: a tree of keys holding string,
// integer and binary values, kept in one file under the user's
// configuration folder ($XDG_CONFIG_HOME/quelvo/registry, else
// ~/.config/quelvo/registry). Key and value names compare without regard
// to case; children keep the order they were created in.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/object.h"
#include "platform/system/wintypes.h"

namespace hostlib {

class TStrings;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

// The store file TRegistry uses; tests point it elsewhere. Setting it
// drops unsaved changes of the previous file and loads the new one (a
// missing or malformed file gives an empty store; malformed lines are
// skipped).
void SetRegistryStoreFile(const std::string& fileName);
std::string RegistryStoreFile();

class TRegistry : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TRegistry() = default;
    ~TRegistry() override;

    // Roots are the predefined key handles; the default is the current
    // user's. Each root is a separate tree in the store.
    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);
    // Not nullptr while a key is open.
    HKEY CurrentKey() const;
    // Path of the open key below the root, without a leading backslash.
    const std::string& CurrentPath() const { return currentPath_; }

    // A key starting with "\" is taken from the root, otherwise from the
    // open key. Returns false when the key does not exist (and canCreate
    // is false) or the name is malformed.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    bool CreateKey(const std::string& key);
    // Deletes the key with everything below it.
    bool DeleteKey(const std::string& key);
    bool KeyExists(const std::string& key);
    // Writes the store when it changed.
    void CloseKey();

    bool HasSubKeys();
    void GetKeyNames(TStrings* strings);
    void GetValueNames(TStrings* strings);
    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    void RenameValue(const std::string& oldName, const std::string& newName);
    bool GetDataInfo(const std::string& name, TRegDataInfo& info);
    TRegDataType GetDataType(const std::string& name);
    // -1 when the value does not exist.
    int GetDataSize(const std::string& name);

    // A missing string value reads as ""; other missing values raise
    // ERegistryException "Failed to get data for '%s'"; a value of another
    // type raises "Invalid data type for '%s'". Writing through a key opened
    // read-only raises "Failed to set data for '%s'".
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    int ReadInteger(const std::string& name);
    void WriteInteger(const std::string& name, int value);
    bool ReadBool(const std::string& name);
    void WriteBool(const std::string& name, bool value);
    double ReadFloat(const std::string& name);
    void WriteFloat(const std::string& name, double value);
    Currency ReadCurrency(const std::string& name);
    void WriteCurrency(const std::string& name, Currency value);
    TDateTime ReadDateTime(const std::string& name);
    void WriteDateTime(const std::string& name, TDateTime value);
    TDateTime ReadDate(const std::string& name) { return ReadDateTime(name); }
    void WriteDate(const std::string& name, TDateTime value) { WriteDateTime(name, value); }
    TDateTime ReadTime(const std::string& name) { return ReadDateTime(name); }
    void WriteTime(const std::string& name, TDateTime value) { WriteDateTime(name, value); }
    // Copies at most size bytes; returns the value's size.
    int ReadBinaryData(const std::string& name, void* buffer, int size);
    void WriteBinaryData(const std::string& name, const void* buffer, int size);
    std::vector<std::uint8_t> ReadBinary(const std::string& name);

protected:
    void Destroy() override;

private:
    bool ResolvePath(const std::string& key, std::string& path) const;
    std::vector<std::uint8_t> ReadData(const std::string& name, TRegDataType expected, int expectedSize);
    void WriteData(const std::string& name, TRegDataType type, const void* data, std::size_t size);

    HKEY rootKey_ = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u)));
    std::string currentPath_;
    bool keyOpen_ = false;
    bool readOnly_ = false;
};

}  // namespace hostlib

#pragma once
// Layout storage: saves the state of an object tree (a control's columns
// and bands, say) and restores it later. TcxStorage walks the tree; a
// writer decides where the values go and a reader where they come from: an
// INI file, a registry key or a stream. Objects take part through their
// published properties or through IcxStoredObject and IcxStoredParent.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/registry.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {
class TStream;
class TStrings;
}  // namespace hostlib

enum TcxStorageMode { smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties };
using TcxStorageModes = hostlib::TSet<TcxStorageMode>;

// Results travel through the last, by-reference argument.
using TcxGetStorageModesEvent = hostlib::Event<TcxStorageModes&>;
using TcxGetUseInterfaceOnlyEvent = hostlib::Event<bool&>;
using TcxGetComponentByNameEvent = hostlib::Event<const std::string&, hostlib::TComponent*&>;
using TcxTestClassPropertyEvent = hostlib::Event<const std::string&, hostlib::TObject*, bool&>;

// An object that offers its own property list, values and name.
class IcxStoredObject {
public:
    virtual ~IcxStoredObject() = default;
    virtual std::string GetObjectName() = 0;
    // False lets the storage use the published properties instead.
    virtual bool GetProperties(hostlib::TStrings* properties) = 0;
    virtual void GetPropertyValue(const std::string& name, hostlib::Variant& value) = 0;
    virtual void SetPropertyValue(const std::string& name, const hostlib::Variant& value) = 0;
};

// An object whose children the storage walks, creates and deletes.
class IcxStoredParent {
public:
    virtual ~IcxStoredParent() = default;
    // The new child, or nullptr.
    virtual hostlib::TObject* CreateChild(const std::string& objectName, const std::string& className) = 0;
    virtual void DeleteChild(const std::string& objectName, hostlib::TObject* object) = 0;
    // Names with their objects.
    virtual void GetChildren(hostlib::TStrings* children) = 0;
};

namespace cx_storage_names {
inline constexpr const char* EcxStorage = "EcxStorage";
inline constexpr const char* EcxHexStringConvertError = "EcxHexStringConvertError";
}  // namespace cx_storage_names

using EcxStorage = hostlib::ErrorClass<hostlib::Exception, &cx_storage_names::EcxStorage>;
using EcxHexStringConvertError = hostlib::ErrorClass<hostlib::Exception, &cx_storage_names::EcxHexStringConvertError>;

// The buffer size of the component-stream reader and writer of the stream form.
inline constexpr int cxBufferSize = 500000;

// ---- readers and writers ------------------------------------------------------

class TcxCustomReader : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Second construction phase (class references create readers).
    virtual void Construct(const std::string& storageName) { storageName_ = storageName; }
    // Fill names with the stored property names of an object.
    virtual void ReadProperties(const std::string& objectPath, const std::string& className, hostlib::TStrings* names);
    // Empty when nothing is stored under the name.
    virtual hostlib::Variant ReadProperty(const std::string& objectPath, const std::string& className,
                                          const std::string& propertyName);
    // Fill the two lists with the stored children's class names and names.
    virtual void ReadChildren(const std::string& objectPath, const std::string& className,
                              hostlib::TStrings* childClassNames, hostlib::TStrings* childNames);

    const std::string& StorageName() const { return storageName_; }

private:
    std::string storageName_;
};
using TcxCustomReaderClass = hostlib::TClass;

class TcxCustomWriter : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(const std::string& storageName, bool reCreate);
    virtual void BeginWriteObject(const std::string& objectPath, const std::string& className);
    virtual void EndWriteObject(const std::string& objectPath, const std::string& className);
    virtual void WriteProperty(const std::string& objectPath, const std::string& className,
                               const std::string& propertyName, const hostlib::Variant& value);
    // Puts out what the writer collected (the INI file, the stream's tree);
    // the storage calls it once a store ran to its end, so a failed store
    // leaves the destination as it was.
    virtual void Commit() {}

    const std::string& StorageName() const { return storageName_; }
    bool ReCreate() const { return reCreate_; }

private:
    std::string storageName_;
    bool reCreate_ = false;
};
using TcxCustomWriterClass = hostlib::TClass;

// One section "path: class" per object, opened by an empty entry; values
// typed by their text.
class TcxIniFileReader : public TcxCustomReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(const std::string& storageName) override;
    void ReadProperties(const std::string& objectPath, const std::string& className, hostlib::TStrings* names) override;
    hostlib::Variant ReadProperty(const std::string& objectPath, const std::string& className,
                                  const std::string& propertyName) override;
    void ReadChildren(const std::string& objectPath, const std::string& className, hostlib::TStrings* childClassNames,
                      hostlib::TStrings* childNames) override;

private:
    struct SectionName {
        std::string ParentPath;  // upper case, up to and including the last "/"
        std::string Name;
        std::string ClassName;
    };
    void SplitSectionNames();

    hostlib::ObjectPtr<hostlib::TMemIniFile> iniFile_;
    std::vector<SectionName> sections_;
    bool sectionsSplit_ = false;
};

class TcxIniFileWriter : public TcxCustomWriter {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(const std::string& storageName, bool reCreate) override;
    void BeginWriteObject(const std::string& objectPath, const std::string& className) override;
    void WriteProperty(const std::string& objectPath, const std::string& className, const std::string& propertyName,
                       const hostlib::Variant& value) override;
    // Saves the file.
    void Commit() override;

private:
    hostlib::ObjectPtr<hostlib::TMemIniFile> iniFile_;
};

// A key per object below "\" + storage name, with a "[ClassName]" subkey.
class TcxRegistryReader : public TcxCustomReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(const std::string& storageName) override;
    void ReadProperties(const std::string& objectPath, const std::string& className, hostlib::TStrings* names) override;
    hostlib::Variant ReadProperty(const std::string& objectPath, const std::string& className,
                                  const std::string& propertyName) override;
    void ReadChildren(const std::string& objectPath, const std::string& className, hostlib::TStrings* childClassNames,
                      hostlib::TStrings* childNames) override;

private:
    bool OpenObjectKey(const std::string& objectPath);

    hostlib::ObjectPtr<hostlib::TRegistry> registry_;
    std::string rootKey_;
    std::string openPath_;  // the object path whose key is open, "" for none
    bool keyOpen_ = false;
};

class TcxRegistryWriter : public TcxCustomWriter {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(const std::string& storageName, bool reCreate) override;
    void BeginWriteObject(const std::string& objectPath, const std::string& className) override;
    void EndWriteObject(const std::string& objectPath, const std::string& className) override;
    void WriteProperty(const std::string& objectPath, const std::string& className, const std::string& propertyName,
                       const hostlib::Variant& value) override;
    // Writes the store file.
    void Commit() override;

private:
    void OpenRootKey();
    // Opens the key of the first count segments of an object path.
    void OpenObjectKey(const std::vector<std::string>& segments, std::size_t count, bool canCreate);

    hostlib::ObjectPtr<hostlib::TRegistry> registry_;
    std::string rootKey_;
    bool keyExists_ = false;
    bool rootOpened_ = false;
};

class TcxStreamPropertyData : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxStreamPropertyData() = default;
    TcxStreamPropertyData(std::string name, hostlib::Variant value) : Name(std::move(name)), Value(std::move(value)) {}

    std::string Name;
    hostlib::Variant Value;
};

// One object record of the stream form: name, class, properties, children.
class TcxStreamObjectData : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxStreamObjectData() = default;
    TcxStreamObjectData(std::string name, std::string className)
        : Name(std::move(name)), ClassName(std::move(className))
    {
    }

    void AddProperty(TcxStreamPropertyData* property);
    void AddChild(TcxStreamObjectData* child);
    int GetPropertyCount() const { return static_cast<int>(properties_.size()); }
    TcxStreamPropertyData* GetProperties(int index) const;
    int GetChildCount() const { return static_cast<int>(children_.size()); }
    TcxStreamObjectData* GetChildren(int index) const;
    // The first child of exactly that name, or nullptr.
    TcxStreamObjectData* FindChild(const std::string& name) const;
    void Clear();
    // Raise the host library's read error for a stream that ends early or
    // nests deeper than a stored layout can.
    void Read(hostlib::TReader& reader);
    void Write(hostlib::TWriter& writer);

    std::string Name;
    std::string ClassName;

private:
    void Read(hostlib::TReader& reader, int depth);

    std::vector<hostlib::ObjectPtr<TcxStreamPropertyData>> properties_;
    std::vector<hostlib::ObjectPtr<TcxStreamObjectData>> children_;
};

class TcxStreamReader : public TcxCustomReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void SetStream(hostlib::TStream* stream);
    // Frees any old tree and reads the root record.
    void Read();
    void ReadProperties(const std::string& objectPath, const std::string& className, hostlib::TStrings* names) override;
    hostlib::Variant ReadProperty(const std::string& objectPath, const std::string& className,
                                  const std::string& propertyName) override;
    void ReadChildren(const std::string& objectPath, const std::string& className, hostlib::TStrings* childClassNames,
                      hostlib::TStrings* childNames) override;

private:
    TcxStreamObjectData* FindObject(const std::string& objectPath);

    hostlib::ObjectPtr<hostlib::TReader> reader_;
    hostlib::ObjectPtr<TcxStreamObjectData> root_;
    std::string lastPath_;
    TcxStreamObjectData* lastObject_ = nullptr;
    bool lastValid_ = false;
};

class TcxStreamWriter : public TcxCustomWriter {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void SetStream(hostlib::TStream* stream);
    void BeginWriteObject(const std::string& objectPath, const std::string& className) override;
    void WriteProperty(const std::string& objectPath, const std::string& className, const std::string& propertyName,
                       const hostlib::Variant& value) override;
    // Writes the root record recursively, then frees the tree.
    void Write();
    void Commit() override { Write(); }

private:
    hostlib::ObjectPtr<hostlib::TWriter> writer_;
    hostlib::ObjectPtr<TcxStreamObjectData> root_;
    TcxStreamObjectData* current_ = nullptr;
};

// ---- the storage ----------------------------------------------------------------

class TcxStorage : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The INI file name or the registry key path.
    explicit TcxStorage(std::string storageName) : storageName_(std::move(storageName)) {}
    // A stream the storage does not own.
    explicit TcxStorage(hostlib::TStream* stream) : stream_(stream) {}

    void RestoreFromIni(hostlib::TObject* object);
    void RestoreFromRegistry(hostlib::TObject* object);
    void RestoreFromStream(hostlib::TObject* object);
    virtual void RestoreFrom(hostlib::TObject* object, TcxCustomReaderClass readerClass);
    virtual void RestoreWithExistingReader(hostlib::TObject* object, TcxCustomReader* reader);
    void StoreToIni(hostlib::TObject* object);
    void StoreToRegistry(hostlib::TObject* object);
    void StoreToStream(hostlib::TObject* object);
    virtual void StoreTo(hostlib::TObject* object, TcxCustomWriterClass writerClass);
    virtual void StoreWithExistingWriter(hostlib::TObject* object, TcxCustomWriter* writer);

    const std::string& StorageName() const { return storageName_; }
    void SetStorageName(const std::string& value) { storageName_ = value; }
    hostlib::TStream* Stream() const { return stream_; }
    bool ReCreate() const { return reCreate_; }
    void SetReCreate(bool value) { reCreate_ = value; }
    hostlib::TObject* StoredObject() const { return storedObject_; }
    void SetStoredObject(hostlib::TObject* value) { storedObject_ = value; }
    const std::string& NamePrefix() const { return namePrefix_; }
    void SetNamePrefix(const std::string& value) { namePrefix_ = value; }
    const std::string& ObjectNamePrefix() const { return objectNamePrefix_; }
    void SetObjectNamePrefix(const std::string& value) { objectNamePrefix_ = value; }
    TcxStorageModes Modes() const { return modes_; }
    void SetModes(TcxStorageModes value) { modes_ = value; }
    bool SaveComponentPropertiesByName() const { return saveComponentPropertiesByName_; }
    void SetSaveComponentPropertiesByName(bool value) { saveComponentPropertiesByName_ = value; }
    bool UseInterfaceOnly() const { return useInterfaceOnly_; }
    void SetUseInterfaceOnly(bool value) { useInterfaceOnly_ = value; }

    TcxGetStorageModesEvent OnGetStorageModes;
    TcxGetUseInterfaceOnlyEvent OnGetUseInterfaceOnly;
    TcxGetComponentByNameEvent OnGetComponentByName;
    TcxTestClassPropertyEvent OnTestClassProperty;

    TcxStorageModes GetStorageModes();
    bool GetUseInterfaceOnly();
    hostlib::TComponent* GetComponentByName(const std::string& name);
    bool TestClassProperty(const std::string& name, hostlib::TObject* object);
    // The name of the object (the stored object when none is given).
    std::string GetObjectName(hostlib::TObject* object = nullptr);
    void GetProperties(hostlib::TStrings* properties);
    void GetChildren(hostlib::TStrings* children);
    hostlib::TObject* CreateChild(const std::string& objectName, const std::string& className);
    void DeleteChild(const std::string& objectName, hostlib::TObject* object);
    hostlib::Variant GetPropertyValue(const std::string& name);
    void SetPropertyValue(const std::string& name, const hostlib::Variant& value);

protected:
    virtual void InternalRestoreFrom(TcxCustomReader* reader, const std::string& objectName);
    virtual void InternalStoreTo(TcxCustomWriter* writer, const std::string& objectName);

private:
    struct ObjectNames {
        std::string Path;
        std::string ClassName;
    };
    ObjectNames NamesOf(const std::string& objectName);
    hostlib::ObjectPtr<TcxStorage> CreateChildStorage(hostlib::TObject* child, const std::string& fullPath);
    bool IsOnStoredPath(hostlib::TObject* object) const;
    void RestoreChildren(TcxCustomReader* reader, const ObjectNames& names);
    bool GetPublishedValue(const hostlib::TPropInfo& prop, hostlib::Variant& value);
    bool SetPublishedValue(const hostlib::TPropInfo& prop, const hostlib::Variant& value);

    std::string storageName_;
    hostlib::TStream* stream_ = nullptr;
    bool reCreate_ = true;
    hostlib::TObject* storedObject_ = nullptr;
    std::string namePrefix_;
    std::string objectNamePrefix_;
    TcxStorageModes modes_;
    bool saveComponentPropertiesByName_ = false;
    bool useInterfaceOnly_ = false;
    TcxStorage* parentStorage_ = nullptr;  // the storage of the parent object
    int depth_ = 0;
};

// ---- text conversions ------------------------------------------------------------

std::string StringToHexString(const std::string& s);
// Raises EcxHexStringConvertError for a character that is no hex digit.
std::string HexStringToString(const std::string& s);
// "Hex:" and the whole stream's bytes; "" for no stream or an empty one.
std::string StreamToString(hostlib::TStream* stream);
void StringToStream(const std::string& text, hostlib::TStream* stream);
// The conversions below raise EPropertyConvertError.
bool StringToBoolean(const std::string& s);
std::string EnumerationToString(int index, const std::vector<std::string>& names);
int StringToEnumeration(const std::string& s, const std::vector<std::string>& names);
// Members 0 to 31 of a set of size bytes, as "[a,b]".
std::string SetToString(std::uint32_t set, int size, const std::vector<std::string>& names);
void StringToSet(const std::string& s, std::uint32_t& set, int size, const std::vector<std::string>& names);

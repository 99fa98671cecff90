#include "components/foundation/cxStorage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLibraryStrs.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"

using namespace hostlib;

namespace {

// Deeper object trees than this are hostile data (or a cycle), not layouts.
constexpr int kMaxObjectDepth = 64;

const char* const kClassNameKey = "[ClassName]";
const char* const kClassNameValue = "ClassName";

enum StreamTag {
    tagBoolean = 1,
    tagChar,
    tagCurrency,
    tagDate,
    tagFloat,
    tagInteger,
    tagSingle,
    tagString,
    tagWideString,
};

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        segments.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos) return segments;
        start = slash + 1;
    }
}

std::string Join(const std::vector<std::string>& parts, std::size_t count, char separator)
{
    std::string result;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i) result += separator;
        result += parts[i];
    }
    return result;
}

ObjectPtr<TStringList> NewList()
{
    return MakeObject<TStringList>();
}

bool IsNothing(const Variant& value)
{
    return VarIsNull(value) || VarIsEmpty(value);
}

bool IsQuoted(const std::string& text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

[[noreturn]] void ConvertError(const std::string& message)
{
    throw EPropertyConvertError(message);
}

[[noreturn]] void InvalidElement(const std::string& element)
{
    ConvertError(Format(cxGetResourceString(scxInvalidPropertyElement), element));
}

// ---- locale-independent numbers and dates of the INI form --------------------

// The shortest digits that read back to the same double, with ".".
std::string InvariantFloat(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string InvariantDateTime(TDateTime value)
{
    const DateParts d = DecodeDate(value);
    const TimeParts t = DecodeTime(value);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", d.Year, d.Month, d.Day, t.Hour, t.Min,
                  t.Sec, t.MSec);
    return buffer;
}

bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "yyyy-mm-ddThh:nn:ss.zzz", as InvariantDateTime writes it.
bool TryInvariantDateTime(std::string_view text, TDateTime& value)
{
    if (text.size() != 23 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != '.')
        return false;
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    if (!ReadDigits(text, 0, 4, y) || !ReadDigits(text, 5, 2, m) || !ReadDigits(text, 8, 2, d) ||
        !ReadDigits(text, 11, 2, h) || !ReadDigits(text, 14, 2, n) || !ReadDigits(text, 17, 2, s) ||
        !ReadDigits(text, 20, 3, z))
        return false;
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(y, m, d, date) || !TryEncodeTime(h, n, s, z, time)) return false;
    value = date >= 0 ? date + time : date - time;
    return true;
}

// A stored text back to a typed value: quoted text, an integer (when asked),
// a float and a date-time written by this unit, the locale's float and
// date-time (files written in the locale's form), else the raw text.
Variant TextToValue(const std::string& text, bool tryInteger)
{
    if (IsQuoted(text)) return Variant(text.substr(1, text.size() - 2));
    int integer = 0;
    if (tryInteger && TryStrToInt(text, integer)) return Variant(integer);
    double number = 0;
    TDateTime date = 0;
    if (TryStrToFloat(text, number, EnglishFormatSettings())) return Variant(number);
    if (TryInvariantDateTime(text, date)) return Variant::FromDate(date);
    if (TryStrToFloat(text, number)) return Variant(number);
    if (TryStrToDateTime(text, date)) return Variant::FromDate(date);
    return Variant(text);
}

// The INI text of a value; false for a type the INI form cannot hold.
bool ValueToIniText(const Variant& value, std::string& text)
{
    switch (VarType(value) & varTypeMask) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte: text = IntToStr(value.AsInt64()); return true;
    case varSingle:
    case varDouble:
        if (!std::isfinite(value.AsDouble())) return false;
        text = InvariantFloat(value.AsDouble());
        return true;
    case varCurrency: text = CurrToStr(value.AsCurrency(), EnglishFormatSettings()); return true;
    case varDate: text = InvariantDateTime(value.AsDate()); return true;
    case varString:
    case varOleStr: text = Quoted(value.AsString()); return true;
    default: return false;
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

// ---- text conversions -------------------------------------------------------------

std::string StringToHexString(const std::string& s)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(s.size() * 2);
    for (unsigned char c : s) {
        result += digits[c >> 4];
        result += digits[c & 15];
    }
    return result;
}

std::string HexStringToString(const std::string& s)
{
    for (char c : s)
        if (HexDigit(c) < 0) throw EcxHexStringConvertError(Format("'%s' is not a hexadecimal digit", c));
    std::string result;
    result.reserve(s.size() / 2);
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        result += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
    return result;
}

std::string StreamToString(TStream* stream)
{
    if (!stream || stream->Size() == 0) return {};
    std::string bytes(static_cast<std::size_t>(stream->Size()), '\0');
    stream->SetPosition(0);
    stream->ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return "Hex:" + StringToHexString(bytes);
}

void StringToStream(const std::string& text, TStream* stream)
{
    if (!stream || text.size() <= 5) return;
    const std::string bytes = HexStringToString(text.substr(4));
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

bool StringToBoolean(const std::string& s)
{
    if (SameText(s, "TRUE")) return true;
    if (SameText(s, "FALSE")) return false;
    ConvertError(messages::SInvalidPropertyValue);
}

std::string EnumerationToString(int index, const std::vector<std::string>& names)
{
    if (index < 0 || index >= static_cast<int>(names.size())) InvalidElement(IntToStr(index));
    return names[static_cast<std::size_t>(index)];
}

int StringToEnumeration(const std::string& s, const std::vector<std::string>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (AnsiSameText(names[i], s)) return static_cast<int>(i);
    InvalidElement(s);
}

namespace {
int SetBits(int size)
{
    return std::clamp(size * 8, 0, 32);
}
}  // namespace

std::string SetToString(std::uint32_t set, int size, const std::vector<std::string>& names)
{
    std::string result = "[";
    for (int i = 0; i < SetBits(size); ++i) {
        if (!(set & (std::uint32_t{1} << i))) continue;
        if (i >= static_cast<int>(names.size()) || names[static_cast<std::size_t>(i)].empty())
            InvalidElement(IntToStr(i));
        if (result.size() > 1) result += ',';
        result += names[static_cast<std::size_t>(i)];
    }
    return result + "]";
}

void StringToSet(const std::string& s, std::uint32_t& set, int size, const std::vector<std::string>& names)
{
    if (s.size() < 2 || s.front() != '[' || s.back() != ']') ConvertError(messages::SInvalidPropertyValue);
    set = 0;
    const std::string inner = s.substr(1, s.size() - 2);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = inner.find(',', start);
        const std::string part = inner.substr(start, comma - start);
        const int bits = std::min(SetBits(size), static_cast<int>(names.size()));
        for (int i = 0; i < bits; ++i)
            if (!names[static_cast<std::size_t>(i)].empty() && AnsiSameText(names[static_cast<std::size_t>(i)], part))
                set |= std::uint32_t{1} << i;
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

// ---- reader and writer bases ------------------------------------------------------

TClass TcxCustomReader::StaticClass()
{
    return DefineClass<TcxCustomReader, TObject>("TcxCustomReader");
}

void TcxCustomReader::ReadProperties(const std::string&, const std::string&, TStrings* names)
{
    if (names) names->Clear();
}

Variant TcxCustomReader::ReadProperty(const std::string&, const std::string&, const std::string&)
{
    return {};
}

void TcxCustomReader::ReadChildren(const std::string&, const std::string&, TStrings* childClassNames,
                                   TStrings* childNames)
{
    if (childClassNames) childClassNames->Clear();
    if (childNames) childNames->Clear();
}

TClass TcxCustomWriter::StaticClass()
{
    return DefineClass<TcxCustomWriter, TObject>("TcxCustomWriter");
}

void TcxCustomWriter::Construct(const std::string& storageName, bool reCreate)
{
    storageName_ = storageName;
    reCreate_ = reCreate;
}

void TcxCustomWriter::BeginWriteObject(const std::string&, const std::string&) {}
void TcxCustomWriter::EndWriteObject(const std::string&, const std::string&) {}
void TcxCustomWriter::WriteProperty(const std::string&, const std::string&, const std::string&, const Variant&) {}

// ---- INI form ------------------------------------------------------------------------

namespace {
std::string SectionOf(const std::string& objectPath, const std::string& className)
{
    return objectPath + ": " + className;
}

std::string WithoutBlanks(std::string text)
{
    std::erase(text, ' ');
    return text;
}
}  // namespace

TClass TcxIniFileReader::StaticClass()
{
    return DefineClass<TcxIniFileReader, TcxCustomReader>("TcxIniFileReader");
}

void TcxIniFileReader::Construct(const std::string& storageName)
{
    TcxCustomReader::Construct(storageName);
    iniFile_ = MakeObject<TMemIniFile>(storageName);
}

void TcxIniFileReader::ReadProperties(const std::string& objectPath, const std::string& className, TStrings* names)
{
    if (names) iniFile_->ReadSection(SectionOf(objectPath, className), names);
}

Variant TcxIniFileReader::ReadProperty(const std::string& objectPath, const std::string& className,
                                       const std::string& propertyName)
{
    return TextToValue(iniFile_->ReadString(SectionOf(objectPath, className), propertyName, ""), true);
}

void TcxIniFileReader::SplitSectionNames()
{
    sectionsSplit_ = true;
    auto all = NewList();
    iniFile_->ReadSections(all.get());
    for (const std::string& section : all->ToVector()) {
        const std::string text = WithoutBlanks(section);
        const std::size_t colon = text.find(':');
        const std::string path = text.substr(0, colon);
        const std::size_t slash = path.rfind('/');
        SectionName item;
        item.ParentPath = slash == std::string::npos ? std::string() : AnsiUpperCase(path.substr(0, slash + 1));
        item.Name = slash == std::string::npos ? path : path.substr(slash + 1);
        item.ClassName = colon == std::string::npos ? std::string() : text.substr(colon + 1);
        sections_.push_back(std::move(item));
    }
}

void TcxIniFileReader::ReadChildren(const std::string& objectPath, const std::string&, TStrings* childClassNames,
                                    TStrings* childNames)
{
    TcxCustomReader::ReadChildren(objectPath, {}, childClassNames, childNames);
    if (!sectionsSplit_) SplitSectionNames();
    const std::string parent = objectPath + "/";
    for (const SectionName& section : sections_) {
        if (section.ParentPath.empty() || !AnsiSameText(section.ParentPath, parent)) continue;
        if (childClassNames) childClassNames->Add(section.ClassName);
        if (childNames) childNames->Add(section.Name);
    }
}

TClass TcxIniFileWriter::StaticClass()
{
    return DefineClass<TcxIniFileWriter, TcxCustomWriter>("TcxIniFileWriter");
}

void TcxIniFileWriter::Construct(const std::string& storageName, bool reCreate)
{
    TcxCustomWriter::Construct(storageName, reCreate);
    iniFile_ = MakeObject<TMemIniFile>(storageName);
    if (reCreate) iniFile_->Clear();
}

void TcxIniFileWriter::BeginWriteObject(const std::string& objectPath, const std::string& className)
{
    iniFile_->WriteString(SectionOf(objectPath, className), "", "");
}

void TcxIniFileWriter::WriteProperty(const std::string& objectPath, const std::string& className,
                                     const std::string& propertyName, const Variant& value)
{
    std::string text;
    if (ValueToIniText(value, text)) iniFile_->WriteString(SectionOf(objectPath, className), propertyName, text);
}

void TcxIniFileWriter::Commit()
{
    iniFile_->UpdateFile();
}

// ---- registry form ------------------------------------------------------------------

namespace {
std::string RegistryRoot(const std::string& storageName)
{
    return !storageName.empty() && storageName[0] == '\\' ? storageName : "\\" + storageName;
}

std::string RegistryPath(const std::string& root, const std::string& objectPath)
{
    std::string path = objectPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return root == "\\" ? root + path : root + "\\" + path;
}
}  // namespace

TClass TcxRegistryReader::StaticClass()
{
    return DefineClass<TcxRegistryReader, TcxCustomReader>("TcxRegistryReader");
}

void TcxRegistryReader::Construct(const std::string& storageName)
{
    TcxCustomReader::Construct(storageName);
    registry_ = MakeObject<TRegistry>();
    rootKey_ = RegistryRoot(storageName);
    keyOpen_ = registry_->OpenKeyReadOnly(rootKey_);
}

bool TcxRegistryReader::OpenObjectKey(const std::string& objectPath)
{
    if (!keyOpen_) return false;
    if (!openPath_.empty() && openPath_ == objectPath) return true;
    openPath_.clear();
    if (!registry_->OpenKeyReadOnly(RegistryPath(rootKey_, objectPath))) return false;
    openPath_ = objectPath;
    return true;
}

void TcxRegistryReader::ReadProperties(const std::string& objectPath, const std::string& className, TStrings* names)
{
    TcxCustomReader::ReadProperties(objectPath, className, names);
    if (names && OpenObjectKey(objectPath)) registry_->GetValueNames(names);
}

Variant TcxRegistryReader::ReadProperty(const std::string& objectPath, const std::string&,
                                        const std::string& propertyName)
{
    if (!OpenObjectKey(objectPath) || !registry_->ValueExists(propertyName)) return {};
    const int size = registry_->GetDataSize(propertyName);
    switch (registry_->GetDataType(propertyName)) {
    case rdString:
    case rdExpandString: return TextToValue(registry_->ReadString(propertyName), false);
    case rdInteger: return size == 4 ? Variant(registry_->ReadInteger(propertyName)) : Variant();
    case rdBinary: return size == 8 ? Variant(registry_->ReadFloat(propertyName)) : Variant();
    default: return {};
    }
}

void TcxRegistryReader::ReadChildren(const std::string& objectPath, const std::string& className,
                                     TStrings* childClassNames, TStrings* childNames)
{
    TcxCustomReader::ReadChildren(objectPath, className, childClassNames, childNames);
    if (!OpenObjectKey(objectPath)) return;
    auto keys = NewList();
    registry_->GetKeyNames(keys.get());
    const std::string objectKey = RegistryPath(rootKey_, objectPath);
    for (const std::string& name : keys->ToVector()) {
        if (SameText(name, kClassNameKey)) continue;
        std::string childClass;
        if (registry_->OpenKeyReadOnly(objectKey + "\\" + name + "\\" + kClassNameKey) &&
            (registry_->GetDataType(kClassNameValue) == rdString ||
             registry_->GetDataType(kClassNameValue) == rdExpandString))
            childClass = registry_->ReadString(kClassNameValue);
        if (childClassNames) childClassNames->Add(childClass);
        if (childNames) childNames->Add(name);
    }
    openPath_.clear();
    OpenObjectKey(objectPath);
}

TClass TcxRegistryWriter::StaticClass()
{
    return DefineClass<TcxRegistryWriter, TcxCustomWriter>("TcxRegistryWriter");
}

void TcxRegistryWriter::Construct(const std::string& storageName, bool reCreate)
{
    TcxCustomWriter::Construct(storageName, reCreate);
    registry_ = MakeObject<TRegistry>();
    rootKey_ = RegistryRoot(storageName);
    if (reCreate && !storageName.empty()) registry_->DeleteKey(rootKey_);
    keyExists_ = registry_->KeyExists(rootKey_);
}

void TcxRegistryWriter::OpenRootKey()
{
    if (rootOpened_) return;
    if ((!keyExists_ && !registry_->CreateKey(rootKey_)) || !registry_->OpenKey(rootKey_, false))
        throw EcxStorage(Format(cxGetResourceString(scxCantCreateRegistryKey), StorageName()));
    rootOpened_ = true;
}

void TcxRegistryWriter::OpenObjectKey(const std::vector<std::string>& segments, std::size_t count, bool canCreate)
{
    const std::string path = Join(segments, count, '/');
    const std::string key = count == 0 ? rootKey_ : RegistryPath(rootKey_, path);
    if (!registry_->OpenKey(key, canCreate))
        throw EcxStorage(Format(cxGetResourceString(scxCantCreateRegistryKey), RegistryPath(StorageName(), path)));
}

void TcxRegistryWriter::BeginWriteObject(const std::string& objectPath, const std::string& className)
{
    OpenRootKey();
    const std::vector<std::string> segments = SplitPath(objectPath);
    OpenObjectKey(segments, segments.size(), true);
    if (!registry_->OpenKey(kClassNameKey, true))
        throw EcxStorage(Format(cxGetResourceString(scxCantCreateRegistryKey), kClassNameKey));
    registry_->WriteString(kClassNameValue, className);
    OpenObjectKey(segments, segments.size(), false);
}

void TcxRegistryWriter::EndWriteObject(const std::string& objectPath, const std::string&)
{
    const std::vector<std::string> segments = SplitPath(objectPath);
    OpenObjectKey(segments, segments.size() - 1, false);
}

void TcxRegistryWriter::WriteProperty(const std::string&, const std::string&, const std::string& propertyName,
                                      const Variant& value)
{
    switch (VarType(value) & varTypeMask) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte: registry_->WriteInteger(propertyName, value.AsInteger()); break;
    case varSingle:
    case varDouble:
    // Binary values read back as doubles, so currency is stored as one.
    case varCurrency: registry_->WriteFloat(propertyName, value.AsDouble()); break;
    case varDate: registry_->WriteDateTime(propertyName, value.AsDate()); break;
    case varString:
    case varOleStr: registry_->WriteString(propertyName, Quoted(value.AsString())); break;
    case varBoolean: registry_->WriteBool(propertyName, value.AsBoolean()); break;
    default: break;
    }
}

void TcxRegistryWriter::Commit()
{
    registry_->CloseKey();
}

// ---- stream form -------------------------------------------------------------------

TClass TcxStreamPropertyData::StaticClass()
{
    return DefineClass<TcxStreamPropertyData, TObject>("TcxStreamPropertyData");
}

TClass TcxStreamObjectData::StaticClass()
{
    return DefineClass<TcxStreamObjectData, TObject>("TcxStreamObjectData");
}

void TcxStreamObjectData::AddProperty(TcxStreamPropertyData* property)
{
    properties_.emplace_back(property);
}

void TcxStreamObjectData::AddChild(TcxStreamObjectData* child)
{
    children_.emplace_back(child);
}

TcxStreamPropertyData* TcxStreamObjectData::GetProperties(int index) const
{
    return properties_.at(static_cast<std::size_t>(index)).get();
}

TcxStreamObjectData* TcxStreamObjectData::GetChildren(int index) const
{
    return children_.at(static_cast<std::size_t>(index)).get();
}

TcxStreamObjectData* TcxStreamObjectData::FindChild(const std::string& name) const
{
    for (const auto& child : children_)
        if (child->Name == name) return child.get();
    return nullptr;
}

void TcxStreamObjectData::Clear()
{
    properties_.clear();
    children_.clear();
}

namespace {
// The tag of a value the stream form can hold, else 0.
int TagOf(const Variant& value)
{
    switch (VarType(value) & varTypeMask) {
    case varBoolean: return tagBoolean;
    case varByte: return tagChar;
    case varCurrency: return tagCurrency;
    case varDate: return tagDate;
    case varDouble: return tagFloat;
    case varSmallint:
    case varInteger: return tagInteger;
    case varSingle: return tagSingle;
    case varString: return tagString;
    case varOleStr: return tagWideString;
    default: return 0;
    }
}

void WriteTagged(TWriter& writer, const Variant& value)
{
    const int tag = TagOf(value);
    writer.WriteInteger(tag);
    switch (tag) {
    case tagBoolean: writer.WriteBoolean(value.AsBoolean()); break;
    case tagChar: writer.WriteChar(static_cast<char>(value.AsInteger())); break;
    case tagCurrency: writer.WriteCurrency(value.AsCurrency()); break;
    case tagDate: writer.WriteDate(value.AsDate()); break;
    case tagFloat: writer.WriteFloat(value.AsDouble()); break;
    case tagInteger: writer.WriteInteger(value.AsInteger()); break;
    case tagSingle: writer.WriteSingle(static_cast<float>(value.AsDouble())); break;
    case tagString: writer.WriteString(value.AsString()); break;
    case tagWideString: writer.WriteWideString(value.AsString()); break;
    default: break;
    }
}

Variant ReadTagged(TReader& reader)
{
    switch (reader.ReadInteger()) {
    case tagBoolean: return Variant(reader.ReadBoolean());
    case tagChar: return Variant(static_cast<std::uint8_t>(reader.ReadChar()));
    case tagCurrency: return Variant(reader.ReadCurrency());
    case tagDate: return Variant::FromDate(reader.ReadDate());
    case tagFloat: return Variant(reader.ReadFloat());
    case tagInteger: return Variant(static_cast<std::int32_t>(reader.ReadInteger()));
    case tagSingle: return Variant(static_cast<double>(reader.ReadSingle()));
    case tagString: return Variant(reader.ReadString());
    case tagWideString: return Variant::FromOleStr(reader.ReadWideString());
    default:
        // Every value carries its kind, so an unknown tag's value is skipped
        // and the records after it still read.
        reader.SkipValue();
        return {};
    }
}
}  // namespace

void TcxStreamObjectData::Read(TReader& reader)
{
    Read(reader, 0);
}

void TcxStreamObjectData::Read(TReader& reader, int depth)
{
    if (depth > kMaxObjectDepth) throw EReadError("Stored objects are nested too deeply");
    Clear();
    Name = reader.ReadString();
    ClassName = reader.ReadString();
    for (int i = reader.ReadInteger(); i > 0; --i) {
        auto property = MakeObject<TcxStreamPropertyData>();
        property->Name = reader.ReadString();
        property->Value = ReadTagged(reader);
        AddProperty(property.release());
    }
    for (int i = reader.ReadInteger(); i > 0; --i) {
        auto child = MakeObject<TcxStreamObjectData>();
        child->Read(reader, depth + 1);
        AddChild(child.release());
    }
}

void TcxStreamObjectData::Write(TWriter& writer)
{
    writer.WriteString(Name);
    writer.WriteString(ClassName);
    writer.WriteInteger(GetPropertyCount());
    for (const auto& property : properties_) {
        writer.WriteString(property->Name);
        WriteTagged(writer, property->Value);
    }
    writer.WriteInteger(GetChildCount());
    for (const auto& child : children_) child->Write(writer);
}

TClass TcxStreamReader::StaticClass()
{
    return DefineClass<TcxStreamReader, TcxCustomReader>("TcxStreamReader");
}

void TcxStreamReader::SetStream(TStream* stream)
{
    reader_ = MakeObject<TReader>(stream, cxBufferSize);
}

void TcxStreamReader::Read()
{
    root_.reset();
    lastValid_ = false;
    if (!reader_) return;
    auto root = MakeObject<TcxStreamObjectData>();
    root->Read(*reader_);
    root_ = std::move(root);
}

TcxStreamObjectData* TcxStreamReader::FindObject(const std::string& objectPath)
{
    if (lastValid_ && lastPath_ == objectPath) return lastObject_;
    const std::vector<std::string> segments = SplitPath(objectPath);
    TcxStreamObjectData* object = root_.get();
    for (std::size_t i = 1; object && i < segments.size(); ++i) object = object->FindChild(segments[i]);
    if (object && object->Name != segments.back()) object = nullptr;
    lastPath_ = objectPath;
    lastObject_ = object;
    lastValid_ = true;
    return object;
}

void TcxStreamReader::ReadProperties(const std::string& objectPath, const std::string& className, TStrings* names)
{
    TcxCustomReader::ReadProperties(objectPath, className, names);
    TcxStreamObjectData* object = FindObject(objectPath);
    if (!object || !names) return;
    for (int i = 0; i < object->GetPropertyCount(); ++i) names->Add(object->GetProperties(i)->Name);
}

Variant TcxStreamReader::ReadProperty(const std::string& objectPath, const std::string&,
                                      const std::string& propertyName)
{
    TcxStreamObjectData* object = FindObject(objectPath);
    for (int i = 0; object && i < object->GetPropertyCount(); ++i)
        if (object->GetProperties(i)->Name == propertyName) return object->GetProperties(i)->Value;
    return {};
}

void TcxStreamReader::ReadChildren(const std::string& objectPath, const std::string& className,
                                   TStrings* childClassNames, TStrings* childNames)
{
    TcxCustomReader::ReadChildren(objectPath, className, childClassNames, childNames);
    TcxStreamObjectData* object = FindObject(objectPath);
    for (int i = 0; object && i < object->GetChildCount(); ++i) {
        if (childClassNames) childClassNames->Add(object->GetChildren(i)->ClassName);
        if (childNames) childNames->Add(object->GetChildren(i)->Name);
    }
}

TClass TcxStreamWriter::StaticClass()
{
    return DefineClass<TcxStreamWriter, TcxCustomWriter>("TcxStreamWriter");
}

void TcxStreamWriter::SetStream(TStream* stream)
{
    writer_ = MakeObject<TWriter>(stream, cxBufferSize);
}

void TcxStreamWriter::BeginWriteObject(const std::string& objectPath, const std::string& className)
{
    const std::vector<std::string> segments = SplitPath(objectPath);
    if (!root_) {
        current_ = nullptr;
        if (segments.size() != 1) return;
        root_ = MakeObject<TcxStreamObjectData>(objectPath, className);
        current_ = root_.get();
        return;
    }
    TcxStreamObjectData* parent = root_.get();
    for (std::size_t i = 1; parent && i + 1 < segments.size(); ++i) parent = parent->FindChild(segments[i]);
    current_ = nullptr;
    if (!parent) return;
    auto child = MakeObject<TcxStreamObjectData>(segments.back(), className);
    current_ = child.get();
    parent->AddChild(child.release());
}

void TcxStreamWriter::WriteProperty(const std::string&, const std::string&, const std::string& propertyName,
                                    const Variant& value)
{
    // A value without a tag would leave the stream unreadable: it is dropped.
    if (current_ && TagOf(value) != 0) current_->AddProperty(CreateObject<TcxStreamPropertyData>(propertyName, value));
}

void TcxStreamWriter::Write()
{
    if (root_ && writer_) root_->Write(*writer_);
    root_.reset();
    current_ = nullptr;
}

// ---- the storage --------------------------------------------------------------------

TClass TcxStorage::StaticClass()
{
    return DefineClass<TcxStorage, TObject>("TcxStorage");
}

void TcxStorage::RestoreFromIni(TObject* object)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(storageName_, error)) RestoreFrom(object, TcxIniFileReader::StaticClass());
}

void TcxStorage::RestoreFromRegistry(TObject* object)
{
    // Like a missing file, a missing key restores nothing (and so deletes no
    // children).
    if (MakeObject<TRegistry>()->KeyExists(RegistryRoot(storageName_)))
        RestoreFrom(object, TcxRegistryReader::StaticClass());
}

void TcxStorage::RestoreFromStream(TObject* object)
{
    if (!object || !stream_ || stream_->Size() == 0) return;
    auto reader = MakeObject<TcxStreamReader>(storageName_);
    reader->SetStream(stream_);
    RestoreWithExistingReader(object, reader.get());
}

void TcxStorage::RestoreFrom(TObject* object, TcxCustomReaderClass readerClass)
{
    if (!object) return;
    ObjectPtr<TcxCustomReader> reader(CreateInstance<TcxCustomReader>(readerClass, storageName_));
    SetStoredObject(object);
    InternalRestoreFrom(reader.get(), "");
}

void TcxStorage::RestoreWithExistingReader(TObject* object, TcxCustomReader* reader)
{
    if (!object || !reader) return;
    SetStoredObject(object);
    if (auto* streamReader = As<TcxStreamReader>(reader)) streamReader->Read();
    InternalRestoreFrom(reader, "");
}

void TcxStorage::StoreToIni(TObject* object)
{
    StoreTo(object, TcxIniFileWriter::StaticClass());
}

void TcxStorage::StoreToRegistry(TObject* object)
{
    StoreTo(object, TcxRegistryWriter::StaticClass());
}

void TcxStorage::StoreToStream(TObject* object)
{
    if (!object || !stream_) return;
    auto writer = MakeObject<TcxStreamWriter>(storageName_, reCreate_);
    writer->SetStream(stream_);
    StoreWithExistingWriter(object, writer.get());
}

void TcxStorage::StoreTo(TObject* object, TcxCustomWriterClass writerClass)
{
    if (!object) return;
    ObjectPtr<TcxCustomWriter> writer(CreateInstance<TcxCustomWriter>(writerClass, storageName_, reCreate_));
    StoreWithExistingWriter(object, writer.get());
}

void TcxStorage::StoreWithExistingWriter(TObject* object, TcxCustomWriter* writer)
{
    if (!object || !writer) return;
    SetStoredObject(object);
    InternalStoreTo(writer, "");
    writer->Commit();
}

TcxStorageModes TcxStorage::GetStorageModes()
{
    TcxStorageModes modes = modes_;
    if (OnGetStorageModes) OnGetStorageModes(modes);
    return modes;
}

bool TcxStorage::GetUseInterfaceOnly()
{
    bool value = useInterfaceOnly_;
    if (OnGetUseInterfaceOnly) OnGetUseInterfaceOnly(value);
    return value;
}

TComponent* TcxStorage::GetComponentByName(const std::string& name)
{
    TComponent* component = nullptr;
    if (OnGetComponentByName) OnGetComponentByName(name, component);
    return component;
}

bool TcxStorage::TestClassProperty(const std::string& name, TObject* object)
{
    bool result = true;
    if (OnTestClassProperty) OnTestClassProperty(name, object, result);
    return result;
}

std::string TcxStorage::GetObjectName(TObject* object)
{
    if (!object) object = storedObject_;
    if (auto* stored = Supports<IcxStoredObject>(object)) return stored->GetObjectName();
    if (auto* component = As<TComponent>(object)) return component->Name();
    return "Object";
}

void TcxStorage::GetProperties(TStrings* properties)
{
    properties->Clear();
    if (auto* stored = Supports<IcxStoredObject>(storedObject_)) {
        if (stored->GetProperties(properties)) return;
        properties->Clear();
    }
    for (const TPropInfo* prop : GetPropList(storedObject_))
        if (prop->Kind != pkEvent) properties->Add(prop->Name);
}

namespace {
bool IsObjectKind(TPropKind kind)
{
    return kind == pkObject || kind == pkComponent || kind == pkStrings || kind == pkCollection;
}
}  // namespace

void TcxStorage::GetChildren(TStrings* children)
{
    children->Clear();
    if (auto* parent = Supports<IcxStoredParent>(storedObject_)) parent->GetChildren(children);
    if (!GetStorageModes().Contains(smSavePublishedClassProperties)) return;
    if (auto* collection = As<TCollection>(storedObject_))
        for (int i = 0; i < collection->Count(); ++i) children->AddObject(IntToStr(i), collection->Items(i));
    for (const TPropInfo* prop : GetPropList(storedObject_)) {
        if (!IsObjectKind(prop->Kind) || !prop->GetObject) continue;
        TObject* object = prop->GetObject(*storedObject_);
        if (object && TestClassProperty(prop->Name, object)) children->AddObject(prop->Name, object);
    }
}

TObject* TcxStorage::CreateChild(const std::string& objectName, const std::string& className)
{
    TObject* child = nullptr;
    if (auto* parent = Supports<IcxStoredParent>(storedObject_)) child = parent->CreateChild(objectName, className);
    if (!child)
        if (auto* collection = As<TCollection>(storedObject_)) child = collection->Add();
    return child;
}

void TcxStorage::DeleteChild(const std::string& objectName, TObject* object)
{
    if (auto* parent = Supports<IcxStoredParent>(storedObject_)) parent->DeleteChild(objectName, object);
    else if (As<TCollection>(storedObject_) && object) object->Free();
}

namespace {
// Ordinal-indexed names of an enumeration (sets keep their members by ordinal).
std::vector<std::string> OrdinalNames(const TEnumInfo* info)
{
    if (!info) return {};
    std::vector<std::string> names(static_cast<std::size_t>(std::max(info->MinValue, 0)));
    names.insert(names.end(), info->Names.begin(), info->Names.end());
    return names;
}
}  // namespace

bool TcxStorage::GetPublishedValue(const TPropInfo& prop, Variant& value)
{
    if (IsObjectKind(prop.Kind)) {
        if (!saveComponentPropertiesByName_) return false;
        if (auto* component = As<TComponent>(prop.GetObject(*storedObject_))) value = Variant(component->Name());
        return true;
    }
    if (!prop.GetValue) return false;
    const Variant v = prop.GetValue(*storedObject_);
    switch (prop.Kind) {
    case pkInteger:
    case pkChar: value = Variant(v.AsInteger()); return true;
    case pkEnumeration:
        value = Variant(EnumerationToString(v.AsInteger() - (prop.EnumType ? prop.EnumType->MinValue : 0),
                                            prop.EnumType ? prop.EnumType->Names : std::vector<std::string>{}));
        return true;
    case pkBoolean: value = Variant(v.AsBoolean()); return true;
    case pkFloat:
    case pkCurrency: value = Variant(v.AsDouble()); return true;
    case pkString: value = Variant(v.AsString()); return true;
    case pkSet:
        value = Variant(SetToString(static_cast<std::uint32_t>(v.AsInt64()), 4, OrdinalNames(prop.EnumType)));
        return true;
    case pkVariant:
    case pkInt64: value = v; return true;
    default: return false;
    }
}

Variant TcxStorage::GetPropertyValue(const std::string& name)
{
    Variant value;
    const TPropInfo* prop = GetUseInterfaceOnly() ? nullptr : GetPropInfo(storedObject_, name);
    if (!prop || !GetPublishedValue(*prop, value))
        if (auto* stored = Supports<IcxStoredObject>(storedObject_)) stored->GetPropertyValue(name, value);
    if (VarType(value) == varBoolean) value = Variant(value.AsBoolean() ? "True" : "False");
    return value;
}

bool TcxStorage::SetPublishedValue(const TPropInfo& prop, const Variant& value)
{
    if (IsObjectKind(prop.Kind)) {
        if (!saveComponentPropertiesByName_ || !VarIsStr(value) || !prop.ObjectClass ||
            !prop.ObjectClass->InheritsFrom(TComponent::StaticClass()))
            return false;
        TComponent* component = GetComponentByName(value.AsString());
        if (component && prop.SetObject && component->InheritsFrom(prop.ObjectClass))
            prop.SetObject(*storedObject_, component);
        return true;
    }
    if (!prop.GetValue) return false;
    // A property without a setter is stored but not restored.
    if (!prop.SetValue) return true;
    switch (prop.Kind) {
    case pkInteger:
    case pkChar: prop.SetValue(*storedObject_, Variant(value.AsInteger())); return true;
    case pkEnumeration:
        prop.SetValue(*storedObject_, Variant(StringToEnumeration(VarToStr(value), OrdinalNames(prop.EnumType))));
        return true;
    case pkBoolean:
        prop.SetValue(*storedObject_, Variant(VarIsStr(value) ? StringToBoolean(value.AsString()) : value.AsBoolean()));
        return true;
    case pkFloat:
    case pkCurrency: prop.SetValue(*storedObject_, Variant(value.AsDouble())); return true;
    case pkString: prop.SetValue(*storedObject_, Variant(value.AsString())); return true;
    case pkSet: {
        std::uint32_t bits = 0;
        StringToSet(VarToStr(value), bits, 4, OrdinalNames(prop.EnumType));
        prop.SetValue(*storedObject_, Variant(static_cast<long long>(bits)));
        return true;
    }
    case pkVariant:
    case pkInt64: prop.SetValue(*storedObject_, value); return true;
    default: return false;
    }
}

void TcxStorage::SetPropertyValue(const std::string& name, const Variant& value)
{
    if (IsNothing(value)) return;
    const TPropInfo* prop = GetUseInterfaceOnly() ? nullptr : GetPropInfo(storedObject_, name);
    if (!prop || !SetPublishedValue(*prop, value))
        if (auto* stored = Supports<IcxStoredObject>(storedObject_)) stored->SetPropertyValue(name, value);
}

TcxStorage::ObjectNames TcxStorage::NamesOf(const std::string& objectName)
{
    std::string name = objectName.empty() ? GetObjectName() : objectName;
    if (!namePrefix_.empty()) name = namePrefix_ + "." + name;
    return {objectNamePrefix_ + name, storedObject_->ClassName()};
}

ObjectPtr<TcxStorage> TcxStorage::CreateChildStorage(TObject* child, const std::string& fullPath)
{
    if (depth_ >= kMaxObjectDepth) throw EcxStorage("Stored objects are nested too deeply: " + fullPath);
    auto storage = MakeObject<TcxStorage>(storageName_);
    storage->stream_ = stream_;
    storage->storedObject_ = child;
    storage->objectNamePrefix_ = fullPath + "/";
    storage->OnTestClassProperty = OnTestClassProperty;
    storage->OnGetComponentByName = OnGetComponentByName;
    storage->modes_ = modes_;
    storage->saveComponentPropertiesByName_ = saveComponentPropertiesByName_;
    // Interface-only mode holds for the whole tree.
    storage->useInterfaceOnly_ = useInterfaceOnly_;
    storage->OnGetUseInterfaceOnly = OnGetUseInterfaceOnly;
    storage->parentStorage_ = this;
    storage->depth_ = depth_ + 1;
    return storage;
}

bool TcxStorage::IsOnStoredPath(TObject* object) const
{
    for (const TcxStorage* s = this; s; s = s->parentStorage_)
        if (s->storedObject_ == object) return true;
    return false;
}

void TcxStorage::InternalStoreTo(TcxCustomWriter* writer, const std::string& objectName)
{
    const ObjectNames names = NamesOf(objectName);
    writer->BeginWriteObject(names.Path, names.ClassName);
    auto properties = NewList();
    GetProperties(properties.get());
    for (const std::string& property : properties->ToVector()) {
        const Variant value = GetPropertyValue(property);
        if (!IsNothing(value)) writer->WriteProperty(names.Path, names.ClassName, property, value);
    }
    auto children = NewList();
    GetChildren(children.get());
    for (int i = 0; i < children->Count(); ++i) {
        // An object that holds its own ancestor would be stored forever.
        TObject* child = children->Objects(i);
        if (!child || IsOnStoredPath(child)) continue;
        CreateChildStorage(child, names.Path)->InternalStoreTo(writer, children->Get(i));
    }
    writer->EndWriteObject(names.Path, names.ClassName);
}

void TcxStorage::InternalRestoreFrom(TcxCustomReader* reader, const std::string& objectName)
{
    const ObjectNames names = NamesOf(objectName);
    auto properties = NewList();
    reader->ReadProperties(names.Path, names.ClassName, properties.get());
    for (const std::string& property : properties->ToVector()) {
        if (property.empty()) continue;
        SetPropertyValue(property, reader->ReadProperty(names.Path, names.ClassName, property));
    }
    RestoreChildren(reader, names);
}

void TcxStorage::RestoreChildren(TcxCustomReader* reader, const ObjectNames& names)
{
    auto storedClasses = NewList();
    auto storedNames = NewList();
    reader->ReadChildren(names.Path, names.ClassName, storedClasses.get(), storedNames.get());
    auto live = NewList();
    GetChildren(live.get());
    for (int i = 0; i < live->Count(); ++i)
        if (live->Get(i).empty()) live->Put(i, GetObjectName(live->Objects(i)));
    const TcxStorageModes modes = GetStorageModes();
    for (int i = 0; i < storedNames->Count(); ++i) {
        const std::string name = storedNames->Get(i);
        TObject* child = nullptr;
        if (const int index = live->IndexOf(name); index >= 0) {
            child = live->Objects(index);
            live->Delete(index);
        } else if (modes.Contains(smChildrenCreating)) {
            child = CreateChild(name, i < storedClasses->Count() ? storedClasses->Get(i) : std::string());
        }
        if (child && !IsOnStoredPath(child)) CreateChildStorage(child, names.Path)->InternalRestoreFrom(reader, name);
    }
    if (modes.Contains(smChildrenDeleting))
        for (int i = 0; i < live->Count(); ++i) DeleteChild(live->Get(i), live->Objects(i));
}

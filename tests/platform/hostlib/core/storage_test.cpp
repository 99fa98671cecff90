// INI files and the registry store: round trips through their files, case
// rules, typed values and hostile file content.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/registry.h"
#include "platform/hostlib/core/streams.h"

using namespace hostlib;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "hostlib-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadAll(const std::string& file)
{
    std::string s;
    ReadFileBytes(file, s);
    return s;
}

void WriteAll(const std::string& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<std::string> Lines(TStrings* s)
{
    return s->ToVector();
}

class IniTest : public ::testing::Test {
protected:
    TempDir dir_;
    ScopedFormatSettings english_{EnglishFormatSettings()};
};

TEST_F(IniTest, MemIniRoundTripKeepsTypedValues)
{
    const std::string file = dir_.File("a.ini");
    {
        auto ini = MakeObject<TMemIniFile>(file);
        ini->WriteString("General", "Name", "Quelvo  test");
        ini->WriteInteger("General", "Count", -12);
        ini->WriteBool("General", "Enabled", true);
        ini->WriteFloat("Numbers", "Ratio", 0.25);
        ini->WriteDate("Numbers", "When", EncodeDate(2024, 3, 5));
        TMemoryStream bytes(std::vector<std::uint8_t>{0x00, 0xAB, 0x10});
        ini->WriteBinaryStream("Numbers", "Blob", bytes);
        EXPECT_FALSE(fs::exists(file));  // nothing written before UpdateFile
        ini->UpdateFile();
    }
    EXPECT_EQ(ReadAll(file), "[General]\nName=Quelvo  test\nCount=-12\nEnabled=1\n\n[Numbers]\nRatio=0.25\nWhen=3/5/2024\nBlob=00AB10\n");
    auto ini = MakeObject<TMemIniFile>(file);
    EXPECT_EQ(ini->ReadString("general", "NAME", "x"), "Quelvo  test");
    EXPECT_EQ(ini->ReadInteger("General", "Count", 0), -12);
    EXPECT_TRUE(ini->ReadBool("General", "Enabled", false));
    EXPECT_EQ(ini->ReadFloat("Numbers", "Ratio", 0), 0.25);
    EXPECT_EQ(ini->ReadDate("Numbers", "When", 0), EncodeDate(2024, 3, 5));
    TMemoryStream back;
    EXPECT_EQ(ini->ReadBinaryStream("Numbers", "Blob", back), 3);
    EXPECT_EQ(back.Bytes(), (std::vector<std::uint8_t>{0x00, 0xAB, 0x10}));
}

TEST_F(IniTest, DefaultsForMissingAndMalformedValues)
{
    const std::string file = dir_.File("b.ini");
    WriteAll(file, "orphan=1\n; comment\n[S]\nInt=12x\nHex=0x1F\nDollar=$10\nBool=yes\nFloat=1,5\nQuoted=\"q\"\n  Spaced  =  v  \nnoequals\n[s]\nMerged=1\n");
    auto ini = MakeObject<TMemIniFile>(file);
    struct Case {
        std::string key;
        int intValue;
    };
    for (const auto& c : std::vector<Case>{{"Int", 7}, {"Hex", 31}, {"Dollar", 16}, {"Missing", 7}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini->ReadInteger("S", c.key, 7), c.intValue);
    }
    EXPECT_FALSE(ini->ReadBool("S", "Bool", false));
    EXPECT_EQ(ini->ReadFloat("S", "Float", -1), -1);
    EXPECT_EQ(ini->ReadString("S", "Quoted", ""), "\"q\"");  // the in-memory file keeps quotes
    EXPECT_EQ(ini->ReadString("S", "Spaced", ""), "v");
    EXPECT_EQ(ini->ReadString("S", "Merged", ""), "1");  // repeated section merged
    EXPECT_EQ(ini->ReadString("Nowhere", "orphan", "none"), "none");

    auto names = MakeObject<TStringList>();
    ini->ReadSections(names.get());
    EXPECT_EQ(Lines(names.get()), (std::vector<std::string>{"S"}));
    ini->ReadSection("S", names.get());
    EXPECT_EQ(names->Count(), 9);
    EXPECT_EQ(names->Get(7), "noequals");
    ini->ReadSectionValues("s", names.get());
    EXPECT_EQ(names->Values("Hex"), "0x1F");
    EXPECT_TRUE(ini->SectionExists("s"));
    EXPECT_FALSE(ini->SectionExists("t"));
    EXPECT_TRUE(ini->ValueExists("S", "spaced"));
    EXPECT_FALSE(ini->ValueExists("S", "noequals2"));

    ini->DeleteKey("S", "Int");
    EXPECT_FALSE(ini->ValueExists("S", "Int"));
    ini->EraseSection("S");
    EXPECT_FALSE(ini->SectionExists("S"));

    // A file that does not exist is an empty document.
    auto none = MakeObject<TMemIniFile>(dir_.File("missing.ini"));
    EXPECT_EQ(none->ReadString("A", "B", "d"), "d");
    // A value with a line break cannot split the entry.
    none->WriteString("A", "B", "one\ntwo");
    none->UpdateFile();
    auto again = MakeObject<TMemIniFile>(dir_.File("missing.ini"));
    EXPECT_EQ(again->ReadString("A", "B", ""), "one two");
    // Unwritable target: a clear error, no partial file.
    auto bad = MakeObject<TMemIniFile>(dir_.File("no/such/dir/x.ini"));
    bad->WriteString("A", "B", "C");
    EXPECT_THROW(bad->UpdateFile(), EIniFileException);
}

TEST_F(IniTest, IniFileWritesThroughAndDropsQuotes)
{
    const std::string file = dir_.File("c.ini");
    auto ini = MakeObject<TIniFile>(file);
    ini->WriteString("Main", "Title", "\"quoted\"");
    EXPECT_EQ(ReadAll(file), "[Main]\nTitle=\"quoted\"\n");
    EXPECT_EQ(ini->ReadString("Main", "Title", ""), "quoted");
    ini->DeleteKey("Main", "Title");
    EXPECT_EQ(ReadAll(file), "[Main]\n");
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFile(dir_.File("store/registry")); }
    void TearDown() override { SetRegistryStoreFile(dir_.File("unused")); }
    TempDir dir_;
};

TEST_F(RegistryTest, KeysValuesAndPersistence)
{
    {
        auto reg = MakeObject<TRegistry>();
        ASSERT_TRUE(reg->OpenKey("\\Software\\Quelvo\\Layout", true));
        EXPECT_EQ(reg->CurrentPath(), "Software\\Quelvo\\Layout");
        reg->WriteString("Caption", "Tab \"1\"\nline");
        reg->WriteInteger("Width", -5);
        reg->WriteBool("Visible", true);
        reg->WriteFloat("Ratio", 0.75);
        reg->WriteCurrency("Price", Currency::FromScaled(12345));
        const std::uint8_t blob[] = {1, 2, 255};
        reg->WriteBinaryData("Blob", blob, 3);
        ASSERT_TRUE(reg->OpenKey("Columns", true));  // relative to the open key
        ASSERT_TRUE(reg->OpenKey("\\Software\\Quelvo\\Layout\\Bands", true));
        reg->CloseKey();
    }
    // Reload from the file.
    SetRegistryStoreFile(dir_.File("store/registry"));
    auto reg = MakeObject<TRegistry>();
    EXPECT_TRUE(reg->KeyExists("\\software\\QUELVO"));
    EXPECT_FALSE(reg->OpenKey("\\Software\\Other", false));
    ASSERT_TRUE(reg->OpenKeyReadOnly("\\Software\\Quelvo\\Layout"));
    EXPECT_EQ(reg->ReadString("caption"), "Tab \"1\"\nline");
    EXPECT_EQ(reg->ReadInteger("Width"), -5);
    EXPECT_TRUE(reg->ReadBool("Visible"));
    EXPECT_EQ(reg->ReadFloat("Ratio"), 0.75);
    EXPECT_EQ(reg->ReadCurrency("Price").Scaled(), 12345);
    EXPECT_EQ(reg->ReadBinary("Blob"), (std::vector<std::uint8_t>{1, 2, 255}));
    EXPECT_EQ(reg->GetDataType("Width"), rdInteger);
    EXPECT_EQ(reg->GetDataSize("Missing"), -1);
    auto names = MakeObject<TStringList>();
    reg->GetValueNames(names.get());
    EXPECT_EQ(Lines(names.get()), (std::vector<std::string>{"Caption", "Width", "Visible", "Ratio", "Price", "Blob"}));
    reg->GetKeyNames(names.get());
    EXPECT_EQ(Lines(names.get()), (std::vector<std::string>{"Columns", "Bands"}));  // creation order
    EXPECT_TRUE(reg->HasSubKeys());
    EXPECT_THROW(reg->WriteInteger("Width", 1), ERegistryException);  // read-only
}

TEST_F(RegistryTest, ReadErrorsAndDeletion)
{
    auto reg = MakeObject<TRegistry>();
    ASSERT_TRUE(reg->OpenKey("\\A\\B", true));
    reg->WriteString("S", "text");
    reg->WriteInteger("I", 3);
    struct Case {
        std::string what;
        std::function<void()> call;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"missing integer", [&] { reg->ReadInteger("Nope"); }, "Failed to get data for 'Nope'"},
        {"string as integer", [&] { reg->ReadInteger("S"); }, "Invalid data type for 'S'"},
        {"integer as string", [&] { reg->ReadString("I"); }, "Invalid data type for 'I'"},
        {"integer as float", [&] { reg->ReadFloat("I"); }, "Invalid data type for 'I'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE();
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(reg->ReadString("Missing"), "");
    EXPECT_TRUE(reg->DeleteValue("s"));
    EXPECT_FALSE(reg->ValueExists("S"));
    EXPECT_TRUE(reg->CreateKey("\\A\\C"));
    EXPECT_FALSE(reg->CreateKey("\\A\\C"));
    EXPECT_TRUE(reg->DeleteKey("\\A"));  // with everything below it
    EXPECT_FALSE(reg->KeyExists("\\A\\B"));
    EXPECT_EQ(reg->CurrentKey(), nullptr);  // the open key went with it
    EXPECT_FALSE(reg->DeleteKey("\\A"));
    EXPECT_FALSE(reg->OpenKey("bad\x01name", true));
}

TEST_F(RegistryTest, MalformedStoreLinesAreSkipped)
{
    WriteAll(dir_.File("store2"),
             "[0x80000001\\Good]\n\"A\"=sz:one\n\"B\"=dword:notanumber\n\"C\"=hex:ABC\n\"D\"=weird:1\ngarbage\n"
             "[nonsense\\Key]\n\"E\"=sz:lost\n[0x80000001\\Good]\n\"F\"=dword:4294967295\n\"G\"=sz:bad\\q\n");
    SetRegistryStoreFile(dir_.File("store2"));
    auto reg = MakeObject<TRegistry>();
    ASSERT_TRUE(reg->OpenKey("\\Good", false));
    auto names = MakeObject<TStringList>();
    reg->GetValueNames(names.get());
    EXPECT_EQ(Lines(names.get()), (std::vector<std::string>{"A", "F"}));
    EXPECT_EQ(reg->ReadInteger("F"), -1);
    EXPECT_FALSE(reg->KeyExists("\\Key"));
}

}  // namespace

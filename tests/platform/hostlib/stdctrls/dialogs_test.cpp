// File dialogs: patterns and filters, the dialog form driven by keys and
// clicks over a scratch folder, and the responder seam.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/listbox.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/windows/winuser.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

namespace fs = std::filesystem;
using namespace hostlib;
using namespace visualtest;

TEST(FilePatternTest, Matching)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool executable;
        bool match;
    };
    const Case cases[] = {
        {"README", "*.*", false, true},    {"readme", "*", false, true},      {"Photo.JPG", "*.jpg", false, true},
        {"photo.jpeg", "*.jpg", false, false}, {"tool", "*.exe", true, true}, {"tool", "*.exe", false, false},
        {"Setup.EXE", "*.exe", false, true}, {"notes.txt", "*.exe", true, true}, {"x.tar.gz", "*.gz", false, true},
        {"ab", "a?", false, true},         {"abc", "a?", false, false},       {"", "*", false, true},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesFilePattern(c.name, c.pattern, c.executable), c.match) << c.name << " " << c.pattern;

    const auto filters = ParseFileFilter("executables|*.exe;*.com; *.bat|any file|*.*|dangling");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].Name, "executables");
    EXPECT_EQ(filters[0].Patterns, (std::vector<std::string>{"*.exe", "*.com", "*.bat"}));
    EXPECT_TRUE(MatchesFileFilter("RUN.BAT", filters[0], false));
    EXPECT_FALSE(MatchesFileFilter("run.sh", filters[0], false));
    EXPECT_TRUE(ParseFileFilter("").empty());
}

namespace {

class DialogTest : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        char tmpl[] = "/tmp/quelvo-dialog-XXXXXX";
        root = mkdtemp(tmpl);
        Write("notes.txt");
        Write("Tool");
        fs::permissions(root / "Tool", fs::perms::owner_exec, fs::perm_options::add);
        Write("data.BIN");
        Write(".hidden");
        fs::create_directory(root / "sub");
        fs::create_directory(root / ".git");
        Write("sub/inner.txt");
        Write("sub/Other.TXT");
    }
    void TearDown() override
    {
        SetFileDialogResponder(nullptr);
        fs::remove_all(root);
        VisualTest::TearDown();
    }
    void Write(const std::string& name) { std::ofstream(root / name) << "x"; }

    TFileDialogForm* Open(TOpenDialog& dialog)
    {
        auto* form = CreateObject<TFileDialogForm>(static_cast<TComponent*>(nullptr));
        form->Setup(dialog);
        // The dialog keeps its own frame and caption bar: clicks are aimed
        // by the controls' positions inside it.
        form->SetBounds(10, 10, form->Width(), form->Height());
        form->Show();
        Pump();
        return form;
    }
    void TypeName(TFileDialogForm* form, const std::string& text)
    {
        form->NameEdit()->SetText("");
        form->NameEdit()->SetFocus();
        Pump();
        Screen().TypeText(text);
        Key(VK_RETURN);
    }

    fs::path root;
};

}  // namespace

TEST_F(DialogTest, OpenByKeysAndClicks)
{
    auto dialog = MakeObject<TOpenDialog>(nullptr);
    dialog->SetFilter("executables|*.exe;*.com;*.bat|any file|*.*");
    dialog->SetFileName((root / "notes.txt").string());
    TFileDialogForm* form = Open(*dialog);
    EXPECT_EQ(form->Folder(), root.string());
    EXPECT_EQ(form->NameEdit()->Text(), "notes.txt");
    EXPECT_EQ(form->Shown(), (std::vector<std::string>{"../", "sub/", "Tool"}));  // dot files hidden

    // The user picks "any file" in the filter combo.
    form->FilterCombo()->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(form->Shown(), (std::vector<std::string>{"../", "sub/", "data.BIN", "notes.txt", "Tool"}));

    // A typed folder opens, a typed pattern filters (ignoring case).
    TypeName(form, "sub");
    EXPECT_EQ(form->Folder(), (root / "sub").string());
    EXPECT_EQ(form->ModalResult(), mrNone);
    TypeName(form, "*.txt");
    EXPECT_EQ(form->Shown(), (std::vector<std::string>{"../", "inner.txt", "Other.TXT"}));

    // A click on "../" and Enter with no name go up; clicking a file names
    // it; Enter takes it.
    const int rowHeight = static_cast<int>(SendMessageA(form->FileList()->Handle(), LB_GETITEMHEIGHT, 0, 0));
    ClickAt(form->FileList(), 10, rowHeight / 2);
    EXPECT_EQ(form->FileList()->ItemIndex(), 0);
    TypeName(form, "");
    EXPECT_EQ(form->Folder(), root.string());
    const int toolRow = 4;
    const std::vector<std::string> shown = form->Shown();
    ASSERT_EQ(shown.size(), 5u);
    ASSERT_EQ(shown[toolRow], "Tool");
    ClickAt(form->FileList(), 10, toolRow * rowHeight + rowHeight / 2);
    EXPECT_EQ(form->NameEdit()->Text(), "Tool");
    form->NameEdit()->SetFocus();
    Pump();
    Key(VK_RETURN);
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(form->ChosenPath(), (root / "Tool").string());
    EXPECT_EQ(form->ChosenFilterIndex(), 2);
    form->Free();

    // A double click on a folder opens it.
    form = Open(*dialog);
    ASSERT_EQ(form->Shown().at(1), "sub/");
    clock_.Advance(1000);
    Screen().DoubleClick(At(form->FileList(), 10, rowHeight + rowHeight / 2));
    Pump();
    EXPECT_EQ(form->Folder(), (root / "sub").string());
    form->Free();

    // Escape cancels.
    form = Open(*dialog);
    Key(VK_ESCAPE);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    form->Free();
}

TEST_F(DialogTest, SaveAddsTheDefaultExtensionAndAsksBeforeOverwriting)
{
    auto dialog = MakeObject<TSaveDialog>(nullptr);
    dialog->SetInitialDir(root.string());
    dialog->SetDefaultExt(".txt");
    dialog->SetOptions({ofOverwritePrompt});
    TFileDialogForm* form = Open(*dialog);
    EXPECT_EQ(form->Caption(), "Save As");
    EXPECT_EQ(form->Folder(), root.string());
    TypeName(form, "fresh");
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(form->ChosenPath(), (root / "fresh.txt").string());
    EXPECT_TRUE(boxes.empty());
    form->SetModalResult(mrNone);

    // The responder answers OK, not Yes: the existing file is kept.
    TypeName(form, "notes");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("notes.txt already exists"), std::string::npos);
    EXPECT_EQ(form->ModalResult(), mrNone);
    form->Free();
}

TEST_F(DialogTest, ResponderSeamAndPictureFilters)
{
    std::vector<TFileDialogRequest> asked;
    SetFileDialogResponder([&](const TFileDialogRequest& r) -> std::optional<std::string> {
        asked.push_back(r);
        if (r.Title == "cancel me") return std::nullopt;
        return std::string("/opt/tools/run");
    });
    auto dialog = MakeObject<TOpenDialog>(nullptr);
    dialog->SetTitle("Select Application File");
    dialog->SetFilter("executables|*.exe|any file|*.*");
    dialog->SetFileName("/usr/bin/old");
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), "/opt/tools/run");
    dialog->SetTitle("cancel me");
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), "/opt/tools/run");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Title, "Select Application File");
    EXPECT_EQ(asked[0].FileName, "/usr/bin/old");
    EXPECT_EQ(asked[1].FileName, "/opt/tools/run");  // the last choice is the next start
    EXPECT_FALSE(asked[0].Save);

    auto pictures = MakeObject<TOpenPictureDialog>(nullptr);
    EXPECT_FALSE(pictures->Filter().empty());
    const auto filters = ParseFileFilter(pictures->Filter());
    ASSERT_GE(filters.size(), 2u);
    // All formats first, then each.
    EXPECT_GT(filters[0].Patterns.size(), 1u);
    auto savePictures = MakeObject<TSavePictureDialog>(nullptr);
    EXPECT_TRUE(savePictures->IsSave());
    EXPECT_EQ(savePictures->Filter(), pictures->Filter());
}

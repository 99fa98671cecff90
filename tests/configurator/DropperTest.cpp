// Files and folders dropped on a control through the file dropper, over
// its flags; long paths, link loops, and droppers or sites freed first.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "configurator/Dropper.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/windows/x11/dropfiles.h"
#include "tests/common/TempFolder.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

using namespace hostlib;
namespace fs = std::filesystem;

namespace {

const char* const kForm = R"(Window : TForm {
  Left = 10;
  Top = 10;
  Width = 300;
  Height = 200;
  Site : TEdit {
    Left = 8;
    Top = 8;
    Width = 200;
    Height = 21;
  }
  Dropper : TFileDropper {
    DropSite = Site;
  }
})";

struct Reported {
    std::string path;
    int index;
    int total;
};

class DropperTest : public visualtest::VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        RegisterStandardControls();
        RegisterClasses({TForm::StaticClass(), TFileDropper::StaticClass()});
        form = static_cast<TForm*>(CreateFromFormResource(kForm, "dropper.form", Application));
        form->Show();
        Pump();
        site = static_cast<TEdit*>(form->FindComponent("Site"));
        dropper = static_cast<TFileDropper*>(form->FindComponent("Dropper"));
        dropper->OnDrop = TOnDrop::FromFunction([this](TObject* sender, const std::string& path) {
            EXPECT_EQ(sender, dropper);
            reported.push_back({path, dropper->MultiDropIndex(), dropper->MultiDropTotal()});
        });
        // dir: two files, a hidden one, a subfolder with a file and a leaf
        // folder, an empty leaf folder, and a link back up to dir.
        for (const char* file : {"a.txt", "b.txt", "c.txt", "dir/f1.txt", "dir/f2.txt", "dir/.hidden",
                                 "dir/sub/g.txt", "dir/sub/leaf/h.txt"}) {
            fs::create_directories(fs::path(root.File(file)).parent_path());
            root.Write(file, "x");
        }
        fs::create_directory(root.File("dir/empty"));
        fs::create_directory_symlink(root.File("dir"), root.File("dir/sub/loop"));
    }
    void TearDown() override
    {
        if (form) form->Free();
        VisualTest::TearDown();
    }

    bool Drop(const std::vector<std::string>& names)
    {
        std::vector<std::string> paths;
        for (const std::string& n : names) paths.push_back(root.File(n));
        reported.clear();
        const bool posted = quelvo::win::PostDroppedFiles(site->Handle(), paths, POINT{5, 5});
        Pump();
        return posted;
    }
    // The reported paths relative to the root, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Reported& r : reported) names.push_back(r.path.substr(root.Path().size() + 1));
        std::sort(names.begin(), names.end());
        return names;
    }
    void Flags(bool allowDir, bool recurseAll, bool recurseOne, bool onlyDirs, bool onlyLeafs)
    {
        dropper->SetAllowDir(allowDir);
        dropper->SetRecurseAllSubFolders(recurseAll);
        dropper->SetRecurseOneSubFolder(recurseOne);
        dropper->SetOnlyDirs(onlyDirs);
        dropper->SetOnlyLeafs(onlyLeafs);
    }

    TempFolder root;
    TForm* form = nullptr;
    TEdit* site = nullptr;
    TFileDropper* dropper = nullptr;
    std::vector<Reported> reported;
};

TEST_F(DropperTest, EachDroppedItemIsReportedWithItsPlaceInTheDrop)
{
    EXPECT_TRUE(dropper->Hooked());
    EXPECT_TRUE(quelvo::win::AcceptsDroppedFiles(site->Handle()));
    ASSERT_TRUE(Drop({"a.txt", "b.txt", "c.txt"}));
    ASSERT_EQ(reported.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reported[static_cast<std::size_t>(i)].index, i);
        EXPECT_EQ(reported[static_cast<std::size_t>(i)].total, 3);
    }
    EXPECT_EQ(reported[2].path, root.File("c.txt"));
    EXPECT_EQ(quelvo::win::PendingDrops(), 0u) << "every drop is finished";
    // The site's own handling goes on under the dropper.
    site->SetText("still an edit");
    EXPECT_EQ(site->Text(), "still an edit");
}

TEST_F(DropperTest, TheFlagsDecideWhatOfADroppedFolderIsReported)
{
    struct Case {
        const char* what;
        bool allowDir, recurseAll, recurseOne, onlyDirs, onlyLeafs;
        std::vector<std::string> dropped;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"as the window has it", true, false, false, false, false, {"dir"}, {"dir"}},
        {"folders not allowed", false, false, false, false, false, {"a.txt", "dir"}, {"a.txt"}},
        {"one level", true, false, true, false, false, {"dir"}, {"dir/f1.txt", "dir/f2.txt"}},
        {"the whole tree", true, true, false, false, false, {"dir", "a.txt"},
         {"a.txt", "dir/f1.txt", "dir/f2.txt", "dir/sub/g.txt", "dir/sub/leaf/h.txt"}},
        {"leaf folders", true, true, false, true, true, {"dir"}, {"dir/empty", "dir/sub/leaf"}},
        {"every folder", true, true, false, true, false, {"dir"},
         {"dir", "dir/empty", "dir/sub", "dir/sub/leaf", "dir/sub/loop"}},
    };
    for (const Case& c : cases) {
        Flags(c.allowDir, c.recurseAll, c.recurseOne, c.onlyDirs, c.onlyLeafs);
        ASSERT_TRUE(Drop(c.dropped)) << c.what;
        EXPECT_EQ(Names(), c.expected) << c.what;
    }
}

TEST_F(DropperTest, ALongPathArrivesWhole)
{
    std::string relative = "long";
    while (root.Path().size() + relative.size() < 300) relative += "/" + std::string(40, 'd');
    fs::create_directories(root.File(relative));
    relative += "/file.txt";
    root.Write(relative, "x");
    ASSERT_GT(root.File(relative).size(), 300u);
    ASSERT_TRUE(Drop({relative}));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].path, root.File(relative));
}

TEST_F(DropperTest, AFreedDropperGivesTheSiteItsOwnProcedureBack)
{
    const auto before = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(site->Handle(), GWL_WNDPROC));
    dropper->Free();
    dropper = nullptr;
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(site->Handle(), GWL_WNDPROC)), before);
    EXPECT_FALSE(quelvo::win::AcceptsDroppedFiles(site->Handle()));
    EXPECT_FALSE(Drop({"a.txt"})) << "the site takes no drops any more";
    EXPECT_TRUE(reported.empty());
    site->SetText("works");
    EXPECT_EQ(site->Text(), "works");
}

TEST_F(DropperTest, AFreedSiteLeavesTheDropperWithoutOne)
{
    site->Free();
    site = nullptr;
    EXPECT_EQ(dropper->DropSite(), nullptr);
    EXPECT_FALSE(dropper->Hooked());
    dropper->Free();  // nothing of the site is touched
}

}  // namespace

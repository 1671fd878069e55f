// The folder import dialog: its folder list, the import, folder.txt and the
// thumbnails; and the rules it shows and imports by.
#include "import/folder_file.h"
#include "import/form2.h"
#include "import/import_rules.h"
#include "main/form_fixture.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace zembra::testing {
namespace {

namespace fs = std::filesystem;

class Form2Test : public FormTest {
  protected:
    TempDir config;
    std::unique_ptr<Form2> dialog;
    std::vector<std::string> loaded, opened;
    int unloads = 0;
    std::string savedHome;

    void SetUp() override {
        FormTest::SetUp();
        // The tree starts at the home folder: make that an empty folder of ours.
        savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        fs::create_directory(dir / "home");
        ::setenv("HOME", (dir / "home").c_str(), 1);
    }
    void TearDown() override { ::setenv("HOME", savedHome.c_str(), 1); }

    Form2& Open() {
        dialog = std::make_unique<Form2>(form, services);
        dialog->settingsFolder = config / "KVD";
        dialog->Drive1.source = [] { return std::vector<Mount>{{"", "/", "", ""}}; };
        dialog->LoadThumbnail = [this](const std::string& path) {
            loaded.push_back(FileNamePart(path));
            return FittedPicture{std::make_shared<const Surface>(*Surface::Create(2, 1)), 1600,
                                 1200};
        };
        dialog->onUnload = [this] { ++unloads; };
        dialog->OpenPicture = [this](const std::string& path) { opened.push_back(path); };
        dialog->Form_Load();
        return *dialog;
    }
    // A folder of dir holding empty files of these names.
    std::string Folder(const std::string& name, const std::vector<std::string>& files = {}) {
        fs::create_directories(dir / name);
        for (const auto& file : files)
            dir.Write(name + "/" + file);
        return dir / name;
    }
    // The file names in the four slots, "-" for an empty one, then the paging label.
    std::string Page() const {
        std::string out;
        for (const auto& path : dialog->ThumbPaths)
            out += (path.empty() ? "-" : FileNamePart(path)) + " ";
        out += dialog->Label9.Visible() ? "more" : dialog->Label10.Visible() ? "end" : "none";
        return out;
    }
};

TEST_F(Form2Test, AddingFoldersNamesThemSkipsRepeatsAndMovesDown) {
    const std::string parent = Folder("Photos");
    const std::string a = Folder("Photos/Holidays2008");
    Folder("Photos/holidays2008");
    Folder("Photos/Zoo");
    Form2& d = Open();
    d.Dir1.setPath(parent);
    d.Dir1.setListIndex(d.Dir1.ListIndex() + 1); // Holidays2008

    d.Command3.Click();
    EXPECT_EQ(Entries(d.List1), std::vector<std::string>{"Holidays2008"});
    EXPECT_EQ(Entries(d.List2), std::vector<std::string>{a});
    EXPECT_TRUE(d.Command1.Visible());
    EXPECT_TRUE(d.Command4.Visible()); // the new entry is selected
    EXPECT_EQ(d.Dir1.Highlighted(), parent + "/holidays2008");

    d.Dir1.setListIndex(d.Dir1.ListIndex() - 1);
    d.Command3.Click(); // the same folder again: not listed twice, the highlight still moves
    EXPECT_EQ(d.List1.ListCount(), 1);
    d.Command3.Click(); // another letter case is another folder
    d.Command3.Click(); // Zoo, the last entry: the highlight stays
    d.Command3.Click();
    EXPECT_EQ(Entries(d.List1), (std::vector<std::string>{"Holidays2008", "holidays2008", "Zoo"}));
    EXPECT_EQ(d.Dir1.Highlighted(), parent + "/Zoo");

    d.List1.setListIndex(0);
    d.Command4.Click(); // removing the first selects the new first
    EXPECT_EQ(d.List1.ListIndex(), 0);
    EXPECT_EQ(d.List2.List(0), parent + "/holidays2008");
    d.Command4.Click();
    d.Command4.Click(); // removing the only one hides the buttons
    EXPECT_EQ(d.List2.ListCount(), 0);
    EXPECT_FALSE(d.Command4.Visible());
    EXPECT_FALSE(d.Command1.Visible());
    EXPECT_FALSE(d.Label4.Visible());
}

TEST_F(Form2Test, ImportAddsPicturesFolderByFolderAndCloses) {
    const std::string a = Folder("A", {"a.jpg", "b.JPEG", "c.txt", "d.jpg.bak", ".e.jpg"});
    const std::string b = Folder("B", {"z.png", "A.JPG"});
    Folder("A/sub", {"deep.jpg"});
    Add(b + "/z.png"); // listed before the import
    form.shared.ProcessedCount = 5;
    Form2& d = Open();
    for (const auto& folder : {a, b}) {
        d.Dir1.setPath(folder);
        d.Command3.Click();
    }
    d.Command1.Click();

    EXPECT_EQ(Entries(form.List3),
              (std::vector<std::string>{b + "/z.png", a + "/a.jpg", a + "/b.JPEG", b + "/A.JPG"}));
    EXPECT_EQ(Entries(form.List2), (std::vector<std::string>{"z.png", "a.jpg", "b.JPEG", "A.JPG"}));
    EXPECT_EQ(form.shared.PictureCount, 4);
    EXPECT_EQ(form.shared.ProcessedCount, 0);
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 4");
    EXPECT_TRUE(form.Command1.Visible());
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Form2Test, FolderFileRemembersTheFolderAndTheSwitchOrReportsAFailedWrite) {
    const std::string a = Folder("Trip photos", {"p.jpg"});
    Form2& d = Open();
    d.Dir1.setPath(a);
    d.Check1.setValue(1);
    d.Command2.Click();
    EXPECT_EQ(unloads, 1);
    const auto text = Files::Local().ReadAll(config / "KVD/folder.txt");
    ASSERT_TRUE(text);
    EXPECT_EQ(std::string(text->begin(), text->end()),
              "previewfolder=1\r\nlastfolder=" + a + "\r\nlastdrive=/\r\n");

    Form2& reopened = Open();
    EXPECT_EQ(reopened.Check1.Value(), 1);
    EXPECT_EQ(reopened.Dir1.Highlighted(), a);
    EXPECT_EQ(reopened.CurrentFolder, a);

    // A folder file that cannot be written is reported and the dialog still closes.
    reopened.settingsFolder = config.Write("file") + "/KVD";
    reopened.Command2.Click();
    EXPECT_EQ(services.messages, std::vector<std::string>{"Error writing config file"});
    EXPECT_EQ(unloads, 2);
}

TEST_F(Form2Test, PagesCountPositionsOfTheWholeListing) {
    struct Case {
        std::vector<std::string> files;
        std::vector<std::string> pages; // the first page, then after each label click
    };
    const std::vector<std::string> ten = {"p01.jpg", "p02.jpg", "p03.jpg", "p04.jpg", "p05.jpg",
                                          "p06.jpg", "p07.jpg", "p08.jpg", "p09.jpg", "p10.jpg"};
    const Case cases[] = {
        {{"p1.jpg", "p2.jpg", "p3.jpg"}, {"p1.jpg p2.jpg p3.jpg - none"}},
        {{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg"}, {"p1.jpg p2.jpg p3.jpg p4.jpg none"}},
        {ten,
         {"p01.jpg p02.jpg p03.jpg p04.jpg more", "p05.jpg p06.jpg p07.jpg p08.jpg more",
          "p09.jpg p10.jpg - - end", "p01.jpg p02.jpg p03.jpg p04.jpg more"}},
        {{"a.txt", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg"},
         {"b.jpg c.jpg d.jpg e.jpg more", "e.jpg f.jpg g.jpg - end"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = Folder("case" + std::to_string(n++), c.files);
        Form2& d = Open();
        d.Dir1.setPath(folder);
        d.Check1.setValue(1);
        for (const std::string& want : c.pages) {
            EXPECT_EQ(Page(), want) << folder;
            if (d.Label9.Visible())
                d.Label9_Click();
            else if (d.Label10.Visible())
                d.Label10_Click();
        }
    }
    // A 1600 x 1200 picture in slot 2, on whole pixels.
    EXPECT_EQ(dialog->Image1[2]->Left(), 3000);
    EXPECT_EQ(dialog->Image1[2]->Top(), 405);
    EXPECT_EQ(dialog->Image1[2]->Width(), 1335);
    EXPECT_EQ(dialog->Image1[2]->Height(), 1005);
}

TEST_F(Form2Test, SwitchTimerAndDoubleClick) {
    const std::string a = Folder("A", {"1.jpg", "2.jpg"});
    Form2& d = Open();
    d.Dir1.setPath(a);
    for (int i = 0; i < 5; ++i)
        d.Timer1.Tick();
    EXPECT_TRUE(loaded.empty()); // switch off: nothing loads, the timer stops
    EXPECT_FALSE(d.Timer1.Enabled());

    d.Check1.setValue(1);
    EXPECT_EQ(Page(), "1.jpg 2.jpg - - none");
    EXPECT_EQ(d.Frame1.Caption(), "Preview - Double Click Pic to Open");
    d.Image1_DblClick(3);
    EXPECT_TRUE(opened.empty());
    d.Image1_DblClick(1);
    EXPECT_EQ(opened, std::vector<std::string>{a + "/2.jpg"});
    d.Check1.setValue(0);
    EXPECT_EQ(Page(), "- - - - none");
    EXPECT_EQ(d.Frame1.Caption(), "Preview");

    // With the switch on, the first page comes on the third tick after opening,
    // and each picture is decoded once however often it is shown.
    d.Check1.setValue(1);
    d.Command2.Click();
    loaded.clear();
    Form2& reopened = Open();
    reopened.ClearPreviews();
    reopened.Timer1.Tick();
    reopened.Timer1.Tick();
    EXPECT_EQ(Page(), "- - - - none");
    reopened.Timer1.Tick();
    EXPECT_EQ(Page(), "1.jpg 2.jpg - - none");
    EXPECT_EQ(loaded, (std::vector<std::string>{"1.jpg", "2.jpg"}));
}

TEST_F(Form2Test, ClickingAnotherFolderDuringALoadHandsTheSlotsOver) {
    const std::string a = Folder("A", {"a1.jpg", "a2.jpg", "a3.jpg"});
    const std::string b = Folder("B", {"b1.jpg", "b2.jpg"});
    Form2& d = Open();
    d.Dir1.setPath(a);
    bool clicked = false;
    services.onDoEvents = [&] {
        if (loaded.size() == 1 && !clicked) {
            clicked = true;
            d.Dir1.setPath(b); // the user opens B while a1 is shown
        }
    };
    d.Check1.setValue(1);
    EXPECT_EQ(Page(), "b1.jpg b2.jpg - - none");
    EXPECT_EQ(loaded, (std::vector<std::string>{"a1.jpg", "b1.jpg", "b2.jpg"}));
}

TEST_F(Form2Test, UnreadableFolderOrLostDriveLeavesTheDialogUsable) {
    const std::string a = Folder("A", {"a.jpg"});
    const std::string gone = Folder("Gone", {"g.jpg"});
    Form2& d = Open();
    d.Drive1.source = [&] {
        return std::vector<Mount>{{"", "/", "", ""}, {"/dev/x", gone, "", "CARD"}};
    };
    d.Drive1.Refresh();
    d.Dir1.setPath(a);
    d.Check1.setValue(1);
    fs::remove_all(gone);
    d.Drive1.setListIndex(1); // the card was pulled out
    EXPECT_EQ(d.Drive1.Drive(), "/");
    EXPECT_EQ(d.Dir1.Highlighted(), a);

    d.Dir1.setPath(dir.Path());
    fs::remove_all(a);
    d.Dir1.setListIndex(d.Dir1.ListIndex() + 1); // A, deleted meanwhile
    EXPECT_EQ(Page(), "- - - - none");
    d.Command3.Click();
    d.Command1.Click();
    EXPECT_EQ(form.List3.ListCount(), 0);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(unloads, 1);
}

TEST(ImportRules, PictureFilesByExtensionInAnyCase) {
    for (const char* name : {"a.jpg", "b.JPEG", "c.Tif", "d.tiff", "e.PNG", "f.gif", "g.bmp",
                             "h.webp", "i.AVIF", "j.heic", "k.HEIF"})
        EXPECT_TRUE(IsPictureFile(name)) << name;
    for (const char* name :
         {"c.txt", "d.jpg.bak", "jpg", "e.jpe", "f.pngx", "g.heics", "k.wbmp", ""})
        EXPECT_FALSE(IsPictureFile(name)) << name;
}

TEST(ImportRules, FolderDisplayNames) {
    EXPECT_EQ(FolderDisplayName("/photos/Holidays2008"), "Holidays2008");
    EXPECT_EQ(FolderDisplayName("/"), "/");
    // 26 characters: "..." and the last 18.
    EXPECT_EQ(FolderDisplayName("/p/Summer holidays in Crete08"), "...olidays in Crete08");
    EXPECT_EQ(FolderDisplayName("/p/Exactly twenty ch"), "Exactly twenty ch");
}

// Wide pictures are placed in the dialog's own test; upright and square ones fill the
// height and are centred across.
TEST(ImportRules, UprightThumbnailFillsTheHeightAndIsCentredAcross) {
    const ThumbPlacement q = PlaceThumbnail(1, 1200, 1600);
    EXPECT_DOUBLE_EQ(q.height, 1335);
    EXPECT_DOUBLE_EQ(q.width, 1001.25);
    EXPECT_DOUBLE_EQ(q.left, 667 - 500.625 + 1560);
    EXPECT_DOUBLE_EQ(q.top, 240);
}

TEST(FolderFile, KeysMatchExactlyAndInFileOrder) {
    const auto lines = ParseFolderFile("previewfolder=1\r\nLastFolder=/x\r\nlastfolder=/a b\r\n"
                                       "junk\nlastdrive=/ [ROOT]\nlastfolder=");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].key, "previewfolder=");
    EXPECT_EQ(lines[0].value, "1");
    EXPECT_EQ(lines[1].value, "/a b");
    EXPECT_EQ(lines[2].key, "lastdrive=");
    EXPECT_EQ(lines[2].value, "/ [ROOT]");
    EXPECT_EQ(lines[3].value, "");
}

TEST(FolderFile, WholeNumbers) {
    EXPECT_EQ(WholeNumber(" 1 "), 1);
    EXPECT_EQ(WholeNumber("-2"), -2);
    for (const char* bad : {"", "x", "1x", "99999", "1.5"})
        EXPECT_FALSE(WholeNumber(bad)) << bad;
}

} // namespace
} // namespace zembra::testing

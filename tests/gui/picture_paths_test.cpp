// Which paths are pictures, and answers of the open dialog as Form1 reads them.
#include "gui/picture_paths.h"
#include "main/form1.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

struct NameCase {
    const char* name;
    bool picture;
};

class PictureNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PictureNames, AreKnownByTheirExtensionInAnyCase) {
    EXPECT_EQ(IsPictureName(GetParam().name), GetParam().picture) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Table, PictureNames,
                         ::testing::Values(NameCase{"a.jpg", true}, NameCase{"b.JPEG", true},
                                           NameCase{"c.Gif", true}, NameCase{"d.png", true},
                                           NameCase{"e.BMP", true}, NameCase{"f.tif", true},
                                           NameCase{"g.TIFF", true}, NameCase{"h.jpg.bak", false},
                                           NameCase{"i.jpe", false}, NameCase{"jpg", false},
                                           NameCase{".jpg", false}, NameCase{"k.webp", false},
                                           NameCase{"", false}));

TEST(PicturesIn, AreThePictureFilesDirectlyInsideSortedByName) {
    TempDir dir;
    std::filesystem::create_directories(dir / "inner.jpg"); // a folder, whatever its name
    for (const char* name : {"b.jpg", "A.png", "c.TXT", "a.gif", ".hidden.jpg", "inner.jpg/x.jpg"})
        dir.Write(name);
    EXPECT_EQ(PicturesIn(dir.Path()), (Strings{dir / "a.gif", dir / "A.png", dir / "b.jpg"}));
    EXPECT_EQ(PicturesIn(dir.Path() + "/"), PicturesIn(dir.Path()));
    EXPECT_TRUE(PicturesIn(dir / "absent").empty());
}

TEST(ExpandToPictures, KeepsTheOrderGivenAndDropsWhatIsNoPicture) {
    TempDir dir;
    std::filesystem::create_directories(dir / "f");
    for (const char* name : {"f/2.png", "f/1.png", "z.jpg", "readme.txt"})
        dir.Write(name);
    EXPECT_EQ(ExpandToPictures({dir / "z.jpg", dir / "f", dir / "readme.txt"}),
              (Strings{dir / "z.jpg", dir / "f/1.png", dir / "f/2.png"}));
}

// The answers are only right if Form1's "Add Pic(s)" lists exactly the paths.
class OpenAnswers : public ::testing::Test {
  protected:
    ScriptedServices services;
    Form1 form{services};
    void SetUp() override { form.Form_Load(); }

    Strings AddThrough(const Strings& answers) {
        for (const std::string& answer : answers) {
            services.dialogAnswers.push_back(answer);
            form.Command7.Click();
        }
        Strings listed;
        for (int i = 0; i < form.List3.ListCount(); ++i)
            listed.push_back(form.List3.List(i));
        return listed;
    }
};

TEST_F(OpenAnswers, OnePathAnswersItself) {
    EXPECT_EQ(OpenAnswer({"/p/a.jpg"}), "/p/a.jpg");
    EXPECT_EQ(AddThrough({OpenAnswer({"/p/a.jpg"})}), Strings{"/p/a.jpg"});
    EXPECT_EQ(OpenAnswer({}), "");
}

TEST_F(OpenAnswers, PathsOfOneFolderAreListedInOrder) {
    const Strings paths{"/p/b.jpg", "/p/a.jpg", "/p/c d.png"};
    EXPECT_EQ(OpenAnswer(paths), std::string("/p\0b.jpg\0a.jpg\0c d.png", 22));
    EXPECT_EQ(AddThrough({OpenAnswer(paths)}), paths);
}

TEST_F(OpenAnswers, PathsAtTheRootAndInDifferentFoldersStillNameTheirFiles) {
    EXPECT_EQ(AddThrough({OpenAnswer({"/a.jpg", "/b.jpg"})}), (Strings{"/a.jpg", "/b.jpg"}));
    const Strings mixed{"/x/a.jpg", "/y/z/b.jpg"};
    EXPECT_EQ(AddThrough({OpenAnswer(mixed)}),
              (Strings{"/a.jpg", "/b.jpg", "/x/a.jpg", "/y/z/b.jpg"}));
}

TEST_F(OpenAnswers, RunsOfAFolderBecomeOneAnswerEach) {
    const Strings paths{"/p/a.jpg", "/p/b.jpg", "/q/c.jpg", "/p/d.jpg"};
    const Strings answers = OpenAnswersFor(paths);
    EXPECT_EQ(answers.size(), 3u);
    EXPECT_EQ(AddThrough(answers), paths);
}

TEST(DialogNameFilters, PutThePatternsWhereTheDialogReadsThem) {
    EXPECT_EQ(DialogNameFilters("Images Files (*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff)|"
                                "*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff"),
              Strings{"Images Files (*.jpeg *.jpg *.gif *.png *.bmp *.tif *.tiff)"});
    EXPECT_EQ(DialogNameFilters("Pictures|*.png|All Files (*.*)|*.*"),
              (Strings{"Pictures (*.png)", "All Files (*.*)"}));
    EXPECT_TRUE(DialogNameFilters("").empty());
    EXPECT_TRUE(DialogNameFilters("no patterns").empty());
}

} // namespace
} // namespace zembra::testing

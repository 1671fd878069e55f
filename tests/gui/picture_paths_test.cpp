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

TEST(PictureNames, AreKnownByTheirExtensionInAnyCase) {
    for (const char* name : {"a.jpg", "b.JPEG", "c.Gif", "d.png", "e.BMP", "f.tif", "g.TIFF"})
        EXPECT_TRUE(IsPictureName(name)) << name;
    for (const char* name : {"h.jpg.bak", "i.jpe", "jpg", ".jpg", "k.webp", ""})
        EXPECT_FALSE(IsPictureName(name)) << name;
}

TEST(PicturesIn, AreThePictureFilesDirectlyInsideSortedByNameAndExpandedInOrder) {
    TempDir dir;
    std::filesystem::create_directories(dir / "f/inner.jpg"); // a folder, whatever its name
    for (const char* name : {"f/b.jpg", "f/A.png", "f/c.TXT", "f/a.gif", "f/.hidden.jpg",
                             "f/inner.jpg/x.jpg", "z.jpg", "readme.txt"})
        dir.Write(name);
    const Strings inside{dir / "f/a.gif", dir / "f/A.png", dir / "f/b.jpg"};
    EXPECT_EQ(PicturesIn(dir / "f"), inside);
    EXPECT_EQ(PicturesIn(dir / "f/"), inside);
    EXPECT_TRUE(PicturesIn(dir / "absent").empty());
    // Paths given keep their order; what is no picture is dropped.
    Strings expanded{dir / "z.jpg"};
    expanded.insert(expanded.end(), inside.begin(), inside.end());
    EXPECT_EQ(ExpandToPictures({dir / "z.jpg", dir / "f", dir / "readme.txt"}), expanded);
}

// The answers are only right if Form1's "Add Pic(s)" lists exactly the paths.
TEST(OpenAnswers, ListExactlyThePathsThroughAddPictures) {
    EXPECT_EQ(OpenAnswer({}), "");
    EXPECT_EQ(OpenAnswer({"/p/a.jpg"}), "/p/a.jpg");
    EXPECT_EQ(OpenAnswer({"/p/b.jpg", "/p/a.jpg", "/p/c d.png"}),
              std::string("/p\0b.jpg\0a.jpg\0c d.png", 22));
    const Strings cases[] = {{"/p/a.jpg"},
                             {"/p/b.jpg", "/p/a.jpg", "/p/c d.png"},
                             {"/a.jpg", "/b.jpg"},
                             {"/x/a.jpg", "/y/z/b.jpg"}};
    for (const Strings& paths : cases) {
        ScriptedServices services;
        Form1 form{services};
        form.Form_Load();
        services.dialogAnswers.push_back(OpenAnswer(paths));
        form.Command7.Click();
        Strings listed;
        for (int i = 0; i < form.List3.ListCount(); ++i)
            listed.push_back(form.List3.List(i));
        EXPECT_EQ(listed, paths) << paths.front();
    }
    // Runs of one folder become one answer each.
    EXPECT_EQ(OpenAnswersFor({"/p/a.jpg", "/p/b.jpg", "/q/c.jpg", "/p/d.jpg"}),
              (Strings{OpenAnswer({"/p/a.jpg", "/p/b.jpg"}), "/q/c.jpg", "/p/d.jpg"}));
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

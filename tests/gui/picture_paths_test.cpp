// Which names are pictures, and answers of the open dialog as Form1 reads them.
#include "gui/picture_paths.h"
#include "main/form1.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(PictureNames, AreKnownByTheirExtensionInAnyCase) {
    for (const char* name : {"a.jpg", "b.JPEG", "c.Gif", "d.png", "e.BMP", "f.tif", "g.TIFF"})
        EXPECT_TRUE(IsPictureName(name)) << name;
    for (const char* name : {"h.jpg.bak", "i.jpe", "jpg", ".jpg", "k.webp", ""})
        EXPECT_FALSE(IsPictureName(name)) << name;
}

// The answers are only right if Form1's "Add Pic(s)" lists exactly the paths.
TEST(OpenAnswers, ListExactlyThePathsThroughAddPictures) {
    EXPECT_EQ(OpenAnswer({}), "");
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

} // namespace
} // namespace zembra::testing

// "Process All" with the look-ahead, as the window and zembra-batch run it by
// default, against one picture at a time: what the user sees change (list
// suffixes, status lines, preview) and the files left must be the same.
#include "main/lookahead.h"

#include "form_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zembra::testing {
namespace {

namespace fs = std::filesystem;

struct Seen {
    std::vector<std::string> changes; // every visible change, in order
    std::vector<std::string> files;   // name and bytes of each file left
};

Seen RunAll(PixelLookahead* lookahead) {
    ScriptedServices services;
    services.display = true; // the preview is drawn only for a screen
    Form1 form{services};
    TempDir dir;
    form.Lookahead = lookahead;
    form.Form_Load();
    for (const char* name : {"harbour.jpg", "sunset.png", "market.gif", "meadow.jpg"})
        fs::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/" + name, dir / name);
    dir.Write("gone.jpg");
    for (const char* name : {"harbour.jpg", "gone.jpg", "sunset.png", "market.gif", "meadow.jpg"}) {
        services.dialogAnswers.push_back(dir / name);
        form.Command7.Click();
    }
    fs::remove(dir / "gone.jpg");
    form.Check5.setValue(1); // the preview follows the run
    form.Combo2.setListIndex(6);
    form.Text1.setText("Half");
    form.Option3.setValue(true);
    form.VScroll1.setValue(50);

    Seen seen;
    form.List2.subscribe([&](Control&) {
        const int i = form.shared.CurrentIndex;
        if (i >= 0 && i < form.List2.ListCount())
            seen.changes.push_back("list " + form.List2.List(i));
    });
    for (Label* label : {&form.Label3, &form.Label19})
        label->subscribe(
            [&, label](Control&) { seen.changes.push_back("label " + label->Caption()); });
    form.Image1.subscribe([&](Control&) {
        const PictureRef& p = form.Image1.Picture();
        seen.changes.push_back(p ? "preview " + std::to_string(p->Width()) + "x" +
                                       std::to_string(p->Height())
                                 : "preview none");
    });
    form.Command1_Click();
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        std::ifstream in(entry.path(), std::ios::binary);
        seen.files.push_back(entry.path().filename().string() + " " +
                             std::string(std::istreambuf_iterator<char>(in), {}));
    }
    std::sort(seen.files.begin(), seen.files.end());
    return seen;
}

TEST(LookaheadRun, ShowsAndLeavesWhatARunOfOnePictureAtATimeDoes) {
    const Seen serial = RunAll(nullptr);
    PixelLookahead lookahead{3, 2};
    const Seen ahead = RunAll(&lookahead);
    EXPECT_EQ(ahead.changes, serial.changes);
    EXPECT_EQ(ahead.files, serial.files);
    // Four pictures made, one skipped, and the preview followed each picture.
    EXPECT_EQ(serial.files.size(), 8u);
    EXPECT_NE(std::find(serial.changes.begin(), serial.changes.end(), "list gone.jpg --- skipped"),
              serial.changes.end());
    EXPECT_GE(std::count_if(serial.changes.begin(), serial.changes.end(),
                            [](const std::string& c) {
                                return c.starts_with("preview ") && c != "preview none";
                            }),
              4);
}

} // namespace
} // namespace zembra::testing

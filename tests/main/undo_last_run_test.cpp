// "Undo Last Run": offered only between runs and with a run to take back, and
// its message says what was taken back and what was left alone.
#include "main/form1.h"
#include "platform/journalling_files.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

TEST(UndoLastRun, TakesTheLastRunBackAndSaysWhatItLeftAlone) {
    TempDir dir;
    TempDir journals;
    ScriptedServices services;
    JournallingFiles files(Files::Local(), journals.Path());
    Form1 form(services, files);
    form.RunJournals = journals.Path();
    form.Form_Load();
    EXPECT_FALSE(form.Command16.Enabled()) << "no run yet";

    auto run = [&] {
        for (const char* name : {"a.jpg", "b.jpg"}) {
            services.dialogAnswers.push_back(dir.Write(name, name));
            form.Command7.Click();
        }
        bool offeredDuringRun = false;
        services.onDoEvents = [&] {
            offeredDuringRun = offeredDuringRun || form.Command16.Enabled();
        };
        form.Combo2.setListIndex(1);
        form.Text1.setText("trip");
        form.Command1_Click();
        services.onDoEvents = nullptr;
        EXPECT_FALSE(offeredDuringRun);
        EXPECT_TRUE(form.Command16.Enabled());
    };

    run();
    EXPECT_EQ(dir.Listing(), "trip-001.jpg trip-002.jpg");
    form.Command16.Click();
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg");
    EXPECT_EQ(services.messages.back(), "2 steps of the last run undone.");
    EXPECT_FALSE(form.Command16.Enabled()) << "nothing left to undo";

    run(); // the numbering goes on
    ASSERT_EQ(dir.Listing(), "trip-003.jpg trip-004.jpg");
    std::ofstream(dir / "trip-004.jpg", std::ios::app) << "changed";
    form.Command16.Click();
    EXPECT_EQ(dir.Listing(), "a.jpg trip-004.jpg");
    EXPECT_EQ(services.messages.back(), "1 step of the last run undone.\r\n\r\nLeft alone:\r\n" +
                                            (dir / "trip-004.jpg") + ": changed since the run");
}

} // namespace
} // namespace zembra::testing

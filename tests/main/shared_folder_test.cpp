// A run sharing its folder: a name found free is taken by another run before
// the file arrives there.
#include "form_fixture.h"

#include "imaging/codec.h"
#include "imaging/test_pictures.h"

namespace zembra::testing {
namespace {

// Another run writes its own file under the name this run is about to move a
// file to, once for each name in `taken`.
class RacingFiles : public Files {
  public:
    std::vector<std::string> taken;
    bool Rename(const std::string& from, const std::string& to) override {
        Plant(to);
        return Files::Rename(from, to);
    }
    bool Copy(const std::string& from, const std::string& to) override {
        Plant(to);
        return Files::Copy(from, to);
    }

  private:
    void Plant(const std::string& to) {
        const auto name = to.substr(to.rfind('/') + 1);
        if (std::erase(taken, name) > 0)
            Files::Local().WriteAll(to, Bytes{'o', 't', 'h', 'e', 'r'});
    }
};

TEST(SharedFolder, ANameTakenMeanwhileGetsTheDashRuleAgain) {
    const struct {
        int action;
        std::vector<std::string> taken;
        std::string listing;
    } cases[] = {
        {2, {"New-001.jpg"}, "New-001-.jpg New-001.jpg a.jpg"},
        {6, {"New-001.jpg", "New-001-.jpg"}, "New-001--.jpg New-001-.jpg New-001.jpg a.jpg"},
        {5, {"New-001.jpg"}, "New-001-.jpg New-001.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("action " + std::to_string(c.action));
        ScriptedServices services;
        TempDir dir;
        RacingFiles files;
        files.taken = c.taken;
        Form1 run(services, files);
        std::vector<std::string> failures;
        run.onFailure = [&](const std::string& m) { failures.push_back(m); };
        run.Form_Load();
        const Bytes photo = EncodeJpeg(PhotoLike(40, 30), {90}).value();
        ASSERT_TRUE(Files::Local().WriteAll(dir / "a.jpg", photo));
        services.dialogAnswers.push_back(dir / "a.jpg");
        run.Command7.Click();
        run.Combo2.setListIndex(c.action);
        run.Text1.setText("New");
        run.Text2.setText("50");
        run.Command1_Click();

        EXPECT_EQ(dir.Listing(), c.listing);
        // The other run's files are its own still; this run's picture is whole.
        for (const auto& name : c.taken)
            EXPECT_EQ(Files::Local().ReadAll(dir / name), (Bytes{'o', 't', 'h', 'e', 'r'}));
        EXPECT_TRUE(failures.empty()) << failures.front();
        EXPECT_EQ(run.Label3.Caption(), "1 of 1 processed - 0 skipped");
    }
}

} // namespace
} // namespace zembra::testing

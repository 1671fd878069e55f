// Faults that strike the second of three pictures in the middle of a run: the
// picture keeps its original, nothing half-written stays behind, and the third
// picture is processed as if nothing had happened.
#include "form_fixture.h"
#include "imaging/codec.h"
#include "imaging/test_pictures.h"

#include <filesystem>

namespace zembra::testing {
namespace {

enum class Fault { ReadOnlyFolder, FullDisk, SourceVanishes };

// The local files, failing as `fault` says while the form works on picture 1.
class FaultyFiles : public Files {
  public:
    FaultyFiles(Fault fault, std::string victim) : fault_(fault), victim_(std::move(victim)) {}
    void Watch(const Form1& form) { form_ = &form; }

    bool Exists(const std::string& path) const override {
        // Gone just after the run saw it: between listing and loading.
        if (fault_ == Fault::SourceVanishes && path == victim_ && Files::Exists(path)) {
            std::filesystem::remove(path);
            return true;
        }
        return Files::Exists(path);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return !Refuses(false) && Files::Rename(from, to);
    }
    bool Copy(const std::string& from, const std::string& to) override {
        return !Refuses(true) && Files::Copy(from, to);
    }
    bool Remove(const std::string& path) override { return !Refuses(false) && Files::Remove(path); }
    Disposal ReplaceOriginal(const std::string& from, const std::string& to) override {
        return Refuses(false) ? Disposal::Failed : Files::ReplaceOriginal(from, to);
    }
    Disposal Discard(const std::string& path) override {
        return Refuses(false) ? Disposal::Failed : Files::Discard(path);
    }
    bool WriteAll(const std::string& path, const Bytes& bytes) override {
        return !Refuses(true) && Files::WriteAll(path, bytes);
    }

  private:
    // A read-only folder refuses every change; a full disk only what needs space.
    bool Refuses(bool needsSpace) const {
        if (form_ == nullptr || form_->shared.CurrentIndex != 1)
            return false;
        return fault_ == Fault::ReadOnlyFolder || (fault_ == Fault::FullDisk && needsSpace);
    }

    Fault fault_;
    const Form1* form_ = nullptr;
    std::string victim_;
};

Bytes Photo(int width) {
    return EncodeJpeg(PhotoLike(width, 30), {90}).value();
}

// What each action makes of the third picture: a file with its very bytes, a file
// it was resized into, and the name it left.
struct ThirdPicture {
    int action;
    const char* copied;
    const char* resized;
    const char* gone;
};

TEST(Faults, ThePictureHitKeepsItsOriginalAndTheRunGoesOn) {
    const ThirdPicture cases[] = {{2, "New-003.jpg", nullptr, nullptr},
                                  {3, nullptr, "c.jpg", nullptr},
                                  {5, nullptr, "New-003.jpg", "c.jpg"},
                                  {6, nullptr, "New-003.jpg", nullptr},
                                  {7, "New-003.jpg", "(R)New-003.jpg", nullptr}};
    for (Fault fault : {Fault::ReadOnlyFolder, Fault::FullDisk, Fault::SourceVanishes}) {
        for (const ThirdPicture& third : cases) {
            SCOPED_TRACE("fault " + std::to_string(int(fault)) + ", action " +
                         std::to_string(third.action));
            ScriptedServices services;
            TempDir dir;
            FaultyFiles files(fault, dir / "b.jpg");
            Form1 run(services, files);
            files.Watch(run);
            run.Form_Load();
            const Bytes a = Photo(40), b = Photo(41), c = Photo(42);
            for (auto [name, bytes] : {std::pair{"a.jpg", &a}, {"b.jpg", &b}, {"c.jpg", &c}}) {
                ASSERT_TRUE(Files::Local().WriteAll(dir / name, *bytes));
                services.dialogAnswers.push_back(dir / name);
                run.Command7.Click();
            }
            run.Combo2.setListIndex(third.action);
            run.Text1.setText("New");
            run.Text2.setText("50");
            run.Command1_Click();

            const std::string listing = dir.Listing();
            EXPECT_EQ(listing.find(".~zembra"), std::string::npos) << listing;
            // On a full disk the original of action 7 still takes its new name:
            // a rename needs no room.
            if (fault == Fault::FullDisk && third.action == 7) {
                EXPECT_EQ(Files::Local().ReadAll(dir / "New-002.jpg"), b) << listing;
            } else if (fault != Fault::SourceVanishes) {
                EXPECT_EQ(Files::Local().ReadAll(dir / "b.jpg"), b) << listing;
            }
            // The third picture was processed as the first was.
            if (third.copied) {
                EXPECT_EQ(Files::Local().ReadAll(dir / third.copied), c) << listing;
            }
            if (third.resized) {
                const auto resized = Files::Local().ReadAll(dir / third.resized);
                EXPECT_TRUE(resized && *resized != c) << listing;
            }
            if (third.gone) {
                EXPECT_FALSE(Files::Local().Exists(dir / third.gone)) << listing;
            }
            EXPECT_EQ(run.shared.ProcessedCount + run.shared.SkippedCount, 3);
        }
    }
}

} // namespace
} // namespace zembra::testing

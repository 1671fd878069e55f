// The plan of "Process All": every picture named and checked as the run would,
// in list order, against the folder as the earlier rows will have left it.
#include "main/form1.h"
#include "main/picture_naming.h"

#include "imaging/codec.h"
#include "imaging/gdiplus.h"
#include "platform/steps.h"
#include "platform/text.h"

namespace zembra {

namespace {

// The format an output's extension selects, empty when no encoder writes it.
std::string FormatFor(const std::string& output) {
    const std::string pattern = "*" + UCase(ExtensionOf(output));
    for (const Codec& codec : Codecs()) {
        if (codec.encode == nullptr)
            continue;
        for (const auto& piece : Split(std::string(codec.patterns), ";")) {
            if (UCase(piece) == pattern)
                return std::string(codec.formatName);
        }
    }
    return {};
}

// What the naming and the run keep between pictures, put back after planning so
// that the real run numbers its pictures as the plan did.
struct NamingState {
    explicit NamingState(Form1& f)
        : form(f), shared(f.shared), dates(f.List1.Items()), index(f.shared.CurrentIndex) {}
    ~NamingState() {
        const int kept = index;
        form.shared = shared;
        form.List1.Clear();
        for (const auto& date : dates)
            form.List1.AddItem(date);
        form.shared.CurrentIndex = kept;
    }
    NamingState(const NamingState&) = delete;
    NamingState& operator=(const NamingState&) = delete;
    Form1& form;
    const SharedValues shared;
    const std::vector<std::string> dates;
    const int index;
};

} // namespace

// The output's pixel size as the resize will give it: the source's size, from
// its header where the format keeps it there (else the picture is decoded),
// turned upright where asked.
void Form1::planSize(PicturePlan& row) {
    constexpr std::size_t kHeader = 256 * 1024;
    row.format = FormatFor(row.output);
    if (row.format.empty()) {
        row.reason = "no format writes " + UCase(ExtensionOf(row.output)) + " files";
        return;
    }
    const auto head = files_.ReadHead(row.source, kHeader);
    auto size = head ? StoredPictureSize(*head) : std::nullopt;
    if (!size) {
        std::string why;
        cGdiPlus gdip([&](const ImagingError& e) { why = e.Text(); }, files_);
        const auto rows = gdip.FilenameToRows(row.source);
        if (!rows) {
            row.reason = "cannot be read (" + why + ")";
            return;
        }
        size = StoredSize{rows->Width(), rows->Height()};
    }
    int w = size->width;
    int h = size->height;
    if (uprightOrientation(row.source) >= 5)
        std::swap(w, h);
    if (const auto pixels = TargetPixels(sizeRule(), w, h)) {
        row.width = pixels->width;
        row.height = pixels->height;
    }
}

std::vector<PicturePlan> Form1::PlanRun() {
    const NamingState kept(*this);
    PlannedNames names;
    planned_ = &names;
    std::vector<PicturePlan> rows;
    // The row that freed a name, for the rows that take it later: both must be
    // carried out in order, so they share a group.
    std::map<std::string, int> freedBy;
    try {
        for (int i = 0; i < List3.ListCount(); ++i) {
            shared.CurrentIndex = i;
            const std::string path = List3.List(i);
            PicturePlan row;
            if (!files_.Exists(path)) {
                row.index = i;
                row.source = path;
                row.action = Combo2.ListIndex();
                row.skipped = true;
                row.reason = "not found";
            } else {
                DecideConversion(path);
                row = planpicture(path);
            }
            const auto [bytes, modified] = SourceStamp(path);
            row.sourceBytes = bytes;
            row.sourceModified = modified;
            row.group = i;
            for (const auto& target : row.Targets()) {
                names.created.insert(target);
                names.freed.erase(target);
                if (const auto at = freedBy.find(target); at != freedBy.end())
                    row.group = rows[static_cast<std::size_t>(at->second)].group;
            }
            if (!row.skipped && row.original != PicturePlan::Original::Kept &&
                row.output != row.source) {
                names.freed.insert(path);
                freedBy[path] = i;
            }
            if (!row.skipped && row.action >= 3)
                Step([&] { planSize(row); });
            rows.push_back(std::move(row));
        }
    } catch (...) {
        planned_ = nullptr;
        throw;
    }
    planned_ = nullptr;
    return rows;
}

// "Preview Names": what "Process All" would do with each picture, checked as a
// run checks the job first; nothing is touched.
void Form1::Command17_Click() {
    if (!ValidateJob(false))
        return;
    const std::vector<PicturePlan> rows = PlanRun();
    if (ShowPlan)
        ShowPlan(rows);
}

std::string Form1::SkipReasonOf(int index) const {
    const auto at = skipReasons_.find(index);
    return at == skipReasons_.end() ? std::string() : at->second;
}

} // namespace zembra

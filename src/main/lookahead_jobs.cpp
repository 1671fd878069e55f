// The pictures of "Process All" whose pixel work a look-ahead can do: those the
// chosen action resizes without a watermark, with the output's extension and
// quality as each picture's own turn will decide them.
#include "main/conversion_decision.h"
#include "main/form1.h"
#include "main/lookahead.h"
#include "main/picture_naming.h"

#include "platform/text.h"

#include <cmath>

namespace zembra {

std::vector<LookaheadJob> Form1::lookaheadJobs() const {
    const int action = Combo2.ListIndex();
    // Pictures turned upright are turned in their own turn.
    if (!Lookahead || Check6.Value() != 0 || Check8.Value() == 1 || action < 3 || action > 7)
        return {};
    const int quality = static_cast<int>(std::nearbyint(NumericValue(Text5.Text())));
    std::vector<LookaheadJob> jobs;
    for (int i = 0; i < List3.ListCount(); ++i) {
        const std::string path = List3.List(i);
        const std::string ext = ExtensionOf(path);
        if (!IsSupportedExtension(ext))
            continue;
        const ConversionDecision d = DecideConversionFor(path, Combo4.ListIndex(), action, {});
        // Outputs that carry the source's EXIF block inside are made in turn.
        const bool exifInside = d.TargetExtension == ".WEBP" || d.TargetExtension == ".AVIF";
        if (d.ConversionPending && exifInside && d.SourceIsJpeg && Check3.Value() == 1)
            continue;
        jobs.push_back({i, path, d.ConversionPending ? d.TargetExtension : ext,
                        d.SourceIsJpeg ? quality - 5 : quality});
    }
    return jobs;
}

} // namespace zembra

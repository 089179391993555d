// Fuzz target: the score service's decoder of a daily submission's form body. Beyond not
// crashing, a body that decodes must hold a real date, a name and a version within their
// limits and a time in range: what the replay and the store rely on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/DailyRequest.h"
#include "server/ScoreRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const TDecodedDaily d = DecodeDailySubmission(body);
    if (!d.Submission) {
        if (d.Error.empty()) std::abort();
        return 0;
    }
    const TDailySubmission& s = *d.Submission;
    if (!ParseDailyDate(DailyDateText(s.Plan))) std::abort();
    const int64_t nameChars = PrintableCharCount(s.Name);
    if (nameChars < 1 || nameChars > static_cast<int64_t>(kMaxNameChars)) std::abort();
    if (s.Version.empty() || s.Version.size() > 32) std::abort();
    if (s.Hundredths < 1 || s.Hundredths > kMaxDailyHundredths || s.Log.empty()) std::abort();
    return 0;
}

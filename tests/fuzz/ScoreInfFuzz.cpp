// libFuzzer entry for the score service's decoder of submission values: any bytes as "inf".
// Beyond not crashing, a value that decodes must satisfy the checks the store relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/ScoreRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view inf(reinterpret_cast<const char*>(data), size);
    const TDecodedInf decoded = DecodeScoreInf(inf);
    if (decoded.Error != TInfError::None) return 0;
    const TScoreFields& f = decoded.Fields;
    const int64_t nameChars = PrintableCharCount(f.Name);
    if (nameChars < 1 || nameChars > static_cast<int64_t>(kMaxNameChars)) std::abort();
    if (PrintableCharCount(f.Extra) < 0 ||
        PrintableCharCount(f.Extra) > static_cast<int64_t>(kMaxExtraChars)) {
        std::abort();
    }
    if (f.Score < 0 || f.Score > kMaxScore || f.Token.empty()) std::abort();
    return 0;
}

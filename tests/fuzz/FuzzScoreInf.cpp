// Fuzz target: the score service's decoder of submission values. Each input is tried twice:
// as the "inf" value itself (the bytes a client may send), and as a score text that is
// padded and encoded the way the game does it, so that mutations reach the field parser
// instead of stopping at the alphabet check. Beyond not crashing, a value that decodes must
// satisfy the checks the store relies on, and the fields built into a new score text by the
// game's own builder must decode to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/ScoreText.h"
#include "common/TextCode.h"
#include "server/ScoreRequest.h"

namespace {
void CheckAccepted(const TScoreFields& f) {
    const int64_t nameChars = PrintableCharCount(f.Name);
    if (nameChars < 1 || nameChars > static_cast<int64_t>(kMaxNameChars)) std::abort();
    const int64_t extraChars = PrintableCharCount(f.Extra);
    if (extraChars < 0 || extraChars > static_cast<int64_t>(kMaxExtraChars)) std::abort();
    if (f.Score < 0 || f.Score > kMaxScore || f.Token.empty()) std::abort();
    if (f.Token.size() > kMaxTokenLength) std::abort();
}

void Check(std::string_view inf) {
    const TDecodedInf decoded = DecodeScoreInf(inf);
    if (decoded.Error != TInfError::None) return;
    const TScoreFields& f = decoded.Fields;
    CheckAccepted(f);
    const TDecodedInf again =
        DecodeScoreInf(EncodeScoreText(BuildScoreText(f.Name, f.Score, f.Token, f.Extra)));
    if (again.Error != TInfError::None || again.Fields.Name != f.Name ||
        again.Fields.Score != f.Score || again.Fields.Token != f.Token ||
        again.Fields.Extra != f.Extra)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    Check(EncodeScoreText(PadToMultiple(std::string(bytes), 5, '0')));
    return 0;
}

// Fuzz target: the key log's decoder, which the score service runs on every daily submission.
// Each input is tried as the text a client sends and, deflated and encoded as the game does,
// as the inflated payload, so that mutations reach the run-length reader instead of stopping
// at the alphabet or the inflater. A log that decodes must keep to the limits and survive
// another encoding unchanged.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/Base64Url.h"
#include "world/KeyLog.h"

namespace {
constexpr int32_t kMaxFrames = 20000;
constexpr size_t kMaxBytes = 16 * 1024;

void Check(std::string_view text) {
    const auto log = TKeyLog::Decode(text, kMaxFrames, kMaxBytes);
    if (!log) return;
    if (log->Frames() < 0 || log->Frames() > kMaxFrames) std::abort();
    for (int32_t i = 0; i < log->Frames(); ++i)
        if ((log->At(i) & ~keybit::All) != 0) std::abort();
    const auto again = TKeyLog::Decode(log->Encode(), kMaxFrames, 1 << 20);
    if (!again || !(*again == *log)) std::abort();
}

std::string Packed(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  1) != Z_OK)
        return {};
    out.resize(size);
    return Base64UrlEncode(out);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    Check(Packed(bytes));
    return 0;
}

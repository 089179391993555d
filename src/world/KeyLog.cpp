#include "world/KeyLog.h"

#include <zlib.h>

#include "common/Base64Url.h"
#include "platform/KeyCodes.h"
#include "world/Globals.h"

namespace {
// The first byte of the inflated payload; a later layout gets another number.
constexpr uint8_t kLayout = 1;
// A run is its byte and its length as a varint of at most five bytes.
constexpr size_t kMaxRunBytes = 6;

void PutVarint(std::string& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

bool GetVarint(std::string_view in, size_t& at, uint32_t& v) {
    v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (at >= in.size()) return false;
        const uint8_t b = static_cast<uint8_t>(in[at++]);
        v |= static_cast<uint32_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

std::string Deflate(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
              Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

// Inflates at most `limit` bytes; a stream that would give more, or is damaged or cut short,
// gives nothing. The limit is what keeps a small hostile text from growing into gigabytes.
std::optional<std::string> Inflate(std::string_view packed, size_t limit) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::string out(limit + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const size_t produced = out.size() - z.avail_out;
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole || produced > limit) return std::nullopt;
    out.resize(produced);
    return out;
}
}  // namespace

uint8_t KeyBitsFromTables() {
    uint8_t bits = 0;
    if (KeyTables.Held[vk::Up] != 0) bits |= keybit::Up;
    if (KeyTables.Held[vk::Down] != 0) bits |= keybit::Down;
    if (KeyTables.Held[vk::Left] != 0) bits |= keybit::Left;
    if (KeyTables.Held[vk::Right] != 0) bits |= keybit::Right;
    if (KeyTables.Held[vk::Space] != 0 || KeyTables.Held[vk::Control] != 0) bits |= keybit::Skid;
    if (KeyTables.Released[vk::Up] != 0) bits |= keybit::UpReleased;
    if (KeyTables.Released[vk::Down] != 0) bits |= keybit::DownReleased;
    return bits;
}

void ApplyKeyBits(uint8_t bits) {
    const auto set = [](uint8_t& cell, bool on) { cell = on ? 1 : 0; };
    set(KeyTables.Held[vk::Up], (bits & keybit::Up) != 0);
    set(KeyTables.Held[vk::Down], (bits & keybit::Down) != 0);
    set(KeyTables.Held[vk::Left], (bits & keybit::Left) != 0);
    set(KeyTables.Held[vk::Right], (bits & keybit::Right) != 0);
    set(KeyTables.Held[vk::Space], (bits & keybit::Skid) != 0);
    KeyTables.Held[vk::Control] = 0;
    set(KeyTables.Released[vk::Up], (bits & keybit::UpReleased) != 0);
    set(KeyTables.Released[vk::Down], (bits & keybit::DownReleased) != 0);
    for (int32_t key : {vk::Left, vk::Right, vk::Space, vk::Control}) KeyTables.Released[key] = 0;
}

void TKeyLog::Add(uint8_t keyBits) {
    Keys.push_back(static_cast<uint8_t>(keyBits & keybit::All));
}

uint8_t TKeyLog::At(int32_t frame) const {
    if (frame < 0 || frame >= Frames()) return 0;
    return Keys[static_cast<size_t>(frame)];
}

std::string TKeyLog::Encode() const {
    std::string raw(1, static_cast<char>(kLayout));
    PutVarint(raw, static_cast<uint32_t>(Keys.size()));
    for (size_t i = 0; i < Keys.size();) {
        size_t j = i;
        while (j < Keys.size() && Keys[j] == Keys[i]) ++j;
        raw.push_back(static_cast<char>(Keys[i]));
        PutVarint(raw, static_cast<uint32_t>(j - i));
        i = j;
    }
    return Base64UrlEncode(Deflate(raw));
}

std::optional<TKeyLog> TKeyLog::Decode(std::string_view text, int32_t maxFrames, size_t maxBytes) {
    if (maxFrames < 0 || text.size() > maxBytes) return std::nullopt;
    const std::optional<std::string> packed = Base64UrlDecode(text);
    if (!packed) return std::nullopt;
    const size_t limit = 1 + 5 + kMaxRunBytes * static_cast<size_t>(maxFrames);
    const std::optional<std::string> raw = Inflate(*packed, limit);
    if (!raw || raw->empty() || static_cast<uint8_t>((*raw)[0]) != kLayout) return std::nullopt;
    size_t at = 1;
    uint32_t frames = 0;
    if (!GetVarint(*raw, at, frames) || frames > static_cast<uint32_t>(maxFrames))
        return std::nullopt;
    TKeyLog log;
    log.Keys.reserve(frames);
    while (at < raw->size()) {
        const uint8_t bits = static_cast<uint8_t>((*raw)[at++]);
        uint32_t run = 0;
        if ((bits & ~keybit::All) != 0 || !GetVarint(*raw, at, run) || run == 0 ||
            run > frames - log.Keys.size())
            return std::nullopt;
        log.Keys.insert(log.Keys.end(), run, bits);
    }
    if (log.Keys.size() != frames) return std::nullopt;
    return log;
}

#include "world/KeyLog.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "common/Base64Url.h"
#include "platform/KeyCodes.h"
#include "world/Globals.h"
#include "world/Random.h"

namespace {
constexpr int32_t kMaxFrames = 100000;
constexpr size_t kMaxBytes = 64 * 1024;

// A log the way a driver makes one: keys held for stretches of a few to a hundred frames.
TKeyLog DrivenLog(int32_t frames, uint64_t seed) {
    TRandom r;
    r.Seed(seed);
    TKeyLog log;
    while (log.Frames() < frames) {
        const uint8_t bits = static_cast<uint8_t>(r.Below(128));
        for (int32_t n = 1 + r.Below(100); n > 0 && log.Frames() < frames; --n) log.Add(bits);
    }
    return log;
}

// A payload in the log's text form, for damaged logs the encoder would never make.
std::string PackRaw(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
    out.resize(size);
    return Base64UrlEncode(out);
}
}  // namespace

TEST(KeyLog, RoundTripsEveryKindOfLog) {
    TKeyLog empty;
    TKeyLog single;
    single.Add(keybit::Up | keybit::Left);
    TKeyLog everyValue;
    for (int v = 0; v < 128; ++v) everyValue.Add(static_cast<uint8_t>(v));
    TKeyLog longRun;
    for (int i = 0; i < kMaxFrames; ++i) longRun.Add(keybit::Up);
    for (const TKeyLog* log : {&empty, &single, &everyValue, &longRun}) {
        const auto back = TKeyLog::Decode(log->Encode(), kMaxFrames, kMaxBytes);
        ASSERT_TRUE(back.has_value()) << log->Frames();
        EXPECT_EQ(*back, *log);
    }
    for (uint64_t seed : {1u, 2u, 3u}) {
        const TKeyLog log = DrivenLog(20000, seed);
        EXPECT_EQ(TKeyLog::Decode(log.Encode(), kMaxFrames, kMaxBytes), log);
    }
}

TEST(KeyLog, ARaceOfAFewThousandFramesFitsInAFewKilobytes) {
    // Five thousand frames is close to a minute of racing.
    const std::string text = DrivenLog(5000, 7).Encode();
    EXPECT_LT(text.size(), 2048u);
    // Text-safe: goes into a form field and a file line as it stands.
    EXPECT_EQ(
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
        std::string::npos);
}

TEST(KeyLog, ReadsNoKeyOutsideTheLogAndKeepsBitSevenClear) {
    TKeyLog log;
    log.Add(0xFF);
    EXPECT_EQ(log.At(0), keybit::All);
    EXPECT_EQ(log.At(-1), 0);
    EXPECT_EQ(log.At(1), 0);
}

TEST(KeyLog, RefusesLogsPastTheLimits) {
    const TKeyLog log = DrivenLog(3000, 5);
    const std::string text = log.Encode();
    EXPECT_TRUE(TKeyLog::Decode(text, 3000, text.size()).has_value());
    EXPECT_FALSE(TKeyLog::Decode(text, 2999, kMaxBytes).has_value());
    EXPECT_FALSE(TKeyLog::Decode(text, kMaxFrames, text.size() - 1).has_value());
    EXPECT_FALSE(TKeyLog::Decode(text, -1, kMaxBytes).has_value());
}

TEST(KeyLog, RefusesDamagedTexts) {
    const std::string text = DrivenLog(3000, 9).Encode();
    std::string flipped = text;
    flipped[text.size() / 2] = flipped[text.size() / 2] == 'A' ? 'B' : 'A';
    const struct {
        const char* Name;
        std::string Text;
    } cases[] = {
        {"empty", ""},
        {"cut short", text.substr(0, text.size() - 4)},
        {"cut to one character past a group", text.substr(0, 4 * (text.size() / 4) - 3)},
        {"a character changed", flipped},
        {"not base64url", text.substr(0, 8) + "+/" + text.substr(10)},
        {"padding", text + "=="},
        {"wrong layout", PackRaw(std::string("\x02\x01\x00\x01", 4))},
        {"bit seven set", PackRaw(std::string("\x01\x01\x80\x01", 4))},
        {"a run of zero", PackRaw(std::string("\x01\x01\x00\x00\x00\x01", 6))},
        {"runs past the count", PackRaw(std::string("\x01\x02\x00\x03", 4))},
        {"runs short of the count", PackRaw(std::string("\x01\x04\x00\x03", 4))},
        {"a run without its length", PackRaw(std::string("\x01\x01\x00", 3))},
        {"a varint that never ends", PackRaw(std::string("\x01\xff\xff\xff\xff\xff\x01", 7))},
        {"no frame count", PackRaw(std::string("\x01", 1))},
        {"nothing inflated", PackRaw("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(TKeyLog::Decode(c.Text, kMaxFrames, kMaxBytes).has_value());
    }
}

// A few hundred bytes that inflate to megabytes stop at the frame limit's worth of bytes.
TEST(KeyLog, RefusesAPayloadThatInflatesPastTheFrameLimit) {
    std::string raw("\x01\x05", 2);
    raw += std::string(8 * 1024 * 1024, '\0');
    const std::string bomb = PackRaw(raw);
    ASSERT_LT(bomb.size(), kMaxBytes);
    EXPECT_FALSE(TKeyLog::Decode(bomb, kMaxFrames, kMaxBytes).has_value());
}

TEST(KeyLog, KeyTablesAndBitsConvertBothWays) {
    ClearKeyTables();
    EXPECT_EQ(KeyBitsFromTables(), 0);
    KeyTables.Held[vk::Control] = 1;
    EXPECT_EQ(KeyBitsFromTables(), keybit::Skid);
    KeyTables.Held[vk::Up] = KeyTables.Released[vk::Down] = 1;
    // Releases of keys that do not cut the thrust are not part of the byte.
    KeyTables.Released[vk::Left] = 1;
    EXPECT_EQ(KeyBitsFromTables(), keybit::Skid | keybit::Up | keybit::DownReleased);
    for (int v = 0; v < 128; ++v) {
        ApplyKeyBits(static_cast<uint8_t>(v));
        ASSERT_EQ(KeyBitsFromTables(), v);
        ASSERT_EQ(KeyTables.Held[vk::Control], 0);
        ASSERT_EQ(KeyTables.Released[vk::Left], 0);
    }
    ClearKeyTables();
}

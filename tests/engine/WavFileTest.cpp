// Decoding WAVE files: the sample formats the game can meet, and damaged files that must be
// refused without reading past the end.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/WavFile.h"

namespace {
void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Tag(std::vector<uint8_t>& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}

// A RIFF file of the given chunks (tag, body), padded as the format asks.
std::vector<uint8_t> Riff(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    std::vector<uint8_t> body;
    for (const auto& [tag, data] : chunks) {
        Tag(body, tag.c_str());
        Put32(body, static_cast<uint32_t>(data.size()));
        body.insert(body.end(), data.begin(), data.end());
        if (data.size() % 2) body.push_back(0);
    }
    std::vector<uint8_t> b;
    Tag(b, "RIFF");
    Put32(b, static_cast<uint32_t>(body.size() + 4));
    Tag(b, "WAVE");
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, static_cast<uint16_t>(channels * bits / 8));
    Put16(f, bits);
    return f;
}

// A valid file of three 16-bit stereo frames.
std::vector<uint8_t> Stereo16() {
    TPcmSound s;
    s.Channels = 2;
    s.Rate = 22050;
    s.Samples = {100, -100, 32767, -32768, 0, 7};
    return EncodeWav16(s);
}
}  // namespace

TEST(WavFile, EncodesAndDecodes16BitStereo) {
    TPcmSound out;
    std::string error;
    ASSERT_TRUE(DecodeWav(Stereo16(), out, error)) << error;
    EXPECT_EQ(out.Channels, 2);
    EXPECT_EQ(out.Rate, 22050);
    EXPECT_EQ(out.Frames(), 3);
    EXPECT_EQ(out.Samples, (std::vector<int16_t>{100, -100, 32767, -32768, 0, 7}));
}

TEST(WavFile, Decodes8BitMonoAroundTheMiddle) {
    const auto bytes = Riff({{"fmt ", Fmt(1, 1, 8000, 8)}, {"data", {128, 255, 0}}});
    TPcmSound out;
    std::string error;
    ASSERT_TRUE(DecodeWav(bytes, out, error)) << error;
    EXPECT_EQ(out.Channels, 1);
    EXPECT_EQ(out.Rate, 8000);
    EXPECT_EQ(out.Samples, (std::vector<int16_t>{0, 127 * 256, -128 * 256}));
}

TEST(WavFile, SkipsOtherChunksIncludingOddSizedOnes) {
    std::vector<uint8_t> data;
    Put16(data, 1234);
    const auto bytes =
        Riff({{"LIST", {1, 2, 3}}, {"fmt ", Fmt(1, 1, 44100, 16)}, {"junk", {}}, {"data", data}});
    TPcmSound out;
    std::string error;
    ASSERT_TRUE(DecodeWav(bytes, out, error)) << error;
    EXPECT_EQ(out.Samples, (std::vector<int16_t>{1234}));
}

TEST(WavFile, AcceptsTheExtensibleHeaderForPcm) {
    std::vector<uint8_t> fmt = Fmt(0xFFFE, 1, 48000, 16);
    Put16(fmt, 22);  // extension size
    Put16(fmt, 16);  // valid bits
    Put32(fmt, 4);   // channel mask
    Put16(fmt, 1);   // sub-format: PCM, then the rest of the GUID
    for (int i = 0; i < 14; ++i) fmt.push_back(0);
    std::vector<uint8_t> data;
    Put16(data, static_cast<uint16_t>(-5));
    TPcmSound out;
    std::string error;
    ASSERT_TRUE(DecodeWav(Riff({{"fmt ", fmt}, {"data", data}}), out, error)) << error;
    EXPECT_EQ(out.Samples, (std::vector<int16_t>{-5}));
    EXPECT_EQ(out.Rate, 48000);
}

TEST(WavFile, RefusesDamagedFiles) {
    const std::vector<uint8_t> good = Stereo16();
    // Offsets in the good file: "fmt " chunk at 12 (body at 20), "data" chunk at 36 (body 44).
    struct TCase {
        const char* Name;
        std::function<void(std::vector<uint8_t>&)> Damage;
    };
    const TCase cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"truncated header", [](auto& b) { b.resize(10); }},
        {"bad magic", [](auto& b) { b[0] = 'X'; }},
        {"not WAVE", [](auto& b) { b[8] = 'A'; }},
        {"format size past the end", [](auto& b) { b[17] = 0x7F; }},
        {"cut inside the format chunk", [](auto& b) { b.resize(30); }},
        {"format too short", [](auto& b) { b[16] = 8; }},
        {"compressed", [](auto& b) { b[20] = 2; }},
        {"no channels", [](auto& b) { b[22] = 0; }},
        {"six channels", [](auto& b) { b[22] = 6; }},
        {"24-bit", [](auto& b) { b[34] = 24; }},
        {"zero rate", [](auto& b) { b[24] = b[25] = b[26] = b[27] = 0; }},
        {"block size disagrees", [](auto& b) { b[32] = 3; }},
        {"no format chunk", [](auto& b) { std::memcpy(&b[12], "abcd", 4); }},
        {"no data chunk", [](auto& b) { std::memcpy(&b[36], "abcd", 4); }},
        {"data before format",
         [](auto& b) {
             std::vector<uint8_t> swapped(b.begin(), b.begin() + 12);
             swapped.insert(swapped.end(), b.begin() + 36, b.end());
             swapped.insert(swapped.end(), b.begin() + 12, b.begin() + 36);
             b = swapped;
         }},
    };
    for (const TCase& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.Damage(bytes);
        TPcmSound out;
        std::string error;
        // Decoding from an exact-size heap copy lets the sanitizers see any read past the end.
        std::vector<uint8_t> exact(bytes.begin(), bytes.end());
        EXPECT_FALSE(DecodeWav(exact.data(), exact.size(), out, error)) << c.Name;
        EXPECT_FALSE(error.empty()) << c.Name;
        EXPECT_TRUE(out.Samples.empty()) << c.Name;
    }
}

// A file cut short, or whose sample chunk claims more than the file holds, plays the whole
// frames that are there.
TEST(WavFile, ShortSampleChunkPlaysTheSamplesThatAreThere) {
    const std::vector<uint8_t> good = Stereo16();  // three frames, samples from offset 44
    struct TCase {
        const char* Name;
        std::function<void(std::vector<uint8_t>&)> Damage;
        std::vector<int16_t> Expected;
    };
    const TCase cases[] = {
        {"data size past the end", [](auto& b) { b[40] = 0xFF; }, {100, -100, 32767, -32768, 0, 7}},
        {"data size of 4 GB",
         [](auto& b) { b[40] = b[41] = b[42] = b[43] = 0xFF; },
         {100, -100, 32767, -32768, 0, 7}},
        {"cut inside the last frame",
         [](auto& b) { b.resize(b.size() - 3); },
         {100, -100, 32767, -32768}},
        {"cut inside the first sample", [](auto& b) { b.resize(45); }, {}},
        {"cut right after the chunk header", [](auto& b) { b.resize(44); }, {}},
    };
    for (const TCase& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.Damage(bytes);
        TPcmSound out;
        std::string error;
        std::vector<uint8_t> exact(bytes.begin(), bytes.end());
        ASSERT_TRUE(DecodeWav(exact.data(), exact.size(), out, error)) << c.Name << ": " << error;
        EXPECT_EQ(out.Samples, c.Expected) << c.Name;
        EXPECT_EQ(out.Channels, 2) << c.Name;
        EXPECT_EQ(out.Rate, 22050) << c.Name;
    }
}

TEST(WavFile, MissingFileIsAnErrorNotACrash) {
    TPcmSound out;
    std::string error;
    EXPECT_FALSE(LoadWavFile("/nonexistent/velkaro/none.wav", out, error));
    EXPECT_FALSE(error.empty());
}

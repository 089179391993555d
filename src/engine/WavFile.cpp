#include "engine/WavFile.h"

#include <cstring>
#include <new>

#include "engine/FileRead.h"

namespace {
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int32_t kMaxRate = 384000;

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct TWavFormat {
    uint16_t Tag = 0;
    int32_t Channels = 0;
    int32_t Rate = 0;
    int32_t BlockAlign = 0;
    int32_t Bits = 0;
};

bool ParseFormat(const uint8_t* p, uint32_t size, TWavFormat& fmt, std::string& error) {
    if (size < 16) {
        error = "format chunk too short";
        return false;
    }
    fmt.Tag = Read16(p);
    fmt.Channels = Read16(p + 2);
    const uint32_t rate = Read32(p + 4);
    fmt.BlockAlign = Read16(p + 12);
    fmt.Bits = Read16(p + 14);
    // The extensible header names the real format in the first two bytes of its GUID.
    if (fmt.Tag == kFormatExtensible) {
        if (size < 40) {
            error = "extensible format chunk too short";
            return false;
        }
        fmt.Tag = Read16(p + 24);
    }
    if (fmt.Tag != kFormatPcm) {
        error = "not uncompressed PCM";
        return false;
    }
    if (fmt.Channels < 1 || fmt.Channels > 2) {
        error = "unsupported channel count";
        return false;
    }
    if (fmt.Bits != 8 && fmt.Bits != 16) {
        error = "unsupported sample size";
        return false;
    }
    if (rate < 1 || rate > kMaxRate) {
        error = "unsupported rate";
        return false;
    }
    fmt.Rate = static_cast<int32_t>(rate);
    if (fmt.BlockAlign != fmt.Channels * fmt.Bits / 8) {
        error = "inconsistent block size";
        return false;
    }
    return true;
}

void ConvertSamples(const uint8_t* p, uint32_t size, const TWavFormat& fmt, TPcmSound& out) {
    const size_t frames = size / static_cast<uint32_t>(fmt.BlockAlign);
    const size_t count = frames * static_cast<size_t>(fmt.Channels);
    out.Samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (fmt.Bits == 8) {
            // 8-bit WAVE samples are unsigned around 128.
            out.Samples[i] = static_cast<int16_t>((static_cast<int32_t>(p[i]) - 128) * 256);
        } else {
            out.Samples[i] = static_cast<int16_t>(Read16(p + 2 * i));
        }
    }
}
}  // namespace

bool DecodeWav(const uint8_t* data, size_t size, TPcmSound& out, std::string& error) {
    out = TPcmSound{};
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    // The RIFF size may be wrong in files written by streaming tools; only the bytes that
    // are really there are read.
    TWavFormat fmt;
    bool haveFormat = false;
    size_t pos = 12;
    while (size - pos >= 8) {
        const uint8_t* chunk = data + pos;
        uint32_t chunkSize = Read32(chunk + 4);
        const size_t bodyAt = pos + 8;
        const bool isData = std::memcmp(chunk, "data", 4) == 0;
        // Samples cut short are still samples: the ones that are there are played.
        if (isData && chunkSize > size - bodyAt) chunkSize = static_cast<uint32_t>(size - bodyAt);
        if (chunkSize > size - bodyAt) {
            error = "chunk runs past the end of the file";
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!ParseFormat(data + bodyAt, chunkSize, fmt, error)) return false;
            haveFormat = true;
        } else if (isData) {
            if (!haveFormat) {
                error = "sample data before the format";
                return false;
            }
            try {
                ConvertSamples(data + bodyAt, chunkSize, fmt, out);
            } catch (const std::bad_alloc&) {
                out = TPcmSound{};
                error = "not enough memory for the samples";
                return false;
            }
            out.Channels = fmt.Channels;
            out.Rate = fmt.Rate;
            return true;
        }
        // Chunks are padded to an even size; a missing pad byte at the very end is harmless.
        pos = bodyAt + chunkSize + (chunkSize & 1u);
        if (pos > size) break;
    }
    error = haveFormat ? "no sample data" : "no format chunk";
    return false;
}

bool DecodeWav(const std::vector<uint8_t>& bytes, TPcmSound& out, std::string& error) {
    return DecodeWav(bytes.data(), bytes.size(), out, error);
}

bool LoadWavFile(const std::string& path, TPcmSound& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, TFileKind::Sound, bytes, error)) return false;
    return DecodeWav(bytes, out, error);
}

namespace {
void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFFu);
    Put16(b, v >> 16);
}
void PutTag(std::vector<uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> EncodeWav16(const TPcmSound& sound) {
    const auto dataBytes = static_cast<uint32_t>(sound.Samples.size() * 2);
    const auto channels = static_cast<uint32_t>(sound.Channels);
    const auto rate = static_cast<uint32_t>(sound.Rate);
    std::vector<uint8_t> b;
    b.reserve(44 + dataBytes + 1);
    PutTag(b, "RIFF");
    Put32(b, 4 + 24 + 8 + dataBytes + (dataBytes & 1u));
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, kFormatPcm);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * 2);
    Put16(b, channels * 2);
    Put16(b, 16);
    PutTag(b, "data");
    Put32(b, dataBytes);
    for (int16_t s : sound.Samples) Put16(b, static_cast<uint16_t>(s));
    return b;
}

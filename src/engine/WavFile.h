// Decoding of RIFF/WAVE sound files into TPcmSound: 16-bit samples, interleaved, one or two
// channels, at the file's own rate. Accepts uncompressed PCM (also in the extensible header)
// with 8- or 16-bit samples. Files are untrusted: every chunk size is checked against the
// bytes that are there, and anything malformed is reported, never read past. A sample chunk
// that runs past the end of the file (a file cut short) gives the whole frames that are there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TPcmSound {
    std::vector<int16_t> Samples;  // Frames * Channels values, interleaved
    int32_t Channels = 0;          // 1 or 2
    int32_t Rate = 0;              // frames a second
    int64_t Frames() const {
        return Channels > 0 ? static_cast<int64_t>(Samples.size()) / Channels : 0;
    }
};

// Decodes a whole file held in memory. False (with error set to the reason) on bad input.
bool DecodeWav(const uint8_t* data, size_t size, TPcmSound& out, std::string& error);
bool DecodeWav(const std::vector<uint8_t>& bytes, TPcmSound& out, std::string& error);
// Reads (engine/FileRead.h, as a sound file) and decodes a file from disk.
bool LoadWavFile(const std::string& path, TPcmSound& out, std::string& error);

// The bytes of a 16-bit PCM WAVE file holding sound (used by the sound generator and tests).
std::vector<uint8_t> EncodeWav16(const TPcmSound& sound);

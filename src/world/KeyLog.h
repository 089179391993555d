// The key log of a race: the state of the driving keys at each simulation frame, one byte per
// frame. The game records it from the key tables at the start of each race step; a replay
// writes each byte back into the key tables before the same step, so the car sees exactly what
// it saw when the race was driven. With the race's seed it reproduces the race frame for frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bits of one frame's byte. Held keys are what the car drives by; the two releases matter
// because a released accelerator or brake also cuts the thrust at once. The steering and
// skid releases only clear their held bit, which the next frame's byte already shows.
namespace keybit {
constexpr uint8_t Up = 1u << 0;
constexpr uint8_t Down = 1u << 1;
constexpr uint8_t Left = 1u << 2;
constexpr uint8_t Right = 1u << 3;
constexpr uint8_t Skid = 1u << 4;  // Space or Control held
constexpr uint8_t UpReleased = 1u << 5;
constexpr uint8_t DownReleased = 1u << 6;
// Bit 7 is never set; a log with it is refused.
constexpr uint8_t All = 0x7F;
}  // namespace keybit

// The byte for the key tables as they are now.
uint8_t KeyBitsFromTables();
// Puts a frame's byte into the key tables (Skid as Space; Control and every other release
// cleared), as a replay does before each step. The game does the same with the byte it has
// just recorded, so game and replay run the same step on the same tables.
void ApplyKeyBits(uint8_t bits);

class TKeyLog {
public:
    void Add(uint8_t keyBits);
    int32_t Frames() const { return static_cast<int32_t>(Keys.size()); }
    // The byte of a frame; 0 (no key) outside the log.
    uint8_t At(int32_t frame) const;
    // Run lengths, deflated, in base64url: a few hundred bytes for a few thousand frames.
    std::string Encode() const;
    // Nothing when the text is longer than maxBytes, is not base64url, does not inflate, holds
    // more than maxFrames frames, runs past or short of its frame count, or has bit 7 set.
    static std::optional<TKeyLog> Decode(std::string_view text, int32_t maxFrames, size_t maxBytes);

    bool operator==(const TKeyLog&) const = default;

private:
    std::vector<uint8_t> Keys;
};

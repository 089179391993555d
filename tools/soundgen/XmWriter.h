// Writes Extended Module (.xm) files: the module header with its order list, packed
// patterns, and instruments of one 16-bit sample each with a volume envelope. Only what
// every XM player understands is written: linear frequencies, no extended features.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr uint8_t kXmKeyOff = 97;

struct TXmCell {
    uint8_t Note = 0;        // 1 = C-0 ... 96 = B-7, 97 = key off, 0 = none
    uint8_t Instrument = 0;  // 1-based, 0 = none
    uint8_t Volume = 0;      // volume column: 0x10 + 0..64 sets the volume, 0 = none
    uint8_t Effect = 0;
    uint8_t Param = 0;
    bool Empty() const { return (Note | Instrument | Volume | Effect | Param) == 0; }
};

struct TXmPattern {
    int32_t Rows = 64;
    int32_t Channels = 0;
    std::vector<TXmCell> Cells;  // row-major
    TXmPattern(int32_t rows, int32_t channels)
        : Rows(rows), Channels(channels), Cells(static_cast<size_t>(rows * channels)) {}
    TXmCell& At(int32_t row, int32_t channel) {
        return Cells.at(static_cast<size_t>(row * Channels + channel));
    }
};

struct TXmEnvelope {
    std::vector<std::pair<uint16_t, uint16_t>> Points;  // (tick, value 0..64), at most 12
    int32_t Sustain = -1;                               // point index, -1 = none
};

struct TXmSample {
    std::string Name;
    std::vector<int16_t> Data;
    uint32_t LoopStart = 0;   // in samples
    uint32_t LoopLength = 0;  // 0 = no loop
    uint8_t Volume = 64;
    int8_t Finetune = 0;  // 1/128 of a semitone
    uint8_t Panning = 128;
    int8_t RelativeNote = 0;
};

struct TXmInstrument {
    std::string Name;
    TXmSample Sample;
    TXmEnvelope VolumeEnvelope;
    uint16_t Fadeout = 0;
    uint8_t VibratoType = 0, VibratoSweep = 0, VibratoDepth = 0, VibratoRate = 0;
};

struct TXmModule {
    std::string Name;
    int32_t Channels = 8;
    uint16_t Speed = 6;  // ticks per row
    uint16_t Bpm = 125;
    uint16_t Restart = 0;
    std::vector<uint8_t> Order;
    std::vector<TXmPattern> Patterns;
    std::vector<TXmInstrument> Instruments;
};

// Sets a sample's relative note and finetune so that note C-4 sounds middle C, given the
// rate it was made at and the pitch it was made with (pitchHz 0: play C-4 at rate, as drums).
void TuneSample(TXmSample& sample, double rate, double pitchHz);

std::vector<uint8_t> WriteXm(const TXmModule& module);

#include "XmWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
constexpr double kMiddleC = 261.6255653;
// The rate at which a sample plays note C-4 with no transposition.
constexpr double kXmBaseRate = 8363.0;

class TBytes {
public:
    void U8(uint32_t v) { B.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // Fixed-width text, padded with the given byte.
    void Text(const std::string& s, size_t width, uint8_t pad = 0) {
        for (size_t i = 0; i < width; ++i) U8(i < s.size() ? static_cast<uint8_t>(s[i]) : pad);
    }
    void Zeros(size_t n) { B.insert(B.end(), n, 0); }
    size_t Size() const { return B.size(); }
    void Patch16(size_t at, uint32_t v) {
        B[at] = static_cast<uint8_t>(v & 0xFF);
        B[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    std::vector<uint8_t> B;
};

void WriteHeader(TBytes& b, const TXmModule& m) {
    b.Text("Extended Module: ", 17);
    b.Text(m.Name, 20);
    b.U8(0x1A);
    b.Text("Velkaro soundgen", 20);
    b.U16(0x0104);
    b.U32(276);  // header size, counted from this field
    b.U16(static_cast<uint32_t>(m.Order.size()));
    b.U16(m.Restart);
    b.U16(static_cast<uint32_t>(m.Channels));
    b.U16(static_cast<uint32_t>(m.Patterns.size()));
    b.U16(static_cast<uint32_t>(m.Instruments.size()));
    b.U16(1);  // linear frequency table
    b.U16(m.Speed);
    b.U16(m.Bpm);
    for (size_t i = 0; i < 256; ++i) b.U8(i < m.Order.size() ? m.Order[i] : 0);
}

void WritePattern(TBytes& b, const TXmPattern& p) {
    b.U32(9);
    b.U8(0);
    b.U16(static_cast<uint32_t>(p.Rows));
    const size_t sizeAt = b.Size();
    b.U16(0);
    const size_t start = b.Size();
    for (const TXmCell& c : p.Cells) {
        // Packed cells: a flag byte says which of the five fields follow.
        uint8_t mask = 0x80;
        if (c.Note) mask |= 0x01;
        if (c.Instrument) mask |= 0x02;
        if (c.Volume) mask |= 0x04;
        if (c.Effect) mask |= 0x08;
        if (c.Param) mask |= 0x10;
        b.U8(mask);
        if (c.Note) b.U8(c.Note);
        if (c.Instrument) b.U8(c.Instrument);
        if (c.Volume) b.U8(c.Volume);
        if (c.Effect) b.U8(c.Effect);
        if (c.Param) b.U8(c.Param);
    }
    const size_t packed = b.Size() - start;
    if (packed > 0xFFFF) throw std::runtime_error("pattern too large");
    b.Patch16(sizeAt, static_cast<uint32_t>(packed));
}

void WriteEnvelope(TBytes& b, const TXmEnvelope& e) {
    for (size_t i = 0; i < 12; ++i) {
        b.U16(i < e.Points.size() ? e.Points[i].first : 0);
        b.U16(i < e.Points.size() ? e.Points[i].second : 0);
    }
}

void WriteInstrument(TBytes& b, const TXmInstrument& ins) {
    const TXmSample& s = ins.Sample;
    const TXmEnvelope& vol = ins.VolumeEnvelope;
    if (vol.Points.size() > 12) throw std::runtime_error("too many envelope points");
    b.U32(263);
    b.Text(ins.Name, 22);
    b.U8(0);
    b.U16(1);
    b.U32(40);
    b.Zeros(96);  // every note plays sample 0
    WriteEnvelope(b, vol);
    WriteEnvelope(b, TXmEnvelope{});
    b.U8(static_cast<uint32_t>(vol.Points.size()));
    b.U8(0);
    b.U8(static_cast<uint32_t>(std::max(0, vol.Sustain)));
    b.U8(0);
    b.U8(0);
    b.Zeros(3);  // panning sustain and loop
    uint8_t volumeType = vol.Points.empty() ? 0 : 1;
    if (vol.Sustain >= 0) volumeType |= 2;
    b.U8(volumeType);
    b.U8(0);
    b.U8(ins.VibratoType);
    b.U8(ins.VibratoSweep);
    b.U8(ins.VibratoDepth);
    b.U8(ins.VibratoRate);
    b.U16(ins.Fadeout);
    b.Zeros(22);

    // The sample header: lengths in bytes, 16-bit data.
    const bool looped = s.LoopLength > 0;
    b.U32(static_cast<uint32_t>(s.Data.size() * 2));
    b.U32(looped ? s.LoopStart * 2 : 0);
    b.U32(looped ? s.LoopLength * 2 : 0);
    b.U8(s.Volume);
    b.U8(static_cast<uint8_t>(s.Finetune));
    b.U8((looped ? 1 : 0) | 0x10);
    b.U8(s.Panning);
    b.U8(static_cast<uint8_t>(s.RelativeNote));
    b.U8(0);
    b.Text(s.Name, 22);
    // Sample data is stored as differences from the previous sample.
    int16_t previous = 0;
    for (int16_t v : s.Data) {
        b.U16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
        previous = v;
    }
}
}  // namespace

void TuneSample(TXmSample& sample, double rate, double pitchHz) {
    const double ratio =
        pitchHz > 0 ? rate * kMiddleC / (pitchHz * kXmBaseRate) : rate / kXmBaseRate;
    const double semitones = 12.0 * std::log2(ratio);
    int relative = static_cast<int>(std::lround(semitones));
    int finetune = static_cast<int>(std::lround((semitones - relative) * 128.0));
    finetune = std::clamp(finetune, -128, 127);
    relative = std::clamp(relative, -96, 95);
    sample.RelativeNote = static_cast<int8_t>(relative);
    sample.Finetune = static_cast<int8_t>(finetune);
}

std::vector<uint8_t> WriteXm(const TXmModule& m) {
    if (m.Order.empty() || m.Order.size() > 256 || m.Patterns.size() > 256 ||
        m.Instruments.size() > 128 || m.Channels < 1 || m.Channels > 32) {
        throw std::runtime_error("module out of the format's limits");
    }
    TBytes b;
    WriteHeader(b, m);
    for (const TXmPattern& p : m.Patterns) WritePattern(b, p);
    for (const TXmInstrument& ins : m.Instruments) WriteInstrument(b, ins);
    return b.B;
}

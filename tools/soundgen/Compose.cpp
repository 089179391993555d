#include "Compose.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {
constexpr int kRows = 64;
constexpr int kBar = 16;

struct TChord {
    int Root = 0;                // pitch class
    std::vector<int> Intervals;  // from the root
    int Row = 0, Rows = 0;
};

// Splits "A/B" tokens of a line.
std::vector<std::pair<std::string, int>> Tokens(const std::string& text) {
    std::vector<std::pair<std::string, int>> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const size_t slash = token.rfind('/');
        if (slash == std::string::npos) throw std::runtime_error("no length in " + token);
        out.emplace_back(token.substr(0, slash), std::stoi(token.substr(slash + 1)));
    }
    return out;
}

int PitchClass(const std::string& s, size_t& at) {
    static const int kNatural[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (at >= s.size() || s[at] < 'A' || s[at] > 'G') throw std::runtime_error("bad note " + s);
    int pc = kNatural[s[at] - 'A'];
    ++at;
    if (at < s.size() && s[at] == '#') {
        ++pc;
        ++at;
    } else if (at < s.size() && s[at] == 'b') {
        --pc;
        ++at;
    }
    return (pc + 12) % 12;
}

std::vector<int> Quality(const std::string& q) {
    if (q.empty()) return {0, 4, 7};
    if (q == "m") return {0, 3, 7};
    if (q == "7") return {0, 4, 7, 10};
    if (q == "maj7") return {0, 4, 7, 11};
    if (q == "m7") return {0, 3, 7, 10};
    if (q == "sus2") return {0, 2, 7};
    if (q == "sus4") return {0, 5, 7};
    if (q == "add9") return {0, 4, 7, 14};
    if (q == "m9") return {0, 3, 7, 14};
    if (q == "dim") return {0, 3, 6};
    if (q == "6") return {0, 4, 7, 9};
    if (q == "m6") return {0, 3, 7, 9};
    throw std::runtime_error("unknown chord quality " + q);
}

std::vector<TChord> ParseChords(const std::string& text) {
    std::vector<TChord> chords;
    int row = 0;
    for (const auto& [symbol, rows] : Tokens(text)) {
        size_t at = 0;
        TChord c;
        c.Root = PitchClass(symbol, at);
        c.Intervals = Quality(symbol.substr(at));
        c.Row = row;
        c.Rows = rows;
        row += rows;
        chords.push_back(c);
    }
    if (row != kRows) throw std::runtime_error("chords do not fill the pattern: " + text);
    return chords;
}

const TChord& ChordAt(const std::vector<TChord>& chords, int row) {
    for (const TChord& c : chords)
        if (row >= c.Row && row < c.Row + c.Rows) return c;
    return chords.back();
}

// The chord's notes, each placed in the octave from low, lowest first; a fourth tone is
// dropped when there are only three voices, keeping the colour note (the seventh or ninth)
// in place of the fifth.
std::vector<int> Voicing(const TChord& c, int low, size_t voices) {
    std::vector<int> tones = c.Intervals;
    if (tones.size() > voices) tones.erase(tones.begin() + 2);
    std::vector<int> notes;
    for (int interval : tones) {
        const int pc = (c.Root + interval) % 12;
        notes.push_back(low + ((pc - low) % 12 + 12) % 12);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

int Volume(int v) {
    return 0x10 + std::clamp(v, 0, 64);
}

void Put(TXmPattern& p, int row, int channel, int note, int instrument, int volume, int pan) {
    if (row < 0 || row >= p.Rows) return;
    TXmCell& cell = p.At(row, channel);
    cell.Note = static_cast<uint8_t>(note + 1);
    cell.Instrument = static_cast<uint8_t>(instrument);
    if (volume >= 0) cell.Volume = static_cast<uint8_t>(Volume(volume));
    if (pan >= 0) {
        cell.Effect = 0x08;
        cell.Param = static_cast<uint8_t>(pan);
    }
}

void KeyOff(TXmPattern& p, int row, int channel) {
    if (row < 0 || row >= p.Rows) return;
    p.At(row, channel) = TXmCell{};
    p.At(row, channel).Note = kXmKeyOff;
}

void PutDrums(TXmPattern& p, int channel, int instrument, int second, const std::string& bar,
              const std::string& fill, int drumNote) {
    if (bar.empty()) return;
    for (int row = 0; row < kRows; ++row) {
        const std::string& line = (row >= 3 * kBar && !fill.empty()) ? fill : bar;
        const char c = line[static_cast<size_t>(row % kBar) % line.size()];
        int volume = 0, ins = instrument;
        switch (c) {
            case 'X':
                volume = 64;
                break;
            case 'x':
                volume = 48;
                break;
            case 'o':
                volume = 28;
                break;
            case 'O':
                volume = 48;
                ins = second;
                break;
            default:
                continue;
        }
        if (ins != 0) Put(p, row, channel, drumNote, ins, volume, -1);
    }
}

void PutMelody(TXmPattern& p, int channel, int instrument, const std::string& text, int volume,
               int pan, int delay) {
    int row = delay;
    for (const auto& [name, rows] : Tokens(text)) {
        if (name == "r") {
            KeyOff(p, row, channel);
        } else {
            Put(p, row, channel, ParseNote(name), instrument, volume, pan);
        }
        row += rows;
    }
    if (row - delay != kRows) throw std::runtime_error("melody does not fill the pattern: " + text);
}

void PutBass(TXmPattern& p, const TStyle& s, const std::vector<TChord>& chords,
             const std::string& bar) {
    if (bar.empty()) return;
    for (int row = 0; row < kRows; ++row) {
        const char c = bar[static_cast<size_t>(row % kBar) % bar.size()];
        const TChord& chord = ChordAt(chords, row);
        const int root = s.BassLow + ((chord.Root - s.BassLow) % 12 + 12) % 12;
        const int third = chord.Intervals[1];
        int note = -1;
        switch (c) {
            case 'R':
                note = root;
                break;
            case 'F':
                note = root + 7;
                break;
            case 'O':
                note = root + 12;
                break;
            case 'T':
                note = root + third;
                break;
            case '-':
                KeyOff(p, row, ch::Bass);
                continue;
            default:
                break;
        }
        // A chord change always restarts the bass on its root.
        if (note < 0 && row == chord.Row) note = root;
        if (note >= 0) Put(p, row, ch::Bass, note, s.Bass, s.BassVolume, -1);
    }
}

void PutComp(TXmPattern& p, const TStyle& s, const std::vector<TChord>& chords,
             const std::string& bar) {
    for (int row = 0; row < kRows; ++row) {
        const TChord& chord = ChordAt(chords, row);
        char c = bar.empty() ? '.' : bar[static_cast<size_t>(row % kBar) % bar.size()];
        if (row == chord.Row && c == '.') c = 'x';
        if (c != 'x' && c != '-') continue;
        const std::vector<int> notes = Voicing(chord, s.ChordLow, ch::ChordVoices);
        for (int v = 0; v < ch::ChordVoices; ++v) {
            if (c == '-') {
                KeyOff(p, row, ch::Chord + v);
            } else if (v < static_cast<int>(notes.size())) {
                Put(p, row, ch::Chord + v, notes[static_cast<size_t>(v)], s.Chord, s.ChordVolume,
                    s.ChordPan[v]);
            }
        }
    }
}

void PutArp(TXmPattern& p, const TStyle& s, const std::vector<TChord>& chords,
            const std::string& text) {
    std::string bar;
    for (char c : text)
        if (c != ' ') bar += c;
    if (bar.empty()) return;
    for (int row = 0; row < kRows; ++row) {
        const char c = bar[static_cast<size_t>(row % kBar) % bar.size()];
        if (c < '0' || c > '9') continue;
        const TChord& chord = ChordAt(chords, row);
        const std::vector<int> notes = Voicing(chord, s.ArpLow, 4);
        const size_t i = static_cast<size_t>(c - '0');
        const int note = notes[i % notes.size()] + 12 * static_cast<int>(i / notes.size());
        Put(p, row, ch::Arp, note, s.Arp, s.ArpVolume, s.ArpPan);
    }
}
}  // namespace

int ParseNote(const std::string& name) {
    size_t at = 0;
    const int pc = PitchClass(name, at);
    if (at >= name.size()) throw std::runtime_error("no octave in " + name);
    const int octave = std::stoi(name.substr(at));
    // B#/Cb cross the octave line the other way round from their letter.
    int semitone = octave * 12 + pc;
    if (name[0] == 'C' && name.size() > 1 && name[1] == 'b') semitone -= 12;
    if (name[0] == 'B' && name.size() > 1 && name[1] == '#') semitone += 12;
    return semitone;
}

TXmPattern BuildPattern(const TStyle& s, const TSection& section) {
    TXmPattern p(kRows, ch::Count);
    const std::vector<TChord> chords = ParseChords(section.Chords);
    constexpr int kDrumNote = 48;  // C-4: drums sound at their own rate
    PutDrums(p, ch::Kick, s.Kick, 0, section.Kick, section.KickFill, kDrumNote);
    PutDrums(p, ch::Snare, s.Snare, 0, section.Snare, section.SnareFill, kDrumNote);
    PutDrums(p, ch::Hat, s.Hat, s.OpenHat, section.Hat, section.HatFill, kDrumNote);
    if (section.Crash && s.Crash != 0) Put(p, 0, ch::Hat, kDrumNote, s.Crash, 56, -1);
    PutBass(p, s, chords, section.Bass);
    PutComp(p, s, chords, section.Comp);
    PutArp(p, s, chords, section.Arp);
    // A channel with nothing to play in this section releases what still sounds from the last.
    if (section.Bass.empty()) KeyOff(p, 0, ch::Bass);
    if (section.Melody.empty()) KeyOff(p, 0, ch::Lead);
    if (section.Arp.empty()) KeyOff(p, 0, ch::Arp);
    if (section.NoEcho || (section.Counter.empty() && section.Melody.empty()))
        KeyOff(p, 0, ch::Echo);
    if (!section.Melody.empty())
        PutMelody(p, ch::Lead, s.Lead, section.Melody, s.LeadVolume, s.LeadPan, 0);
    if (!section.NoEcho) {
        if (!section.Counter.empty()) {
            PutMelody(p, ch::Echo, s.Counter, section.Counter, s.LeadVolume * 3 / 4, s.EchoPan, 0);
        } else if (!section.Melody.empty()) {
            // The echo is the melody again, later and quieter; what runs past the pattern's
            // end is dropped.
            TXmPattern echo(kRows + s.EchoDelay, ch::Count);
            PutMelody(echo, ch::Echo, s.Lead, section.Melody, s.EchoVolume, s.EchoPan, s.EchoDelay);
            for (int row = 0; row < kRows; ++row) p.At(row, ch::Echo) = echo.At(row, ch::Echo);
        }
    }
    return p;
}

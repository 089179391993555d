// Turns music written as text into XM patterns. A song is a list of sections (one pattern
// each, four bars of sixteen rows) written with:
//   chords  "Fmaj7/16 Am7/8 C/8"  symbol/rows; roots A-G with # or b; qualities "", m, 7, maj7,
//           m7, sus2, sus4, add9, m9, dim, 6, m6
//   melody  "E5/4 r/2 D5/2"       note/rows, r = rest (a key-off)
//   drums   "x...x...x...x..."    one character per row of a bar, repeated each bar:
//           X loud, x normal, o ghost, O the second sound (open hat), . nothing
//   bass    "R..R..F.R...O..-"    R root, F fifth, O octave, T third, - key-off, . hold
//   comp    "x.......x.....-."    x strike the chord, - release it, . hold; empty: strike at
//           every chord change
//   arp     "0123 2103 ..."       chord tones by index (upwards, wrapping an octave up)
#pragma once

#include <string>
#include <vector>

#include "XmWriter.h"

// Channel layout shared by the songs.
namespace ch {
constexpr int Kick = 0, Snare = 1, Hat = 2, Bass = 3, Chord = 4, ChordVoices = 3, Lead = 7, Arp = 8,
              Echo = 9, Count = 10;
}

// Instrument numbers (1-based) and registers a song uses.
struct TStyle {
    int Kick = 0, Snare = 0, Hat = 0, OpenHat = 0, Crash = 0;
    int Bass = 0, Chord = 0, Lead = 0, Arp = 0, Counter = 0;
    int BassLow = 26;   // lowest bass note (semitones from C-0)
    int ChordLow = 53;  // chords are voiced within the octave from here
    int ArpLow = 60;
    // Volumes 0..64.
    int BassVolume = 64, ChordVolume = 40, LeadVolume = 56, ArpVolume = 36, EchoVolume = 22;
    // Rows by which the echo channel repeats the melody.
    int EchoDelay = 3;
    // Pannings 0..255 (128 centre) of the three chord voices, the lead, the arp and the echo.
    int ChordPan[3] = {96, 128, 160};
    int LeadPan = 140, ArpPan = 100, EchoPan = 70;
};

struct TSection {
    std::string Chords;
    std::string Melody;
    // A second melody for the echo channel; empty: the echo repeats the melody.
    std::string Counter;
    std::string Kick, Snare, Hat;
    // Drums of the fourth bar, when it differs (a fill).
    std::string KickFill, SnareFill, HatFill;
    std::string Bass;
    std::string Comp;
    std::string Arp;
    bool Crash = false;   // a cymbal on the first row
    bool NoEcho = false;  // leave the echo channel silent
};

// Semitones from C-0 of a note name such as "C#4" or "Bb3".
int ParseNote(const std::string& name);

TXmPattern BuildPattern(const TStyle& style, const TSection& section);

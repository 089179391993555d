// The song after a lost game: D minor at 72 beats a minute, a slow pad, a round bass, piano
// broken chords and a bell melody with its echo, over a soft pulse. A short intro and four
// phrases that come to rest on A before starting again.
#include <vector>

#include "Compose.h"
#include "Instruments.h"
#include "Songs.h"

namespace {
enum { Kick = 1, Shaker, Bass, Pad, Bell, Piano };

TStyle LoseStyle() {
    TStyle s;
    s.Kick = Kick;
    s.Hat = Shaker;
    s.Bass = Bass;
    s.Chord = Pad;
    s.Lead = Bell;
    s.Arp = Piano;
    s.BassLow = 26;
    s.ChordLow = 50;
    s.ArpLow = 50;
    s.BassVolume = 40;
    s.ChordVolume = 40;
    s.LeadVolume = 60;
    s.ArpVolume = 30;
    s.EchoVolume = 18;
    s.EchoDelay = 3;
    return s;
}

TSection Phrase(const char* chords, const char* melody) {
    TSection x;
    x.Chords = chords;
    x.Melody = melody;
    x.Kick = "o...............";
    x.Hat = "..o...o...o...o.";
    x.Bass = "R.......R.......";
    x.Arp = "0...1...2...1...";
    return x;
}

std::vector<TSection> LoseSections() {
    TSection intro = Phrase("Dm/16 Bb/16 Gm/16 Asus4/8 A/8", "");
    intro.Kick = "";
    intro.Hat = "";
    intro.Arp = "0...1...2...3...";
    return {
        intro,
        Phrase("Dm/16 Bbmaj7/16 Gm7/16 Asus4/8 A/8",
               "A4/8 D5/4 E5/4  F5/12 E5/4  D5/8 Bb4/8  A4/16"),
        Phrase("Gm7/16 Dm/16 Bbmaj7/16 Asus4/8 A/8",
               "G4/4 Bb4/4 D5/8  F5/8 E5/4 D5/4  D5/8 C5/4 Bb4/4  A4/8 C#5/8"),
        Phrase("Dm/16 F/16 Gm/16 A/16",
               "D5/4 F5/4 A5/8  A5/4 G5/4 F5/4 C5/4  Bb4/8 D5/4 G5/4  E5/8 C#5/8"),
        Phrase("Bbmaj7/16 Am7/16 Gm7/16 Asus4/8 A/8",
               "F5/12 D5/4  E5/12 C5/4  D5/8 Bb4/4 G4/4  A4/16"),
    };
}
}  // namespace

TXmModule MakeLoseSong() {
    TXmModule m;
    m.Name = "Velkaro game over";
    m.Channels = ch::Count;
    m.Speed = 6;
    m.Bpm = 72;
    const TStyle style = LoseStyle();
    for (const TSection& s : LoseSections()) m.Patterns.push_back(BuildPattern(style, s));
    m.Order = {0, 1, 2, 3, 4};
    m.Restart = 0;
    m.Instruments = {MakeKick(),    MakeShaker(),   MakeRoundBass(),
                     MakeWarmPad(), MakeBellLead(), MakeElectricPiano()};
    return m;
}

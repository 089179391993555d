// The menu song: F major at 100 beats a minute, electric piano chords, a soft lead with its
// echo, a plucked arpeggio and a laid-back groove. Intro, A (twice), B (twice), a bridge
// with a bell counter-melody, A again with variations, and a turnaround into the first A.
#include <vector>

#include "Compose.h"
#include "Instruments.h"
#include "Songs.h"

namespace {
enum { Kick = 1, Snare, Hat, Shaker, Bass, Piano, Lead, Pluck, Bell };

TStyle MenuStyle() {
    TStyle s;
    s.Kick = Kick;
    s.Snare = Snare;
    s.Hat = Hat;
    s.OpenHat = Shaker;
    s.Bass = Bass;
    s.Chord = Piano;
    s.Lead = Lead;
    s.Arp = Pluck;
    s.Counter = Bell;
    s.BassLow = 28;
    s.ChordLow = 46;
    s.ArpLow = 55;
    s.BassVolume = 50;
    s.ChordVolume = 38;
    s.LeadVolume = 60;
    s.ArpVolume = 52;
    s.EchoVolume = 20;
    return s;
}

// The groove of the A and B sections.
TSection Groove(const char* chords, const char* melody) {
    TSection x;
    x.Chords = chords;
    x.Melody = melody;
    x.Kick = "X.....x...x.....";
    x.Snare = "....x.......x...";
    x.Hat = "x.o.x.o.x.o.x.oO";
    x.SnareFill = "....x.......x.oo";
    x.Bass = "R.....R.F.....R.";
    x.Comp = "x.......x..x....";
    x.Arp = "....0.2.....1.3.";
    return x;
}

std::vector<TSection> MenuSections() {
    TSection intro;
    intro.Chords = "Fmaj7/16 Am7/16 Bbmaj7/16 Csus4/8 C/8";
    intro.Hat = "x.o.x.o.x.o.x.o.";
    intro.Bass = "R...............";
    intro.Comp = "x.......x.......";
    intro.Arp = "0.1.2.3.4.3.2.1.";

    TSection a1 = Groove("Fmaj7/16 Am7/16 Dm7/16 Bbmaj7/16",
                         "A4/3 C5/3 E5/6 D5/2 C5/2  C5/6 r/4 E4/2 G4/2 A4/2 "
                         "F4/3 A4/3 D5/6 C5/2 A4/2  A4/8 G4/4 r/4");
    a1.Crash = true;
    TSection a2 = Groove("Gm7/16 Am7/16 Bbmaj7/16 Csus4/8 C/8",
                         "G4/3 Bb4/3 D5/6 C5/2 Bb4/2  C5/6 r/4 A4/2 C5/2 E5/2 "
                         "F5/6 E5/2 D5/4 C5/4  C5/6 Bb4/2 r/4 E4/2 G4/2");
    TSection b1 = Groove("Dm7/16 Bbmaj7/16 Fmaj7/16 C/16",
                         "A4/2 D5/2 F5/4 E5/2 D5/2 C5/4  D5/6 C5/2 Bb4/2 A4/2 F4/4 "
                         "A4/2 C5/2 F5/4 G5/2 A5/2 G5/4  E5/8 D5/2 C5/2 r/4");
    b1.Arp = "0.1.2.3.0.1.2.3.";
    b1.Crash = true;
    TSection b2 = Groove("Dm7/16 Bbmaj7/16 Gm7/8 Am7/8 Bbmaj7/8 C/8",
                         "A4/2 D5/2 F5/4 E5/2 D5/2 A5/4  G5/6 F5/2 D5/4 F5/4 "
                         "G5/4 F5/4 E5/4 C5/4  D5/4 F5/4 E5/8");
    b2.Arp = "0.1.2.3.0.1.2.3.";
    b2.KickFill = "X.....x...x.x.x.";
    b2.SnareFill = "....x.......xxxx";

    TSection bridge;
    bridge.Chords = "Bbmaj7/16 Am7/16 Gm7/16 Fmaj7/16";
    bridge.Counter = "D5/8 F5/8  E5/8 C5/8  D5/8 Bb4/8  A4/16";
    bridge.Kick = "X.......x.......";
    bridge.Hat = "..o...o...o...o.";
    bridge.Bass = "R.......R.......";
    bridge.Comp = "x...............";
    bridge.Arp = "0.1.2.3.2.1.0.1.";
    TSection bridge2 = Groove("Bbmaj7/16 Am7/16 Gm7/16 Csus4/8 C/8",
                              "F4/4 Bb4/4 D5/4 F5/4  E5/4 C5/4 A4/4 E5/4 "
                              "D5/4 Bb4/4 G4/4 D5/4  C5/8 E5/4 G5/4");
    bridge2.Snare = "....x.......x...";
    bridge2.SnareFill = "x.x.x.x.xxxxxxxx";
    bridge2.Arp = "0.2.1.3.0.2.1.3.";

    TSection a3 = Groove("Fmaj7/16 Am7/16 Dm7/16 Bbmaj7/16",
                         "A4/3 C5/3 E5/4 F5/2 E5/2 C5/2  E5/6 r/2 C5/2 A4/2 G4/2 A4/2 "
                         "F4/3 A4/3 D5/4 E5/2 F5/2 E5/2  D5/8 C5/4 r/4");
    a3.Counter = "r/8 C6/8  r/8 E6/8  r/8 A5/8  r/8 F5/8";
    a3.Crash = true;
    TSection a4 = Groove("Gm7/16 Am7/16 Bbmaj7/16 Csus4/8 C/8",
                         "G4/3 Bb4/3 D5/4 F5/2 E5/2 D5/2  E5/6 r/4 C5/2 D5/2 E5/2 "
                         "F5/6 G5/2 F5/4 D5/4  C5/8 r/4 A4/2 C5/2");
    a4.Counter = "r/8 D6/8  r/8 E6/8  r/8 F6/8  r/8 E6/8";
    TSection turn = Groove("Bbmaj7/16 C/16 Fmaj7/16 Fmaj7/8 C/8",
                           "D5/6 C5/2 Bb4/4 A4/4  G4/6 A4/2 Bb4/4 E5/4 "
                           "F5/16  r/8 E4/4 G4/4");
    turn.KickFill = "X.......x.......";
    turn.SnareFill = "....x.......x.xx";
    return {intro, a1, a2, b1, b2, bridge, bridge2, a3, a4, turn};
}
}  // namespace

TXmModule MakeMenuSong() {
    TXmModule m;
    m.Name = "Velkaro menu";
    m.Channels = ch::Count;
    m.Speed = 6;
    m.Bpm = 100;
    const TStyle style = MenuStyle();
    for (const TSection& s : MenuSections()) m.Patterns.push_back(BuildPattern(style, s));
    m.Order = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    // The loop skips the intro.
    m.Restart = 1;
    m.Instruments = {MakeKick(),     MakeSnare(),     MakeClosedHat(),
                     MakeShaker(),   MakeRoundBass(), MakeElectricPiano(),
                     MakeSoftLead(), MakePluck(),     MakeBellLead()};
    return m;
}

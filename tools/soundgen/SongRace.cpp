// The race song: A minor at 140 beats a minute, four on the floor, a pumping octave bass, a
// pad, sixteenth-note plucks and a bright saw lead. Intro, verse (two halves), pre-chorus,
// chorus (two halves), a second verse with new lines, the chorus again, a breakdown with a
// bell melody, a build-up and a last chorus with a higher ending, then back to the verse.
#include <vector>

#include "Compose.h"
#include "Instruments.h"
#include "Songs.h"

namespace {
enum { Kick = 1, Snare, Hat, OpenHat, Crash, Bass, Pad, Lead, Pluck, Bell };

TStyle RaceStyle() {
    TStyle s;
    s.Kick = Kick;
    s.Snare = Snare;
    s.Hat = Hat;
    s.OpenHat = OpenHat;
    s.Crash = Crash;
    s.Bass = Bass;
    s.Chord = Pad;
    s.Lead = Lead;
    s.Arp = Pluck;
    s.Counter = Bell;
    s.BassLow = 28;
    s.ChordLow = 52;
    s.ArpLow = 57;
    s.BassVolume = 44;
    s.ChordVolume = 36;
    s.LeadVolume = 60;
    s.ArpVolume = 48;
    s.EchoVolume = 16;
    s.EchoDelay = 3;
    return s;
}

TSection Verse(const char* chords, const char* melody) {
    TSection x;
    x.Chords = chords;
    x.Melody = melody;
    x.Kick = "X...X...X...X...";
    x.Snare = "....X.......X...";
    x.Hat = "x.O.x.O.x.O.x.O.";
    x.KickFill = "X...X...X...X.X.";
    x.SnareFill = "....X.......X.xx";
    x.Bass = "R.O.R.O.R.O.R.O.";
    x.Arp = "0.1.2.1.0.1.2.1.";
    return x;
}

TSection Chorus(const char* chords, const char* melody) {
    TSection x = Verse(chords, melody);
    x.Hat = "xoOoxoOoxoOoxoOo";
    x.Bass = "R.RRO.R.R.RRO.R.";
    x.Arp = "0123 2103 0123 2103";
    x.Crash = true;
    return x;
}

std::vector<TSection> RaceSections() {
    TSection intro = Verse("Am/16 F/16 C/16 G/16", "");
    intro.Snare = "";
    intro.SnareFill = "....X...X...XXXX";
    intro.Crash = true;

    TSection verse1 = Verse("Am/16 F/16 C/16 G/16",
                            "A4/2 r/2 A4/2 C5/2 E5/4 D5/2 C5/2  C5/4 A4/4 r/4 F4/2 G4/2 "
                            "G4/2 r/2 G4/2 C5/2 E5/4 D5/2 C5/2  D5/6 B4/2 G4/4 r/4");
    TSection verse2 = Verse("Am/16 F/16 Dm/16 E/16",
                            "A4/2 r/2 A4/2 C5/2 E5/4 G5/2 E5/2  F5/4 E5/4 C5/4 A4/4 "
                            "D5/2 r/2 D5/2 F5/2 A5/4 F5/2 D5/2  E5/6 G#4/2 B4/4 E5/4");
    TSection pre = Verse("Dm/16 Am/16 F/16 G/16",
                         "F4/4 A4/4 D5/4 F5/4  E5/4 C5/4 A4/4 C5/4 "
                         "F5/4 A5/4 F5/4 C5/4  B4/4 D5/4 G5/4 B5/4");
    pre.Kick = "X.......X.......";
    pre.KickFill = "X...X...X...X...";
    pre.SnareFill = "X.X.X.X.XXXXXXXX";
    pre.Bass = "R.R.R.R.R.R.R.R.";

    TSection chorus1 = Chorus("F/16 G/16 Em/16 Am/16",
                              "A5/6 G5/2 F5/4 C5/4  D5/6 E5/2 D5/4 B4/4 "
                              "E5/6 G5/2 B5/4 G5/4  A5/12 r/4");
    TSection chorus2 = Chorus("F/16 G/16 C/8 E/8 Am/16",
                              "A5/6 G5/2 F5/4 A5/4  B5/6 A5/2 G5/4 D5/4 "
                              "E5/4 G5/4 G#5/4 B5/4  A5/8 E5/4 C5/4");
    chorus2.Crash = false;

    TSection verse3 = Verse("Am/16 F/16 C/16 G/16",
                            "E5/2 r/2 E5/2 D5/2 C5/4 B4/2 A4/2  C5/4 F5/4 r/4 E5/2 C5/2 "
                            "G5/2 r/2 G5/2 E5/2 C5/4 D5/2 E5/2  D5/6 B4/2 G4/4 r/4");
    verse3.Crash = true;
    TSection verse4 = Verse("Am/16 F/16 Dm/16 E/16",
                            "E5/2 r/2 E5/2 D5/2 C5/4 E5/2 A5/2  A5/4 G5/4 F5/4 C5/4 "
                            "D5/2 r/2 F5/2 A5/2 D6/4 C6/2 A5/2  B5/6 G#5/2 E5/4 B4/4");

    TSection breakdown;
    breakdown.Chords = "F/16 G/16 Am/16 Am/16";
    breakdown.Counter = "C6/8 A5/8  B5/8 D6/8  C6/16  E5/8 A5/8";
    breakdown.Kick = "X...............";
    breakdown.Hat = "..x...x...x...x.";
    breakdown.Bass = "R...............";
    breakdown.Arp = "0.1.2.3.2.1.0.1.";
    breakdown.Crash = true;
    TSection build = Verse("Dm/16 Em/16 F/16 G/16",
                           "D5/2 D5/2 F5/2 A5/2 D5/2 D5/2 F5/2 A5/2 "
                           "E5/2 E5/2 G5/2 B5/2 E5/2 E5/2 G5/2 B5/2 "
                           "F5/2 A5/2 C6/2 A5/2 F5/2 A5/2 C6/2 A5/2  G5/4 A5/4 B5/4 D6/4");
    build.Kick = "X.......X.......";
    build.Snare = "....X.......X...";
    build.SnareFill = "XxXxXxXxXXXXXXXX";
    build.Bass = "R.R.R.R.R.R.R.R.";
    build.NoEcho = true;

    TSection chorus3 = Chorus("F/16 G/16 Em/16 Am/16",
                              "A5/6 G5/2 F5/4 E5/2 F5/2  G5/6 A5/2 G5/4 D5/4 "
                              "E5/6 G5/2 B5/6 A5/2  A5/12 r/4");
    TSection chorus4 = Chorus("F/16 G/16 C/8 E/8 Am/16",
                              "C6/6 A5/2 F5/4 A5/4  B5/6 A5/2 G5/4 B5/4 "
                              "C6/4 G5/4 G#5/4 B5/4  A5/12 r/4");
    chorus4.Crash = false;
    chorus4.SnareFill = "....X...X.X.XXXX";
    return {intro,  verse1, verse2,    pre,   chorus1, chorus2,
            verse3, verse4, breakdown, build, chorus3, chorus4};
}
}  // namespace

TXmModule MakeRaceSong() {
    TXmModule m;
    m.Name = "Velkaro race";
    m.Channels = ch::Count;
    m.Speed = 6;
    m.Bpm = 140;
    const TStyle style = RaceStyle();
    for (const TSection& s : RaceSections()) m.Patterns.push_back(BuildPattern(style, s));
    m.Order = {0, 1, 2, 3, 4, 5, 6, 7, 3, 4, 5, 8, 9, 10, 11};
    m.Restart = 1;
    m.Instruments = {MakeKick(),  MakeSnare(),     MakeClosedHat(), MakeOpenHat(),
                     MakeCrash(), MakeSynthBass(), MakeWarmPad(),   MakeSawLead(),
                     MakePluck(), MakeBellLead()};
    return m;
}

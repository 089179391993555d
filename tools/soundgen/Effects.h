// The game's seventeen sound effects, each synthesised by its own small function, and the
// file each one is written to.
#pragma once

#include <string>
#include <vector>

#include "Synth.h"

constexpr double kEffectRate = 44100.0;

struct TEffectFile {
    std::string FileName;  // below Sounds/
    TWave (*Make)();
};

// Every effect with its file name, in the order of the game's sound list.
const std::vector<TEffectFile>& EffectFiles();

TWave MakeClick();      // "check": crisp confirm blip
TWave MakeBackClick();  // "check2": softer, lower click
TWave MakeStart();      // "begin": engine rev and whoosh into a hit
TWave MakeFinish();     // "finish": brass fanfare
TWave MakeLight();      // "svet1": start-light beep
TWave MakeGo();         // "svet2": higher, longer go beep
TWave MakeTimesUp();    // "timesup": falling two-tone buzzer
TWave MakeSweep();      // "sweep": puncture hiss and deflating fall
TWave MakeTick();       // "time": countdown tick
TWave MakeExplosion();  // "exp"
TWave MakeCoin();       // "coin": two-note chime
TWave MakeNitro();      // "nitro": rising turbo whoosh
TWave MakeSkid();       // "skid": short, quiet tyre squeal
TWave MakeRepair();     // "repair": ratchet and clank
TWave MakeHorn();       // "horn"
TWave MakeAddTime();    // "addtime": rising bell arpeggio
TWave MakeExtraLife();  // "up": power-up rise

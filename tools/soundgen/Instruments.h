// The instruments of the songs, each one synthesised sample with its envelope. Sustained
// tones are additive and loop over a whole number of cycles of every partial, so the loop
// has no seam; struck tones (keys, plucks, drums) decay in the sample itself.
#pragma once

#include "XmWriter.h"

TXmInstrument MakeKick();
TXmInstrument MakeSnare();
TXmInstrument MakeClap();
TXmInstrument MakeClosedHat();
TXmInstrument MakeOpenHat();
TXmInstrument MakeShaker();
TXmInstrument MakeCrash();
TXmInstrument MakeElectricPiano();
TXmInstrument MakeWarmPad();
TXmInstrument MakeSynthBass();
TXmInstrument MakeRoundBass();
TXmInstrument MakeSoftLead();
TXmInstrument MakeSawLead();
TXmInstrument MakePluck();
TXmInstrument MakeBellLead();

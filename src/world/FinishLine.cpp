#include "world/FinishLine.h"

#include <cmath>

#include "world/Car.h"
#include "world/Dashboard.h"
#include "world/EnemyCar.h"
#include "world/FollowWorld.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"
#include "world/Walls.h"
#include "world/WorldContext.h"

TFLineImage::TFLineImage(TKerbSprite* engine, double centreX, double centreY) : TSprite(engine) {
    SetImage(RaceImage("startline"));
    SetName("inplace");
    SetPatternIndex(0);
    CentreOn(*this, centreX, centreY);
    RotationCenterX = RotationCenterY = 0.5f;
    SetZ(29);
}

TFinishLine::TFinishLine(TKerbSprite* engine, double centreX, double centreY, double angle)
    : TWorldSprite(engine), LineAngle(angle) {
    SetImage(RaceImage("fline"));
    SetName("fline");
    SetPatternIndex(0);
    RotationCenterX = RotationCenterY = 0.5f;
    CentreOn(*this, centreX, centreY);
    SetZ(60);
    Angle = static_cast<float>(angle);
    Visible = false;
    Corners = {TVec2{X, Y}, TVec2{X, Y + Height}, TVec2{X + Width, Y + Height},
               TVec2{X + Width, Y}};
    const double phi = RaceAtan(static_cast<double>(Height) / Width) * kDeg;
    CornerAngles = {180 - phi, phi - 180, -phi, phi};
    LineImage = new TFLineImage(engine, centreX, centreY);
}

// Each opponent is recorded once: crossing clears its InRace, so the eight entries of the
// table are never overrun, however long a car stays on the line.
void TFinishLine::RecordOpponents() {
    const TQuad4 line = Quad();
    const TQuadBox box = QuadBox(line);
    for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
        TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (o == nullptr || !o->InRace || !QuadsOverlap(o->Body(), o->BodyBox(), line, box))
            continue;
        o->InRace = false;
        ++o->Laps;
        if (Race.ResultCount >= 1 && Race.ResultCount < kResultEntries) {
            TResult& r = Race.Results[static_cast<size_t>(Race.ResultCount)];
            r = TResult{i + 1, 0, 0, 0};
            ++Race.ResultCount;
        }
        o->Released = false;
    }
}

void TFinishLine::CheckPlayer() {
    TPlayer* p = Race.PlayerCar;
    if (p == nullptr || !p->InRace || !QuadsOverlap(p->Body(), Quad())) return;
    p->InRace = false;
    Race.FinishHundredths = Race.ClockHundredths;
    Race.FinishSeconds = Race.ClockSeconds;
    Race.FinishMinutes = Race.ClockMinutes;
    // The place is at least 1 once the player's frame has run; the guard keeps the prize,
    // which is divided by it, safe even before that.
    Race.FinishPlace = p->Place > 0 ? p->Place : 1;
    p->ControlsOn = false;
    Race.RaceFinished = 1;
    p->PlaceOn = false;
    SetRaceClockRunning(false);
    PhaseCounter = 0;
}

void TFinishLine::Move(float) {
    FollowWorld(*this);
    if (LineImage != nullptr) {
        LineImage->SetX(X + static_cast<float>(Width) / 2 -
                        static_cast<float>(LineImage->Width) / 2);
        LineImage->SetY(Y + static_cast<float>(Height) / 2 -
                        static_cast<float>(LineImage->Height) / 2);
    }
    Corners = RotatedCorners(*this, CornerAngles);
    RecordOpponents();
    CheckPlayer();
}

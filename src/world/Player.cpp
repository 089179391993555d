#include "world/Player.h"

#include <algorithm>
#include <cmath>

#include "world/Dashboard.h"
#include "world/EnemyCar.h"
#include "world/Globals.h"
#include "world/RaceBuild.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/WorldContext.h"

namespace {
constexpr TMotionRules kPlayerRules{1.0, false, true};
}  // namespace

TPlayer::TPlayer(TKerbSprite* engine, double x, double y, int32_t carType, const std::string& name,
                 double heading, bool menu)
    : TCar(engine, x, y, carType, name, heading, menu, Race.CarVariant) {
    SetName("player");
}

bool TPlayer::CanBeHurt() const {
    return !Blinking && World.Phase == TRacePhase::Racing && Race.RaceFinished == 0;
}

void TPlayer::Damage(int32_t amount) {
    if (amount <= 0 || !CanBeHurt()) return;
    if (Health - amount > 0) {
        Health -= amount;
    } else if (Race.PlayerWrecked == 0) {
        Race.PlayerWrecked = 1;
    }
}

void TPlayer::Repair(int32_t amount) {
    if (amount <= 0 || !CanBeHurt()) return;
    Health = std::min(100, Health + amount);
}

void TPlayer::StartBlinking() {
    BlinkFrames = 200;
    BlinkCount = 0;
    Blinking = true;
}

void TPlayer::Blink() {
    if (!Blinking) return;
    if (BlinkCount % 10 == 0) {
        Visible = !Visible;
        if (Shadow != nullptr) Shadow->Visible = Visible;
    }
    if (BlinkCount < BlinkFrames) {
        ++BlinkCount;
    } else {
        Blinking = false;
        Visible = true;
        if (Shadow != nullptr) Shadow->Visible = true;
    }
}

void TPlayer::Control() {
    if (ControlsOn) {
        if (!Spinning) ApplyKeys();
        return;
    }
    Thrust = 0;
    if (Speed > CoastDecel) {
        Speed -= CoastDecel;
    } else if (Speed < -CoastDecel) {
        Speed += CoastDecel;
    }
}

void TPlayer::UpdateProgress() {
    TVec2 p1, p2;
    if (MeasureProgress(&p1, &p2) == 0) return;
    CheckX = p1.X;
    CheckY = p1.Y;
    NextX = p2.X;
    NextY = p2.Y;
    RaceDistance = Race.CheckpointDistance[static_cast<size_t>(Race.CheckpointCount)] + Progress;
}

void TPlayer::UpdatePlace() {
    int32_t ahead = 0;
    for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
        const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (o != nullptr && Race.OpponentDistance[static_cast<size_t>(i)] > RaceDistance) ++ahead;
    }
    Place = std::min(1 + ahead, Race.OpponentsCreated + 1);
}

void TPlayer::RespondTo(TCar& o) {
    const TVec2 vp = Velocity(), vo = o.Velocity();
    // The opponent is shoved away from the player through the push step.
    const TVec2 shove = o.ContactShove(UnitOrOne(CentreX() - o.CentreX(), CentreY() - o.CentreY()));
    PushX -= shove.X;
    PushY -= shove.Y;
    Speed *= 0.99;
    TurnFromContact(vp, vo);
    const double r = RaceHypot(vo.X - vp.X, vo.Y - vp.Y);
    if (r > 4 && r < 10) Damage(static_cast<int32_t>(RaceRound(r / 5)));
}

void TPlayer::OpponentContacts() {
    const int32_t count = Race.OpponentsCreated;
    for (int32_t j = 0; j < count; ++j) Touching[static_cast<size_t>(j)] = false;
    for (int32_t j = 0; j < count; ++j) {
        const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(j)];
        if (o == nullptr) continue;
        // Only opponents within 200 pixels are tested corner by corner. The distance runs from
        // this car's centre to half a car before the opponent's top-left corner, up to one car
        // size (100 pixels) off the centre distance: every opponent close enough to touch
        // (centres less than 100 pixels apart) still passes.
        const double dx = X + Width / 2.0 - o->X + o->Width / 2.0;
        const double dy = Y + Height / 2.0 - o->Y + o->Height / 2.0;
        if (RaceHypot(dx, dy) >= 200) continue;
        if (QuadsOverlap(Body(), BodyBox(), o->Body(), o->BodyBox())) {
            Touching[static_cast<size_t>(j)] = true;
        } else {
            WasTouching[static_cast<size_t>(j)] = false;
        }
    }
    for (int32_t j = 0; j < count; ++j) {
        if (!Touching[static_cast<size_t>(j)]) continue;
        if (!Blinking) RespondTo(*Race.OpponentCars[static_cast<size_t>(j)]);
        WasTouching[static_cast<size_t>(j)] = true;
    }
}

void TPlayer::AdvanceCheckpoint() {
    if (NextCheckpoint < 1 || NextCheckpoint > Race.CheckpointCount) return;
    const TCheckpoint& c = Race.Checkpoints[static_cast<size_t>(NextCheckpoint)];
    if (std::fabs(c.X - CentreX()) < 200 && std::fabs(c.Y - CentreY()) < 200) ++NextCheckpoint;
}

void TPlayer::Move(float) {
    Blink();
    Control();
    UpdateProgress();
    if (PlaceOn) UpdatePlace();
    Traction = FrontPoint->OnRoad ? 1.0 : 0.2;
    const TSinCos heading = RaceSinCos(Rad(Direction));
    ScrollDX = -heading.Cos * Speed;
    ScrollDY = -heading.Sin * Speed;
    MotionStep(kPlayerRules);
    UpdateCorners();
    PushCopyX = PushX;
    PushCopyY = PushY;
    PushX = PushY = 0;
    OpponentContacts();
    if (SpinRate > 0) {
        SpinRate = SpinRate > SpinDecay ? SpinRate - SpinDecay : 0;
    } else if (SpinRate < 0) {
        SpinRate = SpinRate < -SpinDecay ? SpinRate + SpinDecay : 0;
    }
    ExtendRoad();
    FrontPoint->OnRoad = CentrePoint->OnRoad = false;
    if (Shadow != nullptr) {
        Shadow->SetX(X + 2);
        Shadow->SetY(Y + 2);
        Shadow->Angle = Angle;
    }
    const double v = RaceCos(Rad(Angle)) * Speed;
    if (Backtrack - v <= 0) Backtrack -= v;
    TravelStep = v;
    AdvanceCheckpoint();
    UpdateRadar();
}

#include "world/Bonus.h"

#include <algorithm>
#include <array>
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
#include "world/Random.h"
#include "world/WorldContext.h"

namespace {
const char* const kBonusImages[10] = {"bonus1", "bonus2", "bonus3", "luga",  "bomb",
                                      "repair", "life",   "time",   "shipi", "speedup"};
const char* const kExplosionImages[3] = {"exploid", "exploid2", "exploid3"};
}  // namespace

void StartSlowDown(TCar& car, bool player) {
    car.Slowed = true;
    car.SlowTimer = 400;
    car.Speed /= 2;
    car.MaxSpeed /= 2;
    car.Accel /= 2;
    if (player) car.Grip /= 3;
}

void EndSlowDown(TCar& car, bool player) {
    car.MaxSpeed *= 2;
    car.Accel *= 2;
    if (player) car.Grip *= 3;
    car.Slowed = false;
    car.SlowTimer = 0;
}

void StartSpeedUp(TCar& car) {
    car.Boosted = true;
    car.BoostTimer = 300;
    car.MaxSpeed *= 2;
    car.Accel *= 2;
    car.Steering += 0.1;
    car.Traction += 0.1;
}

void EndSpeedUp(TCar& car) {
    car.MaxSpeed /= 2;
    car.Accel /= 2;
    car.Traction -= 0.1;
    car.Speed /= 2;
    car.Steering -= 0.1;
    car.Boosted = false;
    car.BoostTimer = 0;
}

TBonus::TBonus(TKerbSprite* engine, double centreX, double centreY, int32_t kind)
    : TWorldSprite(engine), Kind(kind >= 0 && kind <= 9 ? kind : 0) {
    SetName("bonus");
    SetPatternIndex(0);
    SetImage(RaceImage(kBonusImages[Kind]));
    SetX(static_cast<float>(centreX - Width / 2.0));
    SetY(static_cast<float>(centreY - Height / 2.0));
    RotationCenterX = RotationCenterY = 0.5f;
    SetZ(31);
    UpdateCorners();
}

namespace {
// A bonus's corners lie in fixed directions from its centre, so their sines and cosines are
// worked out once per thread (and again when the tests nudge the sine).
const std::array<TSinCos, 4>& CornerDirections() {
    struct TKept {
        bool Valid = false;
        int32_t Nudge = 0;
        std::array<TSinCos, 4> Values{};
    };
    thread_local TKept kept;
    if (!kept.Valid || kept.Nudge != RaceSinNudgeUlps) {
        const double angles[4] = {135, -135, -45, 45};
        for (size_t i = 0; i < 4; ++i) kept.Values[i] = RaceSinCos(Rad(angles[i]));
        kept.Valid = true;
        kept.Nudge = RaceSinNudgeUlps;
    }
    return kept.Values;
}
}  // namespace

void TBonus::UpdateCorners() {
    const double w = Width, h = Height;
    const double r = std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2));
    const double cx = X + w / 2, cy = Y + h / 2;
    const std::array<TSinCos, 4>& d = CornerDirections();
    for (size_t i = 0; i < 4; ++i) Corners[i] = {cx + r * d[i].Cos, cy + r * d[i].Sin};
}

// Puddle, bomb, spikes and speed-up act on either kind of car. The sound plays for the
// player, and for an opponent only while the bonus is on the screen band.
bool TBonus::CommonEffect(TCar& car, bool player, int32_t carIndex) {
    const bool audible = player || (Y > -100 && Y < 600);
    const auto sound = [audible](const char* name) {
        if (audible) PlayWorldSound(name);
    };
    switch (Kind) {
        case 3:
            car.Skidding = true;
            car.Direction += Random(20) - 10;
            sound("skid");
            return false;
        case 4: {
            if (player) static_cast<TPlayer&>(car).Damage(40);
            new TExplose(KerbSprite, car.CentreX(), car.CentreY(), 1, carIndex);
            car.RotationCenterX = car.RotationCenterY = 0.5f;
            if (car.Shadow != nullptr)
                car.Shadow->RotationCenterX = car.Shadow->RotationCenterY = 0.5f;
            const bool left = Random(10) <= 5;
            const double rate = 10 + Random(5);
            car.SpinRate = left ? -rate : rate;
            car.Spinning = true;
            sound("exp");
            return true;
        }
        case 8:
            if (car.Boosted) {
                EndSpeedUp(car);
            } else if (car.Slowed) {
                car.SlowTimer += 300;
            } else {
                StartSlowDown(car, player);
                sound("sweep");
            }
            return true;
        case 9:
            if (car.Slowed) {
                EndSlowDown(car, player);
                return false;
            }
            if (car.Boosted) {
                car.BoostTimer += 200;
            } else {
                StartSpeedUp(car);
                sound("nitro");
            }
            return true;
        default:
            return false;
    }
}

void TBonus::PlayerEffect() {
    TPlayer& p = *Race.PlayerCar;
    bool used = true;
    switch (Kind) {
        case 0:
        case 1:
        case 2:
            Score += 10 * (Kind + 1);
            PlayWorldSound("coin");
            break;
        case 5:
            p.Repair(30);
            PlayWorldSound("repair");
            break;
        case 6:
            ++Lives;
            PlayWorldSound("up");
            break;
        case 7:
            if (Race.ClockSeconds <= 54) {
                Race.ClockSeconds += 5;
            } else {
                ++Race.ClockMinutes;
                Race.ClockSeconds -= 55;
            }
            PlayWorldSound("addtime");
            break;
        default:
            used = CommonEffect(p, true, -1);
            break;
    }
    if (used) Dead();
}

void TBonus::OpponentEffect(TCar& car, int32_t index) {
    if (Kind != 3 && Kind != 4 && Kind != 8 && Kind != 9) return;
    if (CommonEffect(car, false, index)) Dead();
}

void TBonus::Move(float) {
    UpdateCorners();
    const TQuad4 square = Square();
    const TQuadBox box = QuadBox(square);
    const int32_t count = Race.OpponentsCreated;
    for (int32_t j = 0; j < count; ++j) {
        OpponentContact[static_cast<size_t>(j)] = false;
        const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(j)];
        if (o == nullptr) continue;
        if (RaceHypot(X - o->X + o->Width / 2.0, Y - o->Y + o->Height / 2.0) >= 150) continue;
        if (QuadsOverlap(o->Body(), o->BodyBox(), square, box))
            OpponentContact[static_cast<size_t>(j)] = true;
    }
    // A bonus used up this frame still acts on every car touching it in the same frame: it
    // leaves the engine only when the frame frees the dead sprites.
    for (int32_t j = 0; j < count; ++j)
        if (OpponentContact[static_cast<size_t>(j)])
            OpponentEffect(*Race.OpponentCars[static_cast<size_t>(j)], j);
    if (TPlayer* p = Race.PlayerCar) {
        PlayerTouching = QuadsOverlap(p->Body(), p->BodyBox(), square, box);
        if (!PlayerTouching) PlayerTouched = false;
        if (PlayerTouching && !p->Blinking) PlayerEffect();
        if (PlayerTouching) PlayerTouched = true;
        FollowWorld(*this);
    }
    if (Y > 2000) Dead();
}

TExplose::TExplose(TKerbSprite* engine, double centreX, double centreY, int32_t kind, int32_t car)
    : TSprite(engine), Car(car), CentreX(centreX), CentreY(centreY) {
    const int32_t k = kind >= 0 && kind <= 2 ? kind : 1;
    SetImage(RaceImage(kExplosionImages[k]));
    SetZ(k == 0 ? 500 : 49);
    Visible = true;
    SetName("explose");
    SetPatternIndex(0);
    RotationCenterX = RotationCenterY = 0.5f;
    Angle = static_cast<float>(Random(360));
    SetAlpha(230);
    CentreOn(*this, centreX, centreY);
}

void TExplose::Move(float) {
    if (Car < 0) {
        CentreX = 396;
        CentreY = 450;
    } else if (Car < Race.OpponentsCreated && Race.OpponentCars[static_cast<size_t>(Car)]) {
        const TEnemyCar& o = *Race.OpponentCars[static_cast<size_t>(Car)];
        CentreX = CentreY = 0;
        for (const TCarCorner& c : o.Corners) {
            CentreX += c.X / 4;
            CentreY += c.Y / 4;
        }
    }
    CentreOn(*this, CentreX, CentreY);
    if (Counter >= 5) {
        if (PatternIndex >= LastPattern) {
            Dead();
        } else {
            SetPatternIndex(PatternIndex + 1);
        }
        Counter = 1;
    }
    ++Counter;
}

#include "world/Dashboard.h"

#include <cmath>
#include <cstdlib>

#include "world/FollowWorld.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/WorldContext.h"

void CentreOn(TSprite& sprite, double x, double y) {
    sprite.SetX(static_cast<float>(x - sprite.Width / 2.0));
    sprite.SetY(static_cast<float>(y - sprite.Height / 2.0));
}

namespace {
void Setup(TSprite& s, TImageListItem* image, const char* name, int32_t z) {
    s.SetImage(image);
    s.SetName(name);
    s.SetPatternIndex(0);
    s.SetZ(z);
}

const char* const kPanelImages[3] = {"velkaro", "radar", "panel"};
const char* const kShadowImages[6] = {"carten1", "carten1", "carten4",
                                      "carten5", "carten2", "carten3"};
}  // namespace

TPanel::TPanel(TKerbSprite* engine, float x, float y, int32_t kind) : TSprite(engine), Kind(kind) {
    const int32_t k = kind >= 0 && kind <= 2 ? kind : 2;
    Setup(*this, RaceImage(kPanelImages[k]), kPanelImages[k], k == 2 ? 520 : 480);
    SetX(x);
    SetY(y);
    SetAlpha(255);
    ScreenFixed = true;
}

TBar::TBar(TKerbSprite* engine, float x, float y) : TSprite(engine) {
    Setup(*this, RaceImage("healthbar"), "healthbar", 510);
    SetX(x);
    SetY(y);
    ScreenFixed = true;
    if (Image != nullptr) {
        // The bar changes the shared picture's tile height as health falls, and the picture
        // outlives the race, so the full height is taken from the picture itself.
        FullHeight = Image->ImageHeight - 1;
        Image->TileHeight = Height;
    }
}

void TBar::ShowHealth(int32_t health) {
    if (Image == nullptr) return;
    const double rows = std::nearbyint((1.0 - health / 100.0) * FullHeight + 1.0);
    Image->TileHeight = static_cast<int32_t>(rows);
}

void TBar::Move(float) {
    if (Race.PlayerCar != nullptr) ShowHealth(Race.PlayerCar->Health);
}

TDim::TDim(TKerbSprite* engine, float x, float y, bool menu) : TSprite(engine) {
    Setup(*this, ListImage(menu, "dim"), "arrow", 49);
    Visible = !menu;
    CentreOn(*this, x, y);
    RotationCenterX = 0;
    RotationCenterY = 0.5f;
    SetAlpha(200);
}

void TDim::Move(float) {
    FollowWorld(*this);
    if (Counter % 3 == 0) {
        if (PatternIndex >= 4) {
            Dead();
        } else {
            SetPatternIndex(PatternIndex + 1);
            SetAlpha(Alpha - 15);
        }
        Counter = 0;
    }
    ++Counter;
}

TArrow::TArrow(TKerbSprite* engine, float x, float y, int32_t kind, bool menu) : TSprite(engine) {
    Setup(*this, ListImage(menu, "arrows"), "arrow", 510);
    SetPatternIndex(kind);
    SetX(x);
    SetY(y);
    RotationCenterX = 0;
    RotationCenterY = 0.5f;
    Visible = false;
}

TSpeedArrow::TSpeedArrow(TKerbSprite* engine, float x, float y, double forwardScale,
                         double reverseScale)
    : TSprite(engine), ForwardScale(forwardScale), ReverseScale(reverseScale) {
    Setup(*this, RaceImage("speedarrow"), "speedarrow", 510);
    SetX(x - static_cast<float>(Width) / 2);
    SetY(y - 0.9f * static_cast<float>(Width));
    RotationCenterX = 0.5f;
    RotationCenterY = 0.9f;
    ScaleX = ScaleY = 1;
    Angle = -315;
    ScreenFixed = true;
}

double TSpeedArrow::AngleForSpeed(double speed) const {
    double r = 0;
    if (speed >= 0) {
        r = ForwardScale != 0 ? speed / ForwardScale : 0;
    } else {
        r = ReverseScale != 0 ? std::fabs(speed) / -ReverseScale : 0;
    }
    const double deflection = r < 1.36 ? 197 * r : 197 * 1.36;
    return deflection - 495;
}

void TSpeedArrow::Move(float) {
    if (Race.PlayerCar == nullptr) return;
    Angle = static_cast<float>(AngleForSpeed(Race.PlayerCar->Speed));
    Deflection = Angle + 495;
}

TRadarArrow::TRadarArrow(TKerbSprite* engine, float x, float y) : TSprite(engine) {
    Setup(*this, RaceImage("backlight"), "backlight", 510);
    CentreOn(*this, x, y);
    RotationCenterX = RotationCenterY = 0.5f;
    ScreenFixed = true;
}

void TRadarArrow::Move(float) {
    if (Race.PlayerCar != nullptr) Visible = Race.PlayerCar->Speed < 0;
}

TRadarCar::TRadarCar(TKerbSprite* engine, float x, float y, int32_t kind) : TSprite(engine) {
    Setup(*this, RaceImage(kind == 0 ? "radarcar1" : "radarcar2"), "radarcar",
          kind == 0 ? 490 : 485);
    CentreOn(*this, x, y);
    RotationCenterX = RotationCenterY = 0.5f;
    ScreenFixed = true;
}

TCarTen::TCarTen(TKerbSprite* engine, float x, float y, int32_t shadowNumber) : TSprite(engine) {
    const int32_t n = shadowNumber >= 1 && shadowNumber <= 5 ? shadowNumber : 1;
    Setup(*this, RaceImage(kShadowImages[n]), "carten", 48);
    CentreOn(*this, x, y);
    RotationCenterX = 0.5f;
    RotationCenterY = 0.3f;
    Angle = 0;
}

TBegArrows::TBegArrows(TKerbSprite* engine, float x, float y) : TSprite(engine) {
    Setup(*this, RaceImage("begarrows"), "begarrows", 550);
    CentreOn(*this, x, y);
    RotationCenterX = RotationCenterY = 0.5f;
    Angle = 0;
}

void TBegArrows::Move(float) {
    Angle += 1;
}

TLight::TLight(TKerbSprite* engine, float x, float y, int32_t kind) : TSprite(engine) {
    Setup(*this, MenuImage(kind == 0 ? "light1" : "light2"), "light", 149);
    SetX(x);
    SetY(y);
    RotationCenterX = 0;
    RotationCenterY = 0.5f;
    SetAlpha(0);
    WaitLength = 200 + Random(200);
    ScreenFixed = true;
}

void TLight::Move(float) {
    if (Counter > WaitLength) {
        if (Direction > 0) {
            if (Alpha > 254) {
                Direction = -1;
            } else {
                SetAlpha(Alpha + 1);
            }
        } else {
            if (Alpha <= 0) {
                Direction = 1;
                Counter = 0;
            } else {
                SetAlpha(Alpha - 1);
            }
        }
    }
    ++Counter;
}

TChooseLine::TChooseLine(TKerbSprite* engine, float x, float y) : TSprite(engine) {
    Setup(*this, MenuImage("chooseline"), "chooseline", 610);
    SetX(x);
    SetY(y);
    SetAlpha(100 + Random(100));
    ScreenFixed = true;
}

void TChooseLine::Move(float) {
    SetY(static_cast<float>(16 * Index + 246));
    if (Step > 0) {
        if (Alpha >= 250) {
            Step = -5;
        } else {
            SetAlpha(Alpha + Step);
        }
    } else {
        if (Alpha <= 100) {
            Step = 5;
        } else {
            SetAlpha(Alpha + Step);
        }
    }
}

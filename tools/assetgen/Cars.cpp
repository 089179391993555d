// Five cars that differ in shape, not only in colour: a GT with twin stripes (Velkaro), a
// boxy rally hatch (Turbo), a long-bonneted muscle car (Volcano), a low prototype with a
// wing (Viper) and a pick-up truck (Beast). Each is described by data: an outline of
// half-widths along its length, where its glass and roof sit, and its extras.
#include "Cars.h"

#include <cmath>
#include <vector>

#include "Palette.h"
#include "Scenes.h"

namespace {

enum class TStripes { None, Twin, Centre, Diagonal };

struct TCarPaint {
    TColor Body, Stripe;
};

struct TCarDesign {
    std::vector<TPoint> Outline;  // (t, half-width): t 0 at the front, 1 at the rear
    double GlassFront, RoofFront, RoofRear, GlassRear;
    double GlassHalfFront, GlassHalfRear;
    double WheelFront = 0.2, WheelRear = 0.8, WheelLength = 15, WheelOut = 0.5;
    TStripes Stripes = TStripes::None;
    bool Wing = false, Scoop = false, Bed = false, RoofScoop = false, LightBar = false,
         Roundel = false;
    TCarPaint Paints[3];
};

double Y(double t) {
    return CarHalfL - 2 * CarHalfL * t;
}

const TCarDesign& Design(TCarType type) {
    static const TCarDesign designs[5] = {
        // Velkaro: a balanced GT, waisted between the arches.
        {{{0, 10},
          {0.025, 16},
          {0.08, 19.5},
          {0.22, 20.5},
          {0.45, 18.6},
          {0.72, 20.8},
          {0.9, 20.3},
          {0.975, 17.5},
          {1, 11}},
         0.34,
         0.47,
         0.66,
         0.76,
         14.5,
         14,
         0.2,
         0.8,
         15,
         2.8,
         TStripes::Twin,
         false,
         false,
         false,
         false,
         false,
         false,
         {{Hex(0xC8232C), Hex(0xF4F1EA)},
          {Hex(0xF0BE2A), Hex(0x1A1A1A)},
          {Hex(0x2456C8), Hex(0xF4F1EA)}}},
        // Turbo: a short-nosed hatch with a long roof, roof scoop and a roundel.
        {{{0, 15}, {0.03, 18.5}, {0.12, 19.5}, {0.6, 19.5}, {0.94, 19.2}, {1, 15.5}},
         0.2,
         0.33,
         0.82,
         0.9,
         15.5,
         15,
         0.17,
         0.8,
         14,
         3.2,
         TStripes::Diagonal,
         false,
         false,
         false,
         true,
         false,
         true,
         {{Hex(0xE9EDF0), Hex(0x1F4FB0)},
          {Hex(0xF07A1E), Hex(0xF4F1EA)},
          {Hex(0x3C7A2E), Hex(0xF2D23A)}}},
        // Volcano: a muscle car with a long bonnet, a scoop and wide hips.
        {{{0, 14},
          {0.03, 18},
          {0.1, 19},
          {0.35, 19.3},
          {0.6, 20.4},
          {0.85, 21.2},
          {0.97, 20},
          {1, 16.5}},
         0.43,
         0.55,
         0.74,
         0.82,
         15,
         15.5,
         0.18,
         0.8,
         15,
         2.5,
         TStripes::Twin,
         false,
         true,
         false,
         false,
         false,
         false,
         {{Hex(0xE0521A), Hex(0x17171A)},
          {Hex(0x26282C), Hex(0xD9A520)},
          {Hex(0x6A2A9A), Hex(0xF4F1EA)}}},
        // Viper: a low prototype, narrow nose, side pods, cockpit well back, big wing.
        {{{0, 6},
          {0.04, 11},
          {0.15, 14.5},
          {0.3, 16.5},
          {0.42, 20.6},
          {0.75, 21.2},
          {0.93, 20.5},
          {1, 19}},
         0.36,
         0.46,
         0.58,
         0.66,
         9,
         8,
         0.2,
         0.82,
         15,
         2.6,
         TStripes::Centre,
         true,
         false,
         false,
         false,
         false,
         false,
         {{Hex(0x2E9E4A), Hex(0x141414)},
          {Hex(0xB8C2CC), Hex(0xC8232C)},
          {Hex(0x1FA8C4), Hex(0xF4F1EA)}}},
        // Beast: a square pick-up truck with a load bed, roll bar and light bar.
        {{{0, 19}, {0.02, 20.5}, {0.1, 21}, {0.9, 21}, {0.985, 20.5}, {1, 18.5}},
         0.26,
         0.33,
         0.5,
         0.54,
         17,
         17,
         0.19,
         0.8,
         18,
         2.8,
         TStripes::None,
         false,
         false,
         true,
         false,
         true,
         false,
         {{Hex(0x3A4046), Hex(0xF28A1E)},
          {Hex(0xE8B820), Hex(0x1A1A1A)},
          {Hex(0xA82020), Hex(0xF4F1EA)}}},
    };
    return designs[static_cast<int>(type)];
}

void OutlinePath(cairo_t* cr, const std::vector<TPoint>& outline, double shrink) {
    std::vector<TPoint> pts;
    pts.push_back({0, Y(0) - shrink});
    for (const TPoint& p : outline) pts.push_back({p.Y - shrink, Y(p.X)});
    pts.push_back({0, Y(1) + shrink});
    for (auto it = outline.rbegin(); it != outline.rend(); ++it) {
        pts.push_back({-(it->Y - shrink), Y(it->X)});
    }
    SmoothPath(cr, pts, true);
}

double HalfWidthAt(const TCarDesign& d, double t) {
    const auto& o = d.Outline;
    for (size_t i = 1; i < o.size(); ++i) {
        if (t <= o[i].X) {
            double u = (t - o[i - 1].X) / (o[i].X - o[i - 1].X);
            return o[i - 1].Y + (o[i].Y - o[i - 1].Y) * u;
        }
    }
    return o.back().Y;
}

void DrawWheels(cairo_t* cr, const TCarDesign& d) {
    for (double t : {d.WheelFront, d.WheelRear}) {
        double hw = std::min(HalfWidthAt(d, t) + d.WheelOut, CarHalfW - 0.2);
        for (int side : {-1, 1}) {
            TBox tyre{side > 0 ? hw - 6 : -hw, Y(t) - d.WheelLength / 2, 6, d.WheelLength};
            RoundedRect(cr, tyre, 2);
            FillLinear(cr, tyre.X, 0, tyre.Right(), 0,
                       {{0, Hex(0x1A1C1F)}, {0.5, Hex(0x3A3D42)}, {1, Hex(0x121315)}});
            for (double ty = tyre.Y + 2; ty < tyre.Bottom() - 1; ty += 2.5) {
                cairo_rectangle(cr, tyre.X + 0.5, ty, tyre.W - 1, 0.8);
            }
            SetColor(cr, {0, 0, 0, 0.35});
            cairo_fill(cr);
        }
    }
}

void DrawStripes(cairo_t* cr, const TCarDesign& d, TColor stripe) {
    switch (d.Stripes) {
        case TStripes::Twin:
            cairo_rectangle(cr, -7.5, -CarHalfL, 4.5, 2 * CarHalfL);
            cairo_rectangle(cr, 3, -CarHalfL, 4.5, 2 * CarHalfL);
            break;
        case TStripes::Centre:
            cairo_rectangle(cr, -3.5, -CarHalfL, 7, 2 * CarHalfL);
            break;
        case TStripes::Diagonal:
            cairo_move_to(cr, -CarHalfW, Y(0.1));
            cairo_line_to(cr, CarHalfW, Y(0.3));
            cairo_line_to(cr, CarHalfW, Y(0.4));
            cairo_line_to(cr, -CarHalfW, Y(0.2));
            cairo_close_path(cr);
            cairo_move_to(cr, -CarHalfW, Y(0.84));
            cairo_line_to(cr, CarHalfW, Y(0.9));
            cairo_line_to(cr, CarHalfW, Y(0.96));
            cairo_line_to(cr, -CarHalfW, Y(0.9));
            cairo_close_path(cr);
            break;
        case TStripes::None:
            return;
    }
    SetColor(cr, WithAlpha(stripe, 0.92));
    cairo_fill(cr);
}

// The body's paint: darker towards the flanks, a light ridge along the middle.
void ShadeBody(cairo_t* cr, TColor body) {
    cairo_rectangle(cr, -CarHalfW, -CarHalfL, 2 * CarHalfW, 2 * CarHalfL);
    FillLinear(cr, -CarHalfW, 0, CarHalfW, 0,
               {{0, Darker(body, 0.55)},
                {0.2, Darker(body, 0.1)},
                {0.42, Lighter(body, 0.18)},
                {0.5, Lighter(body, 0.25)},
                {0.58, Lighter(body, 0.18)},
                {0.8, Darker(body, 0.1)},
                {1, Darker(body, 0.55)}});
    cairo_rectangle(cr, -CarHalfW, -CarHalfL, 2 * CarHalfW, 2 * CarHalfL);
    FillLinear(cr, 0, -CarHalfL, 0, CarHalfL,
               {{0, {0, 0, 0, 0.18}}, {0.3, {1, 1, 1, 0.05}}, {1, {0, 0, 0, 0.12}}});
}

void GlassPath(cairo_t* cr, const TCarDesign& d) {
    double yf = Y(d.GlassFront), yr = Y(d.GlassRear);
    double bulge = 2.5;
    cairo_move_to(cr, -d.GlassHalfFront, yf);
    cairo_curve_to(cr, -d.GlassHalfFront * 0.5, yf + bulge, d.GlassHalfFront * 0.5, yf + bulge,
                   d.GlassHalfFront, yf);
    cairo_line_to(cr, d.GlassHalfRear, yr);
    cairo_curve_to(cr, d.GlassHalfRear * 0.5, yr - bulge * 0.6, -d.GlassHalfRear * 0.5,
                   yr - bulge * 0.6, -d.GlassHalfRear, yr);
    cairo_close_path(cr);
}

void DrawCabin(cairo_t* cr, const TCarDesign& d, const TCarPaint& paint) {
    GlassPath(cr, d);
    FillLinear(cr, 0, Y(d.GlassFront), 0, Y(d.GlassRear),
               {{0, Hex(0x2C4558)}, {0.5, Pal::Glass}, {1, Hex(0x26394A)}}, true);
    SetColor(cr, {0, 0, 0, 0.6});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // A sky reflection across the windscreen.
    cairo_save(cr);
    GlassPath(cr, d);
    cairo_clip(cr);
    double yf = Y(d.GlassFront);
    cairo_move_to(cr, -CarHalfW, yf - 2);
    cairo_line_to(cr, CarHalfW, yf - 7);
    cairo_line_to(cr, CarHalfW, yf - 9);
    cairo_line_to(cr, -CarHalfW, yf - 4);
    cairo_close_path(cr);
    SetColor(cr, {0.75, 0.88, 1, 0.35});
    cairo_fill(cr);
    cairo_restore(cr);
    // The roof: body colour, narrower than the glass, so side windows show either side.
    double yrf = Y(d.RoofFront), yrr = Y(d.RoofRear);
    double hf = d.GlassHalfFront - 3;
    double hr = d.GlassHalfRear - 3;
    cairo_move_to(cr, -hf, yrf);
    cairo_curve_to(cr, -hf * 0.5, yrf + 1.2, hf * 0.5, yrf + 1.2, hf, yrf);
    cairo_line_to(cr, hr, yrr);
    cairo_curve_to(cr, hr * 0.5, yrr - 1, -hr * 0.5, yrr - 1, -hr, yrr);
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    FillLinear(cr, -hf, 0, hf, 0,
               {{0, Darker(paint.Body, 0.25)},
                {0.5, Lighter(paint.Body, 0.3)},
                {1, Darker(paint.Body, 0.25)}});
    DrawStripes(cr, d, paint.Stripe);
    cairo_restore(cr);
}

void DrawLamps(cairo_t* cr, const TCarDesign& d) {
    double hwFront = HalfWidthAt(d, 0.04);
    for (int side : {-1, 1}) {
        double x = side * (hwFront - 5.5);
        cairo_save(cr);
        cairo_translate(cr, x, Y(0.025));
        cairo_scale(cr, 3.6, 1.6);
        Circle(cr, 0, 0, 1);
        cairo_restore(cr);
        FillRadial(cr, x, Y(0.025), 0, 4, {{0, Hex(0xFFFFF0)}, {1, Hex(0xE8D890)}});
        double hwRear = HalfWidthAt(d, 0.985);
        double xr = side * (hwRear - 5);
        cairo_rectangle(cr, xr - 3.5, Y(0.995), 7, 1.8);
        SetColor(cr, Hex(0xE02020));
        cairo_fill(cr);
    }
}

void DrawExtras(cairo_t* cr, const TCarDesign& d, const TCarPaint& paint) {
    if (d.Scoop) {
        TBox scoop{-5, Y(0.34), 10, Y(0.16) - Y(0.34)};
        RoundedRect(cr, scoop, 2.5);
        FillVertical(cr, scoop, Hex(0x202226), Hex(0x0C0D0F));
        cairo_rectangle(cr, -3.5, Y(0.2), 7, 1.2);
        SetColor(cr, Hex(0x505560));
        cairo_fill(cr);
    }
    if (d.RoofScoop) {
        TBox scoop{-4, Y(0.44), 8, 5};
        RoundedRect(cr, scoop, 1.5);
        SetColor(cr, Hex(0x1A1C20));
        cairo_fill(cr);
    }
    if (d.Roundel) {
        Circle(cr, 0, Y(0.6), 5.5);
        SetColor(cr, Hex(0xF6F6F2));
        cairo_fill_preserve(cr);
        SetColor(cr, paint.Stripe);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
    }
    if (d.Bed) {
        TBox bed{-16, Y(0.965), 32, Y(0.58) - Y(0.965)};
        RoundedRect(cr, bed, 2);
        FillVertical(cr, bed, Hex(0x24272B), Hex(0x33373C));
        for (double x = -13; x <= 13; x += 6.5)
            cairo_rectangle(cr, x - 0.6, bed.Y + 2, 1.2, bed.H - 4);
        SetColor(cr, Hex(0x4A4F56));
        cairo_fill(cr);
        cairo_rectangle(cr, -19, Y(0.565), 38, 3);
        FillLinear(cr, -19, 0, 19, 0, {{0, Hex(0x5A6068)}, {0.5, Pal::Chrome}, {1, Hex(0x5A6068)}});
    }
    if (d.LightBar) {
        cairo_rectangle(cr, -14, Y(0.345), 28, 3);
        SetColor(cr, Hex(0x15171A));
        cairo_fill(cr);
        for (double x = -11; x <= 11; x += 7.3) {
            Circle(cr, x, Y(0.345) + 1.5, 1.2);
            SetColor(cr, Hex(0xFFF6C8));
            cairo_fill(cr);
        }
    }
    if (d.Wing) {
        TBox wing{-22.5, Y(1.0), 45, 6};
        RoundedRect(cr, wing, 1.5);
        FillVertical(cr, wing, Darker(paint.Stripe, 0.1), Darker(paint.Stripe, 0.5));
        RoundedRect(cr, wing, 1.5);
        SetColor(cr, {0, 0, 0, 0.7});
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        for (int side : {-1, 1}) {
            cairo_rectangle(cr, side * 21.5 - 1.5, Y(1.0), 3, 10);
            SetColor(cr, Hex(0x15171A));
            cairo_fill(cr);
        }
    }
}

}  // namespace

void CarOutlinePath(cairo_t* cr, TCarType type) {
    OutlinePath(cr, Design(type).Outline, 0);
}

void DrawCar(cairo_t* cr, TCarType type, int variant) {
    const TCarDesign& d = Design(type);
    const TCarPaint& paint = d.Paints[variant % 3];
    DrawWheels(cr, d);
    cairo_save(cr);
    OutlinePath(cr, d.Outline, 0);
    cairo_clip(cr);
    ShadeBody(cr, paint.Body);
    DrawStripes(cr, d, paint.Stripe);
    cairo_restore(cr);
    DrawLamps(cr, d);
    DrawCabin(cr, d, paint);
    DrawExtras(cr, d, paint);
    OutlinePath(cr, d.Outline, 0.4);
    SetColor(cr, {0, 0, 0, 0.75});
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
}

TDrawFn CarArt(TCarType type) {
    return [type](const TTile& t) {
        cairo_translate(t.Cr, t.W / 2.0, t.H / 2.0);
        DrawCar(t.Cr, type, t.Pattern);
    };
}

TDrawFn CarShadowArt(TCarType type) {
    return [type](const TTile& t) {
        cairo_translate(t.Cr, t.W / 2.0, t.H / 2.0);
        // A little smaller than the body so that the blur stays inside the tile.
        cairo_scale(t.Cr, 0.94, 0.96);
        SoftShadow(t.Cr, [type](cairo_t* c) { CarOutlinePath(c, type); }, 2, 0, 0, {0, 0, 0, 0.55});
    };
}

TDrawFn MenuCarArt(TCarType type) {
    return [type](const TTile& t) {
        // The menu shows the car heading up the screen, as it starts a race.
        double scale = std::min(t.W / (2 * CarHalfW + 4), t.H / (2 * CarHalfL + 2));
        cairo_translate(t.Cr, t.W / 2.0, t.H / 2.0);
        cairo_scale(t.Cr, scale, scale);
        cairo_rotate(t.Cr, M_PI);
        SoftShadow(t.Cr, [type](cairo_t* c) { CarOutlinePath(c, type); }, 2.5, 0, 0,
                   {0, 0, 0, 0.5});
        DrawCar(t.Cr, type, 0);
    };
}

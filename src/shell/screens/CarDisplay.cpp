#include "shell/screens/CarDisplay.h"

#include <cstddef>
#include <string>

#include "shell/screens/MenuSprites.h"

void ShowCarDisplay(TForm1& f, const TCarType& car) {
    if (f.CarImage == nullptr)
        f.CarImage =
            new TMenuScreen(&f.KerbSprite1, 370, 230, 521, "tr_notav", "carimage", 255, true);
    for (size_t k = 0; k < f.Bars.size(); ++k)
        if (f.Bars[k] == nullptr)
            f.Bars[k] = new TMenuScreen(&f.KerbSprite1, 386, static_cast<float>(343 + 25 * k), 522,
                                        "bar", "bar" + std::to_string(k + 1), 255, true);
    f.CarImage->SetImage(f.KerbImageList1.Find(car.ImageName));
    f.CarImage->SetRed(255);
    f.CarImage->SetGreen(255);
    f.CarImage->SetBlue(255);
    const double factors[] = {car.MaxSpeed / 15, car.Accel * 10 + 0.1, car.Steering + 0.2,
                              car.Grip};
    for (size_t k = 0; k < f.Bars.size(); ++k) f.Bars[k]->ScaleX = static_cast<float>(factors[k]);
}

void KillCarDisplay(TForm1& f) {
    for (TSprite*& s : f.Bars) {
        if (s != nullptr) s->Dead();
        s = nullptr;
    }
    if (f.CarImage != nullptr) f.CarImage->Dead();
    f.CarImage = nullptr;
}

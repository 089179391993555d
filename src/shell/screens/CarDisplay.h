// A car's picture and its four bars (top speed, acceleration, steering, grip), as the car page
// and the daily race's preview show them.
#pragma once

#include "shell/Form1.h"
#include "world/GameTables.h"

// Shows this car: the picture and the bars are made on the first call and changed after that.
void ShowCarDisplay(TForm1& f, const TCarType& car);
// Takes the picture and the bars away.
void KillCarDisplay(TForm1& f);

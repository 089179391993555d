// Building a race: the dashboard, the player's car, the opponents, the grid, the start area,
// the checkpoints, the finish line and the first road pieces, in that order. Also the road
// streaming that adds a piece as the player advances, and the world shift that moves
// everything on the road at once.
#pragma once

#include <cstdint>

class TCar;
class TKerbSprite;
class TSprite;

// Sets the race clock from the time limit of the difficulty record (see RaceBuild.cpp).
void StartRaceClock();
void BuildRace();
void ExtendRoad();
void ShiftWorld(double dx, double dy);
void ScrollCheckpoints();

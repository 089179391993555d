#include "world/RoadLayout.h"

#include <algorithm>
#include <cmath>

#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/Random.h"

namespace {
constexpr TPieceShape kShapes[7] = {{150, 150}, {394, 184}, {184, 394}, {150, 221},
                                    {254, 184}, {184, 254}, {221, 150}};

void GenerateRoadKinds(int32_t length, int32_t gapMin, int32_t gapMax) {
    int32_t run = 0, target = 0, count = 0;
    for (int32_t j = 0; j <= length; ++j) {
        uint8_t kind = static_cast<uint8_t>(run);
        if (count == target) {
            if (run == 0) {
                const int32_t r = Random(2);
                run = r + 1;
                kind = r == 0 ? 4 : 3;
            } else {
                kind = run == 1 ? 6 : 5;
                run = 0;
            }
            count = 0;
            target = gapMin + 2 + Random(gapMax - gapMin);
        }
        Race.RoadKinds[static_cast<size_t>(j)] = kind;
        ++count;
    }
}

void GenerateSideKinds(int32_t length) {
    bool zone = false;
    int32_t target = 5, count = 0;
    for (int32_t j = 0; j < length; ++j) {
        uint8_t side = zone ? 1 : 0;
        if (count == target) {
            side = zone ? 2 : 3;
            zone = !zone;
            count = 0;
            target = 10 + Random(10);
        }
        Race.SideKinds[static_cast<size_t>(j)] = side;
        ++count;
    }
    Race.SideKinds[static_cast<size_t>(length)] = zone ? 2 : 0;
}
}  // namespace

int32_t PieceShift(int32_t kind) {
    if (kind < 0 || kind > 6) return 0;
    return Race.PieceShapes[static_cast<size_t>(kind)].Exit -
           Race.PieceShapes[static_cast<size_t>(kind)].Entry;
}

void InitStartGrid() {
    for (int32_t i = 1; i <= 21; ++i) {
        TGridSlot& slot = Race.StartGrid[static_cast<size_t>(i)];
        const bool odd = i % 2 == 1;
        slot.X = odd ? -70 : 70;
        slot.Y = odd ? 100.0 * i : 100.0 * i + 40;
    }
}

void InitPieceShapes() {
    std::copy(std::begin(kShapes), std::end(kShapes), Race.PieceShapes.begin());
}

void GenerateLayout(int32_t length, int32_t gapMin, int32_t gapMax) {
    // CloseLayout adds 21 entries after the last; the arrays must hold them all.
    length = std::clamp(length, 1, kRoadCapacity - 23);
    GenerateRoadKinds(length, gapMin, gapMax);
    GenerateSideKinds(length);
    Race.RoadLength = length;
}

void CloseLayout() {
    const int32_t n = Race.RoadLength;
    const uint8_t last = Race.RoadKinds[static_cast<size_t>(n)];
    uint8_t closing = 0;
    if (last == 1 || last == 4) closing = 6;
    if (last == 2 || last == 3) closing = 5;
    Race.RoadKinds[static_cast<size_t>(n + 1)] = closing;
    for (int32_t j = n + 2; j <= n + 21; ++j) Race.RoadKinds[static_cast<size_t>(j)] = 0;
    // The scenery code of the closing and run-out pieces: plain road.
    for (int32_t j = n + 1; j <= n + 21; ++j) Race.SideKinds[static_cast<size_t>(j)] = 0;
    Race.RoadLength = n + 21;
}

void BuildCheckpoints() {
    double x = Race.BuildX, y = Race.BuildY - 150;
    const int32_t count = std::min(Race.RoadLength + 8, kCheckpointCapacity - 1);
    int32_t k = 1;
    for (int32_t j = 0; j < Race.RoadLength && k <= count; ++j, ++k) {
        const int32_t shift = PieceShift(Race.RoadKinds[static_cast<size_t>(j)]);
        Race.Checkpoints[static_cast<size_t>(k)] = {x + shift / 2.0, y, k};
        y -= 300;
        x += shift;
    }
    for (; k <= count; ++k) {
        Race.Checkpoints[static_cast<size_t>(k)] = {x, y, k};
        y -= 300;
    }
    Race.CheckpointCount = count;
}

void MeasureCheckpoints() {
    Race.CheckpointDistance[1] = 0;
    for (int32_t k = 2; k <= Race.CheckpointCount; ++k) {
        const TCheckpoint& a = Race.Checkpoints[static_cast<size_t>(k - 1)];
        const TCheckpoint& b = Race.Checkpoints[static_cast<size_t>(k)];
        Race.CheckpointDistance[static_cast<size_t>(k)] =
            Race.CheckpointDistance[static_cast<size_t>(k - 1)] +
            RaceHypot(b.X - a.X, b.Y - a.Y) / 10.0;
    }
}

TPoint2 PlaceFinishLine() {
    double x = Race.BuildX, y = Race.BuildY - 150;
    if (Race.RoadLength >= 10) {
        for (int32_t j = 0; j <= Race.RoadLength - 10; ++j) {
            y -= 300;
            x += PieceShift(Race.RoadKinds[static_cast<size_t>(j)]);
        }
    }
    return {x, y - 450};
}

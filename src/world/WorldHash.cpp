#include "world/WorldHash.h"

#include <cstring>

#include "engine/KerbSprite.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
// FNV-1a over the bytes of each value.
class THasher {
public:
    template <class T>
    void Add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) Hash = (Hash ^ b) * 1099511628211ULL;
    }
    uint64_t Hash = 14695981039346656037ULL;
};
}  // namespace

uint64_t WorldHash(const TKerbSprite& sprites) {
    THasher h;
    h.Add(sprites.Count());
    for (const TSprite* s : sprites.SpriteList) {
        h.Add(s->X);
        h.Add(s->Y);
        h.Add(s->Angle);
        h.Add(s->PatternIndex);
        h.Add(s->Z);
    }
    if (const TPlayer* p = Race.PlayerCar) {
        h.Add(p->Speed);
        h.Add(p->Heading);
        h.Add(p->Direction);
        h.Add(p->Health);
    }
    h.Add(Race.ClockMinutes);
    h.Add(Race.ClockSeconds);
    h.Add(Race.ClockHundredths);
    h.Add(Score);
    h.Add(Race.NextPiece);
    return h.Hash;
}

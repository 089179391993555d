#include "engine/KerbMusic.h"

#include <algorithm>
#include <cmath>

#include "engine/AudioMixer.h"
#include "engine/FileRead.h"
#include "engine/KerbSprite.h"
#include "engine/WavFile.h"
#include "platform/Paths.h"

int32_t TKerbMusic::VolumeToMillibels(int32_t volume) {
    if (volume <= 0) return -10000;
    return EngineRound(1000.0 * std::log10(static_cast<double>(volume) / 100.0));
}

int32_t TKerbMusic::PanToMillibels(int32_t pan) {
    if (pan == 0) return 0;
    if (pan <= -100) return -10000;
    if (pan >= 100) return 10000;
    if (pan < 0) return EngineRound(1000.0 * std::log10(static_cast<double>(pan + 100) / 100.0));
    return -EngineRound(1000.0 * std::log10(static_cast<double>(100 - pan) / 100.0));
}

void TKerbMusic::Gains(int32_t volume, int32_t pan, float& left, float& right) {
    const int32_t v = VolumeToMillibels(volume);
    const int32_t p = PanToMillibels(pan);
    // A pan to one side lowers the other side by its amount.
    left = GainFromMillibels(v - std::max(0, p));
    right = GainFromMillibels(v + std::min(0, p));
}

TSongListItem& TKerbMusic::AddSong() {
    Songs.push_back(std::unique_ptr<TSongListItem>(new TSongListItem(Mixer)));
    return *Songs.back();
}

TSongListItem* TKerbMusic::Find(std::string_view name) const {
    for (const auto& song : Songs)
        if (song->Name == name) return song.get();
    return nullptr;
}

void TKerbMusic::Poll() {
    for (const auto& song : Songs) {
        if (!song->Loop || !song->IsLoaded) continue;
        TModulePlayer& player = song->Player;
        if (player.Ended() || player.PositionSeconds() >= player.DurationSeconds()) {
            player.SeekSeconds(0.0);
            player.Start();
        }
    }
}

TSongListItem::~TSongListItem() {
    Unload();
}

bool TSongListItem::Play() {
    if (!IsLoaded) {
        std::vector<uint8_t> bytes;
        std::string reason;
        if (!ReadWholeFile(GamePath(FileName), TFileKind::Module, bytes, reason) ||
            !Player.Load(bytes, reason))
            return false;
        if (!Mixer.AddSong(&Player)) {
            Player.Unload();
            return false;
        }
        IsLoaded = true;
    }
    float left = 1.0f, right = 1.0f;
    TKerbMusic::Gains(Volume, Pan, left, right);
    Player.SetGains(left, right);
    // Poll does the looping, so the player itself stops at the end.
    Player.SetLoop(false);
    Player.Start();
    return true;
}

void TSongListItem::Stop() {
    Player.Stop();
}

void TSongListItem::Unload() {
    if (!IsLoaded) return;
    Player.Stop();
    Mixer.RemoveSong(&Player);
    Player.Unload();
    IsLoaded = false;
}

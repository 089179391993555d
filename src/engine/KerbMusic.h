// TKerbMusic (KerbMusic1): a second, simpler music component. It owns a list of songs, each a
// module player with a volume (0..100) and a pan (-100..100) turned into hundredths of a
// decibel, and plays them through a mixer it does not own (the sound component's). Songs
// that loop are sent back to their start by Poll, which the game calls every frame while
// music is on. The mixer must outlive this component.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ModulePlayer.h"

class TAudioMixer;
class TKerbMusic;

class TSongListItem {
public:
    ~TSongListItem();
    TSongListItem(const TSongListItem&) = delete;
    TSongListItem& operator=(const TSongListItem&) = delete;

    int32_t Volume = 100;  // 0..100
    int32_t Pan = 0;       // -100 (left) .. 100 (right)
    std::string FileName;
    std::string Name;
    bool Loop = false;

    bool Loaded() const { return IsLoaded; }
    // Loads on first use (false when the file cannot be read or decoded), applies volume and
    // pan, and plays on from where Stop left off.
    bool Play();
    void Stop();
    void Unload();
    bool IsPlaying() const { return Player.Playing(); }
    TModulePlayer& ModulePlayer() { return Player; }

private:
    friend class TKerbMusic;
    explicit TSongListItem(TAudioMixer& mixer) : Mixer(mixer) {}
    TAudioMixer& Mixer;
    TModulePlayer Player;
    bool IsLoaded = false;
};

class TKerbMusic {
public:
    explicit TKerbMusic(TAudioMixer& mixer) : Mixer(mixer) {}

    // Volume 0..100 in hundredths of a decibel: -10000 at 0 and below, else
    // Round(1000 * log10(v / 100)).
    static int32_t VolumeToMillibels(int32_t volume);
    // Pan -100..100 in hundredths of a decibel: the attenuation of the far side, negative
    // towards the left.
    static int32_t PanToMillibels(int32_t pan);
    // Left and right gains of a song with this volume and pan.
    static void Gains(int32_t volume, int32_t pan, float& left, float& right);

    TSongListItem& AddSong();
    TSongListItem* Find(std::string_view name) const;
    int32_t Count() const { return static_cast<int32_t>(Songs.size()); }
    TSongListItem& operator[](int32_t index) const { return *Songs.at(static_cast<size_t>(index)); }

    // Sends every looping song that has reached its end back to its start.
    void Poll();

private:
    TAudioMixer& Mixer;
    std::vector<std::unique_ptr<TSongListItem>> Songs;
};

// TKerbSound3D (Sound3D): plays the game's sound effects and its tracker-module songs by name.
// It owns three named lists: the audio paths (AudioPathList), each a set of voices in the
// mixer; the sound effects (SoundList), loaded from WAVE files on first play; and the songs
// (ModList), loaded from module files on first play and rendered by libopenmpt. It owns the
// mixer and the audio device the mixer feeds (without a device everything works and nothing
// is heard). Time for the 250 ms rule comes from the TClock it is given; files are found
// through GamePath. Failures raise ESoundError with the component's fixed texts.
#pragma once

#include <array>
#include <cstdint>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AudioMixer.h"
#include "engine/ModulePlayer.h"
#include "engine/WavFile.h"
#include "platform/AudioDevice.h"

class TClock;
class TKerbSound3D;
class TSoundListItem;

class ESoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    ESoundError(const std::string& text, std::string detail)
        : std::runtime_error(text), Detail(std::move(detail)) {}
    // Why, when known (the file and what was wrong with it); the text stays the fixed one.
    std::string Detail;
};

enum class TAudioPathType { apt3D, aptMono, aptStereo };
// How a sound picks its path: the path at its AudioPathIndex, or the next free pooled path
// of one type.
enum class TAudioPathPool { appUseIndex, app3D, appMono, appStereo };

// A named list of items, looked up by exact name (first match). Items keep their addresses
// for their whole life; only the sound component creates lists.
template <class T>
class TSoundCollection {
public:
    T* Find(std::string_view name) const {
        for (const auto& item : Items)
            if (item->Name == name) return item.get();
        return nullptr;
    }
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
    // The item at index, or null when there is none.
    T* At(int32_t index) const {
        if (index < 0 || index >= Count()) return nullptr;
        return Items[static_cast<size_t>(index)].get();
    }
    T& operator[](int32_t index) const { return *Items.at(static_cast<size_t>(index)); }
    T& Add() {
        Items.push_back(std::unique_ptr<T>(new T(Owner)));
        return *Items.back();
    }
    void Delete(int32_t index) {
        if (index >= 0 && index < Count()) Items.erase(Items.begin() + index);
    }
    void Clear() {
        while (!Items.empty()) Items.pop_back();
    }

private:
    friend class TKerbSound3D;
    explicit TSoundCollection(TKerbSound3D& owner) : Owner(owner) {}
    TKerbSound3D& Owner;
    std::vector<std::unique_ptr<T>> Items;
};

class TAudioPathListItem {
public:
    ~TAudioPathListItem();
    TAudioPathListItem(const TAudioPathListItem&) = delete;
    TAudioPathListItem& operator=(const TAudioPathListItem&) = delete;

    std::string Name;
    TAudioPathType AudioPathType = TAudioPathType::apt3D;
    // Takes part in the automatic path choice of its type.
    bool Pool = false;
    // Voices the path can mix.
    int32_t Channels = 32;
    // Playback rate set on the path at creation; 0 = the sound's own rate.
    int32_t Frequency = 22050;

    // Whether the path was created in the mixer (InitAudioPaths).
    bool Created() const { return MixerPath >= 0; }
    // The recorded item still plays here: it last played on this path and either started
    // less than 250 ms ago or a voice of it still sounds. Otherwise the record is cleared.
    bool IsPlaying();

    // Settings last applied for a sound, and the listener (3D paths use both).
    int32_t Volume = 0;  // hundredths of a decibel
    int32_t AppliedFrequency = 0;
    float SoundPositionX = 0, SoundPositionY = 0, SoundPositionZ = 0;
    float ListenerX = 0, ListenerY = 0, ListenerZ = 0;
    // The sound item that last started here and when (milliseconds of the component's clock).
    TSoundListItem* PlayingItem = nullptr;
    int64_t StartedMs = 0;

private:
    friend class TSoundCollection<TAudioPathListItem>;
    friend class TKerbSound3D;
    friend class TSoundListItem;
    explicit TAudioPathListItem(TKerbSound3D& owner) : Owner(owner) {}
    void Create();
    TKerbSound3D& Owner;
    int32_t MixerPath = -1;
};

class TSoundListItem {
public:
    ~TSoundListItem();
    TSoundListItem(const TSoundListItem&) = delete;
    TSoundListItem& operator=(const TSoundListItem&) = delete;

    std::string Name;
    std::string FileName;
    bool Loop = false;
    // Times the sound plays again after the first, when it does not loop.
    uint32_t RepeatCount = 0;
    // 0..100; v becomes v * 100 - 10000 hundredths of a decibel.
    int32_t Volume = 100;
    // Playback rate; 0 = the sound's own.
    int32_t Frequency = 0;
    int32_t Pan = 0;  // kept, not used
    float SoundPositionX = 0, SoundPositionY = 0, SoundPositionZ = 0;
    int32_t AudioPathIndex = 0;
    TAudioPathPool AudioPathPool = TAudioPathPool::appUseIndex;

    bool Loaded() const { return Sound != nullptr; }
    // Loads on first use, picks a path, applies volume, rate and position, and starts a new
    // voice (a sound already sounding keeps sounding). Returns the path, or null when no
    // path was found (nothing plays then).
    TAudioPathListItem* Play();
    // Silences every voice of this sound and releases the paths that record it.
    void Stop();
    void Unload();
    // Loop forever, or play RepeatCount more times; applies at once to the voices that are
    // sounding (from the end of their current pass) and to later plays.
    void SetLoop(bool value);
    // Repeats of later plays (when not looping).
    void SetRepeatCount(uint32_t value);
    // The path the sound last played on.
    TAudioPathListItem* LastPath() const { return PlayedOn; }

private:
    friend class TSoundCollection<TSoundListItem>;
    friend class TKerbSound3D;
    friend class TAudioPathListItem;
    explicit TSoundListItem(TKerbSound3D& owner) : Owner(owner) {}
    void Load();
    int32_t Repeats() const;
    TKerbSound3D& Owner;
    std::unique_ptr<TPcmSound> Sound;
    TAudioPathListItem* PlayedOn = nullptr;
};

class TModListItem {
public:
    ~TModListItem();
    TModListItem(const TModListItem&) = delete;
    TModListItem& operator=(const TModListItem&) = delete;

    std::string Name;
    std::string FileName;
    bool Loop = false;
    uint32_t RepeatCount = 0;  // kept, not used
    int32_t Volume = 100;      // kept, not used

    bool Loaded() const { return IsLoaded; }
    // Reads and decodes the module on a worker thread, so that the frame thread does not wait
    // for it; the next Play takes it from there (waiting for it when it is not done yet).
    void Prepare();
    // Whether Play would start it without reading or decoding anything on this thread.
    bool Ready() const;
    // Loads on first use, sets looping from Loop, and plays on from where Stop left off.
    void Play();
    void Stop();
    void Unload();
    bool IsPlaying() const { return Player.Playing(); }
    TModulePlayer& ModulePlayer() { return Player; }

private:
    friend class TSoundCollection<TModListItem>;
    explicit TModListItem(TKerbSound3D& owner) : Owner(owner) {}
    void Load();
    TKerbSound3D& Owner;
    TModulePlayer Player;
    bool IsLoaded = false;
    // What Prepare's worker made of the file: empty when the player holds the module, else why
    // not. Declared after Player: destroyed (waited for) before it.
    struct TPrepared {
        bool Ok = false;
        std::string Reason;
    };
    std::future<TPrepared> Preparing;
};

using TAudioPathListCollection = TSoundCollection<TAudioPathListItem>;
using TSoundListCollection = TSoundCollection<TSoundListItem>;
using TModListCollection = TSoundCollection<TModListItem>;

class TKerbSound3D {
public:
    explicit TKerbSound3D(const TClock& clock);
    ~TKerbSound3D();
    TKerbSound3D(const TKerbSound3D&) = delete;
    TKerbSound3D& operator=(const TKerbSound3D&) = delete;

    // Opens the audio device and starts mixing into it. False when there is none: the game
    // then runs silently (one line on stderr).
    bool OpenDevice();
    void CloseDevice();

    TAudioPathListCollection AudioPathList;
    TSoundListCollection SoundList;
    TModListCollection ModList;

    // Creates every path of AudioPathList in the mixer, in list order.
    void InitAudioPaths();

    float ListenerPositionX() const { return Listener[0]; }
    float ListenerPositionY() const { return Listener[1]; }
    float ListenerPositionZ() const { return Listener[2]; }
    void SetListenerPositionX(float value) { SetListener(0, value); }
    void SetListenerPositionY(float value) { SetListener(1, value); }
    void SetListenerPositionZ(float value) { SetListener(2, value); }

    // The path a sound would play on now (see TAudioPathPool); null when there is none.
    TAudioPathListItem* ChoosePath(const TSoundListItem& sound);

    // The game's own lists: one stereo path "path" with 32 voices, the seventeen effects and
    // the three songs.
    void AddGameLists();

    // The front the game plays through: find by name, then act; unknown names do nothing.
    TAudioPathListItem* PlayEffect(std::string_view name);
    void StopEffect(std::string_view name);
    // Effect volume steps 0..5 of the options screen give every effect a volume of 75..100.
    void SetEffectVolumeStep(int32_t step);
    void PlayModule(std::string_view name);
    // TModListItem::Prepare and Ready by name; an unknown name is never ready.
    void PrepareModule(std::string_view name);
    bool ModuleReady(std::string_view name);
    void StopModule(std::string_view name);
    void UnloadModule(std::string_view name);
    void UnloadModules();

    TAudioMixer& Mixer() { return AudioMixer; }
    TAudioDevice& Device() { return AudioDevice; }
    // Milliseconds on the component's clock.
    int64_t NowMs() const;

private:
    void SetListener(int axis, float value);

    const TClock& Clock;
    // The mixer outlives the device: the device is closed before anything else goes.
    TAudioMixer AudioMixer;
    TAudioDevice AudioDevice;
    std::array<float, 3> Listener{};
    // Per path type, where the next automatic search starts.
    std::array<int32_t, 3> NextPoolSearch{};
};

#include "engine/KerbSound3D.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "engine/FileRead.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {
// A sound that started this recently counts as playing even before the mixer has run.
constexpr int64_t kStartGraceMs = 250;

int32_t PoolType(TAudioPathPool pool) {
    switch (pool) {
        case TAudioPathPool::app3D:
            return static_cast<int32_t>(TAudioPathType::apt3D);
        case TAudioPathPool::appMono:
            return static_cast<int32_t>(TAudioPathType::aptMono);
        case TAudioPathPool::appStereo:
            return static_cast<int32_t>(TAudioPathType::aptStereo);
        case TAudioPathPool::appUseIndex:
            break;
    }
    return -1;
}

// Gains of a mono voice heard from a 3D position: full up to one unit of distance, then
// falling with distance; balanced by how far to the side the sound is.
void Gains3D(const TAudioPathListItem& path, float gain, float& left, float& right) {
    const double dx = path.SoundPositionX - path.ListenerX;
    const double dy = path.SoundPositionY - path.ListenerY;
    const double dz = path.SoundPositionZ - path.ListenerZ;
    const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double attenuation = distance > 1.0 ? 1.0 / distance : 1.0;
    const double side = distance > 0.0 ? dx / distance : 0.0;
    left = static_cast<float>(gain * attenuation * std::min(1.0, 1.0 - side));
    right = static_cast<float>(gain * attenuation * std::min(1.0, 1.0 + side));
}
}  // namespace

// ---- audio paths ----

TAudioPathListItem::~TAudioPathListItem() {
    for (int32_t i = 0; i < Owner.SoundList.Count(); ++i) {
        TSoundListItem& sound = Owner.SoundList[i];
        if (sound.PlayedOn == this) sound.PlayedOn = nullptr;
    }
    if (MixerPath >= 0) Owner.Mixer().RemovePath(MixerPath);
}

void TAudioPathListItem::Create() {
    if (MixerPath >= 0) return;
    MixerPath = Owner.Mixer().AddPath(Channels);
    if (MixerPath < 0) {
        throw ESoundError("Failed to create standard audio path. DirectX 8 may not be installed");
    }
    AppliedFrequency = std::max(0, Frequency);
    ListenerX = Owner.ListenerPositionX();
    ListenerY = Owner.ListenerPositionY();
    ListenerZ = Owner.ListenerPositionZ();
}

bool TAudioPathListItem::IsPlaying() {
    if (PlayingItem == nullptr) return false;
    if (PlayingItem->PlayedOn == this && (Owner.NowMs() - StartedMs < kStartGraceMs ||
                                          Owner.Mixer().OwnerPlaying(MixerPath, PlayingItem))) {
        return true;
    }
    PlayingItem = nullptr;
    return false;
}

// ---- sound effects ----

TSoundListItem::~TSoundListItem() {
    Unload();
}

void TSoundListItem::Load() {
    auto sound = std::make_unique<TPcmSound>();
    std::string reason;
    if (!LoadWavFile(GamePath(FileName), *sound, reason)) {
        throw ESoundError("Error loading sound: " + FileName, reason);
    }
    Sound = std::move(sound);
}

int32_t TSoundListItem::Repeats() const {
    if (Loop) return -1;
    return static_cast<int32_t>(
        std::min<uint32_t>(RepeatCount, std::numeric_limits<int32_t>::max()));
}

TAudioPathListItem* TSoundListItem::Play() {
    if (!Loaded()) Load();
    TAudioPathListItem* path = Owner.ChoosePath(*this);
    if (path == nullptr) return nullptr;
    if (!path->Created()) throw ESoundError("Error playing sound");

    path->Volume = std::clamp(Volume, 0, 100) * 100 - 10000;
    const int32_t frequency = std::max(0, Frequency);
    if (frequency != path->AppliedFrequency) path->AppliedFrequency = frequency;
    path->SoundPositionX = SoundPositionX;
    path->SoundPositionY = SoundPositionY;
    path->SoundPositionZ = SoundPositionZ;

    TVoiceStart start;
    start.Sound = Sound.get();
    start.Owner = this;
    start.Frequency = path->AppliedFrequency;
    start.Repeats = Repeats();
    const float gain = GainFromMillibels(path->Volume);
    start.GainLeft = start.GainRight = gain;
    if (path->AudioPathType == TAudioPathType::apt3D) {
        Gains3D(*path, gain, start.GainLeft, start.GainRight);
        start.Mono = true;
    } else if (path->AudioPathType == TAudioPathType::aptMono) {
        start.Mono = true;
    }
    if (!Owner.Mixer().StartVoice(path->MixerPath, start)) throw ESoundError("Error playing sound");

    path->PlayingItem = this;
    path->StartedMs = Owner.NowMs();
    PlayedOn = path;
    return path;
}

void TSoundListItem::Stop() {
    if (!Loaded()) return;
    Owner.Mixer().StopOwner(this);
    for (int32_t i = 0; i < Owner.AudioPathList.Count(); ++i) {
        TAudioPathListItem& path = Owner.AudioPathList[i];
        if (path.PlayingItem == this) path.PlayingItem = nullptr;
    }
}

void TSoundListItem::Unload() {
    Stop();
    // Stop has taken every voice of the sound out of the mixer, so it can go.
    Sound.reset();
}

void TSoundListItem::SetLoop(bool value) {
    Loop = value;
    if (Loaded()) Owner.Mixer().SetOwnerRepeats(this, Repeats());
}

void TSoundListItem::SetRepeatCount(uint32_t value) {
    RepeatCount = value;
}

// ---- songs ----

TModListItem::~TModListItem() {
    Unload();
}

void TModListItem::Prepare() {
    if (IsLoaded || Preparing.valid()) return;
    // The player is the worker's alone until Load adds it to the mixer.
    Preparing = std::async(std::launch::async, [this, path = GamePath(FileName)] {
        TPrepared prepared;
        std::vector<uint8_t> bytes;
        prepared.Ok = ReadWholeFile(path, TFileKind::Module, bytes, prepared.Reason) &&
                      Player.Load(bytes, prepared.Reason);
        return prepared;
    });
}

bool TModListItem::Ready() const {
    if (IsLoaded) return true;
    return Preparing.valid() &&
           Preparing.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void TModListItem::Load() {
    std::string reason;
    bool loaded = false;
    if (Preparing.valid()) {
        TPrepared prepared = Preparing.get();
        loaded = prepared.Ok;
        reason = std::move(prepared.Reason);
    } else {
        std::vector<uint8_t> bytes;
        loaded = ReadWholeFile(GamePath(FileName), TFileKind::Module, bytes, reason) &&
                 Player.Load(bytes, reason);
    }
    if (!loaded) throw ESoundError("Error loading module: " + FileName, reason);
    if (!Owner.Mixer().AddSong(&Player)) {
        Player.Unload();
        throw ESoundError("Error loading module: " + FileName);
    }
    IsLoaded = true;
}

void TModListItem::Play() {
    if (!IsLoaded) Load();
    Player.SetLoop(Loop);
    Player.Start();
}

void TModListItem::Stop() {
    if (IsLoaded) Player.Stop();
}

void TModListItem::Unload() {
    if (Preparing.valid()) {
        Preparing.get();
        Player.Unload();
    }
    if (!IsLoaded) return;
    Stop();
    Owner.Mixer().RemoveSong(&Player);
    Player.Unload();
    IsLoaded = false;
}

// ---- the component ----

TKerbSound3D::TKerbSound3D(const TClock& clock)
    : AudioPathList(*this), SoundList(*this), ModList(*this), Clock(clock) {}

TKerbSound3D::~TKerbSound3D() {
    CloseDevice();
    ModList.Clear();
    SoundList.Clear();
    AudioPathList.Clear();
}

bool TKerbSound3D::OpenDevice() {
    const bool opened = AudioDevice.Open(&TAudioMixer::RenderCallback, &AudioMixer);
    if (!opened) return false;
    // The device is still paused: the mixer learns its rate before the first callback.
    AudioMixer.SetRate(AudioDevice.Rate());
    AudioMixer.SetDevice(&AudioDevice);
    AudioDevice.Start();
    return true;
}

void TKerbSound3D::CloseDevice() {
    AudioDevice.Close();
    AudioMixer.SetDevice(nullptr);
}

int64_t TKerbSound3D::NowMs() const {
    // Split so that a clock counting nanoseconds since boot cannot overflow the product.
    const int64_t now = Clock.Now(), frequency = Clock.Frequency();
    return now / frequency * 1000 + now % frequency * 1000 / frequency;
}

void TKerbSound3D::InitAudioPaths() {
    for (int32_t i = 0; i < AudioPathList.Count(); ++i) AudioPathList[i].Create();
}

void TKerbSound3D::SetListener(int axis, float value) {
    if (Listener[static_cast<size_t>(axis)] == value) return;
    Listener[static_cast<size_t>(axis)] = value;
    for (int32_t i = 0; i < AudioPathList.Count(); ++i) {
        TAudioPathListItem& path = AudioPathList[i];
        (axis == 0 ? path.ListenerX : axis == 1 ? path.ListenerY : path.ListenerZ) = value;
    }
}

TAudioPathListItem* TKerbSound3D::ChoosePath(const TSoundListItem& sound) {
    const int32_t type = PoolType(sound.AudioPathPool);
    if (type < 0) return AudioPathList.At(sound.AudioPathIndex);

    // Round-robin over the pooled paths of the type: the first free one after where the last
    // search ended; when all are busy, the last one met.
    const int32_t count = AudioPathList.Count();
    int32_t& start = NextPoolSearch[static_cast<size_t>(type)];
    int32_t chosen = -1, lastMatch = -1;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t i = (start + k) % count;
        TAudioPathListItem& path = AudioPathList[i];
        if (!path.Pool || static_cast<int32_t>(path.AudioPathType) != type) continue;
        lastMatch = i;
        if (!path.IsPlaying()) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) chosen = lastMatch;
    if (chosen < 0) return nullptr;
    start = (chosen + 1) % count;
    return AudioPathList.At(chosen);
}

// ---- the game's lists and the front ----

void TKerbSound3D::AddGameLists() {
    TAudioPathListItem& path = AudioPathList.Add();
    path.Name = "path";
    path.AudioPathType = TAudioPathType::aptStereo;
    path.Pool = false;
    path.Channels = 32;

    struct TEffect {
        const char* Name;
        const char* FileName;
        int32_t Volume;
    };
    // "check" plays check2.wav and "check2" plays check1.wav: the names the game calls are
    // the other way round from the files.
    static constexpr TEffect kEffects[] = {
        {"check", "Sounds\\check2.wav", 100},    {"check2", "Sounds\\check1.wav", 100},
        {"begin", "Sounds\\start.wav", 95},      {"finish", "Sounds\\finish.wav", 90},
        {"svet1", "Sounds\\svet1.wav", 100},     {"svet2", "Sounds\\svet2.wav", 100},
        {"timesup", "Sounds\\timesup.wav", 100}, {"sweep", "Sounds\\sweep.wav", 100},
        {"time", "Sounds\\time.wav", 100},       {"exp", "Sounds\\exp.wav", 100},
        {"coin", "Sounds\\coin.wav", 100},       {"nitro", "Sounds\\nitro.wav", 100},
        {"skid", "Sounds\\skid.wav", 100},       {"repair", "Sounds\\repair.wav", 100},
        {"horn", "Sounds\\horn.wav", 100},       {"addtime", "Sounds\\addtime.wav", 100},
        {"up", "Sounds\\up.wav", 100},
    };
    for (const TEffect& e : kEffects) {
        TSoundListItem& sound = SoundList.Add();
        sound.Name = e.Name;
        sound.FileName = e.FileName;
        sound.Volume = e.Volume;
    }

    static constexpr const char* kSongs[][2] = {{"menumusic", "Sounds\\1.xm"},
                                                {"gamemusic", "Sounds\\2.xm"},
                                                {"losemusic", "Sounds\\3.xm"}};
    for (const auto& s : kSongs) {
        TModListItem& song = ModList.Add();
        song.Name = s[0];
        song.FileName = s[1];
        song.Loop = true;
    }
}

TAudioPathListItem* TKerbSound3D::PlayEffect(std::string_view name) {
    TSoundListItem* sound = SoundList.Find(name);
    return sound != nullptr ? sound->Play() : nullptr;
}

void TKerbSound3D::StopEffect(std::string_view name) {
    if (TSoundListItem* sound = SoundList.Find(name)) sound->Stop();
}

void TKerbSound3D::SetEffectVolumeStep(int32_t step) {
    const int32_t volume = std::clamp(step, 0, 5) * 5 + 75;
    for (int32_t i = 0; i < SoundList.Count(); ++i) SoundList[i].Volume = volume;
}

void TKerbSound3D::PlayModule(std::string_view name) {
    if (TModListItem* song = ModList.Find(name)) song->Play();
}

void TKerbSound3D::PrepareModule(std::string_view name) {
    if (TModListItem* song = ModList.Find(name)) song->Prepare();
}

bool TKerbSound3D::ModuleReady(std::string_view name) {
    TModListItem* song = ModList.Find(name);
    return song != nullptr && song->Ready();
}

void TKerbSound3D::StopModule(std::string_view name) {
    if (TModListItem* song = ModList.Find(name)) song->Stop();
}

void TKerbSound3D::UnloadModule(std::string_view name) {
    if (TModListItem* song = ModList.Find(name)) song->Unload();
}

void TKerbSound3D::UnloadModules() {
    for (int32_t i = 0; i < ModList.Count(); ++i) ModList[i].Unload();
}

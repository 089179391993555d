// Lifecycle of the screen: renderer creation, the frame cycle, full screen, resets, and the
// registry of image lists and fonts. Quad drawing is in KerbScreenDraw.cpp.
#include "engine/KerbScreen.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "engine/ImageList.h"
#include "engine/KerbFont.h"
#include "engine/PictureDecode.h"
#include "platform/Allocator.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace {
const char* const NoFactoryText =
    "Could not initialize SDL. You may\nwant to check that the latest version of\nSDL2 is "
    "correctly installed on your\nsystem.  Also make sure that this program\nwas compiled with "
    "header files that match\nthe installed SDL2 libraries.";
const char* const NoDeviceText = "Could not find any compatible SDL\ndevices.";
const char* const ExitText = "This application will now exit.";

constexpr uint32_t AllowedFrequencies[] = {56,  60,  70,  72,  75,  85,  90,  100,
                                           120, 140, 144, 150, 160, 170, 200, 240};
}  // namespace

TKerbScreen::TKerbScreen(TPlatformWindow* window) : Window(window) {}

TKerbScreen::TKerbScreen(TOffscreenTarget target) : Offscreen(true), OffscreenSize(target) {
    Width = target.Width;
    Height = target.Height;
}

TKerbScreen::~TKerbScreen() {
    // Dependents may outlive the screen: take their textures off the renderer before it goes
    // and make them forget this screen, so that nothing reaches back into a dead object.
    ReleaseDependents();
    for (TKerbImageList* list : ImageLists) {
        list->KerbScreen = nullptr;
        if (list->Renderer) list->Renderer->Screen = nullptr;
    }
    for (TKerbFont* font : Fonts) font->DetachScreen();
    DestroyRenderer();
}

void TKerbScreen::SetFrequency(uint32_t value) {
    const bool ok = std::find(std::begin(AllowedFrequencies), std::end(AllowedFrequencies),
                              value) != std::end(AllowedFrequencies);
    FrequencyValue = ok ? value : 0;
}

void TKerbScreen::SetColor(uint32_t color) {
    if (color < (1u << 24)) {
        // The window system's 0x00BBGGRR: opaque, red and blue swapped.
        color = 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
    }
    Alpha = static_cast<uint8_t>(color >> 24);
    Red = static_cast<uint8_t>(color >> 16);
    Green = static_cast<uint8_t>(color >> 8);
    Blue = static_cast<uint8_t>(color);
}

uint32_t TKerbScreen::Color() const {
    return (static_cast<uint32_t>(Alpha) << 24) | (static_cast<uint32_t>(Red) << 16) |
           (static_cast<uint32_t>(Green) << 8) | Blue;
}

void TKerbScreen::SetWindow(TPlatformWindow* window) {
    PreviousWindow = Window;
    Window = window;
}

bool TKerbScreen::FullScreenSizeAllowed(int32_t width, int32_t height) {
    static constexpr int32_t Sizes[][2] = {{800, 600}, {640, 400}, {640, 480},  {1024, 768},
                                           {320, 200}, {320, 240}, {1280, 1024}};
    for (const auto& s : Sizes)
        if (s[0] == width && s[1] == height) return true;
    return false;
}

void TKerbScreen::FullScreenSize(int32_t& width, int32_t& height) const {
    width = Width;
    height = Height;
    if (!FullScreenSizeAllowed(width, height)) {
        width = 800;
        height = 600;
    }
}

bool TKerbScreen::Initialize() {
    if (Window == nullptr && !Offscreen) return true;  // headless: no device, nothing to draw
    if (!Offscreen && Window->Handle() == nullptr) {
        ShowFatal(NoFactoryText);
        return false;
    }
    if (!CreateRenderer()) {
        ShowFatal(NoDeviceText);
        return false;
    }
    if (Window != nullptr) {
        if (FullScreen) Window->SetFullScreen(true);
        Window->SetSystemCursorVisible(ShowMouseCursor);
    }
    ApplyLogicalSize();
    IsReady = true;
    InitializeDependents();
    return true;
}

namespace {
// Pictures are decoded no larger than the renderer's textures can be (0 means no limit).
void LimitPicturesToRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0) return;
    const int side = info.max_texture_width > 0 && info.max_texture_height > 0
                         ? std::min(info.max_texture_width, info.max_texture_height)
                         : std::max(info.max_texture_width, info.max_texture_height);
    SetMaxPictureSide(side);
}
}  // namespace

bool TKerbScreen::CreateRenderer() {
    DestroyRenderer();
    ResolvedBlend.fill(-1);
    BlendUnavailable.fill(false);
    // Let SDL collect the frame's draw calls; the quads are queued in order either way.
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SetTextureHandleRelease(&SDL_DestroyTexture);
    if (Offscreen) {
        OffscreenSurface = SDL_CreateRGBSurfaceWithFormat(
            0, OffscreenSize.Width, OffscreenSize.Height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (OffscreenSurface == nullptr) return false;
        Renderer = SDL_CreateSoftwareRenderer(OffscreenSurface);
        Software = true;
        return Renderer != nullptr;
    }
    const Uint32 vsync = FullScreen && VSYNC ? SDL_RENDERER_PRESENTVSYNC : 0;
    if (RenderMode == TRenderMode::rmHardware) {
        Renderer = SDL_CreateRenderer(Window->Handle(), -1, SDL_RENDERER_ACCELERATED | vsync);
        if (Renderer == nullptr) RenderMode = TRenderMode::rmSoftware;
    }
    if (Renderer == nullptr) {
        // The window's framebuffer would otherwise go through a second, software OpenGL
        // renderer: one more copy of every frame for nothing.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        Renderer = SDL_CreateRenderer(Window->Handle(), -1, SDL_RENDERER_SOFTWARE);
        Software = Renderer != nullptr;
    } else {
        SDL_RendererInfo info;
        Software =
            SDL_GetRendererInfo(Renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    }
    LimitPicturesToRenderer(Renderer);
    if (Renderer != nullptr) {
        SDL_AddEventWatch(&TKerbScreen::ResizeWatch, this);
        Watching = true;
    }
    return Renderer != nullptr;
}

// Refits the picture as SDL takes in a size change, before any later mouse event is mapped
// through the old scale. Runs after the renderer's own watch, which was added first.
int TKerbScreen::ResizeWatch(void* self, SDL_Event* e) {
    auto* screen = static_cast<TKerbScreen*>(self);
    if (e->type == SDL_WINDOWEVENT && e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
        screen->Window != nullptr && screen->Window->Handle() != nullptr &&
        e->window.windowID == SDL_GetWindowID(screen->Window->Handle()))
        screen->FitToWindow();
    return 1;
}

void TKerbScreen::DestroyRenderer() {
    if (Watching) SDL_DelEventWatch(&TKerbScreen::ResizeWatch, this);
    Watching = false;
    IsReady = false;
    IsInScene = false;
    DropTurned();
    if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
    Renderer = nullptr;
    if (OffscreenSurface != nullptr) SDL_FreeSurface(OffscreenSurface);
    OffscreenSurface = nullptr;
}

void TKerbScreen::ShowFatal(const std::string& text) {
    FatalError = true;
    if (Window != nullptr) Window->SetSystemCursorVisible(true);
    ShowMessageBox("Error", text, TMsgButtons::OkCancel, TMsgIcon::Error);
    ShowMessageBox("Error", ExitText, TMsgButtons::Ok, TMsgIcon::Error);
}

void TKerbScreen::ApplyLogicalSize() {
    if (Renderer == nullptr) return;
    if (Offscreen) {
        TargetWidth = OffscreenSize.Width;
        TargetHeight = OffscreenSize.Height;
        return;
    }
    int32_t w = Width, h = Height;
    if (FullScreen) FullScreenSize(w, h);
    TargetWidth = w;
    TargetHeight = h;
    // With a logical size SDL scales and letterboxes the picture in full screen, and maps
    // mouse positions back into the picture's space.
    SDL_RenderSetLogicalSize(Renderer, w, h);
    FitToWindow();
}

void TKerbScreen::FitToWindow() {
    if (Renderer == nullptr || Offscreen) return;
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(Renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0) return;
    const float fit = std::min(static_cast<float>(outW) / static_cast<float>(TargetWidth),
                               static_cast<float>(outH) / static_cast<float>(TargetHeight));
    const float whole = std::floor(fit);
    WholeSteps = whole >= 1.0f && whole >= fit * IntegerFill;
    SDL_RenderSetIntegerScale(Renderer, WholeSteps ? SDL_TRUE : SDL_FALSE);
}

float TKerbScreen::PictureScale() const {
    if (Renderer == nullptr) return 1.0f;
    float sx = 1, sy = 1;
    SDL_RenderGetScale(Renderer, &sx, &sy);
    return sx;
}

void TKerbScreen::SetTextureFilter(bool linear) {
    LinearFilter = linear;
    ForEachTexture([this](TKerbTexture& t) { ApplyFilter(t); });
    for (TKerbFont* font : Fonts) font->ApplyFilter();
}

void TKerbScreen::ApplyFilter(SDL_Texture* texture) const {
    if (texture == nullptr) return;
    SDL_SetTextureScaleMode(texture, LinearFilter ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

void TKerbScreen::ApplyFilter(const TKerbTexture& texture) const {
    if (texture.Handle == nullptr) return;
    SDL_SetTextureScaleMode(texture.Handle, LinearFilter && texture.Linear ? SDL_ScaleModeLinear
                                                                           : SDL_ScaleModeNearest);
}

void TKerbScreen::Clear(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    if (Renderer == nullptr) return;
    SDL_SetRenderDrawColor(Renderer, red, green, blue, alpha);
    SDL_RenderClear(Renderer);
}

bool TKerbScreen::BeginScene() {
    if (Renderer == nullptr || !IsReady) return false;
    IsInScene = true;
    return true;
}

void TKerbScreen::EndScene() {
    if (!IsInScene) return;
    if (BeforePresent) BeforePresent();
    IsInScene = false;
    // The window was made hidden: it appears as its first picture is presented.
    if (Window != nullptr && !Offscreen) Window->Reveal();
    SDL_RenderPresent(Renderer);
    if (OnPresent) OnPresent();
    Turns.EndFrame(++FrameCount);
    DropStalePrepared();
    RestIdlePictures();
}

void TKerbScreen::RestIdlePictures() {
    if (FrameCount % PreparedSweepFrames != 0) return;
    bool rested = false;
    for (TKerbImageList* list : ImageLists) {
        if (!list->MayRest) continue;
        for (const auto& item : list->ImageList.List)
            if (item->CanRest() && FrameCount - item->LastUsed >= RestAfterFrames) {
                item->Rest();
                rested = true;
            }
    }
    // Freed texels between live blocks stay with the process until asked for.
    if (rested) ReturnFreedMemory();
}

void TKerbScreen::DropStalePrepared() {
    // Pictures of a page that is gone (the menu's, in a race) are not drawn for a long while.
    if (FrameCount % PreparedSweepFrames != 0) return;
    ForEachTexture([this](TKerbTexture& t) {
        if (t.Prepared.Stale(FrameCount, PreparedSweepFrames)) t.Prepared.Clear();
    });
}

bool TKerbScreen::ToggleFullScreen() {
    if (Window == nullptr) return false;
    if (!Window->SetFullScreen(!FullScreen)) return false;
    FullScreen = !FullScreen;
    ApplyLogicalSize();
    Window->SetSystemCursorVisible(ShowMouseCursor);
    return true;
}

void TKerbScreen::HandleRenderReset() {
    if (Renderer == nullptr) return;
    IsReady = false;
    ReleaseDependents();
    // The blend state and the filter live here, not on the device, so they come back with
    // the textures as they were.
    IsReady = true;
    InitializeDependents();
}

void TKerbScreen::ReleaseDependents() {
    for (auto& hook : Hooks)
        if (hook.OnUnInit) hook.OnUnInit();
    for (TKerbFont* font : Fonts) font->ReleaseDeviceObjects();
    for (TKerbImageList* list : ImageLists) list->Finalize(false);
    ForEachTexture([](TKerbTexture& t) { t.ReleaseHandle(); });
    // Made on the device from textures that are gone: made again as they are drawn.
    DropTurned();
}

void TKerbScreen::InitializeDependents() {
    for (TKerbImageList* list : ImageLists) list->Initialize();
    for (TKerbFont* font : Fonts) font->RestoreDeviceObjects();
    for (auto& hook : Hooks)
        if (hook.OnInit) hook.OnInit();
}

TPictureMemory TKerbScreen::PictureMemory() {
    TPictureMemory memory;
    ForEachTexture([&memory](TKerbTexture& t) {
        memory.Texels += t.Shared != nullptr ? t.TexelCount() * sizeof(uint32_t)
                                             : t.Texels.capacity() * sizeof(uint32_t);
        memory.Prepared += t.Prepared.Bytes();
    });
    for (TKerbImageList* list : ImageLists)
        for (const auto& item : list->ImageList.List) memory.Stored += item->Stored.size();
    memory.Kept = Turns.Bytes();
    for (const TKerbFont* font : Fonts) memory.Texts += font->CachedPixels() * sizeof(uint32_t);
    return memory;
}

void TKerbScreen::ForEachTexture(const std::function<void(TKerbTexture&)>& action) {
    for (TKerbImageList* list : ImageLists)
        for (const auto& item : list->ImageList.List)
            if (item->Texture) action(*item->Texture);
}

int32_t TKerbScreen::AddDeviceHooks(std::function<void()> onInit, std::function<void()> onUnInit) {
    Hooks.push_back({NextHookId, std::move(onInit), std::move(onUnInit)});
    return NextHookId++;
}

void TKerbScreen::RemoveDeviceHooks(int32_t id) {
    std::erase_if(Hooks, [id](const TDeviceHooks& h) { return h.Id == id; });
}

void TKerbScreen::RegisterImageList(TKerbImageList* list) {
    if (list == nullptr) return;
    if (std::find(ImageLists.begin(), ImageLists.end(), list) == ImageLists.end())
        ImageLists.push_back(list);
}

void TKerbScreen::UnregisterImageList(TKerbImageList* list) {
    ImageLists.erase(std::remove(ImageLists.begin(), ImageLists.end(), list), ImageLists.end());
}

void TKerbScreen::RegisterFont(TKerbFont* font) {
    if (font == nullptr) return;
    if (std::find(Fonts.begin(), Fonts.end(), font) == Fonts.end()) Fonts.push_back(font);
}

void TKerbScreen::UnregisterFont(TKerbFont* font) {
    Fonts.erase(std::remove(Fonts.begin(), Fonts.end(), font), Fonts.end());
}

bool TKerbScreen::ReadPixels(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
    if (Renderer == nullptr) return false;
    float sx = 1, sy = 1;
    SDL_RenderGetScale(Renderer, &sx, &sy);
    width = static_cast<int32_t>(std::floor(static_cast<float>(Width) * sx));
    height = static_cast<int32_t>(std::floor(static_cast<float>(Height) * sy));
    if (width <= 0 || height <= 0) return false;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return SDL_RenderReadPixels(Renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                width * 4) == 0;
}

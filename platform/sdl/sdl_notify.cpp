// The SDL2 backend's beep and message box.
#include "platform/sdl/sdl_backend.h"

#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <vector>

namespace zsdl {

namespace {

const int kBeepHz = 880;
const int kBeepMs = 120;
const int kFadeMs = 6;
// Beeps that come faster than they can be heard are dropped rather than
// queued into a long drone.
const int kMaxQueuedMs = 250;

// The ALSA library prints its errors to stderr, eight lines of them when a
// machine has no sound card.  A missing sound device only makes the beep
// silent, so once SDL has loaded the library its printing is turned off.
void QuietAlsa(const char *, int, const char *, int, const char *, ...) {}

void SilenceAudioLibrary() {
    const char *driver = SDL_GetCurrentAudioDriver();
    if (driver == nullptr || std::strcmp(driver, "alsa") != 0) {
        return;
    }
    void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (alsa == nullptr) {
        return;
    }
    using Handler = void (*)(const char *, int, const char *, int, const char *, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) {
        set(QuietAlsa);
    }
    dlclose(alsa);
}

} // namespace

void SdlBackend::ShowMessageBox(const char *text, const char *caption) {
    const char *shownText = text != nullptr ? text : "";
    const char *shownCaption = caption != nullptr ? caption : "";
    // MessageBoxA has already written the text to stderr; without a display
    // this fails at once and that is all there is.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, shownCaption, shownText, nullptr);
}

void SdlBackend::Beep() {
    if (audioState_ == 0) {
        // Opened on the first beep only: a program that never beeps never
        // touches the sound system.
        audioState_ = -1;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            SilenceAudioLibrary();
            SDL_AudioSpec want = {};
            SDL_AudioSpec have = {};
            want.freq = 44100;
            want.format = AUDIO_S16SYS;
            want.channels = 1;
            want.samples = 1024;
            audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (audioDevice_ != 0) {
                audioRate_ = have.freq;
                audioState_ = 1;
            } else {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
            }
        }
    }
    if (audioState_ < 0) {
        return; // no sound device: the beep is silent
    }
    const Uint32 bytesPerMs = Uint32(audioRate_) * 2 / 1000;
    if (SDL_GetQueuedAudioSize(audioDevice_) > bytesPerMs * kMaxQueuedMs) {
        return;
    }
    const int count = audioRate_ * kBeepMs / 1000;
    const int fade = audioRate_ * kFadeMs / 1000;
    auto samples = std::vector<Sint16>(size_t(count));
    const double step = 2.0 * M_PI * kBeepHz / audioRate_;
    for (int i = 0; i < count; ++i) {
        double gain = 1.0;
        if (i < fade) {
            gain = double(i) / fade;
        } else if (i > count - fade) {
            gain = double(count - i) / fade;
        }
        samples[size_t(i)] = Sint16(8000.0 * gain * std::sin(step * i));
    }
    if (SDL_QueueAudio(audioDevice_, samples.data(), Uint32(samples.size() * sizeof(Sint16))) ==
        0) {
        SDL_PauseAudioDevice(audioDevice_, 0);
        ++beepsPlayed_;
    }
}

void SdlBackend::IdleAudio() {
    // A drained device is paused so that nothing runs while the game idles.
    if (audioState_ > 0 && SDL_GetAudioDeviceStatus(audioDevice_) == SDL_AUDIO_PLAYING &&
        SDL_GetQueuedAudioSize(audioDevice_) == 0) {
        SDL_PauseAudioDevice(audioDevice_, 1);
    }
}

} // namespace zsdl

#include "sound/audio_output.h"

#include <chrono>

#include <SDL.h>
#include <pthread.h>

namespace morvast::sound {

namespace {

constexpr int kMaxBufferFrames = 512;
constexpr int kFallbackRate = 48000;

class SdlAudioOutput final : public AudioOutput {
  public:
    // Called after SDL's audio has been initialised; the destructor gives it back.
    bool open() {
        SDL_AudioSpec deviceSpec{};
        int rate = kFallbackRate;
        if (SDL_GetDefaultAudioInfo(nullptr, &deviceSpec, 0) == 0 && deviceSpec.freq > 0) {
            rate = deviceSpec.freq;
        }
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kMaxBufferFrames;
        want.callback = &SdlAudioOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // Only the rate may differ from the wish: SDL converts format and channels itself, and
        // the buffer stays at most 512 frames so that a play is heard within about 10 ms.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ == 0) return false;
        rate_ = have.freq;
        frames_ = have.samples;
        return true;
    }
    ~SdlAudioOutput() override {
        if (device_ != 0) {
            stop();
            SDL_CloseAudioDevice(device_);
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    void start(RenderCallback render) override {
        SDL_LockAudioDevice(device_);
        render_ = std::move(render);
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
    }
    void stop() override {
        SDL_PauseAudioDevice(device_, 1);
        // The lock waits for a callback that is still running.
        SDL_LockAudioDevice(device_);
        render_ = nullptr;
        SDL_UnlockAudioDevice(device_);
    }
    int rate() const override { return rate_; }
    int bufferFrames() const override { return frames_; }
    bool audible() const override { return true; }
    std::string name() const override {
        const char* driver = SDL_GetCurrentAudioDriver();
        return std::string("sdl:") + (driver ? driver : "?");
    }

    static void callback(void* self, Uint8* stream, int bytes) {
        auto* out = static_cast<SdlAudioOutput*>(self);
        auto* samples = reinterpret_cast<float*>(stream);
        const int frames = bytes / static_cast<int>(2 * sizeof(float));
        if (out->render_) {
            out->render_(samples, frames);
        } else {
            SDL_memset(stream, 0, static_cast<size_t>(bytes));
        }
    }

  private:
    SDL_AudioDeviceID device_ = 0;
    int rate_ = kFallbackRate;
    int frames_ = kMaxBufferFrames;
    RenderCallback render_;
};
}  // namespace

NullAudioOutput::NullAudioOutput(int rate, int bufferFrames)
    : rate_(rate), bufferFrames_(bufferFrames) {}

NullAudioOutput::~NullAudioOutput() {
    stop();
}

void NullAudioOutput::start(RenderCallback render) {
    stop();
    render_ = std::move(render);
    running_ = true;
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "mvst-audio");
        using Clock = std::chrono::steady_clock;
        std::vector<float> buffer(static_cast<size_t>(bufferFrames_) * 2);
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(bufferFrames_) / rate_));
        auto next = Clock::now();
        while (running_.load()) {
            render_(buffer.data(), bufferFrames_);
            next += period;
            std::this_thread::sleep_until(next);
        }
    });
}

void NullAudioOutput::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
    render_ = nullptr;
}

std::vector<float> ManualAudioOutput::render(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2, 0.0f);
    if (render_) {
        for (int done = 0; done < frames; done += bufferFrames_) {
            const int n = std::min(bufferFrames_, frames - done);
            render_(out.data() + static_cast<size_t>(done) * 2, n);
        }
    }
    return out;
}

std::unique_ptr<AudioOutput> openAudioOutput() {
    // Two ways to have no sound: SDL has no driver at all, or it has one (ALSA) but no card to
    // open. Both end in silence that otherwise behaves like a device.
    // SDL would otherwise turn SIGTERM and SIGINT into quit events nobody reads, and the program
    // could no longer be stopped by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return std::make_unique<NullAudioOutput>();
    auto output = std::make_unique<SdlAudioOutput>();
    if (!output->open()) return std::make_unique<NullAudioOutput>();
    return output;
}

}  // namespace morvast::sound

#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace morvast::sound {

// Fills interleaved stereo float frames; runs on the output's own thread and must not block.
using RenderCallback = std::function<void(float* out, int frames)>;

// Where mixed sound goes. start() and stop() belong to the controlling thread; the callback runs
// on the output's thread from start() until stop() returns.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual void start(RenderCallback render) = 0;
    virtual void stop() = 0;
    // Frames per second actually granted, and frames per callback.
    virtual int rate() const = 0;
    virtual int bufferFrames() const = 0;
    // False when nothing is heard (no device).
    virtual bool audible() const = 0;
    virtual std::string name() const = 0;
};

// No device: the callback is still called at the pace of a real device, so music positions,
// ends of files and effects behave the same, only silently.
class NullAudioOutput final : public AudioOutput {
  public:
    explicit NullAudioOutput(int rate = 48000, int bufferFrames = 512);
    ~NullAudioOutput() override;
    void start(RenderCallback render) override;
    void stop() override;
    int rate() const override { return rate_; }
    int bufferFrames() const override { return bufferFrames_; }
    bool audible() const override { return false; }
    std::string name() const override { return "null"; }

  private:
    int rate_;
    int bufferFrames_;
    RenderCallback render_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// Rendered on demand by the caller, for offline tests and measurements.
class ManualAudioOutput final : public AudioOutput {
  public:
    explicit ManualAudioOutput(int rate = 48000, int bufferFrames = 512)
        : rate_(rate), bufferFrames_(bufferFrames) {}
    void start(RenderCallback render) override { render_ = std::move(render); }
    void stop() override { render_ = nullptr; }
    int rate() const override { return rate_; }
    int bufferFrames() const override { return bufferFrames_; }
    bool audible() const override { return false; }
    std::string name() const override { return "manual"; }
    // Renders frames (interleaved stereo) as the device thread would; empty before start().
    std::vector<float> render(int frames);

  private:
    int rate_;
    int bufferFrames_;
    RenderCallback render_;
};

// The default output device through SDL2 (float stereo at the device's own rate, at most 512
// frames per callback); a NullAudioOutput when SDL or the device cannot be opened.
std::unique_ptr<AudioOutput> openAudioOutput();

}  // namespace morvast::sound

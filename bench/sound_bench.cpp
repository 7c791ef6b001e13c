// Prints three figures of the sound code:
//  1. the delay from DMCtrlPlay to the first non-zero output sample, on an output thread paced
//     like a device with 512-frame buffers at 48 kHz (target: within one buffer, 10.7 ms);
//  2. the cost of mixing one 512-frame buffer with twelve voices;
//  3. the memory held above idle while a ten-minute MP3 plays to its end.
//
//   sound_bench [scratch folder]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "settings/app_paths.h"
#include "sound/audio_output.h"
#include "sound/decoder.h"
#include "sound/mixer.h"
#include "sound/sound_system.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace morvast;

constexpr int kRate = 48000;
constexpr int kBuffer = 512;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

// Paced like a device; notes when a buffer first carries sound after being armed.
class ProbeOutput final : public sound::AudioOutput {
  public:
    std::atomic<bool> armed{false};
    std::atomic<Clock::rep> heardAt{0};

    ~ProbeOutput() override { stop(); }
    void start(sound::RenderCallback render) override {
        render_ = std::move(render);
        running_ = true;
        thread_ = std::thread([this] {
            std::vector<float> buffer(kBuffer * 2);
            const auto period = std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(double(kBuffer) / kRate));
            auto next = Clock::now();
            while (running_) {
                render_(buffer.data(), kBuffer);
                if (armed &&
                    std::any_of(buffer.begin(), buffer.end(), [](float x) { return x != 0.0f; })) {
                    heardAt = Clock::now().time_since_epoch().count();
                    armed = false;
                }
                next += period;
                std::this_thread::sleep_until(next);
            }
        });
    }
    void stop() override {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    int rate() const override { return kRate; }
    int bufferFrames() const override { return kBuffer; }
    bool audible() const override { return false; }
    std::string name() const override { return "probe"; }

  private:
    sound::RenderCallback render_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

void playLatency(const QString& folder) {
    bool EnableSoundControl = true;
    auto output = std::make_unique<ProbeOutput>();
    ProbeOutput& probe = *output;
    SoundSystem sounds(std::move(output), EnableSoundControl, [] {});
    int32_t freq = 0;
    sounds.applyDefaults(folder, freq);
    sounds.music.BkgMusicStop();

    std::vector<double> delays, calls;
    double firstCall = 0, firstDelay = 0;
    for (int trial = 0; trial < 41; ++trial) {
        // Land the request at a different point of the output's cycle each time.
        std::this_thread::sleep_for(std::chrono::microseconds(150 + 1733 * (trial % 7)));
        probe.armed = true;
        const auto t0 = Clock::now();
        sounds.mRotate1.DMCtrlPlay();
        const auto t1 = Clock::now();
        while (probe.armed)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        const double delay = ms(Clock::duration(probe.heardAt.load()) - t0.time_since_epoch());
        if (trial == 0) {
            firstCall = ms(t1 - t0);
            firstDelay = delay;
        } else {
            calls.push_back(ms(t1 - t0));
            delays.push_back(delay);
        }
        while (sounds.mRotate1.isSounding())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::sort(delays.begin(), delays.end());
    std::sort(calls.begin(), calls.end());
    std::printf("play latency (buffer %d frames = %.2f ms):\n", kBuffer, 1000.0 * kBuffer / kRate);
    std::printf("  first play (file read and decoded): call %.3f ms, first sound after %.2f ms\n",
                firstCall, firstDelay);
    std::printf(
        "  later plays (%zu): call median %.3f ms max %.3f ms; first sound median %.2f ms"
        ", max %.2f ms\n",
        delays.size(), calls[calls.size() / 2], calls.back(), delays[delays.size() / 2],
        delays.back());
}

void mixingCost(const QString& folder) {
    sound::Mixer mixer(kRate);
    std::vector<std::shared_ptr<const sound::Wave>> waves;
    for (int i = 0; i < 10; ++i) {
        const QString path =
            resolvePath(folder, QStringLiteral("sound/") +
                                    QLatin1String(defaultEffectFile(static_cast<SoundEffect>(i))));
        waves.push_back(sound::decodeFile(path.toStdString()));
    }
    waves.push_back(sound::decodeFile(resolvePath(folder, "sound/bkgmusic.WAV").toStdString()));
    waves.push_back(sound::decodeFile(resolvePath(folder, "sound/AnotherBkg.mp3").toStdString()));
    for (size_t i = 0; i < waves.size(); ++i) {
        if (!waves[i]) {
            std::printf("mixing cost: media missing\n");
            return;
        }
        const auto id = mixer.createVoice();
        mixer.setWave(id, waves[i]);
        mixer.setFrequency(id, 11000 + 3000 * static_cast<int>(i));
        mixer.setVolume(id, -300 * static_cast<int>(i % 4));
        mixer.setPan(id, static_cast<int>(i) * 1500 - 8000);
        mixer.play(id, true);
    }
    std::vector<float> out(kBuffer * 2);
    constexpr int kRounds = 20000;
    for (int i = 0; i < 500; ++i)
        mixer.render(out.data(), kBuffer);
    const auto t0 = Clock::now();
    for (int i = 0; i < kRounds; ++i)
        mixer.render(out.data(), kBuffer);
    const double perBuffer = ms(Clock::now() - t0) / kRounds;
    std::printf("mixing cost, 12 voices, %d frames: %.2f us per buffer (%.2f%% of its %.2f ms)\n",
                kBuffer, perBuffer * 1000, 100 * perBuffer / (1000.0 * kBuffer / kRate),
                1000.0 * kBuffer / kRate);
}

void longMusicMemory(const QString& folder, const std::string& scratch) {
    const std::string file = scratch + "/ten-minutes.mp3";
    if (!std::filesystem::exists(file)) {
        const std::string make = std::string(MORVAST_FFMPEG) +
                                 " -nostdin -y -loglevel error -f lavfi -i "
                                 "\"aevalsrc=0.3*sin(2*PI*(330+40*sin(t))*t)|0.3*sin(2*PI*440*t):"
                                 "s=44100:d=600\" -c:a libmp3lame -b:a 160k '" +
                                 file + "'";
        if (std::system(make.c_str()) != 0) {
            std::printf("memory: cannot make the ten-minute file\n");
            return;
        }
    }
    bool EnableSoundControl = true;
    auto output = std::make_unique<sound::ManualAudioOutput>(kRate, kBuffer);
    sound::ManualAudioOutput& device = *output;
    SoundSystem sounds(std::move(output), EnableSoundControl, [] {});
    int32_t freq = 0;
    sounds.applyDefaults(folder, freq);
    device.render(kRate);
    const long idle = residentKiB();
    sounds.mp3.FileName(QString::fromStdString(file));
    const QString result = sounds.mp3.mmPlay();
    long top = idle;
    int64_t frames = 0;
    const auto t0 = Clock::now();
    while (sounds.mp3.IsPlaying()) {
        if (sounds.mp3.bufferedFrames() < kBuffer) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        device.render(kBuffer);
        frames += kBuffer;
        if (frames % (kRate * 10) < kBuffer) top = std::max(top, residentKiB());
    }
    top = std::max(top, residentKiB());
    std::printf(
        "ten-minute MP3 (%.1f MiB file, %s): played %.1f s of sound in %.1f s; resident "
        "%.1f MiB idle, at most %.1f MiB while playing: %.2f MiB above idle\n",
        std::filesystem::file_size(file) / 1048576.0, result.toStdString().c_str(),
        double(frames) / kRate, ms(Clock::now() - t0) / 1000, idle / 1024.0, top / 1024.0,
        (top - idle) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const QString folder = QStringLiteral(MORVAST_PROGRAM_DIR);
    const std::string scratch =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    // Memory first, while no compressed file has been decoded in this process yet.
    longMusicMemory(folder, scratch);
    playLatency(folder);
    mixingCost(folder);
    return 0;
}

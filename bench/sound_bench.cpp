// Prints four figures of the sound code:
//  0. for a ten-minute 44.1 kHz stereo wave as the background music: the private memory it adds
//     and the time BkgMusicLoad takes to return and to the first audible frames;
//  1. the memory held above idle while a ten-minute MP3 plays to its end;
//  2. the delay from DMCtrlPlay to the first non-zero output sample, on an output thread paced
//     like a device with 512-frame buffers at 48 kHz (target: within one buffer, 10.7 ms);
//  3. the cost of mixing one 512-frame buffer with twelve voices.
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

#include <unistd.h>

#include "proc_memory.h"
#include "sound/audio_output.h"
#include "sound/sound_system.h"

namespace {

using namespace morvast;
using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000, kBuffer = 512;
constexpr auto kPeriod = std::chrono::microseconds(1000000 * kBuffer / kRate);

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE) / 1024;
}

using bench::privateKiB;

void longWaveMusic(SoundSystem& sounds, sound::ManualAudioOutput& device, const std::string& file) {
    const std::string make = std::string(MORVAST_FFMPEG) +
                             " -nostdin -loglevel error -f lavfi -i \"aevalsrc=0.3*sin(2*PI*440*t)|"
                             "0.3*sin(2*PI*330*t):s=44100:d=600\" -c:a pcm_s16le '" +
                             file + "'";
    if (!std::filesystem::exists(file) && std::system(make.c_str()) != 0)
        return (void)std::printf("wave music: cannot make the ten-minute file\n");
    device.render(kRate);
    const long idle = privateKiB();
    QString path = QString::fromStdString(file);
    int32_t freq = 0;
    const auto t0 = Clock::now();
    sounds.music.BkgMusicLoad(path, freq);
    const auto returned = Clock::now();
    const long afterLoad = privateKiB();
    // First audible frames: what a device thread rendering at once after the load would give.
    auto heard = returned;
    for (int tries = 0; tries < 20000; ++tries) {
        const auto out = device.render(kBuffer);
        if (std::any_of(out.begin(), out.end(), [](float x) { return x != 0; })) {
            heard = Clock::now();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    // Ten seconds of play, paced loosely, then the peak over the whole run.
    long top = std::max(afterLoad, privateKiB());
    for (int i = 0; i < 10 * kRate / kBuffer; ++i) {
        device.render(kBuffer);
        if (i % 8 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        top = std::max(top, privateKiB());
    }
    std::printf(
        "ten-minute 44.1 kHz stereo wave as music (%s, %d Hz): private memory +%.1f MiB after "
        "the load, +%.1f MiB at most while playing; BkgMusicLoad returned in %.1f ms, first "
        "audible frames after %.1f ms\n",
        sounds.music.loaded() ? "loaded" : "NOT loaded", freq, (afterLoad - idle) / 1024.0,
        (top - idle) / 1024.0, ms(returned - t0), ms(heard - t0));
    sounds.music.BkgMusicStop();
}

void longMusicMemory(SoundSystem& sounds, sound::ManualAudioOutput& device,
                     const std::string& file) {
    const std::string make = std::string(MORVAST_FFMPEG) +
                             " -nostdin -loglevel error -f lavfi -i \"aevalsrc=0.3*sin(2*PI*440*t)|"
                             "0.3*sin(2*PI*330*t):s=44100:d=600\" '" +
                             file + "'";
    if (!std::filesystem::exists(file) && std::system(make.c_str()) != 0)
        return (void)std::printf("memory: cannot make the ten-minute file\n");
    device.render(kRate);
    const long idle = residentKiB();
    long top = idle;
    sounds.mp3.FileName(QString::fromStdString(file));
    const QString result = sounds.mp3.mmPlay();
    int64_t frames = 0;
    while (sounds.mp3.IsPlaying()) {
        if (sounds.mp3.bufferedFrames() < kBuffer) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        device.render(kBuffer);
        frames += kBuffer;
        top = std::max(top, residentKiB());
    }
    std::printf(
        "ten-minute MP3 (%s, %.0f s played): resident %.1f MiB idle, %.1f MiB above idle "
        "while playing\n",
        result.toStdString().c_str(), double(frames) / kRate, idle / 1024.0, (top - idle) / 1024.0);
}

void playLatency(SoundSystem& sounds, sound::ManualAudioOutput& device) {
    // The device thread notes when a buffer first carries sound after being armed.
    std::atomic<bool> armed{false}, running{true};
    std::atomic<Clock::rep> heardAt{0};
    std::thread output([&] {
        for (auto next = Clock::now(); running; std::this_thread::sleep_until(next += kPeriod)) {
            const auto out = device.render(kBuffer);
            if (armed && std::any_of(out.begin(), out.end(), [](float x) { return x != 0; })) {
                heardAt = Clock::now().time_since_epoch().count();
                armed = false;
            }
        }
    });
    sounds.music.BkgMusicStop();
    std::vector<double> delays;
    for (int trial = 0; trial < 41; ++trial) {
        // Land the request at a different point of the output's cycle each time.
        std::this_thread::sleep_for(std::chrono::microseconds(150 + 1733 * (trial % 7)));
        armed = true;
        const auto t0 = Clock::now();
        sounds.effect(SoundEffect::Rotate).DMCtrlPlay();
        while (armed)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        delays.push_back(ms(Clock::duration(heardAt.load()) - t0.time_since_epoch()));
        while (sounds.effect(SoundEffect::Rotate).isSounding())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    running = false;
    output.join();
    const double first = delays[0];  // includes reading and decoding the file
    std::sort(delays.begin() + 1, delays.end());
    std::printf(
        "DMCtrlPlay to first sound (buffer %.2f ms): first %.2f ms, then median %.2f ms, "
        "max %.2f ms\n",
        1000.0 * kBuffer / kRate, first, delays[delays.size() / 2], delays.back());
}

void mixingCost(SoundSystem& sounds) {
    sound::Mixer mixer(kRate);
    for (int i = 0; i < 12; ++i) {
        const QString file =
            i < 10 ? sounds.effect(static_cast<SoundEffect>(i)).DMCtrlPath() : sounds.music.path();
        auto wave = sound::decodeFile(file.toStdString());
        if (!wave) return (void)std::printf("mixing cost: media missing\n");
        const auto id = mixer.createVoice();
        mixer.setWave(id, wave);
        mixer.setFrequency(id, 11000 + 3000 * i);
        mixer.play(id, true);
    }
    std::vector<float> out(kBuffer * 2);
    constexpr int kRounds = 20000;
    const auto t0 = Clock::now();
    for (int i = 0; i < kRounds; ++i)
        mixer.render(out.data(), kBuffer);
    const double perBuffer = ms(Clock::now() - t0) / kRounds;
    std::printf("mixing cost, 12 voices: %.2f us per %d-frame buffer (%.2f%% of its time)\n",
                perBuffer * 1000, kBuffer, 100 * perBuffer / (1000.0 * kBuffer / kRate));
}

}  // namespace

int main(int argc, char** argv) {
    bool EnableSoundControl = true;
    auto output = std::make_unique<sound::ManualAudioOutput>(kRate, kBuffer);
    sound::ManualAudioOutput& device = *output;
    SoundSystem sounds(std::move(output), EnableSoundControl, [] {});
    const std::string scratch =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(scratch);
    // Memory first, while no long file has been decoded in this process yet.
    longWaveMusic(sounds, device, scratch + "/ten-minutes.wav");
    int32_t freq = 0;
    sounds.applyDefaults(QStringLiteral(MORVAST_PROGRAM_DIR), freq);
    longMusicMemory(sounds, device, scratch + "/ten-minutes.mp3");
    playLatency(sounds, device);
    mixingCost(sounds);
    return 0;
}

#include "sound/mp3_play.h"

#include <cstdint>
#include <vector>

#include <pthread.h>

#include <QFile>
#include <QFileInfo>

#include "scoring/rounding.h"

namespace morvast {

namespace {

// A second ahead of the audio thread: enough to ride out a busy machine, small enough that a
// long file costs no more memory than a short one. The decoder refills it once half of it has
// been played, so its thread wakes twice a second.
constexpr double kRingSeconds = 1.0;
constexpr int64_t kDecodeChunk = 2048;

QString twoDigits(int64_t n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString formatPosition(int64_t milliseconds) {
    const int64_t s = roundHalfEven(static_cast<double>(milliseconds) / 1000.0);
    if (s < 60) return QStringLiteral("0:") + twoDigits(s);
    return twoDigits(s / 60) + QLatin1Char(':') + twoDigits(s % 60);
}

struct MP3Play::Stream {
    explicit Stream(size_t ringFrames)
        : ringFrames(ringFrames), ring(std::make_shared<sound::StreamRing>(ringFrames)) {}
    sound::AudioDecoder decoder;
    size_t ringFrames;
    // Shared with the mixer, which keeps it until the audio thread has let go of it.
    std::shared_ptr<sound::StreamRing> ring;
    std::thread thread;
    int64_t baseMs = 0;  // where the ring's first frame lies in the file
};

MP3Play::MP3Play(sound::Mixer& mixer, std::function<void()> forgetFile)
    : mixer_(mixer), forgetFile_(std::move(forgetFile)), voice_(mixer.createVoice()) {}

MP3Play::~MP3Play() {
    mmStop();
}

void MP3Play::startDecoding() {
    Stream& s = *stream_;
    s.thread = std::thread([&s] {
        pthread_setname_np(pthread_self(), "mvst-player");
        std::vector<float> buffer(kDecodeChunk * 2);
        const size_t refill = s.ring->capacity() / 2;
        for (;;) {
            const auto chunk = static_cast<size_t>(kDecodeChunk);
            if (!s.ring->waitForRoom(s.ring->space() >= chunk ? chunk : refill)) return;
            const int64_t got = s.decoder.read(buffer.data(), kDecodeChunk);
            s.ring->write(buffer.data(), static_cast<size_t>(got));
            if (got < kDecodeChunk) {
                s.ring->markEnded();
                return;
            }
        }
    });
}

void MP3Play::stopDecoding() {
    if (!stream_) return;
    mixer_.stop(voice_);
    mixer_.setStream(voice_, nullptr);
    stream_->ring->stopProducer();
    if (stream_->thread.joinable()) stream_->thread.join();
}

QString MP3Play::mmPlay() {
    try {
        if (!QFileInfo(fileName_).isFile()) return QString::fromLatin1(kInputError);
        // The device could hold one file only; a second open replaces the first rather than
        // failing.
        mmStop();
        const int rate = mixer_.outputRate();
        auto stream = std::make_unique<Stream>(static_cast<size_t>(rate * kRingSeconds));
        if (!stream->decoder.open(QFile::encodeName(fileName_).toStdString(), rate)) {
            return QString::fromStdString(stream->decoder.error());
        }
        // Decode the first chunk here: a file that opens but yields no sound (random bytes
        // that happen to look like MP3) is refused like any other undecodable file, and the
        // play starts with sound ready.
        std::vector<float> first(kDecodeChunk * 2);
        const int64_t got = stream->decoder.read(first.data(), kDecodeChunk);
        if (got == 0) return QStringLiteral("Invalid data found when processing input");
        stream->ring->write(first.data(), static_cast<size_t>(got));
        if (got < kDecodeChunk) stream->ring->markEnded();
        stream_ = std::move(stream);
        if (!stream_->ring->ended()) startDecoding();
        mixer_.setStream(voice_, stream_->ring);
        mixer_.setVolume(voice_, 0);
        mixer_.play(voice_, false);
        return QString::fromLatin1(kSuccess);
    } catch (...) {
        stopDecoding();
        stream_.reset();
        fileName_.clear();
        if (forgetFile_) forgetFile_();
        return QString();
    }
}

QString MP3Play::mmStop() {
    stopDecoding();
    stream_.reset();
    return QString();
}

bool MP3Play::IsPlaying() const {
    return stream_ && mixer_.isPlaying(voice_);
}

int64_t MP3Play::positionMs() const {
    if (!stream_) return -1;
    const double frames = mixer_.position(voice_);
    return stream_->baseMs + static_cast<int64_t>(frames * 1000.0 / mixer_.outputRate());
}

int64_t MP3Play::bufferedFrames() const {
    if (!stream_) return 0;
    if (stream_->ring->ended()) return INT64_MAX;
    return static_cast<int64_t>(stream_->ring->available());
}

QString MP3Play::Position() const {
    const int64_t ms = positionMs();
    return ms < 0 ? QString() : formatPosition(ms);
}

void MP3Play::SeekTo(int64_t Second) {
    if (!stream_) return;
    stopDecoding();
    // A fresh ring: the audio thread may still be fading out the old one.
    stream_->ring = std::make_shared<sound::StreamRing>(stream_->ringFrames);
    const int64_t ms = std::max<int64_t>(0, Second);
    stream_->decoder.seekMs(ms);
    stream_->baseMs = ms;
    mixer_.setStream(voice_, stream_->ring);
    startDecoding();
    mixer_.play(voice_, false);
}

}  // namespace morvast

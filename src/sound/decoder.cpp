#include "sound/decoder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace morvast::sound {

namespace {

constexpr int kAvioBufferSize = 32 * 1024;
// Finding the format and the streams reads at most this much and takes at most this long; a
// real sound file shows its streams within a few kilobytes and milliseconds.
constexpr int64_t kProbeBytes = 1 << 20;
constexpr int64_t kAnalyzeMicroseconds = 2'000'000;
constexpr auto kOpenTime = std::chrono::seconds(2);
// A damaged file can fail every packet; past this many failures in a row it is not worth reading.
constexpr int kMaxConsecutiveErrors = 200;
constexpr int kConvertFrames = 4096;
// Sample rates outside this range are damage, not sound: a huge one would make the resampler
// build a filter of gigabytes.
constexpr int kMinRate = 100;
constexpr int kMaxRate = 768000;
bool plausibleRate(int rate) {
    return rate >= kMinRate && rate <= kMaxRate;
}
// The most channels the resampler accepts.
constexpr int kMaxChannels = 64;

std::string avText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void quietFfmpeg() {
    // The game shows and logs nothing about media; FFmpeg would otherwise write to stderr.
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

using SteadyClock = std::chrono::steady_clock;

// Where the demuxer's bytes come from: a file opened here (so that nothing but a regular file is
// ever read) or bytes in memory. Also the guard against files that are mostly not sound: the
// demuxer's reads end when the opening takes too long, or when too many bytes have passed since
// the last decoded sound.
struct Source {
    int fd = -1;
    std::span<const uint8_t> bytes;
    int64_t size = 0;
    int64_t pos = 0;
    int64_t bytesRead = 0;  // ever, across seeks
    int64_t goodAt = 0;     // bytesRead when sound last came out (or the stream was reset)
    SteadyClock::time_point deadline = SteadyClock::time_point::max();

    ~Source() {
        if (fd >= 0) ::close(fd);
    }
};

int sourceRead(void* opaque, uint8_t* buf, int size) {
    auto* m = static_cast<Source*>(opaque);
    if (SteadyClock::now() > m->deadline) return AVERROR_EXIT;
    // A long stretch without sound (a valid file followed by gigabytes of zeros, say) ends the
    // stream instead of being scanned to its end.
    if (m->bytesRead - m->goodAt > kMaxUndecodableBytes) return AVERROR_EOF;
    int64_t n = 0;
    if (m->fd >= 0) {
        n = ::pread(m->fd, buf, static_cast<size_t>(size), m->pos);
        if (n < 0) return AVERROR(errno);
    } else {
        n = std::clamp<int64_t>(static_cast<int64_t>(m->bytes.size()) - m->pos, 0, size);
        if (n > 0) std::memcpy(buf, m->bytes.data() + m->pos, static_cast<size_t>(n));
    }
    if (n == 0) return AVERROR_EOF;
    m->pos += n;
    m->bytesRead += n;
    return static_cast<int>(n);
}

int64_t sourceSeek(void* opaque, int64_t offset, int whence) {
    auto* m = static_cast<Source*>(opaque);
    if (whence & AVSEEK_SIZE) return m->size;
    int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET:
            target = offset;
            break;
        case SEEK_CUR:
            target = m->pos + offset;
            break;
        case SEEK_END:
            target = m->size + offset;
            break;
        default:
            return AVERROR(EINVAL);
    }
    if (target < 0 || target > m->size) return AVERROR(EINVAL);
    m->pos = target;
    return target;
}

}  // namespace

struct AudioDecoder::Impl {
    AVFormatContext* fmt = nullptr;
    AVIOContext* avio = nullptr;
    std::unique_ptr<Source> source;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    int wantedRate = 0;  // 0 = the file's own
    int outRate = 0;
    int outChannels = 0;  // 1 or 2 coming out of the resampler; 1 is doubled afterwards

    // The resampler's set-up, so that a change inside the stream re-creates it.
    int swrInRate = 0;
    int swrInFormat = -1;
    AVChannelLayout swrInLayout{};

    std::vector<float> pending;  // converted stereo samples not yet handed out
    size_t pendingPos = 0;
    std::vector<float> scratch;
    bool demuxEnded = false;
    bool flushed = false;
    bool swrHolding = false;   // the resampler keeps input that did not fit the last call
    bool swrDraining = false;  // the file has ended: the resampler gives up its tail
    int consecutiveErrors = 0;
    int64_t decoded = 0;

    ~Impl() { release(); }

    void release() {
        swr_free(&swr);
        avcodec_free_context(&codec);
        if (fmt) avformat_close_input(&fmt);
        if (avio) {
            av_freep(&avio->buffer);
            avio_context_free(&avio);
        }
        source.reset();
        av_packet_free(&packet);
        av_frame_free(&frame);
        av_channel_layout_uninit(&swrInLayout);
        pending.clear();
        pendingPos = 0;
        stream = -1;
    }

    int setupResampler(const AVFrame* f) {
        AVChannelLayout in{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels == 0) {
            av_channel_layout_default(&in, std::max(1, f->ch_layout.nb_channels));
        } else {
            av_channel_layout_copy(&in, &f->ch_layout);
        }
        // Mono goes out as mono and is doubled by hand: the resampler's own mono-to-stereo
        // matrix lowers the level by 3 dB, and an effect must keep its level on both sides.
        AVChannelLayout out{};
        outChannels = in.nb_channels == 1 ? 1 : 2;
        av_channel_layout_default(&out, outChannels);
        outRate = wantedRate > 0 ? wantedRate : f->sample_rate;
        swr_free(&swr);
        int err =
            swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_FLT, outRate, &in,
                                static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        if (err >= 0) err = swr_init(swr);
        av_channel_layout_uninit(&swrInLayout);
        swrInLayout = in;
        swrInRate = f->sample_rate;
        swrInFormat = f->format;
        av_channel_layout_uninit(&out);
        return err;
    }

    bool resamplerMatches(const AVFrame* f) const {
        if (!swr || f->sample_rate != swrInRate || f->format != swrInFormat) return false;
        if (f->ch_layout.nb_channels != swrInLayout.nb_channels) return false;
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) return true;
        return av_channel_layout_compare(&f->ch_layout, &swrInLayout) == 0;
    }

    void appendConverted(int frames) {
        if (frames <= 0) return;
        const size_t base = pending.size();
        pending.resize(base + static_cast<size_t>(frames) * 2);
        if (outChannels == 2) {
            std::memcpy(pending.data() + base, scratch.data(), sizeof(float) * frames * 2);
        } else {
            for (int i = 0; i < frames; ++i) {
                pending[base + 2 * i] = scratch[i];
                pending[base + 2 * i + 1] = scratch[i];
            }
        }
        decoded += frames;
    }

    // Converts one decoded frame, or with f null what the resampler still holds, at most
    // kConvertFrames at a time: a file with a tiny sample rate would otherwise turn one frame
    // into an enormous block when converted up to the output rate.
    void convert(const AVFrame* f) {
        if (!swr) {
            swrHolding = false;
            return;
        }
        scratch.resize(kConvertFrames * 2);
        uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(scratch.data())};
        // No new input: a null list flushes the end, an empty one only hands out what is held.
        static const uint8_t* const kNoInput[kMaxChannels] = {};
        const uint8_t** in = const_cast<const uint8_t**>(kNoInput);
        int count = 0;
        if (f) {
            in = const_cast<const uint8_t**>(f->extended_data);
            count = f->nb_samples;
        } else if (swrDraining) {
            in = nullptr;
        }
        const int got = swr_convert(swr, outPlanes, kConvertFrames, in, count);
        appendConverted(got);
        swrHolding = got == kConvertFrames;
    }

    void receiveFrames() {
        for (;;) {
            const int err = avcodec_receive_frame(codec, frame);
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return;
            if (err < 0) {
                // A damaged packet: skip it and go on with the next one.
                ++consecutiveErrors;
                return;
            }
            consecutiveErrors = 0;
            if (frame->nb_samples > 0 && plausibleRate(frame->sample_rate)) {
                source->goodAt = source->bytesRead;
                bool ok = true;
                if (!resamplerMatches(frame)) {
                    // A change of format inside the stream: the old resampler's last few
                    // samples are dropped rather than drained without bound.
                    swrHolding = false;
                    ok = setupResampler(frame) >= 0;
                    if (!ok) swr_free(&swr);
                }
                if (ok) convert(frame);
            }
            av_frame_unref(frame);
        }
    }

    // Decodes until at least one more frame is pending or the file has ended.
    bool fill() {
        const size_t before = pending.size();
        while (pending.size() == before) {
            if (swrHolding) {
                convert(nullptr);
                continue;
            }
            if (flushed) return false;
            if (demuxEnded || consecutiveErrors > kMaxConsecutiveErrors) {
                if (swrDraining) {
                    flushed = true;
                    continue;
                }
                avcodec_send_packet(codec, nullptr);
                receiveFrames();
                swrDraining = true;
                convert(nullptr);
                continue;
            }
            const int err = av_read_frame(fmt, packet);
            if (err < 0) {
                demuxEnded = true;
                continue;
            }
            if (packet->stream_index == stream) {
                const int sent = avcodec_send_packet(codec, packet);
                if (sent < 0 && sent != AVERROR(EAGAIN)) {
                    ++consecutiveErrors;
                } else {
                    receiveFrames();
                }
            }
            av_packet_unref(packet);
        }
        return true;
    }
};

AudioDecoder::AudioDecoder() : d_(std::make_unique<Impl>()) {
    quietFfmpeg();
}
AudioDecoder::~AudioDecoder() = default;

void AudioDecoder::close() {
    if (d_->source) bytesRead_ = d_->source->bytesRead;
    d_ = std::make_unique<Impl>();
}

int64_t AudioDecoder::bytesRead() const {
    return d_->source ? d_->source->bytesRead : bytesRead_;
}

bool AudioDecoder::isOpen() const {
    return d_->codec != nullptr;
}
int AudioDecoder::sourceRate() const {
    return d_->codec ? d_->codec->sample_rate : 0;
}
int AudioDecoder::outputRate() const {
    if (!d_->codec) return 0;
    return d_->wantedRate > 0 ? d_->wantedRate : d_->codec->sample_rate;
}
int64_t AudioDecoder::framesDecoded() const {
    return d_->decoded;
}
double AudioDecoder::durationSeconds() const {
    if (!d_->fmt || d_->stream < 0) return 0;
    const AVStream* st = d_->fmt->streams[d_->stream];
    if (st->duration > 0) return static_cast<double>(st->duration) * av_q2d(st->time_base);
    if (d_->fmt->duration > 0) return static_cast<double>(d_->fmt->duration) / AV_TIME_BASE;
    return 0;
}

namespace {

int openStreams(AVFormatContext* fmt, int& streamOut, AVCodecContext*& codecOut) {
    int err = avformat_find_stream_info(fmt, nullptr);
    if (err < 0) return err;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0) return stream;
    if (!decoder) return AVERROR_DECODER_NOT_FOUND;
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    if (!codec) return AVERROR(ENOMEM);
    err = avcodec_parameters_to_context(codec, fmt->streams[stream]->codecpar);
    if (err >= 0) err = avcodec_open2(codec, decoder, nullptr);
    if (err < 0 || !plausibleRate(codec->sample_rate)) {
        avcodec_free_context(&codec);
        return err < 0 ? err : AVERROR_INVALIDDATA;
    }
    // Only the sound is wanted; the demuxer can drop everything else early.
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        if (static_cast<int>(i) != stream) fmt->streams[i]->discard = AVDISCARD_ALL;
    }
    streamOut = stream;
    codecOut = codec;
    return 0;
}

}  // namespace

bool AudioDecoder::openSource(const std::string& name) {
    Impl& d = *d_;
    int err = 0;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kAvioBufferSize));
    d.fmt = avformat_alloc_context();
    if (buffer && d.fmt) {
        d.avio = avio_alloc_context(buffer, kAvioBufferSize, 0, d.source.get(), sourceRead, nullptr,
                                    sourceSeek);
    }
    if (!d.avio) {
        av_free(buffer);
        err = AVERROR(ENOMEM);
    }
    if (err >= 0) {
        d.fmt->pb = d.avio;
        d.fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        AVDictionary* options = nullptr;
        // A media file must not lead the demuxer to other files or to the network (playlists,
        // concatenation lists): only this one file is read.
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        av_dict_set_int(&options, "probesize", kProbeBytes, 0);
        av_dict_set_int(&options, "formatprobesize", kProbeBytes, 0);
        av_dict_set_int(&options, "analyzeduration", kAnalyzeMicroseconds, 0);
        d.source->deadline = SteadyClock::now() + kOpenTime;
        // The name only lends its extension to the format probe; the bytes come from the source.
        err = avformat_open_input(&d.fmt, name.empty() ? nullptr : name.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (err >= 0) err = openStreams(d.fmt, d.stream, d.codec);
        d.source->deadline = SteadyClock::time_point::max();
        d.source->goodAt = d.source->bytesRead;
    }
    if (err >= 0) {
        d.packet = av_packet_alloc();
        d.frame = av_frame_alloc();
        if (!d.packet || !d.frame) err = AVERROR(ENOMEM);
    }
    if (err < 0) {
        error_ = avText(err);
        close();
        return false;
    }
    return true;
}

bool AudioDecoder::open(const std::string& path, int outputRate) {
    close();
    error_.clear();
    bytesRead_ = 0;
    d_->wantedRate = std::max(0, outputRate);
    // Opened without waiting, and refused unless it is a regular file: a FIFO, a device or a
    // socket at a media path must never hold the program up, and a folder holds no sound.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error_ = avText(AVERROR(errno));
        return false;
    }
    d_->source = std::make_unique<Source>();
    d_->source->fd = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = kNotAFile;
        close();
        return false;
    }
    d_->source->size = st.st_size;
    return openSource(path);
}

bool AudioDecoder::openMemory(std::span<const uint8_t> bytes, int outputRate) {
    close();
    error_.clear();
    bytesRead_ = 0;
    d_->wantedRate = std::max(0, outputRate);
    d_->source = std::make_unique<Source>();
    d_->source->bytes = bytes;
    d_->source->size = static_cast<int64_t>(bytes.size());
    return openSource({});
}

int64_t AudioDecoder::read(float* out, int64_t maxFrames) {
    if (!d_->codec) return 0;
    int64_t done = 0;
    while (done < maxFrames) {
        const size_t available = (d_->pending.size() - d_->pendingPos) / 2;
        if (available == 0) {
            d_->pending.clear();
            d_->pendingPos = 0;
            if (!d_->fill()) break;
            continue;
        }
        const int64_t n = std::min<int64_t>(available, maxFrames - done);
        std::memcpy(out + done * 2, d_->pending.data() + d_->pendingPos, sizeof(float) * n * 2);
        d_->pendingPos += static_cast<size_t>(n) * 2;
        done += n;
    }
    return done;
}

bool AudioDecoder::seekMs(int64_t ms) {
    if (!d_->codec) return false;
    const int64_t ts = std::max<int64_t>(0, ms) * (AV_TIME_BASE / 1000);
    int err = avformat_seek_file(d_->fmt, -1, INT64_MIN, ts, ts, 0);
    if (err < 0) err = av_seek_frame(d_->fmt, -1, ts, AVSEEK_FLAG_BACKWARD);
    if (err < 0 && ms == 0) {
        // Some raw streams cannot seek by time but can go back to their first byte.
        err = avio_seek(d_->fmt->pb, 0, SEEK_SET) < 0 ? -1 : 0;
    }
    avcodec_flush_buffers(d_->codec);
    swr_free(&d_->swr);
    d_->pending.clear();
    d_->pendingPos = 0;
    d_->demuxEnded = false;
    d_->flushed = false;
    d_->swrHolding = false;
    d_->swrDraining = false;
    d_->consecutiveErrors = 0;
    d_->decoded = 0;
    d_->source->goodAt = d_->source->bytesRead;
    return err >= 0;
}

namespace {

std::shared_ptr<const Wave> decodeAll(AudioDecoder& decoder, std::string* error,
                                      size_t maxBytes) try {
    auto wave = std::make_shared<Wave>();
    wave->rate = decoder.outputRate();
    constexpr int64_t kChunk = 8192;
    const size_t maxSamples = maxBytes / sizeof(float);
    // A file whose header already tells a length far beyond the bound is not decoded at all; a
    // length estimated from the bit rate may be off, hence the margin.
    if (decoder.durationSeconds() * wave->rate * 2 > 2.0 * static_cast<double>(maxSamples)) {
        if (error) *error = avText(AVERROR(EFBIG));
        return nullptr;
    }
    for (;;) {
        const size_t base = wave->samples.size();
        wave->samples.resize(base + kChunk * 2);
        const int64_t got = decoder.read(wave->samples.data() + base, kChunk);
        wave->samples.resize(base + static_cast<size_t>(got) * 2);
        if (wave->samples.size() > maxSamples) {
            if (error) *error = avText(AVERROR(EFBIG));
            return nullptr;
        }
        if (got < kChunk) break;
    }
    if (wave->frames() == 0) {
        // A file that probes as audio but yields nothing is as undecodable as garbage.
        if (error) *error = avText(AVERROR_INVALIDDATA);
        return nullptr;
    }
    wave->samples.shrink_to_fit();
    return wave;
} catch (const std::bad_alloc&) {
    // A sound too long to hold whole fails like a missing one rather than ending the program.
    if (error) *error = avText(AVERROR(ENOMEM));
    return nullptr;
}

}  // namespace

std::shared_ptr<const Wave> decodeFile(const std::string& path, std::string* error,
                                       size_t maxBytes) {
    AudioDecoder decoder;
    if (!decoder.open(path)) {
        if (error) *error = decoder.error();
        return nullptr;
    }
    return decodeAll(decoder, error, maxBytes);
}

std::shared_ptr<const Wave> decodeMemory(std::span<const uint8_t> bytes, std::string* error,
                                         size_t maxBytes) {
    AudioDecoder decoder;
    if (!decoder.openMemory(bytes)) {
        if (error) *error = decoder.error();
        return nullptr;
    }
    return decodeAll(decoder, error, maxBytes);
}

}  // namespace morvast::sound

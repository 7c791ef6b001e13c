#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include <QString>

#include "sound/decoder.h"
#include "sound/mixer.h"

namespace morvast {

// Minutes and seconds of a play position as the player shows it: whole seconds rounded half to
// even, "0:07" below a minute, "03:07" from a minute on.
QString formatPosition(int64_t milliseconds);

// Plays one compressed music file (MP3, MP2, WMA or anything else FFmpeg reads) once, streaming:
// a decoder thread keeps a short ring of sound ahead of the audio thread, so memory stays the
// same whatever the file's length. Every member belongs to the user-interface thread.
class MP3Play {
  public:
    static constexpr const char* kSuccess = "Success";
    static constexpr const char* kInputError = "Error with input file";

    // forgetFile is called when a play fails unexpectedly; it empties the owner's remembered
    // file (the main window's MP3Path).
    MP3Play(sound::Mixer& mixer, std::function<void()> forgetFile);
    ~MP3Play();
    MP3Play(const MP3Play&) = delete;
    MP3Play& operator=(const MP3Play&) = delete;

    const QString& FileName() const { return fileName_; }
    void FileName(const QString& name) { fileName_ = name; }
    bool Enabled() const { return enabled_; }
    void Enabled(bool enabled) { enabled_ = enabled; }

    // Opens FileName and starts it. "Success"; "Error with input file" when no such file
    // exists; the decoder's own text when the file cannot be decoded; "" after an unexpected
    // failure, which also forgets the file.
    QString mmPlay();
    // Stops and closes; "" always. Does nothing when nothing is open.
    QString mmStop();
    // True while the open file is sounding (not stopped, not run to its end).
    bool IsPlaying() const;
    // The position as formatPosition shows it; "" with nothing open.
    QString Position() const;
    // Plays the open file from the given millisecond (0 starts it over, also after its end).
    void SeekTo(int64_t Second);

    // The play position in milliseconds; -1 with nothing open.
    int64_t positionMs() const;
    // Frames decoded ahead of the output; a large number once the whole rest is decoded.
    int64_t bufferedFrames() const;

  private:
    struct Stream;
    void startDecoding();
    void stopDecoding();

    sound::Mixer& mixer_;
    std::function<void()> forgetFile_;
    sound::VoiceId voice_;
    QString fileName_;
    bool enabled_ = true;
    std::unique_ptr<Stream> stream_;
};

}  // namespace morvast

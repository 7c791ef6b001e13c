// libFuzzer entry over the whole decoding path: probing, demuxing, decoding and conversion of
// arbitrary bytes. Built only with Clang and MORVAST_FUZZ=ON (see tests/sound/CMakeLists.txt).

#include <cmath>
#include <cstdlib>

#include "sound/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    // A refusal always says why; a success is real, finite sound.
    if (auto wave = morvast::sound::decodeMemory({data, size}, &error)) {
        if (wave->frames() == 0 || wave->rate <= 0) std::abort();
        for (float x : wave->samples)
            if (!std::isfinite(x)) std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    // The streaming path converts to the output rate; run it too.
    morvast::sound::AudioDecoder decoder;
    float buffer[1024 * 2];
    if (decoder.openMemory({data, size}, 48000))
        for (int i = 0; i < 64 && decoder.read(buffer, 1024) > 0; ++i) {
        }
    return 0;
}

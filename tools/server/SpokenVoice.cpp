#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/server/StandInServer.h"

namespace standin {

namespace {

constexpr int kRate = 44100;

// A voice-like sound: a pitch that wanders around 150 Hz with two overtones, loudness rising and
// falling four times a second like syllables, a short pause every second and a little breath
// noise (from a fixed linear congruential sequence, so the file is the same every time).
std::vector<short> speech(int frames) {
    std::vector<short> pcm(size_t(frames) * 2);
    uint32_t seed = 12345;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        const double pitch = 150 + 35 * std::sin(t * 1.7);
        const double syllables = 0.5 + 0.5 * std::sin(t * 2 * M_PI * 4);
        const double pause = std::fmod(t, 1.0) > 0.85 ? 0.1 : 1.0;
        seed = seed * 1664525u + 1013904223u;
        const double breath = (double(seed >> 16) / 65535.0 - 0.5) * 600;
        const double phase = 2 * M_PI * pitch * t;
        const double v = 7000 * syllables * pause *
                             (std::sin(phase) + 0.5 * std::sin(2.1 * phase) + 0.25 * std::sin(3.3 * phase)) +
                         breath;
        const short s = short(std::clamp(v, -32768.0, 32767.0));
        pcm[2 * size_t(i)] = s;
        pcm[2 * size_t(i) + 1] = short(s * 0.9);
    }
    return pcm;
}

}  // namespace

std::string spokenVoiceMP3(double seconds) {
    const int frames = int(std::clamp(seconds, 0.1, 600.0) * kRate);
    std::vector<short> pcm = speech(frames);
    std::string mp3;
    lame_t lame = lame_init();
    if (!lame) return mp3;
    lame_set_in_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_VBR(lame, vbr_default);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return mp3;
    }
    // The encoder's own bound for a buffer of this many samples.
    std::vector<unsigned char> buffer(size_t(frames) + size_t(frames) / 4 + 7200);
    int n = lame_encode_buffer_interleaved(lame, pcm.data(), frames, buffer.data(), int(buffer.size()));
    if (n > 0) mp3.append(reinterpret_cast<const char*>(buffer.data()), size_t(n));
    n = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (n > 0) mp3.append(reinterpret_cast<const char*>(buffer.data()), size_t(n));
    lame_close(lame);
    return mp3;
}

}  // namespace standin

#pragma once
#include "platform/media/MediaError.h"

namespace media {

enum class AudioSessionCategory { Ambient, SoloAmbient, Playback, Record, PlayAndRecord };

// Test switches of the audio session.
struct AudioSessionSimulation {
    bool categoryFails = false;
    bool activationFails = false;
};

// The phone's shared audio session.
class AudioSession {
public:
    static AudioSession& sharedInstance();

    bool setCategory(AudioSessionCategory category, Error* error = nullptr);
    AudioSessionCategory category() const;
    bool setActive(bool active, Error* error = nullptr);
    bool isActive() const;

    static AudioSessionSimulation simulation();
    static void setSimulation(const AudioSessionSimulation& simulation);
    void reset();  // solo ambient, inactive, no failures
};

}  // namespace media

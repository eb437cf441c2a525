#include "platform/media/AudioSession.h"

#include <mutex>

namespace media {

namespace {
std::mutex g_mutex;
AudioSessionSimulation g_simulation;
AudioSessionCategory g_category = AudioSessionCategory::SoloAmbient;
bool g_active = false;
}  // namespace

AudioSession& AudioSession::sharedInstance() {
    static AudioSession session;
    return session;
}

bool AudioSession::setCategory(AudioSessionCategory category, Error* error) {
    std::lock_guard lock(g_mutex);
    if (g_simulation.categoryFails) {
        if (error) *error = Error{"NSOSStatusErrorDomain", 560161140, "The audio category could not be set.",
                                  "Another application holds the audio hardware."};
        return false;
    }
    g_category = category;
    return true;
}

AudioSessionCategory AudioSession::category() const {
    std::lock_guard lock(g_mutex);
    return g_category;
}

bool AudioSession::setActive(bool active, Error* error) {
    std::lock_guard lock(g_mutex);
    if (active && g_simulation.activationFails) {
        if (error) *error = Error{"NSOSStatusErrorDomain", 561015905, "The audio session could not be activated.",
                                  "A call or another application is using the audio hardware."};
        return false;
    }
    g_active = active;
    return true;
}

bool AudioSession::isActive() const {
    std::lock_guard lock(g_mutex);
    return g_active;
}

AudioSessionSimulation AudioSession::simulation() {
    std::lock_guard lock(g_mutex);
    return g_simulation;
}

void AudioSession::setSimulation(const AudioSessionSimulation& simulation) {
    std::lock_guard lock(g_mutex);
    g_simulation = simulation;
}

void AudioSession::reset() {
    std::lock_guard lock(g_mutex);
    g_simulation = {};
    g_category = AudioSessionCategory::SoloAmbient;
    g_active = false;
}

}  // namespace media

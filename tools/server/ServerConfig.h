#pragma once
#include <string>

namespace standin {

// The stand-in server's copy of the application's signing values (the application core keeps
// its own copy of the same two values).
inline constexpr const char* kAppKey = "1039485726";
inline constexpr const char* kSigningSecret = "Vk7#pS2q-9fLm";

// Where every operation lives: the base path followed by the operation's path word.
inline constexpr const char* kBasePath = "/Veskard_mobile/mobile/standard/";

// Where the voice messages of the other side of a case chat are fetched (GET): this path followed
// by the file name. The server's request log and scripts know a fetch by the path word
// kVoiceWord followed by the name ("voice/police.mp3").
inline constexpr const char* kVoicePath = "/Veskard_mobile/voice/";
inline constexpr const char* kVoiceWord = "voice/";
// The traffic police's voice message every stand-in server serves: about four seconds of speech.
inline constexpr const char* kPoliceVoiceName = "police.mp3";

// The demonstration account the simulated state starts with.
inline constexpr const char* kDemoUserId = "10001";
inline constexpr const char* kDemoPhone = "13800138000";

// Lower-case hexadecimal MD5 of application key, secret and user id, concatenated.
std::string signatureFor(const std::string& userid);

}  // namespace standin

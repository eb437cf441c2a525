#pragma once

// The recording level picture over the key window while a voice message is recorded.
class ShowTheWindow {
public:
    static constexpr int kTag = 3200;
    // Shows "microphone_<level>.png" at half its size in the middle of the key window; when the
    // picture is already shown only its image changes.
    static void showTheWindown(int level);
    // Takes the picture off the key window, if it is there.
    static void removeTheWindow();
};

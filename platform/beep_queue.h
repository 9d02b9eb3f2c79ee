// Beeps sounded off the user-interface thread: kernel32's Beep holds its caller for the whole tone, and a
// burst of requests would hold the window and the read pass for minutes.
#pragma once

#include "engine/ports.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tarnwatch::win {

// What sounds one tone and returns when it has ended.
class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void Sound(int frequencyHz, int durationMs) = 0;
};

class WinSpeaker final : public Speaker {
public:
    void Sound(int frequencyHz, int durationMs) override;
};

// While a tone sounds, the requests that come meanwhile add one more tone at most: a slow trickle still
// beeps once per request, a burst beeps for a moment.
class BeepQueue final : public Beeper {
public:
    explicit BeepQueue(Speaker& speaker);
    // Waits for the tone that is sounding, not for the one that waits.
    ~BeepQueue() override;
    BeepQueue(const BeepQueue&) = delete;
    BeepQueue& operator=(const BeepQueue&) = delete;

    // Never waits for the speaker.
    void Beep(int frequencyHz, int durationMs) override;
    // Drops the tone that waits; the one sounding plays to its end.
    void Silence();

private:
    void SoundTones();

    Speaker& speaker_;
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool waiting_ = false;
    int frequencyHz_ = 0;
    int durationMs_ = 0;
    bool stopping_ = false;
    // Last, so that everything it uses exists before it starts.
    std::thread thread_;
};

} // namespace tarnwatch::win

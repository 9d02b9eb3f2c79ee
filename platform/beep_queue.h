// Beeps sounded off the user-interface thread: kernel32's Beep holds its caller for the whole tone, and a
// burst of requests would hold the window and the read pass for minutes.
#pragma once

#include "engine/ports.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
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

// Every tone sounds, in the order asked for, one after another. Only a burst is cut short: once
// MostWaitingTones wait behind the one sounding, later ones are dropped, so that the beeps never lag the list
// by more than about five seconds of 200 ms tones.
class BeepQueue final : public Beeper {
public:
    explicit BeepQueue(Speaker& speaker);
    // Waits for the tone that is sounding, not for those that wait.
    ~BeepQueue() override;
    BeepQueue(const BeepQueue&) = delete;
    BeepQueue& operator=(const BeepQueue&) = delete;

    // Never waits for the speaker.
    void Beep(int frequencyHz, int durationMs) override;
    // Drops the tones that wait; the one sounding plays to its end.
    void Silence();

private:
    struct Tone {
        int FrequencyHz;
        int DurationMs;
    };

    void SoundTones();

    Speaker& speaker_;
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::deque<Tone> waiting_;
    bool stopping_ = false;
    // Last, so that everything it uses exists before it starts.
    std::thread thread_;
};

} // namespace tarnwatch::win

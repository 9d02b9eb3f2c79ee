#include "platform/beep_queue.h"

#include <windows.h>

namespace tarnwatch::win {

void WinSpeaker::Sound(int frequencyHz, int durationMs) {
    ::Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs));
}

BeepQueue::BeepQueue(Speaker& speaker) : speaker_(speaker), thread_([this] { SoundTones(); }) {}

BeepQueue::~BeepQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_ = false;
    }
    wakeUp_.notify_one();
    thread_.join();
}

void BeepQueue::Beep(int frequencyHz, int durationMs) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = true;
        frequencyHz_ = frequencyHz;
        durationMs_ = durationMs;
    }
    wakeUp_.notify_one();
}

void BeepQueue::Silence() {
    const std::lock_guard lock(mutex_);
    waiting_ = false;
}

void BeepQueue::SoundTones() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wakeUp_.wait(lock, [this] { return waiting_ || stopping_; });
        if (stopping_) {
            return;
        }
        waiting_ = false;
        const int frequencyHz = frequencyHz_;
        const int durationMs = durationMs_;
        lock.unlock();
        speaker_.Sound(frequencyHz, durationMs);
        lock.lock();
    }
}

} // namespace tarnwatch::win

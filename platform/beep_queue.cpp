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
        waiting_.clear();
    }
    wakeUp_.notify_one();
    thread_.join();
}

void BeepQueue::Beep(int frequencyHz, int durationMs) {
    {
        const std::lock_guard lock(mutex_);
        if (waiting_.size() >= static_cast<std::size_t>(MostWaitingTones)) {
            return;
        }
        waiting_.push_back({frequencyHz, durationMs});
    }
    wakeUp_.notify_one();
}

void BeepQueue::Silence() {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
}

void BeepQueue::SoundTones() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wakeUp_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
        if (stopping_) {
            return;
        }
        const Tone tone = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        speaker_.Sound(tone.FrequencyHz, tone.DurationMs);
        lock.lock();
    }
}

} // namespace tarnwatch::win

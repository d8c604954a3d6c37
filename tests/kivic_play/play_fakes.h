// Fakes of the playback document and the main frame for the play thread tests, and pumping of the
// GUI thread's queued calls.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include "KivIc/Play/PlayOwner.h"

// Queued calls need an application object on this (the GUI) thread.
inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_kivic_play";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
}

// Runs the GUI thread's queued calls until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// Keeps its frame to the play range as the playback document does, and notes every call that
// arrives on another thread than the one that built it.
class FakeDocument : public IPlayDocument {
public:
    FakeDocument(long begin, long end, long current) : begin(begin), end(end), current(current) {}

    long GetCurrentFrame() const override {
        if (failReads)
            throw std::runtime_error("cannot read the frame");
        return current;
    }
    long GetPlayBegin() const override { return begin; }
    long GetPlayEnd() const override { return end; }
    int GetPlayStep() const override { return step; }
    BOOL IsLoopPlay() const override { return loop; }
    PlaySpeedWord GetPlaySpeedWord() const override { return rate; }
    BOOL IsPlaying() const override { return playing; }

    void SetPlaying(BOOL value) override {
        CheckThread();
        playing = value;
    }
    void SetCurrentFrame(long frame, BOOL /*update*/) override {
        CheckThread();
        if (frame == throwAt)
            throw std::runtime_error("cannot load");
        requested.push_back(frame);
        current = Clamp(frame);
        ++frameChanges;
    }
    void SetCurrentTime(double seconds, BOOL /*update*/) override {
        CheckThread();
        times.push_back(seconds);
        current = Clamp(static_cast<long>(seconds * recordRate));
        ++frameChanges;
    }
    void SendFrameChanged() override {
        CheckThread();
        ++redraws;
    }

    long Clamp(long frame) const {
        return frame < begin.load() ? begin.load() : frame > end.load() ? end.load() : frame;
    }
    void CheckThread() {
        if (std::this_thread::get_id() != gui)
            offGuiCalls++;
    }

    std::atomic<long> begin, end, current;
    std::atomic<int> step{1};
    std::atomic<BOOL> loop{FALSE};
    std::atomic<BOOL> playing{FALSE};
    std::atomic<PlaySpeedWord> rate{0x60001};
    std::atomic<long> throwAt{-1000000};
    std::atomic<bool> failReads{false}; // the current frame cannot be read: every step fails
    int recordRate = 1000;

    // Written on the GUI thread only (offGuiCalls says otherwise).
    std::vector<long> requested;
    std::vector<double> times;
    std::atomic<int> frameChanges{0};
    std::atomic<int> redraws{0};
    std::atomic<int> offGuiCalls{0};
    std::thread::id gui = std::this_thread::get_id();
};

class FakeMainFrame : public IPlayMainFrame {
public:
    double GetSyncBeginTime() const override { return begin; }
    double GetSyncEndTime() const override { return end; }
    double GetSyncCurrentTime() const override {
        if (failReads)
            throw std::runtime_error("cannot read the time");
        return current;
    }
    double GetSyncStepTime() const override { return step; }
    BOOL IsSyncLoop() const override { return loop; }
    PlaySpeedWord GetSyncPlaySpeedWord() const override { return rate; }

    int GetSyncDocumentCount() const override { return static_cast<int>(documents.size()); }
    IPlayDocument* GetSyncDocument(int index) const override {
        return index >= 0 && index < static_cast<int>(documents.size()) ? documents[index] : nullptr;
    }
    void SetSyncPlaying(BOOL value) override {
        if (std::this_thread::get_id() != gui)
            offGuiCalls++;
        playing = value;
    }
    void SetSyncTime(double seconds) override {
        if (std::this_thread::get_id() != gui)
            offGuiCalls++;
        current = seconds;
        shownFrame = static_cast<long>(seconds * frameRate);
        ++timeChanges;
    }
    void StopSyncPlay() override {}
    // What the recordings ask of the main frame; the play thread asks none of it.
    void EndSyncPlayNow() override { playing = FALSE; }
    BOOL IsSyncMode() const override { return TRUE; }
    BOOL IsSyncDocument(const IPlayDocument* doc) const override {
        return std::find(documents.begin(), documents.end(), doc) != documents.end();
    }
    void RemoveSyncDocument(const IPlayDocument* doc) override { std::erase(documents, doc); }
    void RemapMenuCommands() override {}

    std::atomic<double> begin{0.0}, end{1.0}, current{0.0}, step{0.1};
    std::atomic<BOOL> loop{FALSE};
    std::atomic<BOOL> playing{FALSE};
    std::atomic<PlaySpeedWord> rate{0xC0001};
    std::atomic<bool> failReads{false}; // the current time cannot be read: every step fails
    int frameRate = 1000;
    std::vector<IPlayDocument*> documents;
    std::atomic<long> shownFrame{0};
    std::atomic<int> timeChanges{0};
    std::atomic<int> offGuiCalls{0};
    std::thread::id gui = std::this_thread::get_id();
};

// The frame worker pool of a conversion: the frames of a range run on N worker threads, each with its
// own converter, frame buffer and encoder; one writer thread hands the encoded frames to the output in
// frame order. The number of frames between the last one committed and the furthest one started is
// bounded. A failure ends the run in frame order: the frames before the failing one are still written,
// none after it is started, so a run fails with the same frame, cause and output as on one thread. A
// Cancel stops every thread after the frame in hand. Frames encoded ahead but never committed are
// discarded, so the output always holds exactly the frames 0..Committed()-1, whatever the number of
// workers.
//
// The calling thread (the UI thread) only starts, watches and cancels the run; it never waits on a
// worker except to join it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "KivIc/Conversion/FrameJob.h"

struct FramePoolSettings {
    long first = 0;             // first frame of the range; its sample index is 0
    long last = -1;             // last frame of the range
    std::size_t frameBytes = 0; // bytes of one packed frame (each worker's buffer)
    int framesInFlight = 0;     // at most this many frames past the last committed; 0: 2 per worker
};

class CFramePool {
public:
    enum class State { Idle, Running, Done, Cancelled, Failed };

    // The number of workers when the caller gives none: one per processor.
    static int DefaultWorkers();

    CFramePool(const FramePoolSettings& settings, IFrameOutput& output);
    // Cancels and joins a run still going.
    ~CFramePool();
    CFramePool(const CFramePool&) = delete;
    CFramePool& operator=(const CFramePool&) = delete;

    // Adds a worker with its own converter; its encoder comes from the output. Before Start only.
    // FALSE with the cause in *error (the encoder could not be made).
    bool AddWorker(std::unique_ptr<IFrameConverter> converter, std::string* error);
    // Allocates the workers' frame buffers and starts the threads. FALSE with the cause in *error (no
    // workers, an empty range, a buffer that cannot be allocated); nothing runs then.
    bool Start(std::string* error);

    // Asks every thread to stop after the frame in hand.
    void Cancel();
    // Waits until the run ends (done, cancelled or failed), at most `milliseconds`; TRUE when it has.
    // The progress in between is Committed().
    bool Wait(int milliseconds);
    // Joins every thread and discards the frames encoded beyond the committed ones. Returns the state.
    State Join();

    long Count() const { return m_count; }
    long Committed() const { return m_committed.load(); }
    State GetState() const;
    // The first failure: its frame's sample index and cause (when the state is Failed).
    long FailedIndex() const;
    std::string Error() const;
    int Workers() const { return static_cast<int>(m_workers.size()); }

private:
    struct Worker {
        std::unique_ptr<IFrameConverter> converter;
        std::unique_ptr<IFrameEncoder> encoder;
        HGLOBAL buffer = nullptr;
        std::thread thread;
    };

    void WorkerLoop(Worker& worker);
    void WriterLoop();
    // Records a failure; the lowest index wins and nothing at or after it is started or committed.
    // Caller holds m_mutex.
    void FailLocked(long index, std::string error);
    // Whether sample `index` is still wanted. Caller holds m_mutex.
    bool WantedLocked(long index) const { return !m_cancel && index < m_limit; }
    bool EndedLocked() const;

    const FramePoolSettings m_settings;
    const long m_count;
    int m_inFlight = 1;
    IFrameOutput& m_output;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::thread m_writer;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Idle;
    long m_next = 0;                      // the next index a worker takes
    std::map<long, EncodedFrame> m_ready; // encoded, waiting for their turn
    std::atomic<long> m_committed{0};
    bool m_cancel = false;
    long m_limit = 0; // the frames below it are wanted: the count, or the first failing index
    long m_failedIndex = -1;
    std::string m_error;
};

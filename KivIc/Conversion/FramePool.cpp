#include "KivIc/Conversion/FramePool.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <system_error>

#include "KivIc/Conversion/ConvertErrors.h"
#include "platform/win32/memory.h"

int CFramePool::DefaultWorkers() {
    const unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, 64u));
}

CFramePool::CFramePool(const FramePoolSettings& settings, IFrameOutput& output)
    : m_settings(settings), m_count(settings.last >= settings.first ? settings.last - settings.first + 1 : 0),
      m_output(output) {}

CFramePool::~CFramePool() {
    Cancel();
    Join();
    for (auto& worker : m_workers) {
        if (worker->buffer)
            GlobalFree(worker->buffer);
    }
}

bool CFramePool::AddWorker(std::unique_ptr<IFrameConverter> converter, std::string* error) {
    if (!converter || m_state != State::Idle) {
        *error = "The frame converter of a worker is missing.";
        return false;
    }
    auto worker = std::make_unique<Worker>();
    worker->converter = std::move(converter);
    if (!RunGuarded([&] { worker->encoder = m_output.NewEncoder(error); }, error) || !worker->encoder) {
        if (error->empty())
            *error = "The frame writer of a worker could not be made.";
        return false;
    }
    m_workers.push_back(std::move(worker));
    return true;
}

bool CFramePool::Start(std::string* error) {
    if (m_state != State::Idle) {
        *error = "The conversion has already run.";
        return false;
    }
    if (m_count <= 0) {
        *error = "There are no frames to convert.";
        return false;
    }
    if (m_workers.empty()) {
        *error = "There is no worker to convert the frames.";
        return false;
    }
    if (m_settings.frameBytes == 0) {
        *error = "The frames have no size.";
        return false;
    }
    for (auto& worker : m_workers) {
        worker->buffer = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, m_settings.frameBytes);
        if (!worker->buffer) {
            *error = "Not enough memory for a frame buffer of " + std::to_string(m_settings.frameBytes) +
                     " bytes.";
            return false;
        }
    }
    m_inFlight = m_settings.framesInFlight > 0 ? m_settings.framesInFlight : 2 * Workers();
    m_inFlight = std::max(m_inFlight, 1);
    {
        std::lock_guard lock(m_mutex);
        m_state = State::Running;
        m_limit = m_count;
    }
    try {
        m_writer = std::thread([this] { WriterLoop(); });
        for (auto& worker : m_workers) {
            Worker* w = worker.get();
            w->thread = std::thread([this, w] { WorkerLoop(*w); });
        }
    } catch (const std::system_error& e) {
        {
            std::lock_guard lock(m_mutex);
            FailLocked(0, std::string("A worker thread could not be started: ") + e.what());
        }
        Cancel();
        Join();
        *error = Error();
        return false;
    }
    return true;
}

void CFramePool::WorkerLoop(Worker& worker) {
    BYTE* buffer = static_cast<BYTE*>(worker.buffer);
    for (;;) {
        long index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock,
                           [&] { return !WantedLocked(m_next) || m_next < m_committed.load() + m_inFlight; });
            if (!WantedLocked(m_next))
                return;
            index = m_next++;
        }
        std::string error;
        bool ok = false;
        RunGuarded(
            [&] {
                ok = worker.converter->Convert(m_settings.first + index, buffer, m_settings.frameBytes,
                                               &error);
            },
            &error);
        if (ok) {
            {
                std::lock_guard lock(m_mutex);
                if (!WantedLocked(index))
                    return; // a frame that nobody will commit is not written
            }
            EncodedFrame frame;
            RunGuarded(
                [&] { ok = worker.encoder->Encode(index, buffer, m_settings.frameBytes, &frame, &error); },
                &error);
            if (ok) {
                // Also when it is no longer wanted: Join discards what was written ahead.
                {
                    std::lock_guard lock(m_mutex);
                    m_ready.emplace(index, std::move(frame));
                }
                m_changed.notify_all();
                continue;
            }
        }
        {
            std::lock_guard lock(m_mutex);
            FailLocked(index, error.empty() ? "Frame " + std::to_string(m_settings.first + index) +
                                                  " could not be converted."
                                            : error);
        }
        m_changed.notify_all();
    }
}

void CFramePool::WriterLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const long next = m_committed.load();
        m_changed.wait(lock, [&] { return !WantedLocked(next) || m_ready.count(next) != 0; });
        if (!WantedLocked(next)) {
            // Every frame before the end (or before the first failure) is in.
            if (m_state == State::Running)
                m_state = m_failedIndex >= 0 ? State::Failed : State::Done;
            break;
        }
        auto node = m_ready.extract(next);
        lock.unlock();
        std::string error;
        bool ok = false;
        RunGuarded([&] { ok = m_output.Commit(next, node.mapped(), &error); }, &error);
        lock.lock();
        if (!ok) {
            FailLocked(next, error.empty() ? "Frame " + std::to_string(m_settings.first + next) +
                                                 " could not be written."
                                           : error);
            continue;
        }
        m_committed.store(next + 1);
        m_changed.notify_all();
    }
    lock.unlock();
    m_changed.notify_all();
}

void CFramePool::FailLocked(long index, std::string error) {
    // After a Cancel only the frames written so far count; a late failure changes nothing.
    if (m_cancel || index >= m_limit)
        return;
    m_limit = index;
    m_failedIndex = index;
    m_error = std::move(error);
}

void CFramePool::Cancel() {
    {
        std::lock_guard lock(m_mutex);
        m_cancel = true;
        if (m_state == State::Running)
            m_state = m_failedIndex >= 0 ? State::Failed : State::Cancelled;
    }
    m_changed.notify_all();
}

bool CFramePool::EndedLocked() const {
    return m_state != State::Running;
}

bool CFramePool::Wait(int milliseconds) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(std::max(milliseconds, 0)),
                       [&] { return EndedLocked(); });
    return EndedLocked();
}

CFramePool::State CFramePool::Join() {
    for (auto& worker : m_workers) {
        if (worker->thread.joinable())
            worker->thread.join();
    }
    if (m_writer.joinable())
        m_writer.join();
    std::map<long, EncodedFrame> ahead;
    {
        std::lock_guard lock(m_mutex);
        ahead.swap(m_ready);
    }
    for (auto& entry : ahead)
        m_output.Discard(entry.first);
    return GetState();
}

CFramePool::State CFramePool::GetState() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

long CFramePool::FailedIndex() const {
    std::lock_guard lock(m_mutex);
    return m_failedIndex;
}

std::string CFramePool::Error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

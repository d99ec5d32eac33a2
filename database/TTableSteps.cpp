#include "TTableSteps.h"

#include <stdexcept>

TTableSteps::TTableSteps(QObject* parent) : QObject(parent) {
    timer_.setInterval(1);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TTableSteps::Tick);
}

TTableSteps::~TTableSteps() {
    Cancel();
}

void TTableSteps::AddWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++workers_;
    }
    timer_.start();
}

void TTableSteps::RemoveWorker() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (workers_ > 0) --workers_;
}

bool TTableSteps::Run(std::function<void()> step) {
    auto entry = std::make_shared<Step>();
    entry->Work = std::move(step);
    std::unique_lock<std::mutex> lock(mutex_);
    if (cancelled_) return false;
    queue_.push_back(entry);
    done_.wait(lock, [&] { return entry->Done || entry->Dropped; });
    if (entry->Dropped) return false;
    if (entry->Failed) throw std::runtime_error(entry->Error);
    return true;
}

void TTableSteps::Cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    for (const auto& entry : queue_) entry->Dropped = true;
    queue_.clear();
    done_.notify_all();
}

bool TTableSteps::Cancelled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return cancelled_;
}

int TTableSteps::Workers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return workers_;
}

int TTableSteps::DoQueuedSteps() {
    int count = 0;
    for (;;) {
        std::shared_ptr<Step> entry;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty()) return count;
            entry = queue_.front();
            queue_.pop_front();
        }
        // The step runs without the lock: it may take the tables' time, and a worker only
        // waits for its own step.
        // Only the message crosses to the worker: the exception object stays on this thread.
        std::string error;
        bool failed = false;
        try {
            entry->Work();
        } catch (const std::exception& e) {
            failed = true;
            error = e.what();
        } catch (...) {
            failed = true;
            error = "unknown error";
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            entry->Failed = failed;
            entry->Error = std::move(error);
            entry->Done = true;
            done_.notify_all();
        }
        ++count;
    }
}

void TTableSteps::Tick() {
    DoQueuedSteps();
    std::lock_guard<std::mutex> lock(mutex_);
    if (workers_ == 0 && queue_.empty()) timer_.stop();
}

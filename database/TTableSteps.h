// How worker threads reach the tables. The table engine is not thread-safe: a dataset, its
// cursor and every clone that shares the cursor belong to the thread that opened them, the
// main thread in the program, and the grid models read them there. A worker thread (a storage
// run) therefore never touches a table. It hands each record step (locate the next record,
// read its values into a copy, edit and post, delete, save) to Run(), which queues the step for
// the main thread and waits until the main thread has done it; the step's values travel back
// in variables that the step fills and that the worker reads after Run() returns.
//
// Threads: the object is made, started (AddWorker) and cancelled on the main thread, which
// does the queued steps from its event loop (a 1 ms timer while a worker is registered, or
// DoQueuedSteps directly). Run() and RemoveWorker() are for worker threads only; Run() must
// never be called on the main thread (it would wait for itself). So the main thread is never
// held up for longer than one record step, and a step sees the tables exactly as the grids do.
// An exception thrown by a step is caught on the main thread; the worker's Run() throws a
// std::runtime_error with its message.
#pragma once

#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TTableSteps : public QObject {
    Q_OBJECT
public:
    explicit TTableSteps(QObject* parent = nullptr);
    ~TTableSteps() override;  // cancels what is still queued

    // Main thread, before a worker starts: steps are done until it has left.
    void AddWorker();
    // Worker thread, its last call: it will queue no further step.
    void RemoveWorker();
    // Worker thread: does `step` on the main thread. True once it has been done; false when
    // Cancel came first (the step was then not done and never will be). Throws
    // std::runtime_error with the message of what the step threw.
    bool Run(std::function<void()> step);

    // Main thread: no further step is done; a worker waiting in Run gets false, and so does
    // every later Run. The exit path cancels before it waits for the workers.
    void Cancel();
    bool Cancelled() const;
    // Main thread: does the steps queued now; returns how many.
    int DoQueuedSteps();
    int Workers() const;

private:
    struct Step {
        std::function<void()> Work;
        bool Done = false;
        bool Dropped = false;
        bool Failed = false;
        std::string Error;
    };
    void Tick();

    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::deque<std::shared_ptr<Step>> queue_;
    int workers_ = 0;
    bool cancelled_ = false;
    QTimer timer_;
};

// The background thread: one job out at a time, handed over under a mutex.
#include "driver/background_worker.h"

#include <atomic>
#include <system_error>

namespace tsm2ostra {

BackgroundWorker::~BackgroundWorker() {
  if (state_ != State::Running) return;
  Wait();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  job_posted_.notify_one();
  thread_.join();
}

namespace {
std::atomic<bool> threads_allowed{true};
}  // namespace

void BackgroundWorker::AllowThreads(bool allowed) { threads_allowed = allowed; }

bool BackgroundWorker::Start() {
  if (state_ == State::NotStarted && !threads_allowed) state_ = State::Unavailable;
  if (state_ == State::NotStarted) {
    try {
      thread_ = std::thread(&BackgroundWorker::Run, this);
      state_ = State::Running;
    } catch (const std::system_error&) {
      // No thread to be had: the jobs stay on the caller's thread.
      state_ = State::Unavailable;
    }
  }
  return state_ == State::Running;
}

void BackgroundWorker::Post(Job job, void* context) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
    context_ = context;
    done_ = false;
  }
  busy_ = true;
  job_posted_.notify_one();
}

size_t BackgroundWorker::Wait() {
  if (!busy_) return 0;
  std::unique_lock<std::mutex> lock(mutex_);
  job_done_.wait(lock, [this] { return done_; });
  busy_ = false;
  return result_;
}

void BackgroundWorker::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    job_posted_.wait(lock, [this] { return job_ != nullptr || stopping_; });
    if (job_ == nullptr) return;  // stopping, with no job left
    const Job job = job_;
    void* const context = context_;
    job_ = nullptr;
    lock.unlock();
    const size_t result = job(context);
    lock.lock();
    result_ = result;
    done_ = true;
    job_done_.notify_one();
  }
}

}  // namespace tsm2ostra

// The background thread: a short queue of jobs, handed over under a mutex.
#include "driver/background_worker.h"

#include <system_error>

namespace tsm2ostra {

BackgroundWorker::~BackgroundWorker() {
  if (state_ != State::Running) return;
  WaitForAll();
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

uint64_t BackgroundWorker::Post(Job job, void* context) {
  if (posted_ >= kQueueLength) WaitFor(posted_ + 1 - kQueueLength);
  const uint64_t number = posted_ + 1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_[number % kQueueLength] = Entry{job, context};
    queued_ = number;
  }
  posted_ = number;
  job_posted_.notify_one();
  return number;
}

void BackgroundWorker::WaitFor(uint64_t number) {
  if (number <= known_done_) return;
  std::unique_lock<std::mutex> lock(mutex_);
  job_done_.wait(lock, [this, number] { return done_ >= number; });
  known_done_ = done_;
}

void BackgroundWorker::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    job_posted_.wait(lock, [this] { return done_ < queued_ || stopping_; });
    if (done_ == queued_) return;  // stopping, with no job left
    const Entry entry = queue_[(done_ + 1) % kQueueLength];
    lock.unlock();
    const bool ok = entry.job(entry.context);
    if (!ok) failed_.store(true, std::memory_order_release);
    lock.lock();
    ++done_;
    finished_.store(done_, std::memory_order_release);
    job_done_.notify_one();
  }
}

}  // namespace tsm2ostra

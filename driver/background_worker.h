// A thread that runs queued jobs one after another, in the order they were posted, while the
// conversion goes on (for the file output: emptying the file, writing full buffers, and
// formatting and writing whole lists), so that this work overlaps with the reading.
#ifndef TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_
#define TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tsm2ostra {

class BackgroundWorker {
 public:
  // A job: works for its context; false when it failed (the file output: a write failed).
  using Job = bool (*)(void* context);
  // Most jobs out at once.
  static constexpr uint64_t kQueueLength = 64;

  BackgroundWorker() = default;
  // Waits for the jobs still out, then ends the thread.
  ~BackgroundWorker();
  BackgroundWorker(const BackgroundWorker&) = delete;
  BackgroundWorker& operator=(const BackgroundWorker&) = delete;

  // Starts the thread on the first call; false when the system gives none, and then on
  // every later call too, so the caller does its jobs itself.
  bool Start();
  // Queues a job and returns its number: 1 for the first, then 2, 3, ... When kQueueLength
  // jobs are out, waits first for the oldest, so job n is posted only after job
  // n - kQueueLength has run.
  uint64_t Post(Job job, void* context);
  // The number of the last job posted; 0 before the first.
  uint64_t posted() const { return posted_; }
  // Waits until job number (and every one before it) has run.
  void WaitFor(uint64_t number);
  // True when job number has run, without waiting.
  bool HasRun(uint64_t number) {
    if (number > known_done_) known_done_ = finished_.load(std::memory_order_acquire);
    return number <= known_done_;
  }
  void WaitForAll() { WaitFor(posted_); }
  // True once a job has failed; may be asked at any time, and stays true.
  bool failed() const { return failed_.load(std::memory_order_acquire); }

  // Test hook: while false, Start gives no thread, as on a system that has none to give.
  static void AllowThreads(bool allowed);

 private:
  void Run();

  enum class State { NotStarted, Running, Unavailable };
  State state_ = State::NotStarted;
  // Seen and changed by the caller's thread only: the last job posted, and the last one
  // known to have run.
  uint64_t posted_ = 0;
  uint64_t known_done_ = 0;
  std::atomic<bool> failed_{false};
  // The last job that has run, for HasRun: done_, read without the lock.
  std::atomic<uint64_t> finished_{0};

  std::mutex mutex_;
  std::condition_variable job_posted_;
  std::condition_variable job_done_;
  // Guarded by mutex_: job n is in queue_[n % kQueueLength] from its posting until it has run.
  struct Entry {
    Job job;
    void* context;
  };
  Entry queue_[kQueueLength] = {};
  uint64_t queued_ = 0;
  uint64_t done_ = 0;
  bool stopping_ = false;

  std::thread thread_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_

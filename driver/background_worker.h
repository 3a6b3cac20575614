// A thread that runs one job at a time while the conversion goes on (for the file output:
// writing a full buffer, or formatting and writing a whole list), so that this work overlaps
// with the reading of the input.
#ifndef TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_
#define TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace tsm2ostra {

class BackgroundWorker {
 public:
  // A job: works for its context and returns a result for Wait (the file output: 1 when
  // everything was written, 0 when a write failed).
  using Job = size_t (*)(void* context);

  BackgroundWorker() = default;
  // Waits for a job still running, then ends the thread.
  ~BackgroundWorker();
  BackgroundWorker(const BackgroundWorker&) = delete;
  BackgroundWorker& operator=(const BackgroundWorker&) = delete;

  // Starts the thread on the first call; false when the system gives none, and then on
  // every later call too, so the caller does its jobs itself.
  bool Start();
  // Hands a job to the thread. Only one job is out at a time: Wait collects it first.
  void Post(Job job, void* context);
  // True while a job is out.
  bool busy() const { return busy_; }
  // Waits for the job that is out and returns its result; 0 when none is out.
  size_t Wait();

  // Test hook: while false, Start gives no thread, as on a system that has none to give.
  static void AllowThreads(bool allowed);

 private:
  void Run();

  enum class State { NotStarted, Running, Unavailable };
  State state_ = State::NotStarted;
  bool busy_ = false;  // seen and changed by the caller's thread only

  std::mutex mutex_;
  std::condition_variable job_posted_;
  std::condition_variable job_done_;
  // Guarded by mutex_.
  Job job_ = nullptr;
  void* context_ = nullptr;
  bool done_ = false;
  bool stopping_ = false;
  size_t result_ = 0;

  std::thread thread_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_BACKGROUND_WORKER_H_

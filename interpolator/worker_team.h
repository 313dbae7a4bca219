// Threads that work on the parts of one task side by side: the calling
// thread takes part 0, each worker one more part. A team of one starts no
// thread. The workers are started once per run and wait between tasks.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace pluvo {

class WorkerTeam {
 public:
  WorkerTeam() = default;
  WorkerTeam(const WorkerTeam&) = delete;
  WorkerTeam& operator=(const WorkerTeam&) = delete;
  ~WorkerTeam();

  // Starts up to `threads` - 1 workers; a system that refuses a thread
  // leaves the team smaller. Throws std::bad_alloc when memory is short.
  void start(int threads);
  int size() const { return static_cast<int>(workers_.size()) + 1; }

  // Calls task(part) for part = 0 .. size() - 1 and returns when every
  // call has returned. The task must not throw.
  template <class Task>
  void run(Task& task) {
    run_parts(
        [](void* context, int part) { (*static_cast<Task*>(context))(part); }, &task);
  }

 private:
  using PartFunction = void (*)(void*, int);
  void run_parts(PartFunction function, void* context);
  void work(int part);

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable start_;
  std::condition_variable finished_;
  PartFunction function_ = nullptr;
  void* context_ = nullptr;
  std::uint64_t generation_ = 0;
  int pending_ = 0;
  bool stopping_ = false;
};

// The parts of first..last for `part` of `parts`: consecutive, in order,
// their sizes differing by at most one.
struct PartRange {
  int first;
  int last;
};
PartRange part_range(int first, int last, int part, int parts);

}  // namespace pluvo

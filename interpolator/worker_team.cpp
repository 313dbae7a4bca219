#include "worker_team.h"

#include <system_error>

namespace pluvo {

WorkerTeam::~WorkerTeam() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  start_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void WorkerTeam::start(int threads) {
  workers_.reserve(threads > 1 ? static_cast<std::size_t>(threads - 1) : 0);
  for (int part = 1; part < threads; ++part) {
    try {
      workers_.emplace_back([this, part] { work(part); });
    } catch (const std::system_error&) {
      break;  // fewer threads; the parts follow the team's size
    }
  }
}

void WorkerTeam::run_parts(PartFunction function, void* context) {
  if (workers_.empty()) {
    function(context, 0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    function_ = function;
    context_ = context;
    pending_ = static_cast<int>(workers_.size());
    ++generation_;
  }
  start_.notify_all();
  function(context, 0);
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [this] { return pending_ == 0; });
}

void WorkerTeam::work(int part) {
  std::uint64_t seen = 0;
  for (;;) {
    PartFunction function = nullptr;
    void* context = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      start_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      function = function_;
      context = context_;
    }
    function(context, part);
    bool last = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      last = --pending_ == 0;
    }
    if (last) finished_.notify_one();
  }
}

PartRange part_range(int first, int last, int part, int parts) {
  const long long count = last >= first ? static_cast<long long>(last) - first + 1 : 0;
  const long long from = count * part / parts;
  const long long to = count * (part + 1) / parts;
  return {static_cast<int>(first + from), static_cast<int>(first + to - 1)};
}

}  // namespace pluvo

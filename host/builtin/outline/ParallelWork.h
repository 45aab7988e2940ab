#pragma once
// Independent pieces of work spread over every core: tracing many pictures or uniting many
// separate groups of shapes is done by each core in turn taking the next piece.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace ParallelWork {

// Calls work(i) once for every i in [0, count), from as many threads as the machine has cores
// (the calling one among them), and returns when all are done. work must not throw and must
// touch nothing another index touches.
template <typename Work> void forEach(int count, const Work &work)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::min(count, cores);
    std::atomic<int> next{0};
    const auto run = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            work(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(run);
    run();
    for (std::thread &thread : pool)
        thread.join();
}

} // namespace ParallelWork

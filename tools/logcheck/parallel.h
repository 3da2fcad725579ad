// Work on items that do not touch each other, on every core: a contest's logs
// are thousands of such items.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Calls fn(i) for each i below n, from as many threads as there are cores; the
// first exception thrown is rethrown here once all have stopped.
template <typename Fn>
void ParallelFor(std::size_t n, Fn fn) {
    const std::size_t threads = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), 8);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex lock;
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < n;) {
            try {
                fn(i);
            } catch (...) {
                std::lock_guard<std::mutex> hold(lock);
                if (!failure) failure = std::current_exception();
                next = n;
            }
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < std::min(threads, n); ++t) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

// Clang's thread-safety attributes, and a mutex that carries them, so the
// compiler checks who holds the lock for which data (`make thread-safety`).
// Under other compilers the attributes compile away.
#pragma once

#include <mutex>

#if defined(__clang__)
#define THREAD_ANNOTATION(x) __attribute__((x))
#else
#define THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) THREAD_ANNOTATION(guarded_by(x))
#define REQUIRES(...) THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define ASSERT_SHARED_CAPABILITY(x) THREAD_ANNOTATION(assert_shared_capability(x))

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { m_.lock(); }
    void unlock() RELEASE() { m_.unlock(); }
    // For the one thread that writes the guarded data: it may read it without the
    // lock, since nobody else changes it. Checks nothing at run time.
    void AssertWriterReads() const ASSERT_SHARED_CAPABILITY(this) {}

private:
    std::mutex m_;
};

class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& m) ACQUIRE(m) : m_(m) { m_.lock(); }
    ~MutexLock() RELEASE() {
        if (held_) m_.unlock();
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    void Unlock() RELEASE() {
        m_.unlock();
        held_ = false;
    }

private:
    Mutex& m_;
    bool held_ = true;
};

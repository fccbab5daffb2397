#pragma once

#include <atomic>

// Abandoning a run ("Interrupted by force"): the host sets an atomic flag and stops
// waiting; the engines running on the worker thread test it inside every long loop and
// unwind by throwing EAborted. The flag is published per thread through AbortScope so
// that deep engine code can test it without a parameter on every call.
//
// EAborted deliberately derives from nothing: no handler for EError or std::exception
// may swallow it and turn an abandoned run into an ordinary failure or a line of text.
class EAborted {};

class AbortScope {
  public:
    // Publishes `flag` to this thread until the scope ends; `flag` must outlive the scope.
    explicit AbortScope(const std::atomic<bool>* flag);
    ~AbortScope();
    AbortScope(const AbortScope&) = delete;
    AbortScope& operator=(const AbortScope&) = delete;

  private:
    const std::atomic<bool>* previous_;
};

// True when the run on this thread has been told to stop.
bool AbortRequested();

// Throws EAborted when the run on this thread has been told to stop.
inline void ThrowIfAborted() {
    if (AbortRequested())
        throw EAborted{};
}

// Runs test code on a thread with a small stack, as small as a host's main thread may have, so that
// deep recursion on untrusted input shows up as a crash in the test rather than in the field.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <system_error>

namespace Velmar::Testing {

// ThreadSanitizer roughly doubles every frame (AddressSanitizer's growth still fits the margin), so its
// builds get twice the stack: the check is about the uninstrumented module on a host's 1 MiB.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t StackScale = 2;
#else
constexpr std::size_t StackScale = 1;
#endif

// Runs function on a fresh thread with a stack of the given size and rethrows its exception here.
inline void RunOnSmallStack(std::function<void()> function, std::size_t bytes = 1 << 20)
{
    bytes *= StackScale;
    struct Job {
        std::function<void()> function;
        std::exception_ptr error;
    } job{std::move(function), nullptr};

    pthread_attr_t attributes;
    if (const int error = pthread_attr_init(&attributes))
        throw std::system_error(error, std::generic_category(), "pthread_attr_init");
    int error = pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    if (error == 0)
        error = pthread_create(
            &thread, &attributes,
            [](void* argument) -> void* {
                auto* job = static_cast<Job*>(argument);
                try {
                    job->function();
                } catch (...) {  // carried over and rethrown on the calling thread
                    job->error = std::current_exception();
                }
                return nullptr;
            },
            &job);
    pthread_attr_destroy(&attributes);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "starting a small-stack thread");
    pthread_join(thread, nullptr);
    if (job.error)
        std::rethrow_exception(job.error);
}

}  // namespace Velmar::Testing

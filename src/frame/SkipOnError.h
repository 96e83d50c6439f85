#pragma once
// Running a step whose failure is to be skipped: the next step runs anyway.

#include <exception>
#include <utility>

namespace rq16 {

/// Runs `step`; an error it raises is dropped. Returns whether it succeeded.
template <typename F> bool SkipOnError(F&& step) {
    try {
        std::forward<F>(step)();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace rq16

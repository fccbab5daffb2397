#include "base/Abort.h"

namespace {
thread_local const std::atomic<bool>* tCurrentFlag = nullptr;
}

AbortScope::AbortScope(const std::atomic<bool>* flag) : previous_(tCurrentFlag) {
    tCurrentFlag = flag;
}

AbortScope::~AbortScope() {
    tCurrentFlag = previous_;
}

bool AbortRequested() {
    const std::atomic<bool>* flag = tCurrentFlag;
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

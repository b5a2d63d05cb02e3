#pragma once
// A test's hold on a long job's named steps (e.g. a child process killed at
// "copied"); without a hook set, a step is nothing.

#include <functional>
#include <utility>

class StepHook {
public:
    void set(std::function<void(const char*)> hook) { hook_ = std::move(hook); }
    void operator()(const char* name) const
    {
        if (hook_)
            hook_(name);
    }

private:
    std::function<void(const char*)> hook_;
};

#pragma once

// Holds the process-wide instance of T: created on first use, destroyed when the program
// ends. Creation is thread-safe (a function-local static); using the instance from two
// threads at once is not, and callers that may overlap make private instances instead.
template <typename T>
class TSingleton {
  public:
    static T& ObjOwner() {
        static T instance;
        return instance;
    }

    TSingleton() = delete;
};

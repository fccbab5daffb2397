#pragma once

#include <string>

// Where a test run (TTestRun) delivers its output: the script test window, or the
// command line. Both calls come from the thread that runs the test; a window implements
// them as blocking calls into its own thread.
class TTestReporter {
  public:
    virtual ~TTestReporter() = default;

    // After each post: the output gathered since the last call, and the page buffer's
    // progress (0-100).
    virtual void Progress(const std::string& output, int percent) = 0;

    // Once, at the end: the rest of the output; the 1-based script line to select (0 for
    // none); whether the run succeeded (the progress bar then goes to 100).
    virtual void Finish(const std::string& output, int errorLine, bool success) = 0;
};

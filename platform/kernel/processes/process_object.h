// The waitable object behind a process handle.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <winbase.h>

#include "kernel/scheduler.h"

namespace tovarin::kernel::processes {

// Called when the last thread of a process has ended, before its module is unloaded and its
// handle is signalled, without any lock: the window manager reports and frees the drawing objects
// the process left.
struct ProcessHooks {
    static void (*ended)(uint32_t process_id, const std::wstring& image);
};

using WinMainProc = int (*)(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show);

class ProcessObject final : public Waitable {
  public:
    ProcessObject(uint32_t id, std::wstring image, std::wstring command_line, HMODULE module,
                  WinMainProc win_main)
        : id_(id),
          image_(std::move(image)),
          command_line_(std::move(command_line)),
          module_(module),
          win_main_(win_main) {}

    const char* TypeName() const override { return "process"; }
    bool IsSignalledFor(const ThreadRecord&) const override { return finished_; }

    // The rest of these: kernel lock held.

    // A thread joins the process as it is created. One created while the process ends is asked
    // to end at once.
    void AddThread(Scheduler& scheduler, ThreadRecord& thread, bool main) {
        threads_.push_back(&thread);
        if (main) {
            main_thread_ = &thread;
        }
        if (ending_) {
            scheduler.RequestExit(thread);
        }
    }
    // Begins the end of the process, as the device ends a program: the exit code is the first
    // one given, and every thread is asked to end. False when the end had begun already.
    bool BeginEnd(Scheduler& scheduler, uint32_t exit_code) {
        if (ending_) {
            return false;
        }
        ending_ = true;
        exit_code_ = exit_code;
        for (ThreadRecord* thread : threads_) {
            scheduler.RequestExit(*thread);
        }
        return true;
    }
    // A thread of the process has ended; the end of the main thread is the end of the process.
    // True when it was the last thread: the caller then reclaims what the process left and
    // calls Finish.
    bool RemoveThread(Scheduler& scheduler, ThreadRecord& thread, uint32_t exit_code) {
        std::erase(threads_, &thread);
        if (&thread == main_thread_) {
            main_thread_ = nullptr;
            BeginEnd(scheduler, exit_code);
        }
        return ending_ && threads_.empty();
    }
    bool ending() const { return ending_; }
    void Finish(Scheduler& scheduler) {
        finished_ = true;
        scheduler.Signalled(*this);
    }
    uint32_t ExitCode() const { return finished_ ? exit_code_ : STILL_ACTIVE; }

    uint32_t id() const { return id_; }
    const std::wstring& image() const { return image_; }
    const std::wstring& command_line() const { return command_line_; }
    HMODULE module() const { return module_; }

    // Runs WinMain on the calling thread. WinMain may write into its command line (the
    // parameter is not const), so it gets a copy of its own.
    int RunWinMain(int show) {
        std::wstring writable = command_line_;
        return win_main_(module_, nullptr, writable.data(), show);
    }

  private:
    const uint32_t id_;
    const std::wstring image_;
    const std::wstring command_line_;
    const HMODULE module_;
    const WinMainProc win_main_;
    std::vector<ThreadRecord*> threads_;  // threads that have not ended yet
    const ThreadRecord* main_thread_ = nullptr;
    bool ending_ = false;
    bool finished_ = false;
    uint32_t exit_code_ = 0;
};

}  // namespace tovarin::kernel::processes

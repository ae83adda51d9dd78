// The waitable object behind a process handle.
#pragma once

#include <cstdint>
#include <string>

#include <winbase.h>

#include "kernel/scheduler.h"

namespace tovarin::kernel::processes {

// Called when a process's main thread has left WinMain, before its handle is signalled, without
// any lock: the window manager reports and frees the drawing objects the process left.
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

    // Kernel lock held.
    void Finish(Scheduler& scheduler, uint32_t exit_code) {
        exit_code_ = exit_code;
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
    bool finished_ = false;
    uint32_t exit_code_ = 0;
};

}  // namespace tovarin::kernel::processes

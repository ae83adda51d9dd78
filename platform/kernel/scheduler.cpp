#include "kernel/scheduler.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <winbase.h>

#include "host/text.h"
#include "host/trace.h"

namespace tovarin::kernel {
namespace {

std::atomic<uint64_t> g_generation{0};

struct CurrentThread {
    std::shared_ptr<ThreadRecord> record;
    uint64_t generation = 0;
};
thread_local CurrentThread t_current;

// How long a shutting-down device waits for its threads to leave host code.
constexpr auto kShutdownGrace = std::chrono::seconds(10);

}  // namespace

Scheduler::Scheduler(ClockMode mode)
    : mode_(mode), boot_(std::chrono::steady_clock::now()), generation_(++g_generation) {}

Scheduler::~Scheduler() = default;

uint64_t Scheduler::NowMs() const {
    if (mode_ == ClockMode::Simulated) {
        return simulated_now_ms_.load(std::memory_order_acquire);
    }
    auto elapsed = std::chrono::steady_clock::now() - boot_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

std::chrono::steady_clock::time_point Scheduler::HostTimeOf(uint64_t device_ms) const {
    return boot_ + std::chrono::milliseconds(device_ms);
}

ThreadRecord& Scheduler::Self() {
    if (!t_current.record || t_current.generation != generation_) {
        auto record = std::make_shared<ThreadRecord>();
        record->kind = ThreadKind::Host;
        record->id = next_thread_id_++;
        record->name = "host thread " + std::to_string(record->id);
        t_current = {std::move(record), generation_};
    }
    return *t_current.record;
}

std::shared_ptr<ThreadRecord> Scheduler::RegisterDeviceThread(std::string name) {
    auto record = std::make_shared<ThreadRecord>();
    record->kind = ThreadKind::Device;
    std::lock_guard guard(lock_);
    record->id = next_thread_id_++;
    record->name = name.empty() ? "thread " + std::to_string(record->id) : std::move(name);
    record->exit_requested = shutting_down_;
    ++running_;
    ++live_device_threads_;
    holders_.push_back(record.get());
    return record;
}

void Scheduler::BindCurrentThread(std::shared_ptr<ThreadRecord> record) {
    t_current = {std::move(record), generation_};
}

void Scheduler::DeviceThreadEnded(ThreadRecord& record) {
    std::unique_lock guard(lock_);
    std::erase(holders_, &record);
    --running_;
    --live_device_threads_;
    threads_ended_.notify_all();
    Blocked();
    WriteReports(guard);
}

void Scheduler::Attach(std::string name) {
    ThreadRecord& self = Self();
    std::lock_guard guard(lock_);
    if (self.kind == ThreadKind::Host) {
        self.kind = ThreadKind::Attached;
        self.name = std::move(name);
        ++running_;
        holders_.push_back(&self);
    }
}

void Scheduler::Detach() {
    ThreadRecord& self = Self();
    std::unique_lock guard(lock_);
    if (self.kind == ThreadKind::Attached) {
        self.kind = ThreadKind::Host;
        std::erase(holders_, &self);
        --running_;
        Blocked();
        WriteReports(guard);
    }
}

void Scheduler::RequestExit(ThreadRecord& thread) {
    if (thread.winding_up) {
        return;
    }
    thread.exit_requested = true;
    if (thread.wait && thread.wait != &thread.outside && !thread.waiting_for_idle) {
        // It counts as running from here, so that neither time moves nor a deadlock is reported
        // before it has woken to end.
        Complete(thread, WAIT_FAILED, 0);
    }
}

void Scheduler::ExitIfRequested() {
    ThreadRecord& self = Self();
    std::lock_guard guard(lock_);
    if (MustExit(self)) {
        throw ThreadExit{0};
    }
}

bool Scheduler::MustExit(const ThreadRecord& thread) const {
    return thread.exit_requested || (shutting_down_ && thread.kind == ThreadKind::Device);
}

bool Scheduler::TrySatisfy(ThreadRecord& thread, WaitBlock& block) {
    const auto& objects = block.objects;
    if (block.wait_all) {
        for (Waitable* object : objects) {
            if (!object->IsSignalledFor(thread)) {
                return false;
            }
        }
        for (Waitable* object : objects) {
            object->Acquire(thread);
        }
        block.result = WAIT_OBJECT_0;
        return true;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignalledFor(thread)) {
            objects[i]->Acquire(thread);
            block.result = WAIT_OBJECT_0 + static_cast<uint32_t>(i);
            return true;
        }
    }
    return false;
}

void Scheduler::Unregister(ThreadRecord& thread, WaitBlock& block) {
    for (Waitable* object : block.objects) {
        std::erase(object->waiters, &thread);
    }
    std::erase(blocked_, &thread);
    thread.wait = nullptr;
}

void Scheduler::Complete(ThreadRecord& thread, uint32_t result, uint32_t error) {
    WaitBlock& block = *thread.wait;
    Unregister(thread, block);
    block.done = true;
    block.result = result;
    block.error = error;
    if (thread.HoldsTime()) {
        ++running_;
    }
    thread.wake.notify_one();
}

void Scheduler::Signalled(Waitable& object) {
    // A copy: completing a waiter removes it from the list.
    std::vector<ThreadRecord*> waiters = object.waiters;
    for (ThreadRecord* waiter : waiters) {
        if (waiter->wait && TrySatisfy(*waiter, *waiter->wait)) {
            Complete(*waiter, waiter->wait->result, 0);
        }
    }
}

uint32_t Scheduler::Wait(std::span<Waitable* const> objects, bool wait_all, uint32_t timeout_ms,
                         uint32_t* error) {
    ThreadRecord& self = Self();
    std::unique_lock guard(lock_);
    if (MustExit(self)) {
        throw ThreadExit{0};
    }
    WaitBlock block;
    block.objects = objects;
    block.wait_all = wait_all;
    if (TrySatisfy(self, block)) {
        return block.result;
    }
    if (timeout_ms == 0) {
        return WAIT_TIMEOUT;
    }
    if (timeout_ms != INFINITE) {
        block.deadline_ms = NowMs() + timeout_ms;
    }
    for (Waitable* object : objects) {
        object->waiters.push_back(&self);
    }
    self.wait = &block;
    blocked_.push_back(&self);
    if (self.HoldsTime()) {
        --running_;
    }
    Blocked();
    WriteReports(guard);  // the wait stays registered meanwhile: a signal still completes it

    while (!block.done && !MustExit(self)) {
        if (mode_ == ClockMode::Real && block.deadline_ms) {
            if (self.wake.wait_until(guard, HostTimeOf(*block.deadline_ms)) ==
                    std::cv_status::timeout &&
                !block.done) {
                Complete(self, WAIT_TIMEOUT, 0);
            }
        } else {
            self.wake.wait(guard);
        }
    }
    if (!block.done) {
        // The device is shutting down: leave the wait and end the thread.
        Unregister(self, block);
        if (self.HoldsTime()) {
            ++running_;
        }
        throw ThreadExit{0};
    }
    if (MustExit(self)) {
        throw ThreadExit{0};  // asked to end while its wait was completing
    }
    if (error) {
        *error = block.error;
    }
    return block.result;
}

void Scheduler::Blocked() {
    if (running_ == 0) {
        idle_changed_.notify_all();
    }
    if (mode_ == ClockMode::Simulated) {
        AdvanceSimulatedTime();
    }
}

void Scheduler::AdvanceSimulatedTime() {
    while (running_ == 0 && !shutting_down_) {
        bool someone_waits_for_idle = false;
        std::optional<uint64_t> earliest;
        for (ThreadRecord* thread : blocked_) {
            if (thread->wait->deadline_ms &&
                (!earliest || *thread->wait->deadline_ms < *earliest)) {
                earliest = thread->wait->deadline_ms;
            }
        }
        for (ThreadRecord* thread : blocked_) {
            someone_waits_for_idle |= thread->waiting_for_idle;
        }
        if (someone_waits_for_idle) {
            return;  // the device is idle; the idle waiter decides what happens next
        }
        if (!earliest) {
            bool driver_blocked = std::any_of(blocked_.begin(), blocked_.end(), [](auto* t) {
                return t->kind != ThreadKind::Device;
            });
            if (driver_blocked) {
                ReportDeadlock();
            }
            return;
        }
        uint64_t now = std::max(*earliest, simulated_now_ms_.load());
        simulated_now_ms_.store(now, std::memory_order_release);
        std::vector<ThreadRecord*> due;
        for (ThreadRecord* thread : blocked_) {
            if (thread->wait->deadline_ms && *thread->wait->deadline_ms <= now) {
                due.push_back(thread);
            }
        }
        for (ThreadRecord* thread : due) {
            Complete(*thread, WAIT_TIMEOUT, 0);
        }
    }
}

void Scheduler::ReportDeadlock() {
    std::ostringstream report;
    report << "deadlock at device time " << NowMs()
           << " ms: every device thread is blocked and no wait has a time limit\n";
    for (ThreadRecord* thread : blocked_) {
        report << "  " << thread->name << " (id " << thread->id << ") waits for ";
        if (thread->wait->wait_all) {
            report << "all of ";
        }
        bool first = true;
        for (Waitable* object : thread->wait->objects) {
            report << (first ? "" : ", ") << object->TypeName();
            if (!object->name().empty()) {
                report << " \"" << WideToUtf8(object->name()) << "\"";
            }
            first = false;
        }
        report << "\n";
    }
    pending_reports_.push_back({NowMs(), report.str()});
    std::vector<ThreadRecord*> drivers;
    for (ThreadRecord* thread : blocked_) {
        if (thread->kind != ThreadKind::Device) {
            drivers.push_back(thread);
        }
    }
    // The host threads that drive the device would hang for ever: their waits fail instead.
    for (ThreadRecord* thread : drivers) {
        Complete(*thread, WAIT_FAILED, ERROR_POSSIBLE_DEADLOCK);
    }
}

void Scheduler::WriteReports(std::unique_lock<std::mutex>& guard) {
    if (pending_reports_.empty()) {
        return;
    }
    std::vector<Report> reports;
    reports.swap(pending_reports_);
    guard.unlock();
    for (const Report& report : reports) {
        std::fputs(report.text.c_str(), stderr);
        if (Device::IsUp()) {
            Device::Current().trace().Write({report.device_ms, L"kernel", Utf8ToWide(report.text)});
        }
    }
    guard.lock();
}

void Scheduler::BeginOutsideWait(const void* channel) {
    ThreadRecord& self = Self();
    std::unique_lock guard(lock_);
    if (!self.HoldsTime() || self.wait || shutting_down_) {
        return;
    }
    self.outside = WaitBlock{};
    self.outside_channel = channel;
    self.wait = &self.outside;
    blocked_.push_back(&self);
    --running_;
    Blocked();
    WriteReports(guard);
}

void Scheduler::EndOutsideWait() {
    ThreadRecord& self = Self();
    std::lock_guard guard(lock_);
    if (self.wait != &self.outside) {
        return;  // not begun, or completed meanwhile (a deadlock report), which counted it back
    }
    std::erase(blocked_, &self);
    self.wait = nullptr;
    ++running_;
}

void Scheduler::ReleaseOutsideWaiters(const void* channel) {
    std::lock_guard guard(lock_);
    std::vector<ThreadRecord*> released;
    for (ThreadRecord* thread : blocked_) {
        if (thread->wait == &thread->outside && thread->outside_channel == channel) {
            released.push_back(thread);
        }
    }
    for (ThreadRecord* thread : released) {
        Complete(*thread, WAIT_OBJECT_0, 0);
    }
}

OutsideWait::OutsideWait(const void* channel) {
    if (Device::IsUp()) {
        scheduler_ = &CurrentScheduler();
        scheduler_->BeginOutsideWait(channel);
    }
}

void ReleaseOutsideWaiters(const void* channel) {
    if (Device::IsUp()) {
        CurrentScheduler().ReleaseOutsideWaiters(channel);
    }
}

OutsideWait::~OutsideWait() {
    if (scheduler_ && Device::IsUp()) {
        scheduler_->EndOutsideWait();
    }
}

Scheduler& CurrentScheduler() {
    return Device::Current().scheduler();
}

int Scheduler::LiveDeviceThreads() {
    std::lock_guard guard(lock_);
    return live_device_threads_;
}

void Scheduler::WaitForIdle() {
    ThreadRecord& self = Self();
    std::unique_lock guard(lock_);
    bool holds = self.HoldsTime();
    auto others_running = [&] { return running_ - (holds ? 1 : 0); };
    if (others_running() == 0) {
        return;
    }
    self.waiting_for_idle = true;
    WaitBlock block;  // no objects, no deadline: only marks the thread as blocked
    self.wait = &block;
    blocked_.push_back(&self);
    if (holds) {
        --running_;
    }
    auto settled = [&] { return running_ == 0 || shutting_down_; };
    while (!idle_changed_.wait_for(guard, settle_watchdog_, settled)) {
        // A thread that blocks outside the platform's waits holds the clock for ever: say which.
        std::ostringstream report;
        report << "the device has not settled after " << settle_watchdog_.count()
               << " ms of host time at device time " << NowMs() << " ms:";
        for (ThreadRecord* thread : holders_) {
            if (thread != &self && !thread->wait) {
                report << " " << thread->name << " (id " << thread->id << ")";
            }
        }
        report << " runs outside platform waits\n";
        pending_reports_.push_back({NowMs(), report.str()});
        WriteReports(guard);
        if (mode_ == ClockMode::Real) {
            break;  // real time goes on regardless: the caller goes on too
        }
    }
    std::erase(blocked_, &self);
    self.wait = nullptr;
    self.waiting_for_idle = false;
    if (holds) {
        ++running_;
    }
}

void Scheduler::Shutdown() {
    std::unique_lock guard(lock_);
    shutting_down_ = true;
    for (ThreadRecord* thread : blocked_) {
        if (thread->kind == ThreadKind::Device) {
            thread->exit_requested = true;
            thread->wake.notify_one();
        }
    }
    idle_changed_.notify_all();
    if (!threads_ended_.wait_for(guard, kShutdownGrace,
                                 [&] { return live_device_threads_ == 0; })) {
        std::fprintf(stderr, "device shutdown: %d device thread(s) did not end\n",
                     live_device_threads_);
    }
}

}  // namespace tovarin::kernel

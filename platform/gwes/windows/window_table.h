// The device's windows: handles, the parent/child tree and the z-order of top-level windows.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "gwes/windows/window.h"

namespace tovarin::gwes {

// Guarded by the kernel lock.
class WindowTable {
  public:
    WindowTable();

    // The live window behind a handle; null for any other value.
    Window* Find(HWND hwnd) const;
    std::shared_ptr<Window> FindShared(HWND hwnd) const;

    // Gives the window a handle and links it in: a child at the bottom of its parent's children
    // (so that GW_CHILD then GW_HWNDNEXT walks them in creation order), a top-level window at the
    // top of the z-order. Returns false when no handle value is free.
    bool Add(const std::shared_ptr<Window>& window);
    // Unlinks the window and forgets its handle; its children must be gone already. The caller
    // keeps the window alive (a shared pointer) while it still uses the record.
    void Remove(Window& window);

    // Top-level windows, topmost first.
    const std::vector<Window*>& top_level() const { return top_level_; }
    // The window's siblings in z-order, itself included.
    const std::vector<Window*>& SiblingsOf(const Window& window) const;
    void BringToTop(Window& window);
    // Moves the window among its siblings to just below `after` (a sibling), or to the bottom.
    void PlaceBelow(Window& window, Window& after);
    void SendToBottom(Window& window);

    std::vector<Window*> OwnedBy(const Window& owner) const;
    std::vector<Window*> OfThread(uint32_t thread_id) const;
    size_t Count() const { return windows_.size(); }

  private:
    std::map<uint32_t, std::shared_ptr<Window>> windows_;
    std::vector<Window*> top_level_;
    uint32_t next_value_;
};

}  // namespace tovarin::gwes

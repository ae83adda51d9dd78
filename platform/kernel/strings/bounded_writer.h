// A caller's character buffer that the formatter fills from the front. It keeps one place for
// the terminator, drops what does not fit and remembers that it did.
#pragma once

#include <algorithm>
#include <cstddef>

namespace tovarin::strings {

class BoundedWriter {
  public:
    BoundedWriter(wchar_t* out, size_t cch)
        : out_(cch > 0 ? out : nullptr), capacity_(out_ ? cch - 1 : 0) {}

    void Put(wchar_t c) {
        if (written_ < capacity_) {
            out_[written_++] = c;
        } else {
            truncated_ = true;
        }
    }

    // Costs no more than the room that is left, however large count is.
    void Repeat(wchar_t c, size_t count) {
        const size_t fitting = std::min(count, capacity_ - written_);
        std::fill_n(out_ + written_, fitting, c);
        written_ += fitting;
        truncated_ = truncated_ || fitting < count;
    }

    void Append(const wchar_t* text, size_t count) {
        const size_t fitting = std::min(count, capacity_ - written_);
        std::copy_n(text, fitting, out_ + written_);
        written_ += fitting;
        truncated_ = truncated_ || fitting < count;
    }

    void Terminate() {
        if (out_) {
            out_[written_] = L'\0';
        }
    }

    size_t written() const { return written_; }
    bool truncated() const { return truncated_; }

  private:
    wchar_t* out_;
    size_t capacity_;
    size_t written_ = 0;
    bool truncated_ = false;
};

}  // namespace tovarin::strings

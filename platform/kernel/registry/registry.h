// The device registry. (First outline: the store, persistence and notifications are being built.)
#pragma once

#include <filesystem>

namespace tovarin::kernel {

class Registry {
public:
    explicit Registry(std::filesystem::path hive_dir) : hive_dir_(std::move(hive_dir)) {}
    ~Registry() = default;
    void Flush() {}

private:
    std::filesystem::path hive_dir_;
};

}  // namespace tovarin::kernel

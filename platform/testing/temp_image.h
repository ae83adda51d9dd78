// A device image in a fresh temporary folder, removed with the object.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace tovarin::kernel::testing {

class TempImage {
  public:
    TempImage() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovarin-image-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a temporary folder";
        }
        root_ = pattern;
    }
    ~TempImage() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempImage(const TempImage&) = delete;
    TempImage& operator=(const TempImage&) = delete;

    const std::filesystem::path& root() const { return root_; }

    // Makes the folder (and its parents) at a path relative to the root.
    std::filesystem::path AddFolder(const std::filesystem::path& relative) const {
        std::filesystem::create_directories(root_ / relative);
        return root_ / relative;
    }
    std::filesystem::path AddFile(const std::filesystem::path& relative,
                                  const std::string& content) const {
        AddFolder(relative.parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << content;
        return root_ / relative;
    }

  private:
    std::filesystem::path root_;
};

}  // namespace tovarin::kernel::testing

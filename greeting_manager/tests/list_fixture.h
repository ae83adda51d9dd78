// A device whose image holds a Windows folder, for the greeting list's file procedures.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "greeting_list.h"
#include "host/device.h"

namespace greeting_list_testing {

class ListFileTest : public ::testing::Test {
  protected:
    ListFileTest()
        : image_(MakeImage()),
          device_({.clock = tovarin::kernel::ClockMode::Simulated, .image_root = image_}) {
        self_.emplace("test");
        strings_ = LoadLibraryW(L"QuellbrooksStrings.dll");
        EXPECT_NE(nullptr, strings_);
        SetGreetingListStrings(strings_);
    }
    ~ListFileTest() override {
        CloseListFile(&list_);
        if (strings_) {
            FreeLibrary(strings_);
        }
        self_.reset();
        std::filesystem::remove_all(image_);
    }

    static std::filesystem::path MakeImage() {
        auto root = std::filesystem::temp_directory_path() /
                    ("greeting-list-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Windows");
        std::filesystem::copy_file(QUELLBROOKS_STRINGS_FILE,
                                   root / "Windows" / "QuellbrooksStrings.dll");
        return root;
    }

    std::filesystem::path ListPath() const { return image_ / "Windows" / "Quellbrooks.xml"; }

    std::string ReadList() const {
        std::ifstream in(ListPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void WriteList(const std::string& text) const {
        std::ofstream(ListPath(), std::ios::binary) << text;
    }

    HMODULE strings_ = nullptr;
    GreetingList list_{};
    std::filesystem::path image_;
    tovarin::kernel::Device device_;
    std::optional<tovarin::kernel::AttachedThread> self_;
};

}  // namespace greeting_list_testing

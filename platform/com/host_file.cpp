#include "com/host_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "kernel/registry/hive_file.h"

namespace tovarin::com {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

HRESULT ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code error;
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    std::string description;
    return kernel::registry::WriteFileAtomically(path, bytes, &description) ? S_OK : E_FAIL;
}

}  // namespace tovarin::com

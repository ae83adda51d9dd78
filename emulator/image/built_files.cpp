#include "image/built_files.h"

namespace tovarin::emulator {

const std::vector<BuiltFile>& BuiltFiles() {
    static const std::vector<BuiltFile> files = {
#include "image/built_files.inc"
    };
    return files;
}

}  // namespace tovarin::emulator

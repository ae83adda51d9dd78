#include "kernel/resources/resource_finder.h"

namespace tovarin::kernel::resources {
namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr uint16_t kLangNeutral = 0x00;

uint16_t PrimaryLanguage(uint16_t language) {
    return language & kPrimaryLanguageMask;
}

// Smaller is closer to the wanted language.
int Distance(uint16_t stored, uint16_t wanted) {
    if (stored == wanted) {
        return 0;
    }
    if (PrimaryLanguage(stored) == PrimaryLanguage(wanted)) {
        return 1;
    }
    if (PrimaryLanguage(stored) == kLangNeutral) {
        return 2;
    }
    return 3;
}

}  // namespace

const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries,
                                       const ResourceId& type, const ResourceId& name,
                                       uint16_t language) {
    const ResourceEntry* best = nullptr;
    int best_distance = 0;
    for (const ResourceEntry& entry : entries) {
        if (!SameResourceId(entry.type, type) || !SameResourceId(entry.name, name)) {
            continue;
        }
        const int distance = Distance(entry.language, language);
        if (!best || distance < best_distance) {
            best = &entry;
            best_distance = distance;
        }
    }
    return best;
}

}  // namespace tovarin::kernel::resources

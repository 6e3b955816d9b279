// Builds ".zrm" archive bytes field by field, so tests can write well-formed and damaged archives.
#pragma once

#include <string>
#include <vector>

struct ArchiveEntrySpec {
    std::string name;  // written zero-filled to 80 bytes (or raw when exactly 80 bytes long)
    std::string data;  // the entry's bytes in the data area
    std::string extra; // the 20-character Extra field; empty means 20 zeros
    std::string size;  // the 20-character Size field; empty means the data's length
};

inline std::string Digits20(long long value) {
    std::string digits = std::to_string(value);
    return std::string(20 - digits.size(), '0') + digits;
}

// countField empty means the entry count as four digits.
inline std::string BuildArchive(const std::vector<ArchiveEntrySpec>& entries,
                                const std::string& countField = "") {
    std::string bytes = "ZRM VolumeFile v.0.1";
    std::string count = std::to_string(entries.size());
    bytes += countField.empty() ? std::string(4 - count.size(), '0') + count : countField;
    for (const ArchiveEntrySpec& entry : entries) {
        std::string name = entry.name;
        name.resize(80, '\0');
        bytes += name;
        bytes += entry.extra.empty() ? Digits20(0) : entry.extra;
        bytes +=
            entry.size.empty() ? Digits20(static_cast<long long>(entry.data.size())) : entry.size;
    }
    for (const ArchiveEntrySpec& entry : entries)
        bytes += entry.data;
    return bytes;
}

// Benchmark: extracting a 256-entry, 64 MiB archive against a plain copy of the same files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/volumefile.h"
#include "support/tempfolder.h"
#include "tools/zrmpack/packer.h"

namespace {

constexpr int entryCount = 256;
constexpr size_t totalBytes = size_t{64} << 20;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Copies one file the plain way: one read of the whole file and one write.
void PlainCopy(const std::string& from, const std::string& to) {
    FILE* in = fopen(from.c_str(), "rb");
    FILE* out = fopen(to.c_str(), "wb");
    std::vector<char> buffer(static_cast<size_t>(std::filesystem::file_size(from)));
    size_t got = fread(buffer.data(), 1, buffer.size(), in);
    fwrite(buffer.data(), 1, got, out);
    fclose(in);
    fclose(out);
}

} // namespace

int main() {
    TempFolder folder;
    std::mt19937 random(1);
    std::vector<std::string> files;
    // Uneven sizes (weights from 1 to 3) scaled to add up to exactly 64 MiB.
    std::vector<double> weights(entryCount);
    double weightSum = 0;
    for (double& weight : weights) {
        weight = 1.0 + static_cast<double>(random() % 2001) / 1000.0;
        weightSum += weight;
    }
    std::vector<size_t> sizes(entryCount);
    size_t assigned = 0;
    for (int i = 0; i < entryCount; ++i) {
        sizes[i] =
            i + 1 < entryCount
                ? static_cast<size_t>(static_cast<double>(totalBytes) * weights[i] / weightSum)
                : totalBytes - assigned;
        assigned += sizes[i];
    }
    std::filesystem::create_directory(folder.Path() / "in");
    for (int i = 0; i < entryCount; ++i) {
        std::string data(sizes[i], static_cast<char>(i));
        std::string path = folder / ("in/entry" + std::to_string(i) + ".dat");
        WriteBytes(path, data);
        files.push_back(path);
    }
    std::string archive = folder / "bench.zrm";
    std::string error;
    if (!PackArchive(archive, files, &error)) {
        fprintf(stderr, "pack failed: %s\n", error.c_str());
        return 1;
    }

    const int rounds = 9;
    std::vector<double> extractTimes, copyTimes;
    for (int round = 0; round < rounds; ++round) {
        std::filesystem::remove_all(folder.Path() / "out");
        std::filesystem::remove_all(folder.Path() / "copy");
        auto reader = std::make_unique<VolumeFile>();
        auto start = std::chrono::steady_clock::now();
        reader->ExtractAll(archive.c_str(), (folder / "out").c_str());
        extractTimes.push_back(Seconds(std::chrono::steady_clock::now() - start));

        std::filesystem::create_directory(folder.Path() / "copy");
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < entryCount; ++i)
            PlainCopy(files[i], folder / ("copy/entry" + std::to_string(i) + ".dat"));
        copyTimes.push_back(Seconds(std::chrono::steady_clock::now() - start));
    }
    auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    double extractBest = median(extractTimes), copyBest = median(copyTimes);
    double mib = static_cast<double>(totalBytes) / (1 << 20);
    printf("archive: %d entries, %.0f MiB, median of %d rounds, each extraction then its copy\n",
           entryCount, mib, rounds);
    printf("ExtractAll:  %8.1f ms  %8.1f MiB/s\n", extractBest * 1000, mib / extractBest);
    printf("plain copy:  %8.1f ms  %8.1f MiB/s\n", copyBest * 1000, mib / copyBest);
    printf("ratio extract/copy time: %.2f (extraction at %.2fx the speed of the copy)\n",
           extractBest / copyBest, copyBest / extractBest);
    return 0;
}

// zrmpack: packs, lists and extracts ".zrm" data archives from the command line.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "archive/volumefile.h"
#include "packer.h"
#include "version.h"

namespace {

int Usage() {
    fprintf(stderr, "usage: zrmpack pack ARCHIVE FILE...\n"
                    "       zrmpack list ARCHIVE\n"
                    "       zrmpack extract ARCHIVE DIR\n"
                    "       zrmpack --version\n");
    return 2;
}

int Fail(const std::string& message) {
    fprintf(stderr, "zrmpack: %s\n", message.c_str());
    return 1;
}

// An entry name (code page 932) as the console shows it: UTF-8 on Linux terminals.
std::string ForConsole(const char* name) {
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0 || codePage == 932)
        return name;
    wchar_t wide[80] = {};
    int length = MultiByteToWideChar(932, 0, name, -1, wide, 80);
    char text[320] = {};
    if (length <= 0 ||
        WideCharToMultiByte(codePage, 0, wide, -1, text, sizeof text, nullptr, nullptr) <= 0)
        return name;
    return text;
}

int List(const char* archive) {
    auto reader = std::make_unique<VolumeFile>(); // value-initialised: zeroed as the reader needs
    if (reader->ReadIndex(archive) == 0)
        return Fail(std::string(archive) + ": cannot be opened or is not a .zrm archive");
    for (int i = 0; i < reader->Count; ++i) {
        const VolumeFileEntry& entry = reader->Entries[i];
        if (entry.Size < 0 || !IsValidEntryName(entry.Name))
            fprintf(stderr, "zrmpack: entry %d is outside the format and is skipped\n", i);
        else
            printf("%s\t%d\n", ForConsole(entry.Name).c_str(), static_cast<int>(entry.Size));
    }
    return 0;
}

int Extract(const char* archive, const char* folder) {
    std::string error;
    return ExtractArchiveTo(archive, folder, &error) ? 0 : Fail(error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        printf("zrmpack (Quellmark) %s\n", QUELLMARK_VERSION);
        return 0;
    }
    if (argc < 3)
        return Usage();
    std::string command = argv[1];
    if (command == "pack" && argc >= 4) {
        std::string error;
        if (!PackArchive(argv[2], std::vector<std::string>(argv + 3, argv + argc), &error))
            return Fail(error);
        return 0;
    }
    if (command == "list" && argc == 3)
        return List(argv[2]);
    if (command == "extract" && argc == 4)
        return Extract(argv[2], argv[3]);
    return Usage();
}

// PackArchive: checks every input first, then writes header, index and data to a temporary file
// that replaces the archive only when complete.
#include "packer.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sys/stat.h>

#include <windows.h>

#include "archive/volumefile.h"

namespace {

constexpr char magic[] = "ZRM VolumeFile v.0.1";
constexpr int64_t maxSize = INT64_C(2147483647);

struct Input {
    std::string path;
    std::string name;
    int64_t size;
};

std::string FoldCase(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

// True when name has a single-byte '\\' or ':' (walked as code page 932 text).
bool HasFolderPart(const std::string& name) {
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(name[i])))
            ++i;
        else if (name[i] == '\\' || name[i] == ':')
            return true;
    }
    return false;
}

bool CheckInputs(const std::vector<std::string>& files, std::vector<Input>* inputs,
                 std::string* error) {
    if (files.size() > static_cast<size_t>(VolumeFile::maxEntries)) {
        *error = std::to_string(files.size()) + " files: an archive holds at most 256 entries";
        return false;
    }
    std::set<std::string> names;
    for (const std::string& path : files) {
        std::string name;
        if (!ArchiveNameOf(EntryNameOf(path), &name)) {
            *error = path + ": its name has characters that code page 932 lacks";
            return false;
        }
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            *error = path + ": not a readable file";
            return false;
        }
        if (name.size() > 79) {
            *error = path + ": entry name longer than 79 bytes";
            return false;
        }
        if (HasFolderPart(name)) {
            *error = path + ": entry name has a folder part";
            return false;
        }
        if (!IsValidEntryName(name.c_str())) {
            *error = path + ": \"" + name + "\" cannot be an entry name";
            return false;
        }
        if (!names.insert(FoldCase(name)).second) {
            *error = path + ": duplicate entry name \"" + name + "\"";
            return false;
        }
        if (static_cast<int64_t>(info.st_size) > maxSize) {
            *error = path + ": files of 2 GiB or more cannot be stored";
            return false;
        }
        inputs->push_back({path, name, static_cast<int64_t>(info.st_size)});
    }
    return true;
}

bool WriteIndex(FILE* out, const std::vector<Input>& inputs) {
    if (fprintf(out, "%s%04d", magic, static_cast<int>(inputs.size())) < 0)
        return false;
    for (const Input& input : inputs) {
        char name[80] = {};
        input.name.copy(name, sizeof name - 1);
        if (fwrite(name, 1, sizeof name, out) != sizeof name ||
            fprintf(out, "%020d%020lld", 0, static_cast<long long>(input.size)) != 40)
            return false;
    }
    return true;
}

bool CopyData(FILE* out, const Input& input, std::string* error) {
    std::ifstream in(input.path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    int64_t copied = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        auto got = static_cast<size_t>(in.gcount());
        if (got > 0 && fwrite(buffer.data(), 1, got, out) != got) {
            *error = "cannot write the archive";
            return false;
        }
        copied += static_cast<int64_t>(got);
    }
    if (copied != input.size) {
        *error = input.path + ": changed while it was packed";
        return false;
    }
    return true;
}

} // namespace

std::string EntryNameOf(const std::string& filePath) {
    size_t slash = filePath.find_last_of('/');
    return slash == std::string::npos ? filePath : filePath.substr(slash + 1);
}

bool ArchiveNameOf(const std::string& name, std::string* stored) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.c_str(), -1, nullptr, 0);
    if (length <= 0) { // not UTF-8: a name in the ANSI code page already
        *stored = name;
        return true;
    }
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.c_str(), -1, wide.data(), length);
    BOOL lacking = FALSE;
    int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), -1, nullptr, 0, nullptr,
                                   &lacking);
    std::vector<char> bytes(static_cast<size_t>(size > 0 ? size : 1));
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), -1, bytes.data(), size, nullptr,
                        &lacking);
    *stored = bytes.data();
    return size > 0 && !lacking;
}

bool PackArchive(const std::string& archivePath, const std::vector<std::string>& files,
                 std::string* error) {
    std::vector<Input> inputs;
    if (!CheckInputs(files, &inputs, error))
        return false;
    std::string partial = archivePath + ".partial";
    FILE* out = fopen(partial.c_str(), "wb");
    if (out == nullptr) {
        *error = archivePath + ": cannot be written";
        return false;
    }
    bool ok = WriteIndex(out, inputs);
    if (!ok)
        *error = "cannot write the archive";
    for (size_t i = 0; ok && i < inputs.size(); ++i)
        ok = CopyData(out, inputs[i], error);
    if (fclose(out) != 0 && ok) {
        *error = "cannot write the archive";
        ok = false;
    }
    if (ok && rename(partial.c_str(), archivePath.c_str()) != 0) {
        *error = archivePath + ": cannot be replaced";
        ok = false;
    }
    if (!ok)
        remove(partial.c_str());
    return ok;
}

bool ExtractArchiveTo(const char* archive, const char* folder, std::string* error) {
    auto reader = std::make_unique<VolumeFile>(); // value-initialised: zeroed as the reader needs
    if (reader->ExtractAll(archive, folder) == 0) {
        *error = std::string(archive) + ": cannot be opened or is not a .zrm archive";
        return false;
    }
    // An entry the reader skipped, or whose file is not there, gets a warning line.
    int missing = 0;
    for (int i = 0; i < reader->Count; ++i) {
        const VolumeFileEntry& entry = reader->Entries[i];
        std::string path = std::string(folder) + "\\" + entry.Name;
        FILE* written = entry.Name[0] != '\0' ? fopen(path.c_str(), "rb") : nullptr;
        if (written != nullptr) {
            fclose(written);
            continue;
        }
        ++missing;
        fprintf(stderr, "zrmpack: warning: entry %d (%s) was not written\n", i,
                entry.Name[0] != '\0' ? entry.Name : "a name outside the format");
    }
    if (missing == 0 && reader->WriteFailures == 0)
        return true;
    error->clear();
    if (reader->WriteFailures > 0) // its older copy may stand
        *error = std::to_string(reader->WriteFailures) + " entries could not be written fresh";
    if (missing > 0)
        *error +=
            (error->empty() ? "" : "; ") + std::to_string(missing) + " entries were not written";
    return false;
    return true;
}

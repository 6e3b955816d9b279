// VolumeFile: the archive's header and index, and extraction of its entries.
#include "volumefile.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr char magic[] = "ZRM VolumeFile v.0.1";
constexpr int magicLength = 20;
constexpr int countLength = 4;
constexpr int nameLength = 80;
constexpr int numberLength = 20;
constexpr size_t copyChunk = 1 << 20;
constexpr const char* badHeaderText = "ヘッダ異常";
// The program's error log: it only ever grows, so no entry may replace it.
constexpr char protectedName[] = "Error.txt";
constexpr const char* skippedText = "%.79sは展開しませんでした。";

// Parses a fixed-width decimal field as fscanf would read a well-formed one: optional leading
// white space, an optional sign, then nothing but digits to the end of the field. Values beyond
// 2^40 stop growing, which every caller treats as out of range.
bool ParseField(const char* field, int width, int64_t* value) {
    int i = 0;
    while (i < width && isspace(static_cast<unsigned char>(field[i])))
        ++i;
    bool negative = false;
    if (i < width && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    if (i == width)
        return false;
    int64_t result = 0;
    for (; i < width; ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
        if (result < (int64_t{1} << 40))
            result = result * 10 + (field[i] - '0');
    }
    *value = negative ? -result : result;
    return true;
}

bool IsDeviceName(const char* name) {
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    size_t stem = strcspn(name, ".");
    for (const char* device : devices)
        if (stem == 3 && strncasecmp(name, device, 3) == 0)
            return true;
    return stem == 4 && (strncasecmp(name, "COM", 3) == 0 || strncasecmp(name, "LPT", 3) == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

void MarkInvalid(VolumeFileEntry& entry) {
    entry.Name[0] = '\0';
    entry.Size = -1;
}

// Copies one entry's size bytes at offset of the open archive into a new file at outputPath, in
// pieces of the buffer; a failed or short copy leaves no file. Whatever stands at the name goes
// first (a link is removed, never followed; a FIFO is never opened). False, with writeFailed set
// when the failure was the output's, when the entry was not written whole.
bool CopyEntry(FILE* archive, int64_t offset, int32_t size, const char* outputPath,
               std::vector<char>& buffer, bool* writeFailed) {
    if (offset > LONG_MAX)
        return false; // beyond what this C library's fseek can reach
    if (ftell(archive) != offset && fseek(archive, static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    remove(outputPath);
    FILE* output = fopen(outputPath, "wb");
    if (output == nullptr) {
        *writeFailed = true;
        return false;
    }
    bool complete = true;
    for (size_t left = static_cast<size_t>(size); left > 0 && complete;) {
        size_t piece = std::min(left, buffer.size());
        complete = fread(buffer.data(), 1, piece, archive) == piece;
        if (complete && fwrite(buffer.data(), 1, piece, output) != piece)
            complete = false, *writeFailed = true;
        left -= piece;
    }
    if (fclose(output) != 0)
        complete = false, *writeFailed = true;
    if (!complete)
        remove(outputPath);
    return complete;
}

// True for a name ExtractAll writes one of the archive's entries under before moving it into
// place: "<entry>.<digits>.part".
bool IsPartName(const VolumeFile& reader, const char* name) {
    size_t length = strlen(name);
    if (length < 7 || strcmp(name + length - 5, ".part") != 0)
        return false;
    size_t digits = length - 5;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    if (digits == length - 5 || digits < 2 || name[digits - 1] != '.')
        return false;
    for (int i = 0; i < reader.Count; ++i)
        if (strlen(reader.Entries[i].Name) == digits - 1 &&
            strncmp(reader.Entries[i].Name, name, digits - 1) == 0)
            return true;
    return false;
}

// Removes what a copy of the program left in folder (ending in '\\') when it stopped in the
// middle of unpacking (a crash, a power cut): its ".part" files of this archive's entries, once
// they are a minute old. A copy unpacking now writes its own within a second, so theirs are never
// taken away, and no other file of the folder is touched.
void RemoveStaleParts(const VolumeFile& reader, const char* folder) {
    char pattern[MAX_PATH];
    if (snprintf(pattern, sizeof pattern, "%s*.part", folder) >= MAX_PATH)
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    auto steps = [](const FILETIME& time) {
        return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                    time.dwLowDateTime);
    };
    constexpr int64_t minute = int64_t{60} * 10000000; // in 100-nanosecond steps
    do {
        char path[MAX_PATH];
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsPartName(reader, found.cFileName) &&
            steps(now) - steps(found.ftLastWriteTime) >= minute &&
            snprintf(path, sizeof path, "%s%s", folder, found.cFileName) < MAX_PATH)
            remove(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

char* NewTempName() {
    char* name = static_cast<char*>(malloc(nameLength));
    if (name == nullptr)
        return nullptr;
    srand(static_cast<unsigned>(time(nullptr)));
    for (int i = 0; i < 8; ++i)
        name[i] = static_cast<char>('A' + rand() % 26);
    strcpy(name + 8, ".tmp");
    return name;
}

// The folder to unpack into, ending in '\\': destinationDir, or the current directory when it
// is null or empty. False when it leaves no room for a name inside it.
bool FolderOf(const char* destinationDir, char (&folder)[MAX_PATH]) {
    if (destinationDir != nullptr && destinationDir[0] != '\0') {
        if (strlen(destinationDir) >= MAX_PATH - 1)
            return false;
        strcpy(folder, destinationDir);
    } else {
        DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH - 1)
            return false;
    }
    size_t length = strlen(folder);
    if (folder[length - 1] != '\\') {
        folder[length] = '\\';
        folder[length + 1] = '\0';
    }
    return true;
}

// Writes one entry's data under a name of this process's own, then moves it over outputPath in
// one step, so that a second copy of the program unpacking at the same time, or one reading the
// files, never sees a half-written file, and a failure (a full disk, the file held open by
// another copy of the program) leaves the older whole file where it was.
bool RefreshEntry(FILE* archive, int64_t offset, int32_t size, const char* outputPath,
                  std::vector<char>& buffer) {
    char partPath[MAX_PATH + nameLength + 24];
    snprintf(partPath, sizeof partPath, "%s.%lu.part", outputPath,
             static_cast<unsigned long>(GetCurrentProcessId()));
    bool writeFailed = false;
    if (strlen(partPath) >= MAX_PATH ||
        !CopyEntry(archive, offset, size, partPath, buffer, &writeFailed))
        return false;
    if (MoveFileExA(partPath, outputPath, MOVEFILE_REPLACE_EXISTING))
        return true;
    remove(partPath);
    return false;
}

bool IsReadable(const char* path) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr)
        return false;
    fclose(file);
    return true;
}

} // namespace

bool IsValidEntryName(const char* name) {
    size_t length = strlen(name);
    if (length == 0 || length >= static_cast<size_t>(nameLength))
        return false;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return false;
    if (name[length - 1] == '.' || name[length - 1] == ' ')
        return false; // Windows would drop these and write a different file
    // Names are code page 932 text: the trail byte of a double-byte character (0x5C in ソ or 表,
    // 0x7C in ポ) is part of its character, not a separator or a forbidden character.
    for (size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(name[i]);
        if (IsDBCSLeadByteEx(932, byte)) {
            auto trail = static_cast<unsigned char>(name[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
                return false; // a lead byte without its trail byte
            ++i;
        } else if (byte < 0x20 || strchr("\\/:*?\"<>|", byte) != nullptr) {
            return false;
        }
    }
    return !IsDeviceName(name);
}

int VolumeFile::ReadIndex(const char* archivePath) {
    FILE* archive = fopen(archivePath, "rb");
    if (archive == nullptr)
        return 0;
    char header[magicLength + countLength];
    if (fread(header, 1, magicLength, archive) != static_cast<size_t>(magicLength) ||
        memcmp(header, magic, magicLength) != 0) {
        strcpy(ErrorText, badHeaderText);
        fclose(archive);
        return 0;
    }
    int64_t count = 0;
    if (fread(header + magicLength, 1, countLength, archive) != static_cast<size_t>(countLength) ||
        !ParseField(header + magicLength, countLength, &count))
        count = 0;
    if (count > maxEntries) {
        strcpy(ErrorText, badHeaderText);
        fclose(archive);
        return 0;
    }
    Count = static_cast<int32_t>(count);
    memset(Entries, 0, sizeof Entries);
    for (int i = 0; i < Count; ++i) {
        char record[recordSize];
        VolumeFileEntry& entry = Entries[i];
        if (fread(record, 1, recordSize, archive) != static_cast<size_t>(recordSize)) {
            for (int rest = i; rest < Count; ++rest)
                MarkInvalid(Entries[rest]); // the index ends early: nothing more can be found
            break;
        }
        if (memchr(record, '\0', nameLength) != nullptr)
            strcpy(entry.Name, record);
        int64_t extra = 0;
        if (ParseField(record + nameLength, numberLength, &extra))
            entry.Extra = static_cast<int32_t>(extra < INT32_MIN   ? INT32_MIN
                                               : extra > INT32_MAX ? INT32_MAX
                                                                   : extra);
        int64_t size = -1;
        if (!ParseField(record + nameLength + numberLength, numberLength, &size) || size < 0 ||
            size > INT32_MAX)
            size = -1;
        entry.Size = static_cast<int32_t>(size);
    }
    fclose(archive);
    return 1;
}

const char* VolumeFile::ExtractFile(const char* archivePath, const char* entryName,
                                    const char* outputPath, int useTempName) {
    if (ReadIndex(archivePath) == 0 || Count < 1 || entryName == nullptr)
        return nullptr;
    int found = -1;
    for (int i = 0; i < Count && found < 0; ++i)
        if (strcmp(Entries[i].Name, entryName) == 0)
            found = i;
    if (found < 0 || Entries[found].Size < 0)
        return nullptr;
    // Without an output path the entry's own name is the path: it must not leave the folder.
    if (outputPath == nullptr && !useTempName && !IsValidEntryName(entryName))
        return nullptr;
    // The data starts after the index and the data of every entry before this one. One seek to
    // the sum (a seek per entry costs a system call and a read-ahead each).
    int64_t offset = headerSize + int64_t{recordSize} * Count;
    for (int i = 0; i < found; ++i) {
        if (Entries[i].Size < 0)
            return nullptr; // the data of this entry cannot be located
        offset += Entries[i].Size;
    }
    FILE* archive = fopen(archivePath, "rb");
    if (archive == nullptr)
        return nullptr;
    char* tempName = useTempName ? NewTempName() : nullptr;
    const char* name = useTempName ? tempName : outputPath != nullptr ? outputPath : entryName;
    auto size = static_cast<size_t>(Entries[found].Size);
    std::vector<char> buffer(std::max<size_t>(1, std::min(size, copyChunk)));
    bool writeFailed = false;
    bool complete = name != nullptr &&
                    CopyEntry(archive, offset, Entries[found].Size, name, buffer, &writeFailed);
    fclose(archive);
    WriteFailures += writeFailed;
    if (!complete) {
        free(tempName);
        return nullptr;
    }
    return name;
}

bool VolumeFile::IsToBeWritten(int i, size_t folderLength) {
    const char* name = Entries[i].Name;
    if (!IsValidEntryName(name) || folderLength + strlen(name) >= static_cast<size_t>(MAX_PATH))
        return false;
    for (int j = 0; j < i; ++j)
        if (strcmp(Entries[j].Name, name) == 0)
            return false; // a name seen before: its first entry's data stands
    if (strncasecmp(name, protectedName, sizeof protectedName) == 0) {
        snprintf(ErrorText, sizeof ErrorText, skippedText, name);
        return false;
    }
    return true;
}

int VolumeFile::ExtractAll(const char* archivePath, const char* destinationDir) {
    if (ReadIndex(archivePath) == 0)
        return 0;
    char folder[MAX_PATH] = "";
    if (!FolderOf(destinationDir, folder))
        return 1; // no entry could be named inside it
    size_t folderLength = strlen(folder);
    CreateDirectoryA(folder, nullptr);
    RemoveStaleParts(*this, folder);
    WriteFailures = 0;
    MissingEntries = 0;
    // The index is read once and the archive opened once: entries are read in their order, from
    // the data after the index, through one buffer.
    FILE* archive = Count > 0 ? fopen(archivePath, "rb") : nullptr;
    if (archive == nullptr)
        return 1;
    std::vector<char> buffer(copyChunk);
    int64_t offset = headerSize + int64_t{recordSize} * Count;
    for (int i = 0; i < Count && Entries[i].Size >= 0; ++i) { // later data cannot be located
        int64_t entryOffset = offset;
        offset += Entries[i].Size;
        if (!IsToBeWritten(i, folderLength))
            continue;
        char outputPath[MAX_PATH + nameLength]; // room for any folder and name: never cut
        snprintf(outputPath, sizeof outputPath, "%s%s", folder, Entries[i].Name);
        if (!RefreshEntry(archive, entryOffset, Entries[i].Size, outputPath, buffer))
            ++WriteFailures;
        if (!IsReadable(outputPath))
            ++MissingEntries;
    }
    fclose(archive);
    return 1;
}

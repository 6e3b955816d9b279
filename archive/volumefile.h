// VolumeFile: reads the index of a ".zrm" data archive and copies its entries out to files.
//
// Layout: the 20 bytes "ZRM VolumeFile v.0.1", a 4-digit entry count, one 120-byte index record
// per entry (an 80-byte zero-terminated name, then Extra and Size as 20 decimal digits each), then
// the entries' bytes back to back in index order. An entry's data starts after the index plus the
// sizes of the entries before it.
//
// The archive is untrusted. The reader reads every field at its fixed place and stores only what
// the format can hold: a count above 256 is a bad header; an entry whose name has no terminator,
// is empty, has a folder part ('\' '/' ':'), is "." or "..", ends in a dot or space or names a
// device, or whose Size is not a number from 0 to 2^31 - 1, is outside the format and is never
// extracted. An entry with a bad Size also hides every entry after it, since their data can no
// longer be found. Data is copied in bounded pieces; an entry whose data the file does not hold in
// full leaves no output file behind. An output replaces whatever stands at its name (a link is
// removed, never written through). ExtractAll never writes an entry named like the program's error
// log ("Error.txt", in any case), which only ever grows; it notes the skip in ErrorText.
#pragma once

#include <cstddef>
#include <cstdint>

struct VolumeFileEntry {
    char Name[80];
    int32_t Extra;
    int32_t Size; // -1 marks an entry whose size is outside the format
};

class VolumeFile {
public:
    static constexpr int maxEntries = 256;
    // The longest entry name, and the longest suffix ExtractAll writes an entry under before it
    // moves it into place (".<process id>.part"): a folder must leave room for both.
    static constexpr int longestName = 79;
    static constexpr int longestPartSuffix = 16;
    static constexpr int headerSize = 24;
    static constexpr int recordSize = 120;

    VolumeFileEntry Entries[maxEntries];
    int32_t Count;
    char ErrorText[256];
    int32_t WriteFailures;  // entries ExtractFile or ExtractAll could not write fresh
    int32_t MissingEntries; // entries ExtractAll's folder does not hold readable afterwards

    // Reads the header and index into Entries and Count. 1 when read (also for a count of 0), 0
    // when the archive cannot be opened or its header is bad ("ヘッダ異常" then in ErrorText).
    int ReadIndex(const char* archivePath);
    // Writes the data of the first entry named entryName to outputPath (or to entryName itself when
    // outputPath is null, or to a new name "XXXXXXXX.tmp" in a malloc'd buffer that the caller
    // frees when useTempName is non-zero). Returns the name written, or null.
    const char* ExtractFile(const char* archivePath, const char* entryName, const char* outputPath,
                            int useTempName);
    // Writes every entry into destinationDir (the current directory when null), creating that one
    // folder. 1 when the index was read, 0 otherwise. Each entry is written under a temporary
    // name and moved over the older file in one step; an entry that cannot be written (a full
    // disk, its file held open) counts in WriteFailures and leaves the older whole file in place,
    // and the next entry is tried. MissingEntries counts the entries the folder does not hold
    // readable afterwards. Temporary files of its entries that a stopped copy left there are
    // removed once a minute old.
    int ExtractAll(const char* archivePath, const char* destinationDir);

private:
    // True when entry i is one ExtractAll writes into a folder of folderLength characters: a valid
    // name that fits, the first of that name, not the log's (that skip noted in ErrorText).
    bool IsToBeWritten(int i, size_t folderLength);
};

// True when name can be an entry of an archive: what the reader extracts and a packer may store.
// Names are code page 932 text, walked a character at a time.
bool IsValidEntryName(const char* name);

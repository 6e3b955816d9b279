// Writing ".zrm" archives: the checks and the byte layout that the game's reader expects.
#pragma once

#include <string>
#include <vector>

// Packs files, in the order given, as entries named by their base names with Extra 0. Refuses
// (false, with a message in error, and no archive written) names the format cannot hold, duplicate
// names, more than 256 entries and files of 2 GiB or more.
bool PackArchive(const std::string& archivePath, const std::vector<std::string>& files,
                 std::string* error);

// Extracts every entry into folder through the game's reader. False, with a message in error, when
// the archive cannot be read or an entry could not be written (an older copy kept, or none);
// entries outside the format get a warning line on stderr.
bool ExtractArchiveTo(const char* archive, const char* folder, std::string* error);

// The entry name of a file: its path after the last '/'.
std::string EntryNameOf(const std::string& filePath);
// A file's name as the archive stores it, in code page 932: a UTF-8 name (as Linux names are) is
// converted, false when it has a character code page 932 lacks; any other name is taken as it is
// (in the ANSI code page already, as Windows gives it).
bool ArchiveNameOf(const std::string& name, std::string* stored);

// The per-user folders behind Windows' own: the Windows directory and the store for writes that
// the program's own folder refuses.
//
// The program's per-user folder is <data home>/<program>. When that cannot be used (it belongs to
// someone else or cannot be made) the layer falls back to <runtime folder>/<program>, where the
// runtime folder is $XDG_RUNTIME_DIR, or /tmp/<program>-<uid> without one. Every folder of ours is
// made private (0700): a folder of this user's with wider bits is tightened, one of someone else's
// or a link is refused.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

namespace {

std::string DataHomeFolder() {
    const char* dataHome = getenv("XDG_DATA_HOME");
    std::string base = (dataHome != nullptr && dataHome[0] == '/')
                           ? std::string(dataHome)
                           : Layer::HomeFolder() + "/.local/share";
    return base + "/" + Layer::ProgramName();
}

// True when path is a real folder (not a link) of this user's.
bool IsOwnFolder(const std::string& path, struct stat& info) {
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

bool IsPrivateFolder(const std::string& path) {
    struct stat info {};
    return IsOwnFolder(path, info) && (info.st_mode & 077) == 0;
}

// Makes path a folder only this user can use: created 0700 when missing, a folder of ours
// tightened to 0700. False for a link, a file or a folder of someone else's.
bool MakePrivateFolder(const std::string& path) {
    mkdir(path.c_str(), 0700);
    struct stat info {};
    if (!IsOwnFolder(path, info))
        return false;
    return (info.st_mode & 077) == 0 || chmod(path.c_str(), 0700) == 0;
}

std::string RuntimeFolder() {
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime))
        return std::string(runtime) + "/" + Layer::ProgramName();
    return "/tmp/" + Layer::ProgramName() + "-" + std::to_string(geteuid());
}

// The canonical form of path (links resolved), or path itself when it does not exist.
std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Path made absolute (against the current directory) with its folder in canonical form; the
// folder's length in folderLength. Empty when the current directory is unknown.
std::string Resolved(const std::string& linuxPath, size_t* folderLength) {
    std::string absolute = linuxPath;
    if (absolute.empty() || absolute[0] != '/') {
        char current[PATH_MAX];
        if (getcwd(current, sizeof current) == nullptr)
            return std::string();
        absolute = std::string(current) + "/" + absolute;
    }
    size_t slash = absolute.rfind('/');
    std::string folder = Canonical(slash == 0 ? "/" : absolute.substr(0, slash));
    *folderLength = folder.size();
    return folder + absolute.substr(slash);
}

bool IsInside(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

// The folder the running program's executable is in, canonical; empty when unknown. Found once
// (and again when a test names another module path).
const std::string& ProgramFolder() {
    static std::string folder, forModule;
    const std::string* override = Layer::ModulePathOverride();
    std::string module = override != nullptr ? *override : std::string("/proc/self/exe");
    if (folder.empty() || module != forModule) {
        forModule = module;
        std::string path = override != nullptr ? module : Canonical(module);
        size_t slash = path.rfind('/');
        folder = slash == std::string::npos ? std::string() : Canonical(path.substr(0, slash));
    }
    return folder;
}

} // namespace

namespace Layer {

std::string HomeFolder() {
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

// The program's own name for its per-user data: its executable's file name in lower case,
// without an extension ("Quellmark" gives "quellmark").
std::string ProgramName() {
    std::string name = program_invocation_short_name;
    char linuxPath[PATH_MAX + 1];
    ssize_t length = readlink("/proc/self/exe", linuxPath, PATH_MAX);
    if (length > 0) {
        linuxPath[length] = '\0';
        name = std::filesystem::path(linuxPath).filename().string();
    }
    if (size_t dot = name.find('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name.empty() || name == "." || name == ".." ? std::string("program") : name;
}

std::string UserSubfolder(const char* name, bool create) {
    for (const std::string& base : {DataHomeFolder(), RuntimeFolder()}) {
        if (create) {
            std::error_code ignored;
            std::filesystem::create_directories(base.substr(0, base.rfind('/')), ignored);
        }
        std::string folder = base + "/" + name;
        if (!create && IsPrivateFolder(base))
            return folder; // where it is, or would be made
        if (create && MakePrivateFolder(base) && MakePrivateFolder(folder))
            return folder;
    }
    return std::string();
}

std::string PrivateTempFolder() {
    std::string base = RuntimeFolder();
    std::string folder = base + "/Temp";
    std::error_code ignored;
    std::filesystem::create_directories(base.substr(0, base.rfind('/')), ignored);
    return MakePrivateFolder(base) && MakePrivateFolder(folder) ? folder : std::string();
}

std::string VirtualStorePath(const std::string& linuxPath, bool create) {
    const std::string& program = ProgramFolder();
    // Paths are made canonical only when they may lie in the program's folder: an absolute path
    // elsewhere, or a relative one from a current folder elsewhere, is never looked into.
    if (program.empty())
        return std::string();
    if (linuxPath[0] == '/' && linuxPath.compare(0, program.size(), program) != 0)
        return std::string();
    if (linuxPath[0] != '/') {
        char current[PATH_MAX];
        if (getcwd(current, sizeof current) == nullptr ||
            std::string(current).compare(0, program.size(), program) != 0)
            return std::string();
    }
    size_t folderLength = 0;
    std::string path = Resolved(linuxPath, &folderLength);
    std::string folder = path.substr(0, folderLength);
    if (program.empty() || (folder != program && !IsInside(folder, program)))
        return std::string();
    std::string store = UserSubfolder("VirtualStore", create);
    if (store.empty())
        return std::string();
    std::string storedFolder = store + folder;
    if (create) {
        std::error_code ignored;
        std::filesystem::create_directories(storedFolder, ignored);
    }
    return storedFolder + path.substr(folderLength);
}

} // namespace Layer

// mkdata: writes the game's pictures, songs, ending text and icon into a folder at build time.
//   mkdata OUTPUT_FOLDER ENDING_TEXT
//   mkdata --text SOURCE TARGET       (one UTF-8 text in code page 932 with CR LF, as README.txt)
//   mkdata --icons FOLDER             (FOLDER/NxN/apps/quellmark.png for the desktop's icon theme)
// Text sources are UTF-8; the game and Windows read them as code page 932 with CR LF line ends.
#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "formats.h"
#include "icon.h"
#include "pictures.h"
#include "songs.h"

namespace {

bool WriteCp932Text(const std::string& source, const std::string& target) {
    std::ifstream in(source, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && text.empty())
        return false;
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string converted(text.size() * 2 + 16, '\0');
    char* input = text.data();
    size_t inputLeft = text.size();
    char* output = converted.data();
    size_t outputLeft = converted.size();
    size_t result = iconv(converter, &input, &inputLeft, &output, &outputLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1))
        return false; // a character code page 932 cannot hold
    converted.resize(converted.size() - outputLeft);
    std::string crlf;
    for (char c : converted) {
        if (c == '\r')
            continue;
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return WriteWholeFile(target, crlf);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--text")
        return WriteCp932Text(argv[2], argv[3]) ? 0 : 1;
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        for (int size : {32, 48, 64, 128, 256}) {
            std::string folder = std::string(argv[2]) + "/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps";
            std::error_code error;
            std::filesystem::create_directories(folder, error);
            if (error || !WritePngIcon(folder + "/quellmark.png", size)) {
                fprintf(stderr, "mkdata: could not write the icons into %s\n", argv[2]);
                return 1;
            }
        }
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: mkdata OUTPUT_FOLDER ENDING_TEXT\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = MakeScreenImage().SaveBmp(folder + "/ScreenImage.bmp") &&
              MakeMapChip().SaveBmp(folder + "/MapChip.bmp") &&
              MakeString().SaveBmp(folder + "/String.bmp") &&
              MakeExplosion().SaveBmp(folder + "/Explosion.bmp") &&
              MakeTitle().SaveBmp(folder + "/Title.bmp") && WriteSongs(folder) &&
              WriteCp932Text(argv[2], folder + "/Ending.dat") &&
              WriteIcon(folder + "/Quellmark.ico");
    if (!ok) {
        fprintf(stderr, "mkdata: could not write the game's data into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}

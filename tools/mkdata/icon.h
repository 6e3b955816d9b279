// The program's icon: one 32 x 32 image in 16 colours, written as a Windows .ico file.
#pragma once

#include <string>

bool WriteIcon(const std::string& path);

# Writes a C++ source that links one file into a native program as the layer's resource table
# (platformresources.h), as windres links resources into the Windows program.
#   cmake -DINPUT=FILE -DTYPE=ICON -DID=101 -DOUTPUT=SOURCE.cpp -P embed-resource.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}"
    "// Generated from ${INPUT}: the program's resources for the layer.\n"
    "#include \"platformresources.h\"\n"
    "static const unsigned char resource0[] = {${bytes}};\n"
    "extern \"C\" const PlatformResource platformResources[] = {\n"
    "    {\"${TYPE}\", ${ID}, resource0, sizeof resource0}, {nullptr, 0, nullptr, 0}};\n")

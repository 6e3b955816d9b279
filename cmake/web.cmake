# The browser build: the program as WebAssembly (ASYNCIFY, so that its loop's rests yield to the
# browser), its archive and the IPA fonts (cut to the characters the game draws) in the page's
# file system, and the page's folder `site` with FluidSynth's module, the SoundFont and the licence
# texts of everything it carries; Quellmark-web.zip of that folder.
set(site ${CMAKE_BINARY_DIR}/site)
set(archive ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Quellmark.zrm)
set(fluidModule ${PROJECT_SOURCE_DIR}/node_modules/js-synthesizer/externals/libfluidsynth-2.4.6.js)
if(NOT EXISTS ${fluidModule})
    message(FATAL_ERROR "no ${fluidModule}: run npm ci (scripts/install-deps.sh does)")
endif()

# The fonts: every character of the game's texts, and the four IPA faces cut to them.
file(GLOB_RECURSE gameTexts ${PROJECT_SOURCE_DIR}/app/* ${PROJECT_SOURCE_DIR}/game/*
     ${PROJECT_SOURCE_DIR}/graphics/* ${PROJECT_SOURCE_DIR}/core/*)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/characters.txt
    COMMAND python3 ${PROJECT_SOURCE_DIR}/web/characters.py ${PROJECT_SOURCE_DIR}
            ${CMAKE_BINARY_DIR}/characters.txt
    DEPENDS ${PROJECT_SOURCE_DIR}/web/characters.py ${PROJECT_SOURCE_DIR}/data/ending.txt
            ${gameTexts}
    COMMENT "Listing the characters the game draws")
set(fonts)
foreach(face gothic/ipag gothic/ipagp mincho/ipam mincho/ipamp)
    get_filename_component(name ${face} NAME)
    get_filename_component(kind ${face} DIRECTORY)
    set(font ${CMAKE_BINARY_DIR}/fonts/${name}.ttf)
    add_custom_command(
        OUTPUT ${font}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fonts
        COMMAND pyftsubset /usr/share/fonts/opentype/ipafont-${kind}/${name}.ttf
                --text-file=${CMAKE_BINARY_DIR}/characters.txt --output-file=${font}
        DEPENDS ${CMAKE_BINARY_DIR}/characters.txt
        COMMENT "Cutting ${name}.ttf to the game's characters")
    list(APPEND fonts ${font})
endforeach()
add_custom_target(web_fonts DEPENDS ${fonts})

# SDL's audio needs two of emscripten's JavaScript functions that the link would otherwise leave
# out (their names, with a "$", stand in a file: make and the shell would take them apart).
file(WRITE ${CMAKE_BINARY_DIR}/library-functions.json "[\"$autoResumeAudioContext\", \"$dynCall\"]")
set_target_properties(Quellmark PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${site})
add_dependencies(Quellmark web_fonts game_data)
set_property(TARGET Quellmark APPEND PROPERTY LINK_DEPENDS ${archive} ${fonts})
# emscripten's optimising link runs JavaScript tools that need Debian's node modules.
set_property(TARGET Quellmark PROPERTY RULE_LAUNCH_LINK "env NODE_PATH=/usr/share/nodejs")
# Static data starts at 64 KiB, as nothing of a Windows process lies below it: names passed to
# the layer (a window class's, a resource's) are told from numbers (MAKEINTRESOURCE) that way.
target_link_options(Quellmark PRIVATE "SHELL:-s GLOBAL_BASE=65536"
    "SHELL:-s ASYNCIFY=1" "SHELL:-s ASYNCIFY_STACK_SIZE=65536" "SHELL:-s ALLOW_MEMORY_GROWTH=1"
    "SHELL:-s MODULARIZE=1" "SHELL:-s EXPORT_NAME=QuellmarkGame" "SHELL:-s INVOKE_RUN=0"
    "SHELL:-s EXIT_RUNTIME=1" "SHELL:-s EXPORTED_RUNTIME_METHODS=['callMain','FS']"
    "SHELL:-s DEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library-functions.json"
    "SHELL:--preload-file ${archive}@/game/Quellmark.zrm"
    "SHELL:--preload-file ${CMAKE_BINARY_DIR}/fonts@/fonts")
# The data package's id in the program, made from the data (the packager draws it at random).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(TARGET Quellmark POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/package-id.py ${site}/Quellmark.js
            ${site}/Quellmark.data)

# The page and what it carries beside the program.
set(depsSource ${PROJECT_SOURCE_DIR}/build/web-deps/src)
file(GLOB sdlSource LIST_DIRECTORIES true ${depsSource}/libsdl2-2*)
file(GLOB ttfSource LIST_DIRECTORIES true ${depsSource}/libsdl2-ttf-2*)
file(GLOB freetypeSource LIST_DIRECTORIES true ${depsSource}/freetype-2*)
set(licences
    ${sdlSource}/debian/copyright SDL2.txt
    ${ttfSource}/debian/copyright SDL2_ttf.txt
    ${freetypeSource}/debian/copyright freetype.txt
    ${PROJECT_SOURCE_DIR}/node_modules/js-synthesizer/externals/LICENSE.fluidsynth.txt
    FluidSynth.txt
    ${PROJECT_SOURCE_DIR}/node_modules/js-synthesizer/LICENSE js-synthesizer.txt
    /usr/share/doc/fonts-ipafont-gothic/copyright IPA-fonts.txt
    /usr/share/doc/timgm6mb-soundfont/copyright TimGM6mb-SoundFont.txt)
set(copies)
configure_file(${PROJECT_SOURCE_DIR}/web/index.html.in ${generated}/index.html @ONLY)
set(siteFiles index.html favicon.ico libfluidsynth-2.4.6.js soundfont.sf2)
while(licences)
    list(POP_FRONT licences from to)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${from} ${site}/licences/${to})
    list(APPEND siteFiles licences/${to})
endwhile()
add_custom_target(web_site ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/licences
    COMMAND ${CMAKE_COMMAND} -E copy ${generated}/index.html ${site}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${fluidModule} ${site}/libfluidsynth-2.4.6.js
    COMMAND ${CMAKE_COMMAND} -E copy /usr/share/sounds/sf2/TimGM6mb.sf2 ${site}/soundfont.sf2
    COMMAND ${CMAKE_COMMAND} -E copy ${dataFolder}/Quellmark.ico ${site}/favicon.ico
    ${copies}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/zip.py --source ${PROJECT_SOURCE_DIR}
            ${CMAKE_BINARY_DIR}/Quellmark-web.zip ${siteFiles} Quellmark.js Quellmark.wasm
            Quellmark.data
    WORKING_DIRECTORY ${site}
    DEPENDS Quellmark ${generated}/index.html
    COMMENT "Making the page's folder and Quellmark-web.zip")

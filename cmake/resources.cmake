# res/mirval.rc is kept in UTF-8; windres gets its Windows-1252 form.
set(MIRVAL_RC_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/res/mirval.rc)
set(MIRVAL_RC_1252 ${CMAKE_BINARY_DIR}/res/mirval.rc)
file(GLOB MIRVAL_RES_FILES ${CMAKE_CURRENT_SOURCE_DIR}/res/*.h)

# The icons and bitmaps are drawn by a script of ours at build time.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(MIRVAL_ART ${CMAKE_BINARY_DIR}/res/art)
add_custom_command(
    OUTPUT ${MIRVAL_ART}/icon128.ico
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/res/art/draw.py ${MIRVAL_ART}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/art/draw.py
    VERBATIM)
list(APPEND MIRVAL_RES_FILES ${MIRVAL_ART}/icon128.ico ${CMAKE_BINARY_DIR}/res/mirval.manifest)
add_custom_command(
    OUTPUT ${MIRVAL_RC_1252}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
    COMMAND iconv -f UTF-8 -t CP1252 ${MIRVAL_RC_SOURCE} -o ${MIRVAL_RC_1252}
    DEPENDS ${MIRVAL_RC_SOURCE}
    VERBATIM)
add_library(mirval_res OBJECT ${MIRVAL_RC_1252})
target_include_directories(mirval_res PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/res)
set_source_files_properties(${MIRVAL_RC_1252} PROPERTIES OBJECT_DEPENDS "${MIRVAL_RES_FILES}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")

# The help beside the program: halibut writes it from res/help/mirval.but, and a
# step of ours adds the context numbers of the dialogs' topics and the viewer's
# main window, which halibut does not write.
find_program(HALIBUT halibut REQUIRED)
set(MIRVAL_HELP ${CMAKE_BINARY_DIR}/MIRVAL.HLP)
add_custom_command(
    OUTPUT ${MIRVAL_HELP}
    COMMAND ${HALIBUT} --winhelp=${MIRVAL_HELP} ${CMAKE_CURRENT_SOURCE_DIR}/res/help/mirval.but
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/res/help/contextmap.py ${MIRVAL_HELP}
            setup=0x20066 about=0x20064
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/help/mirval.but
            ${CMAKE_CURRENT_SOURCE_DIR}/res/help/contextmap.py
    VERBATIM)
add_custom_target(mirval_help ALL DEPENDS ${MIRVAL_HELP})

# The same help as HTML Help, for Windows Vista and later, which have no WinHelp
# viewer: each topic a page named by its keyword.
set(MIRVAL_CHM ${CMAKE_BINARY_DIR}/MIRVAL.CHM)
add_custom_command(
    OUTPUT ${MIRVAL_CHM}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/res/help/chmsource.py
            ${CMAKE_CURRENT_SOURCE_DIR}/res/help/mirval.but ${CMAKE_BINARY_DIR}/res/mirval-chm.but
    COMMAND ${HALIBUT} --chm=${MIRVAL_CHM} ${CMAKE_BINARY_DIR}/res/mirval-chm.but
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/help/mirval.but
            ${CMAKE_CURRENT_SOURCE_DIR}/res/help/chmsource.py
    VERBATIM)
add_custom_target(mirval_chm ALL DEPENDS ${MIRVAL_CHM})

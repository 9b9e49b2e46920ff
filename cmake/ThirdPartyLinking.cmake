# The targets the layers link for pugixml and nettle, and velmora_static_runtime(<target>) for
# executables that take the C++ runtime statically.
#
# By default everything is linked shared, so that the system's security and bug fixes reach the
# program with its libraries. -DVELMORA_STATIC_DEPS=ON links pugixml (C++) and nettle (one hash
# function is used) from their static archives and gives the command-line tool its own C++ runtime,
# which shortens its start a little: most of a short command's time is the dynamic loader
# relocating shared libraries. zlib and expat stay shared either way: they parse what users open.
if(VELMORA_STATIC_DEPS)
    add_library(velmora_pugixml ALIAS pugixml::static)
    find_library(VELMORA_NETTLE_ARCHIVE NAMES libnettle.a HINTS ${NETTLE_LIBRARY_DIRS} REQUIRED)
    add_library(velmora_nettle_archive STATIC IMPORTED GLOBAL)
    set_target_properties(velmora_nettle_archive PROPERTIES IMPORTED_LOCATION ${VELMORA_NETTLE_ARCHIVE})
    target_include_directories(velmora_nettle_archive INTERFACE ${NETTLE_INCLUDE_DIRS})
    add_library(velmora_nettle ALIAS velmora_nettle_archive)
else()
    add_library(velmora_pugixml ALIAS pugixml::pugixml)
    add_library(velmora_nettle ALIAS PkgConfig::NETTLE)
endif()

# The C++ runtime from its static archive: the command-line tool links no shared C++ library
# (the spreadsheet library it may load is C), so no second runtime can meet it. Sanitizer builds
# keep the shared runtime, whose allocation functions the sanitizer replaces.
function(velmora_static_runtime target)
    if(VELMORA_STATIC_DEPS AND NOT VELMORA_SANITIZE AND NOT VELMORA_TSAN)
        target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endfunction()

# The targets the layers link for pugixml, expat and nettle (zlib is ZLIB::ZLIB, made static by
# ZLIB_USE_STATIC_LIBS), and velmora_static_runtime(<target>) for executables that take the C++
# runtime statically.
if(VELMORA_STATIC_DEPS)
    add_library(velmora_pugixml ALIAS pugixml::static)

    function(velmora_static_archive target name)
        find_library(${target}_PATH NAMES lib${name}.a REQUIRED)
        add_library(${target} STATIC IMPORTED GLOBAL)
        set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${${target}_PATH})
    endfunction()
    velmora_static_archive(velmora_expat_archive expat)
    target_include_directories(velmora_expat_archive INTERFACE ${EXPAT_INCLUDE_DIRS})
    add_library(velmora_expat ALIAS velmora_expat_archive)
    velmora_static_archive(velmora_nettle_archive nettle)
    target_include_directories(velmora_nettle_archive INTERFACE ${NETTLE_INCLUDE_DIRS})
    add_library(velmora_nettle ALIAS velmora_nettle_archive)
else()
    add_library(velmora_pugixml ALIAS pugixml::pugixml)
    add_library(velmora_expat ALIAS EXPAT::EXPAT)
    add_library(velmora_nettle ALIAS PkgConfig::NETTLE)
endif()

# The C++ runtime from its static archive: the command-line tool links no shared C++ library
# (the spreadsheet library it may load is C), so no second runtime can meet it. Sanitizer builds
# keep the shared runtime, whose allocation functions the sanitizer replaces.
function(velmora_static_runtime target)
    if(VELMORA_STATIC_DEPS AND NOT VELMORA_SANITIZE)
        target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endfunction()

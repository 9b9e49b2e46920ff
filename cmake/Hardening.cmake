# Hardening beyond the compiler's defaults: checked buffer functions for every object, and
# velmora_release_binary(<target>) for the installed programs.
#
# Relocations are all resolved at start (-z now), so that with RELRO the whole table of imported
# functions becomes read-only before any input is read. The .comment section (the compilers'
# version strings) and the bare .note section say nothing at run time and are removed after the
# link; the build id and debug information stay.
option(VELMORA_FORTIFY "Compile with _FORTIFY_SOURCE=2: buffer functions checked where sizes are known" ON)
if(VELMORA_FORTIFY AND NOT VELMORA_SANITIZE AND NOT VELMORA_TSAN)
    # It needs optimisation, so Debug builds go without.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()

find_program(VELMORA_OBJCOPY NAMES objcopy ${CMAKE_OBJCOPY})

function(velmora_release_binary target)
    target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
    if(VELMORA_OBJCOPY)
        add_custom_command(
            TARGET ${target} POST_BUILD
            COMMAND ${VELMORA_OBJCOPY} --remove-section=.comment --remove-section=.note $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()

# Helpers for Huvolo's own targets.

include(GenerateExportHeader)

# Warnings for our own code; errors only in our own build and CI
# (HUVOLO_WERROR), never in a project that builds us as a part.
function(huvolo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${HUVOLO_WERROR}>:-Werror>)
endfunction()

# The host's private headers, for the program, the controls and the tests;
# they are not installed.
set(HUVOLO_HOST_PRIVATE_DIR "${PROJECT_SOURCE_DIR}/host")

# huvolo_library(TARGET NAME EXPORT_NAME HEADERS...): a shared library
# libhuvolo-NAME.so.MAJOR with its public headers under <Huvolo/...>, an
# export header <Huvolo/NAMEexport.h> defining HUVOLO_<NAME>_EXPORT, hidden
# symbols by default, and the alias Huvolo::EXPORT_NAME.
function(huvolo_library target name export_name)
    set(generated "${CMAKE_CURRENT_BINARY_DIR}/include")
    string(TOUPPER "HUVOLO_${name}" base)
    generate_export_header(${target} BASE_NAME ${base}
        EXPORT_FILE_NAME "${generated}/Huvolo/${name}export.h")
    target_sources(${target} PUBLIC FILE_SET HEADERS
        BASE_DIRS include "${generated}"
        FILES ${ARGN} "${generated}/Huvolo/${name}export.h")
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME huvolo-${name}
        EXPORT_NAME ${export_name}
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_features(${target} PUBLIC cxx_std_20)
    add_library(Huvolo::${export_name} ALIAS ${target})
    huvolo_warnings(${target})
endfunction()

# huvolo_embed_picture(TARGET SYMBOL FORMAT FILE): compiles the picture FILE
# into TARGET as huvolo::embedded::SYMBOL, pixels ready to show (FORMAT rgb32
# for opaque pictures, argb32pm for pictures with transparent pixels).
function(huvolo_embed_picture target symbol format file)
    get_filename_component(input "${file}" ABSOLUTE)
    set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded_${symbol}.cpp")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:huvolo-embed> ${symbol} ${format} "${input}" "${output}"
        DEPENDS huvolo-embed "${input}"
        COMMENT "Embedding ${file}"
        VERBATIM)
    target_sources(${target} PRIVATE "${output}")
endfunction()

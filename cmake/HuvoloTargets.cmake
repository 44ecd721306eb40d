# Helpers for Huvolo's own targets.

include(GenerateExportHeader)

# Warnings for our own code; errors only in our own build and CI
# (HUVOLO_WERROR), never in a project that builds us as a part.
function(huvolo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${HUVOLO_WERROR}>:-Werror>)
endfunction()

# huvolo_library(TARGET NAME EXPORT_NAME HEADERS headers... SOURCES sources...
#                [PUBLIC_LINKS deps...]): one library built twice from the same
# objects.
#   TARGET          the shared library libhuvolo-NAME.so.MAJOR that other
#                   projects use (Huvolo::EXPORT_NAME), installed with its
#                   public headers under <Huvolo/...>;
#   TARGET_static   the same code as a static library, which the program and
#                   the tests link, so starting the program costs no extra
#                   dynamic linking;
#   TARGET_objects  the compiled sources both are made of.
# Symbols are hidden unless exported with HUVOLO_<NAME>_EXPORT from the
# generated <Huvolo/NAMEexport.h>. PUBLIC_LINKS are Huvolo libraries this one
# builds on, by their TARGET name.
function(huvolo_library target name export_name)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "HEADERS;SOURCES;PUBLIC_LINKS")
    set(generated "${CMAKE_CURRENT_BINARY_DIR}/include")
    set(include_dirs
        "$<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>"
        "$<BUILD_INTERFACE:${generated}>")

    add_library(${target}_objects OBJECT ${arg_SOURCES} ${arg_HEADERS})
    set_target_properties(${target}_objects PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_definitions(${target}_objects PRIVATE ${target}_EXPORTS)
    target_include_directories(${target}_objects PUBLIC ${include_dirs})
    target_compile_features(${target}_objects PUBLIC cxx_std_20)
    target_link_libraries(${target}_objects PUBLIC Qt6::Widgets)
    foreach(dep IN LISTS arg_PUBLIC_LINKS)
        target_link_libraries(${target}_objects PUBLIC ${dep}_static)
    endforeach()
    huvolo_warnings(${target}_objects)

    add_library(${target} SHARED $<TARGET_OBJECTS:${target}_objects>)
    generate_export_header(${target} BASE_NAME "HUVOLO_${name}"
        EXPORT_FILE_NAME "${generated}/Huvolo/${name}export.h")
    target_sources(${target} PUBLIC FILE_SET HEADERS
        BASE_DIRS include "${generated}"
        FILES ${arg_HEADERS} "${generated}/Huvolo/${name}export.h")
    set_target_properties(${target} PROPERTIES
        AUTOMOC OFF
        OUTPUT_NAME huvolo-${name}
        EXPORT_NAME ${export_name}
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_link_libraries(${target} PUBLIC Qt6::Widgets ${arg_PUBLIC_LINKS})
    add_library(Huvolo::${export_name} ALIAS ${target})

    add_library(${target}_static STATIC $<TARGET_OBJECTS:${target}_objects>)
    set_target_properties(${target}_static PROPERTIES AUTOMOC OFF)
    target_include_directories(${target}_static PUBLIC ${include_dirs})
    target_compile_features(${target}_static PUBLIC cxx_std_20)
    target_link_libraries(${target}_static PUBLIC Qt6::Widgets)
    foreach(dep IN LISTS arg_PUBLIC_LINKS)
        target_link_libraries(${target}_static PUBLIC ${dep}_static)
    endforeach()
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

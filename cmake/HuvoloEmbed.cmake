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

# Checks huvolo_changelog_date against date(1) on days either side of the
# turns of months and years, leap days and century years included.
# Usage: cmake -DSOURCE_DIR=... -P changelog_date.cmake
include(${SOURCE_DIR}/cmake/ChangelogDate.cmake)

set(failures 0)
foreach(day 2026-12-08 1999-12-31 2000-01-01 2000-02-29 2000-03-01 2027-01-31 2027-02-28
            2027-03-01 2028-02-29 2028-03-01 2100-02-28 2100-03-01 2026-06-15 2026-10-31)
    huvolo_changelog_date(${day} got)
    execute_process(COMMAND env LC_ALL=C date -u -d ${day} "+%a, %d %b %Y 00:00:00 +0000"
        OUTPUT_VARIABLE want OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT got STREQUAL want)
        message("FAIL: ${day} gives '${got}', date(1) says '${want}'")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} dates wrong")
endif()
message("ok: changelog dates agree with date(1)")

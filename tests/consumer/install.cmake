# cmake -D BUILD_DIR=... -D PREFIX=... -P install.cmake
# Installs Huvolo's build into an empty prefix, so that what the consumer
# finds there is exactly what an install holds today.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    OUTPUT_QUIET
    COMMAND_ERROR_IS_FATAL ANY)

# cmake -D SOURCE=... -D BINARY=... -D GENERATOR=... -D COMPILER=... -D BUILD_TYPE=...
#       -D CXX_FLAGS=... -D LINK_FLAGS=... -D SETTING=-DNAME=value -P build.cmake
# Configures and builds a consumer project, as its own developer would.
execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${BINARY}" -G "${GENERATOR}"
        "-DCMAKE_CXX_COMPILER=${COMPILER}" "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}"
        "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}" "${SETTING}"
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BINARY}" --parallel 2
    COMMAND_ERROR_IS_FATAL ANY)

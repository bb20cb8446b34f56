cmake_minimum_required(VERSION 3.25)
# Fails when a source file of the program, the benchmarks or the fuzz targets does not
# follow .clang-format. Run by CTest:
#   cmake -DCLANG_FORMAT=<tool> -DSOURCE_DIR=<repository> -P LayoutCheck.cmake
file(GLOB_RECURSE files "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/bench/*.cpp"
     "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/fuzz/*.cpp" "${SOURCE_DIR}/fuzz/*.h")
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${files}
                RESULT_VARIABLE result ERROR_VARIABLE report)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Files that do not follow .clang-format (run clang-format -i on them):\n${report}")
endif()
message(STATUS "Every source file follows .clang-format")

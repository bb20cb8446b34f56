# Compiler settings shared by every VORN target.
add_library(vorn_options INTERFACE)
target_compile_features(vorn_options INTERFACE cxx_std_20)
target_compile_options(vorn_options INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual)
if(VORN_WERROR)
    target_compile_options(vorn_options INTERFACE -Werror)
endif()
target_compile_definitions(vorn_options INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    VORN_VERSION_STRING="${PROJECT_VERSION}"
    VORN_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    VORN_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    VORN_VERSION_PATCH=${PROJECT_VERSION_PATCH})

# Fuzzing: every core library carries libFuzzer's coverage hooks and the sanitizers;
# the fuzz targets add libFuzzer's main.
if(VORN_FUZZ)
    target_compile_options(vorn_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vorn_options INTERFACE -fsanitize=address,undefined)
elseif(VORN_SANITIZE)
    target_compile_options(vorn_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(vorn_options INTERFACE -fsanitize=address,undefined)
endif()

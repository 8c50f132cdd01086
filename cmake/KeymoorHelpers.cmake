# keymoor_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [TIMEOUT <seconds>])
#
# Builds one GoogleTest executable with the shared test main and registers its tests with ctest.
# Tests are discovered when ctest runs (not at build time), so a test binary that needs a display
# never runs during the build. GUI tests get a QApplication on the offscreen platform; the others a
# QCoreApplication. Every test process runs with its XDG folders pointed at a fresh temporary folder.
function(keymoor_add_test)
    cmake_parse_arguments(ARG "GUI" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    if(ARG_GUI)
        target_link_libraries(${ARG_NAME} PRIVATE keymoor_test_main_gui)
    else()
        target_link_libraries(${ARG_NAME} PRIVATE keymoor_test_main)
    endif()
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    gtest_discover_tests(${ARG_NAME}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# keymoor_add_benchmark(NAME <name> SOURCES <files...> LIBS <targets...>)
function(keymoor_add_benchmark)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# keymoor_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...> [SEEDS <globs...>])
#
# Builds one libFuzzer target under AddressSanitizer and UndefinedBehaviorSanitizer; undefined
# behaviour stops the run like a crash does. SEEDS are file globs under tests/data whose files start
# the fuzzer's corpus in scripts/fuzz. Every fuzzer is listed with its seeds in <build>/fuzzers.txt
# (written by fuzz/CMakeLists.txt), and the target keymoor_fuzzers builds them all.
function(keymoor_add_fuzzer)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS;SEEDS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_compile_options(${ARG_NAME} PRIVATE
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
    if(NOT TARGET keymoor_fuzzers)
        add_custom_target(keymoor_fuzzers)
    endif()
    add_dependencies(keymoor_fuzzers ${ARG_NAME})
    list(JOIN ARG_SEEDS " " seeds)
    set_property(GLOBAL APPEND PROPERTY KEYMOOR_FUZZERS "${ARG_NAME} ${seeds}")
endfunction()

# SPDX-License-Identifier: GPL-3.0-or-later
# quorven_add_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# One QtTest executable, registered with CTest under its own name.
function(quorven_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} Qt6::Test)
    target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${ARG_NAME} PRIVATE
        QUORVEN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QUORVEN_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set_tests_properties(${ARG_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0"
        TIMEOUT 600)
endfunction()

# quorven_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...> SEEDS <dir> SECONDS <n>)
# A libFuzzer target, run by CTest for SECONDS seconds from the seed corpus.
function(quorven_add_fuzzer)
    cmake_parse_arguments(ARG "" "NAME;SEEDS;SECONDS" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_compile_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}-corpus)
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${ARG_NAME}
             COMMAND ${ARG_NAME} -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=2048
                     -print_final_stats=1 ${work} ${ARG_SEEDS})
    set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT 900 LABELS fuzz)
endfunction()

# kavro_add_gtests(<target> <libraries...>): one GoogleTest executable from
# every .cpp file in the calling folder's tests/ subfolder.
function(kavro_add_gtests name)
    if(NOT KAVRO_BUILD_TESTS)
        return()
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
    # Scratch folders, whole files and the program runner, shared by the
    # tests of every folder.
    target_include_directories(${name} PRIVATE
        ${PROJECT_SOURCE_DIR}/common/tests)
    target_compile_definitions(${name} PRIVATE
        KAVRO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
        KAVRO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        KAVRO_ENGINE_DIR="${KAVRO_ENGINE_DIR}"
        KAVRO_PROGRAM_DIR="${KAVRO_PROGRAM_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8")
endfunction()

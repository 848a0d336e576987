# The fault-injection variant: the program built from the same sources and resources, with memory
# and window sources that fail on cue (see fault_injection.cpp). Test-only: it is never shipped.
add_executable(pebitness_fault_variant WIN32
    $<TARGET_OBJECTS:pebitness_app_entry>
    ${CMAKE_CURRENT_LIST_DIR}/fault_injection.cpp)
target_link_libraries(pebitness_fault_variant PRIVATE pebitness_app)
target_link_options(pebitness_fault_variant PRIVATE -municode)

# End-to-end tests of the fatal path, driving the variant with the shared support library.
add_executable(pebitness_fault_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/fault_e2e_test.cpp)
target_link_libraries(pebitness_fault_e2e_tests PRIVATE
    pebitness_e2e_support GTest::gtest_main)
target_compile_definitions(pebitness_fault_e2e_tests PRIVATE
    PEBITNESS_FAULT_VARIANT_EXE="$<TARGET_FILE:pebitness_fault_variant>")
add_dependencies(pebitness_fault_e2e_tests pebitness_fault_variant)
pebitness_add_e2e_tests(pebitness_fault_e2e_tests)

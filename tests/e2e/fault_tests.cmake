# The fault-injection variant: the program built from the same sources and resources, with memory
# and window sources that fail on cue (see fault_injection.cpp). Test-only: it is never shipped.
add_executable(pebitness_fault_variant WIN32
    $<TARGET_OBJECTS:pebitness_app_entry>
    ${CMAKE_CURRENT_LIST_DIR}/fault_injection.cpp)
target_link_libraries(pebitness_fault_variant PRIVATE pebitness_app)
target_link_options(pebitness_fault_variant PRIVATE -municode)

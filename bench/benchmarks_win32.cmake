# The Windows program's benchmarks, built in the 32-bit Windows cross build with
# -DTAGWRIGHT_BENCH=ON and run under Wine by bench/bench_win32.sh. Nothing of them goes into
# tagwright.exe. The probes carry tagwright.exe's manifest and resources, so that they start
# as it does.
set(program_resources ${PROJECT_BINARY_DIR}/win32/tagwright.rc)

add_executable(minimal_window_win32 WIN32 minimal_window_win32.cpp shown_report_win32.h)
target_compile_definitions(minimal_window_win32 PRIVATE UNICODE _UNICODE)

add_executable(tagwright_probe_win32 WIN32 tagwright_probe_win32.cpp shown_report_win32.h
                                           ${program_resources})
target_link_libraries(tagwright_probe_win32 PRIVATE win32_window)

add_executable(startup_bench_win32 startup_bench_win32.cpp)

add_executable(per_card_bench_win32 per_card_bench_win32.cpp ${program_resources})
target_link_libraries(per_card_bench_win32 PRIVATE win32_window)
add_dependencies(per_card_bench_win32 epcsdk)

set_target_properties(minimal_window_win32 tagwright_probe_win32 startup_bench_win32
    PROPERTIES LINK_OPTIONS -municode)

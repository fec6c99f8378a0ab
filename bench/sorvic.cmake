# Code lookups: Enter on a 100,000-record partner table.
vendra_add_benchmark(bench_sorvic ${CMAKE_CURRENT_LIST_DIR}/sorvic_lookup.cpp LIBS Sorvic)
target_include_directories(bench_sorvic PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)

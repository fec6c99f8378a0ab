# Ledger output: the report viewer's value and first paint, Page Down, and a long report to PDF.
vendra_add_benchmark(bench_tavrin ${CMAKE_CURRENT_LIST_DIR}/tavrin_viewer.cpp ${CMAKE_CURRENT_LIST_DIR}/tavrin_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tavrin_main.cpp LIBS Tavrin)

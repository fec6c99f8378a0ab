# Sheet list forms: opening a list of 10,000 sheets, GotoEnd, and Page Down from a real key event.
vendra_add_benchmark(bench_tessel_sheets ${CMAKE_CURRENT_LIST_DIR}/tessel_sheets.cpp LIBS Tessel Qt6::Test)

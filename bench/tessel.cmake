# Entry controls: grid value write, full redisplay, Down moves through the timer.
vendra_add_benchmark(bench_tessel ${CMAKE_CURRENT_LIST_DIR}/tessel_grid.cpp LIBS Tessel Qt6::Test)

# Web exchange: reading and writing JARRAY replies, against pugixml reading the same bytes.
find_package(pugixml REQUIRED)
vendra_add_benchmark(corvane_jarray_bench ${CMAKE_CURRENT_LIST_DIR}/corvane_jarray.cpp LIBS Corvane pugixml::pugixml)
vendra_add_benchmark(corvane_memory_bench ${CMAKE_CURRENT_LIST_DIR}/corvane_memory.cpp LIBS Corvane)

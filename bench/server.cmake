# Order server under load on loopback: ceiling, selects, durable updates and the raw store limit.
if(TARGET VendraServerRig)
  vendra_add_benchmark(bench_server ${CMAKE_CURRENT_LIST_DIR}/server_load.cpp LIBS VendraServerRig)
endif()

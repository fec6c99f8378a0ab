# Order server under load on loopback: ceiling, selects, durable updates and the raw store limit, and
# shops against the real binary.
if(TARGET VendraServerRig)
  find_package(Boost 1.74 REQUIRED)
  vendra_add_benchmark(bench_server ${CMAKE_CURRENT_LIST_DIR}/server_load.cpp ${CMAKE_CURRENT_LIST_DIR}/server_shops.cpp
    LIBS VendraServerRig Boost::headers)
  add_dependencies(bench_server vendra-server)
endif()

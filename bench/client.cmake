# Order client: "발주입력"'s date confirmed -> order window ready, against the real order server.
if(TARGET VendraClient)
  vendra_add_benchmark(bench_client ${CMAKE_CURRENT_LIST_DIR}/client_order.cpp LIBS VendraClient httplib::httplib)
  target_compile_definitions(bench_client PRIVATE VENDRA_SERVER_BIN="$<TARGET_FILE:vendra-server>")
  add_dependencies(bench_client vendra-server)
endif()

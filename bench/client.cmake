# Order client: "발주입력"'s date confirmed -> order window ready, against the real order server.
if(TARGET VendraClient)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(BENCH_CLIENT_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  vendra_add_benchmark(bench_client ${CMAKE_CURRENT_LIST_DIR}/client_order.cpp LIBS VendraClient PkgConfig::BENCH_CLIENT_HTTPLIB)
  target_compile_definitions(bench_client PRIVATE VENDRA_SERVER_BIN="$<TARGET_FILE:vendra-server>")
  add_dependencies(bench_client vendra-server)
endif()

vendra_add_benchmark(bench_ostrel_db ostrel_db.cpp LIBS Ostrel)

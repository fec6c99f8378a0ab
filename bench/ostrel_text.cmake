vendra_add_benchmark(bench_ostrel_text ostrel_text.cpp LIBS Ostrel)

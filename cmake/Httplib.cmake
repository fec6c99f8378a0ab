# cpp-httplib, found once for the order server, its tests and benchmarks and the HTTP peers of
# other tests: the imported target httplib::httplib. Debian's build is a compiled library whose
# pkg-config flags fix the class layout, so every user must take them from here.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(CPP_HTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
target_link_libraries(PkgConfig::CPP_HTTPLIB INTERFACE Threads::Threads)
add_library(httplib::httplib ALIAS PkgConfig::CPP_HTTPLIB)

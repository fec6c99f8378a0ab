#!/usr/bin/env bash
# Builds the Debian packages from a built tree with CPack, checks their control data and contents,
# unpacks them into a scratch root (dpkg -x), runs the unpacked server and builds a consumer project
# against the unpacked development files.
#   package_check.sh BUILD_DIR SOURCE_DIR WORK_DIR CXX [CXX_FLAGS LINKER_FLAGS]   (the tree's own flags:
#   a sanitizer build's libraries need the consumer linked with the sanitizer runtime)
set -euo pipefail
build=$1 source=$2 work=$3 cxx=$4 cxxflags=${5:-} linkflags=${6:-}
rm -rf "$work"
mkdir -p "$work/debs" "$work/root"
fail() { echo "package check: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/debs" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)

# package, what its Depends must name, files it must hold (as dpkg-deb -c prints them, without "./")
check() {
  local name=$1 depends=$2
  shift 2
  local deb=$work/debs/${name}_${version}-1_${arch}.deb
  [[ -f $deb ]] || fail "no $(basename "$deb") among: $(ls "$work/debs")"
  dpkg-deb --info "$deb" >"$work/$name.info" || fail "$name: dpkg-deb --info fails"
  [[ $(dpkg-deb -f "$deb" Package) == "$name" ]] || fail "$name: wrong Package field"
  [[ $(dpkg-deb -f "$deb" Version) == "$version-1" ]] || fail "$name: wrong Version field"
  [[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "$name: wrong Architecture field"
  for field in Maintainer Description Section Priority; do
    [[ -n $(dpkg-deb -f "$deb" "$field") ]] || fail "$name: no $field field"
  done
  local deps
  deps=$(dpkg-deb -f "$deb" Depends)
  for d in $depends; do
    grep -Eq "(^|, )$d( |,|$)" <<<"$deps" || fail "$name: Depends lacks $d: $deps"
  done
  dpkg-deb -c "$deb" >"$work/$name.contents"
  for f in "$@"; do
    grep -q " \./$f\( \|$\)" "$work/$name.contents" || fail "$name: no $f in the package"
  done
  # Every file owned by root, and nothing outside the system's own folders (no build paths).
  ! awk '$2 != "root/root"' "$work/$name.contents" | grep . || fail "$name: files not owned by root"
  ! awk '{print $6}' "$work/$name.contents" | grep -Ev '^\./($|usr/|etc/)' ||
    fail "$name: files outside /usr and /etc"
  ! grep -q "$build\|/usr/local" "$work/$name.contents" || fail "$name: a build or /usr/local path"
  dpkg -x "$deb" "$work/root"
}

libdir=$(cd "$build" && sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' CMakeCache.txt)
lib=usr/$libdir
check libvendra0 "libc6 libqt6core6 libcurl4 libsqlite3-0" "$lib/libOstrel.so.0" "$lib/libCorvane.so.0"
check libvendra-dev "libvendra0 qt6-base-dev" "$lib/libOstrel.so" "$lib/cmake/Vendra/VendraConfig.cmake" \
  "$lib/cmake/Vendra/VendraTargets.cmake" usr/include/ostrel/Variant.h usr/include/corvane/fncGetAndPost.h
check vendra "libvendra0 libqt6widgets6" usr/bin/vendra
check vendra-server "libvendra0 libsodium23 libpqxx-[0-9.]+ passwd" usr/bin/vendra-server \
  usr/lib/systemd/system/vendra-server@.service etc/vendra-server/vendra-server.conf

# The runtime package is the one with shared objects: it must announce them and run ldconfig.
dpkg-deb -e "$work/debs/libvendra0_${version}-1_${arch}.deb" "$work/libs-control"
[[ -s $work/libs-control/shlibs ]] || fail "libvendra0: no shlibs control file"
# The server: its options file is a conffile, and its maintainer scripts are valid shell.
ctrl=$work/server-control
dpkg-deb -e "$work/debs/vendra-server_${version}-1_${arch}.deb" "$ctrl"
grep -qx /etc/vendra-server/vendra-server.conf "$ctrl/conffiles" || fail "vendra-server: options file not a conffile"
for s in postinst prerm postrm; do
  [[ -x $ctrl/$s ]] || fail "vendra-server: no executable $s"
  sh -n "$ctrl/$s" || fail "vendra-server: $s is not valid shell"
done

# The unit as systemd reads it, pointed at the unpacked binary, and how much of the system it exposes
# (systemd's score, 0 to 10, as tenths: 1.5 is 15; "OK" ends below 5).
unit=$work/unit/vendra-server@.service
mkdir -p "$work/unit"
sed "s|/usr/bin/vendra-server|$work/root/usr/bin/vendra-server|" \
  "$work/root/usr/lib/systemd/system/vendra-server@.service" >"$unit"
verify=$(systemd-analyze verify --man=no "$work/unit/vendra-server@8081.service" 2>&1) || fail "unit: $verify"
[[ -z $verify ]] || fail "unit: $verify"
systemd-analyze security --offline=true --threshold=20 "$work/unit/vendra-server@8081.service" \
  >"$work/unit/security.txt" ||
  fail "unit exposes more than 2.0: $(tail -1 "$work/unit/security.txt")"

# The unpacked programs find every library they need in the scratch root and the system.
export LD_LIBRARY_PATH=$work/root/$lib
for exe in usr/bin/vendra usr/bin/vendra-server; do
  libraries=$(ldd "$work/root/$exe")
  ! grep 'not found' <<<"$libraries" || fail "$exe: a library is missing"
  grep -q "$work/root/$lib/libOstrel.so.0" <<<"$libraries" || fail "$exe: does not use the unpacked libraries"
done
help=$("$work/root/usr/bin/vendra-server" --help) || fail "vendra-server --help failed"
grep -q '^usage: vendra-server' <<<"$help" || fail "vendra-server --help printed no usage: $help"

# An outside project against the unpacked development files.
cmake -S "$source/tests/consumer/project" -B "$work/consumer" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$linkflags" \
  -DCMAKE_PREFIX_PATH="$work/root/usr" >"$work/consumer.log" 2>&1 ||
  { cat "$work/consumer.log"; fail "consumer configure"; }
grep -q "Vendra_DIR:PATH=$work/root/$lib/cmake/Vendra" "$work/consumer/CMakeCache.txt" ||
  fail "consumer found a Vendra package outside the scratch root"
cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "consumer build"; }
"$work/consumer/consumer" | grep -qx "consumer ok" || fail "consumer run"
echo "packages ok: $(cd "$work/debs" && ls -- *.deb | tr '\n' ' ')"

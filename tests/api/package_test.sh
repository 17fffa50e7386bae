#!/usr/bin/env bash
# The installed package as its users meet it: installed into a temporary
# prefix, only the public header is there, the shared library carries its
# versioned name, and consumers build and run against it each way: the CMake
# package (shared and static library), pkg-config, the C++ example of the
# embedding guide, and the Python clients (ctypes and `dravmor serve`).
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/dravmor-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
step() { echo "== $*"; }

step install
cmake --install "$build" --prefix "$prefix" >/dev/null
headers=$(cd "$prefix/include" && find . -type f)
[ "$headers" = "./dravmor2/dravmor.h" ] || { echo "installed headers: $headers"; exit 1; }
library=$(find "$prefix" -name 'libDravmor2.so.2' -print -quit)
readelf -d "$library" | grep -q 'SONAME.*\[libDravmor2\.so\.2\]'
"$prefix/bin/dravmor" --settings "$work/settings.json" init "$work/shop.db" >/dev/null

step "CMake package, shared library, and the C++ example"
cmake -S "$source/tests/api/consumer" -B "$work/shared" -DCMAKE_PREFIX_PATH="$prefix" \
  -DEMBED_EXAMPLE="$source/examples/embed/embed.cpp" >/dev/null
cmake --build "$work/shared" >/dev/null
"$work/shared/consumer" "$work/shop.db"
"$work/shared/embed" "$work/shop.db"

step "CMake package, static library"
cmake -S "$source/tests/api/consumer" -B "$work/static" -DCMAKE_PREFIX_PATH="$prefix" \
  -DDRAVMOR_STATIC=ON >/dev/null
cmake --build "$work/static" --target consumer >/dev/null
"$work/static/consumer" "$work/shop.db"

step pkg-config
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name dravmor2.pc -print -quit)")
export PKG_CONFIG_PATH
libdir=$(pkg-config --variable=libdir dravmor2)
# shellcheck disable=SC2046
cc "$source/tests/api/consumer/consumer.c" $(pkg-config --cflags --libs dravmor2) \
  -Wl,-rpath,"$libdir" -o "$work/pc_consumer"
"$work/pc_consumer" "$work/shop.db"

step "Python clients"
python3 "$source/tests/api/python_clients_test.py" "$prefix/bin/dravmor" "$library" \
  "$source/examples/python"

#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config \
  libsqlite3-dev libpq-dev libarchive-dev libicu-dev nlohmann-json3-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  postgresql sqlite3 ccache locales python3 >/dev/null
# A decimal-comma locale, for the test that numbers do not depend on it.
$SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8

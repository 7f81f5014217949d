#!/usr/bin/env bash
# Checks what a newcomer's fresh machine relies on, without changing this machine:
#   packages  tools/dev against a stubbed package manager: each command asks for its own
#             packages, only the missing ones, in one transaction; without root and sudo it
#             names them and the one root command, exits 3 and installs and builds nothing
#   help      the window's "Help" click reaches a viewer on Varnexhelp.chm through xdg-open
#             (a recording script stands in for the viewer)
#   names     every ctest entry has one readable name, the same from run to run
#   fuzz      every fuzzer has the dictionary and seeds that tools/dev fuzz passes it
# usage: check_setup.sh packages|help|names|fuzz SOURCE_DIR BUILD_DIR
set -uo pipefail
check=$1 SRC=$2 BUILD=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/varnex-check-setup.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
expect() { # expect DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
has_word() { grep -qxF -- "$2" <<<"$1"; }

# --- packages -----------------------------------------------------------------------------
# A PATH that holds only what tools/dev may call, so a real sudo or apt-get is never reached.
make_bare_path() {
  local bin=$WORK/bin tool
  mkdir -p "$bin"
  for tool in bash env dirname nproc awk mawk gawk grep cat sort head tr sed; do
    local real
    real=$(command -v "$tool" 2>/dev/null) && ln -sf "$real" "$bin/$tool"
  done
  # dpkg-query: the packages in $STUB_INSTALLED are installed, every other one is not
  cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
shift 2   # -W -f=FORMAT
for p in "$@"; do
  if grep -qxF "$p" "$STUB_INSTALLED" 2>/dev/null; then echo "$p install ok installed"
  else echo "dpkg-query: no packages found matching $p" >&2; fi
done
EOF
  # apt-get: records each call; "install" fails with $STUB_APT_INSTALL_RC
  cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB_LOG"
for a in "$@"; do [ "$a" = install ] && exit "${STUB_APT_INSTALL_RC:-0}"; done
exit 0
EOF
  cat >"$bin/id" <<'EOF'
#!/usr/bin/env bash
echo "$STUB_UID"
EOF
  chmod +x "$bin/dpkg-query" "$bin/apt-get" "$bin/id"
}

add_sudo() {
  cat >"$WORK/bin/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $*" >>"$STUB_LOG"
exec "$@"
EOF
  chmod +x "$WORK/bin/sudo"
}

# run_dev UID ARGS...: tools/dev on the bare PATH; sets out, rc, calls
run_dev() {
  local uid=$1; shift
  : >"$WORK/calls"
  out=$(env -i PATH="$WORK/bin" HOME="$WORK" STUB_UID="$uid" STUB_LOG="$WORK/calls" \
        STUB_INSTALLED="$WORK/installed" STUB_APT_INSTALL_RC="${APT_RC:-0}" \
        VARNEX_BUILD_DIR="$WORK/build" bash "$SRC/tools/dev" "$@" 2>&1)
  rc=$?
  calls=$(cat "$WORK/calls")
}

# The packages the one install call asked for, one a line.
installed_by_call() { grep -E '(^| )apt-get .*install' <<<"$calls" | sed 's/.*--no-install-recommends //' | tr ' ' '\n'; }

check_packages() {
  make_bare_path
  : >"$WORK/installed"

  # A normal user without sudo on a fresh machine.
  run_dev 1000 test
  expect "no sudo: exits with status 3 (was $rc)" test "$rc" -eq 3
  expect "no sudo: nothing is installed" test -z "$calls"
  expect "no sudo: nothing is built" test ! -e "$WORK/build"
  expect "no sudo: names the missing packages" grep -q "these packages are missing: .*libgtest-dev" <<<"$out"
  expect "no sudo: gives the one command to run as root" \
    grep -qE "^  apt-get update && apt-get install -y --no-install-recommends .*qt6-base-dev" <<<"$out"
  expect "no sudo: no 'command not found'" bash -c '! grep -q "not found" <<<"$1"' _ "$out"

  # The same user with sudo: one update, one install, both through sudo.
  add_sudo
  run_dev 1000 install test
  expect "sudo: succeeds (was $rc)" test "$rc" -eq 0
  expect "sudo: apt-get runs through sudo" grep -q "^sudo apt-get update" <<<"$calls"
  expect "sudo: one install transaction" test "$(grep -c '^apt-get .*install' <<<"$calls")" -eq 1
  rm -f "$WORK/bin/sudo"

  # root: what each command asks for on a machine that has nothing yet.
  local cmd
  declare -A asked
  for cmd in run test bench fuzz package; do
    run_dev 0 install "$cmd"
    expect "root, $cmd: succeeds (was $rc)" test "$rc" -eq 0
    expect "root, $cmd: installs without sudo" bash -c '! grep -q "^sudo" <<<"$1"' _ "$calls"
    asked[$cmd]=$(installed_by_call)
  done
  local p
  for p in cmake g++ qt6-base-dev libjpeg-dev fonts-dseg; do
    for cmd in run test bench fuzz package; do
      expect "$cmd needs $p" has_word "${asked[$cmd]}" "$p"
    done
  done
  # the help path: a compiler for the help file, a viewer, and xdg-open with `file` to type it
  for p in fp-utils xchm xdg-utils file; do expect "run needs $p" has_word "${asked[run]}" "$p"; done
  for p in libgtest-dev libgmock-dev libbenchmark-dev poppler-utils libsqlite3-dev sqlite3 \
           libmosquitto-dev mosquitto qt6-svg-dev wine64 xdg-utils file; do
    expect "test needs $p" has_word "${asked[test]}" "$p"
  done
  for p in clang libclang-rt-14-dev fp-utils xchm xvfb xauth; do
    expect "test does not pull $p" bash -c '! grep -qxF -- "$2" <<<"$1"' _ "${asked[test]}" "$p"
  done
  for p in clang libclang-rt-14-dev; do expect "fuzz needs $p" has_word "${asked[fuzz]}" "$p"; done
  expect "bench needs libbenchmark-dev" has_word "${asked[bench]}" libbenchmark-dev
  expect "bench does not pull libgtest-dev" bash -c '! grep -qxF libgtest-dev <<<"$1"' _ "${asked[bench]}"
  expect "package needs fp-utils" has_word "${asked[package]}" fp-utils
  for p in clang libgtest-dev; do
    expect "run does not pull $p" bash -c '! grep -qxF -- "$2" <<<"$1"' _ "${asked[run]}" "$p"
  done

  # Only what is missing is asked for; nothing missing, nothing asked.
  printf '%s\n' cmake qt6-base-dev xchm >"$WORK/installed"
  run_dev 0 install run
  expect "installed packages are not asked again" bash -c '! grep -qxE "cmake|qt6-base-dev|xchm" <<<"$1"' _ "$(installed_by_call)"
  printf '%s\n' ${asked[run]} >"$WORK/installed"
  run_dev 1000 install run
  expect "nothing missing: succeeds without root or sudo (was $rc)" test "$rc" -eq 0
  expect "nothing missing: apt-get is not called" test -z "$calls"

  # A failed installation stops before building, with status 4.
  : >"$WORK/installed"
  APT_RC=100 run_dev 0 test
  expect "failed install: exits with status 4 (was $rc)" test "$rc" -eq 4
  expect "failed install: nothing is built" test ! -e "$WORK/build"
  expect "failed install: says so" grep -q "installing the packages failed" <<<"$out"
}

# --- help ---------------------------------------------------------------------------------
check_help() {
  local click=$BUILD/bin/varnex_help_menu_click
  [ -x "$click" ] || { fail "$click is not built"; return; }
  command -v xdg-open >/dev/null || { fail "xdg-open is missing (package xdg-utils)"; return; }
  [ -x /usr/bin/file ] || { fail "/usr/bin/file is missing: xdg-open cannot tell the file's type"; return; }

  # The program's folder: the click helper and the help file beside it. Without the help
  # compiler (fp-utils, installed by tools/dev run) a file with the same header stands in.
  local bin=$WORK/program
  mkdir -p "$bin" "$WORK/viewer" "$WORK/home" "$WORK/runtime"
  chmod 700 "$WORK/runtime"
  cp "$click" "$bin/"
  if [ -f "$BUILD/bin/Varnexhelp.chm" ]; then
    cp "$BUILD/bin/Varnexhelp.chm" "$bin/"
    echo "help file: the compiled Varnexhelp.chm"
  else
    { printf 'ITSF\003\000\000\000\140\000\000\000\001\000\000\000'; head -c 4096 /dev/zero; } >"$bin/Varnexhelp.chm"
    echo "help file: a stand-in with the .chm header (fp-utils is not installed)"
  fi

  # The viewer's desktop entry: xchm's own when it is installed, else one like it.
  local data_dirs=/usr/local/share/:/usr/share/
  if [ ! -f /usr/share/applications/xchm.desktop ]; then
    mkdir -p "$WORK/share/applications"
    printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=xCHM' 'Exec=xchm %f' \
      'MimeType=application/x-chm;application/vnd.ms-htmlhelp;' >"$WORK/share/applications/xchm.desktop"
    data_dirs=$WORK/share
    echo "viewer entry: a stand-in for xchm.desktop (xchm is not installed)"
  else
    echo "viewer entry: /usr/share/applications/xchm.desktop"
  fi
  # xchm itself is replaced by a script that records what it was asked to open.
  cat >"$WORK/viewer/xchm" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$WORK/viewer.log"
EOF
  chmod +x "$WORK/viewer/xchm"

  # A desktop session without a desktop environment: a display is named (nothing connects to
  # it), Qt's generic Unix services call xdg-open, as under X11 or Wayland. The offscreen
  # platform of the other tests opens no documents; the VNC platform shares the services of
  # X11 and draws into memory (it listens on a free port while it runs; nobody connects).
  env -i PATH="$WORK/viewer:/usr/local/bin:/usr/bin:/bin" HOME="$WORK/home" DISPLAY=:99 \
      XDG_RUNTIME_DIR="$WORK/runtime" XDG_DATA_DIRS="$data_dirs" XDG_CONFIG_DIRS="$WORK/home" \
      QT_QPA_PLATFORM=vnc:port=0 "$bin/varnex_help_menu_click" >"$WORK/click.out" 2>&1
  local rc=$?
  expect "the window's Help was clicked (status $rc)" test "$rc" -eq 0
  local waited=0
  while [ ! -s "$WORK/viewer.log" ] && [ $waited -lt 100 ]; do sleep 0.1; waited=$((waited + 1)); done
  if [ -s "$WORK/viewer.log" ]; then
    expect "the viewer opened Varnexhelp.chm beside the program" \
      test "$(cat "$WORK/viewer.log")" = "$bin/Varnexhelp.chm"
  else
    fail "no viewer was started; the program said:"
    sed 's/^/  /' "$WORK/click.out"
  fi
}

# --- names --------------------------------------------------------------------------------
ctest_names() { ctest --test-dir "$BUILD" -N 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: //p'; }

check_names() {
  local first second
  first=$(ctest_names)
  second=$(ctest_names)
  expect "ctest lists the tests" test "$(wc -l <<<"$first")" -gt 100
  expect "the names are the same in a second listing" test "$first" = "$second"
  local dup
  dup=$(sort <<<"$first" | uniq -d)
  expect "no two entries share a name${dup:+: $dup}" test -z "$dup"
  # Typed cases carry their type: Suite.Case<varnex::testing::PosixPtyLine>.
  local raw
  raw=$(grep -E 'byte object|0x[0-9a-fA-F]{6,}|[^A-Za-z0-9_./<>:-]' <<<"$first" | head -5)
  expect "parameterised names are readable${raw:+: $raw}" test -z "$raw"
  expect "the locale test runs only with a locale (app_locale_*)" \
    bash -c '! grep -qx "app_StartState.DecimalSeparatorFollowsTheUsersLocale" <<<"$1" && grep -qx app_locale_comma <<<"$1"' _ "$first"
}

# --- fuzz ---------------------------------------------------------------------------------
check_fuzz() {
  local names name dict
  names=$(grep -ho 'varnex_add_fuzzer(fuzz_[A-Za-z0-9_]*' "$SRC"/fuzz/*/CMakeLists.txt | sed 's/.*(fuzz_//')
  expect "the tree has fuzzers" test -n "$names"
  for name in $names; do
    dict=$(ls "$SRC"/fuzz/*/"$name".dict 2>/dev/null | head -1)
    expect "fuzz_$name has fuzz/<area>/$name.dict" test -n "$dict"
    [ -n "$dict" ] || continue
    expect "fuzz_$name has seeds beside its dictionary" \
      test -n "$(ls -A "$(dirname "$dict")/seeds" 2>/dev/null)"
  done
  expect "tools/dev fuzz passes the dictionary" grep -q -- '-dict=\$dict' "$SRC/tools/dev"
}

case "$check" in
  packages) check_packages ;;
  help) check_help ;;
  names) check_names ;;
  fuzz) check_fuzz ;;
  *) echo "usage: check_setup.sh packages|help|names|fuzz SOURCE_DIR BUILD_DIR" >&2; exit 2 ;;
esac
echo "$failures failure(s)"
[ "$failures" -eq 0 ]

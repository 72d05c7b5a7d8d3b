#!/usr/bin/env bash
# scripts/install-deps against stand-ins for apt-get, dpkg and dpkg-query on PATH that
# act as a Debian machine would: an index that fails for a while, a package that cannot
# be installed, a host that does or does not execute 32-bit programs.
#   install_deps_test.sh TOP
set -uo pipefail
top=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

# The stand-ins keep their state in $STUB: installed (one package a line), calls
# (every command line), update-failures (how many more updates fail, or "always"),
# broken (packages apt cannot install).
make_stubs() {
  mkdir -p "$work/bin"
  cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB/calls"
case " $* " in
  *" update "*)
    left=$(cat "$STUB/update-failures" 2>/dev/null || echo 0)
    if [ "$left" = always ] || [ "$left" -gt 0 ]; then
      [ "$left" = always ] || echo $((left - 1)) >"$STUB/update-failures"
      echo "Err:4 http://deb.example/debian-security bookworm-security/main i386 Packages"
      echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi
    echo "Reading package lists..."; exit 0 ;;
  *" install "*)
    for p in "$@"; do
      if grep -qx -- "$p" "$STUB/broken" 2>/dev/null; then
        echo "Some packages could not be installed."
        echo "The following packages have unmet dependencies:"
        echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    for p in "$@"; do case $p in -*|install) ;; *) echo "$p" >>"$STUB/installed" ;; esac; done
    exit 0 ;;
esac
exit 0
STUB
  cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
pkg=${!#}
if [ "$2" = '${Package}:${Architecture}\n' ]; then
  sed -n 's/^\(.*:i386\)$/\1/p' "$STUB/installed" 2>/dev/null; exit 0
fi
grep -qx -- "$pkg" "$STUB/installed" 2>/dev/null || exit 1
printf 'install ok installed'
STUB
  cat >"$work/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STUB/calls"
STUB
  cat >"$work/bin/locale" <<'STUB'
#!/usr/bin/env bash
echo zh_CN.utf8
STUB
  printf '#!/usr/bin/env bash\n"$@"\n' >"$work/bin/sudo"
  chmod +x "$work/bin"/*
}

# A fresh machine: nothing of the project's installed, no calls yet.
fresh() { # host executes i386: yes|no
  export STUB=$work/stub.$RANDOM
  mkdir -p "$STUB"
  export QALOMIR_HOST_EXECUTES_I386=$1 QALOMIR_INSTALL_STATE=$STUB/state
  export QALOMIR_APT_PAUSE=0 QALOMIR_APT_TRIES=3
  unset QALOMIR_ARCH
}
run_install() { # args...; output in $out, status in $rc
  rc=0
  out=$(PATH="$work/bin:$PATH" "$top/scripts/install-deps" "$@" 2>&1) || rc=$?
}
calls() { grep -c -- "$1" "$STUB/calls" 2>/dev/null || true; }

check() { # description, condition...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else
    failed=$((failed + 1))
    echo "FAILED: $what"
    echo "  output: $out"
    echo "  calls: $(tr '\n' '|' <"$STUB/calls" 2>/dev/null)"
  fi
}
has() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qF -- "$2" <<<"$1"; }

make_stubs

# An index that fails once: the second update goes through, everything installs.
fresh no; echo 1 >"$STUB/update-failures"
run_install
check "update retried after one failure" [ "$(calls 'apt-get update')" = 2 ]
check "update retried: exit 0" [ "$rc" = 0 ]
check "update retried: no complaint" lacks "$out" "update failed"
check "update retried: packages installed" grep -qx wine64 "$STUB/installed"

# An index that always fails: the install goes on with the lists apt has and says
# which index failed.
fresh no; echo always >"$STUB/update-failures"
run_install
check "failing index: tried three times" [ "$(calls 'apt-get update')" = 3 ]
check "failing index: exit 0" [ "$rc" = 0 ]
check "failing index: named" has "$out" "apt-get update failed 3 times; going on with the lists apt has. Failed: http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz (File has unexpected size (374820 != 376004). Mirror sync in progress?)"
check "failing index: packages still installed" grep -qx libclang-dev "$STUB/installed"

# A needed package that cannot be installed: one line with the packages, apt's reason
# and the log, and a non-zero status.
fresh no; echo mdbtools >"$STUB/broken"
run_install
check "broken package: non-zero status" [ "$rc" != 0 ]
last=$(tail -n 1 <<<"$out")
check "broken package: one line" [ "$(grep -c 'install-deps: cannot install' <<<"$out")" = 1 ]
check "broken package: names packages and reason" has "$last" "mdbtools"
check "broken package: apt's reason" has "$last" "Unable to correct problems, you have held broken packages.: libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable"
check "broken package: names the log" has "$last" "full log: $STUB/state/apt.log"
check "broken package: the log holds apt's output" grep -q "The following packages have unmet dependencies" "$STUB/state/apt.log"
check "broken package: no apt chatter on the terminal" lacks "$out" "The following packages"

# The package list per host kind: nothing of i386 where the kernel runs no 32-bit program.
fresh no
run_install run
check "64-bit-only host: no i386 architecture" [ "$(calls 'add-architecture')" = 0 ]
check "64-bit-only host: no :i386 package" [ "$(grep -c ':i386' "$STUB/calls")" = 0 ]
check "run: no test-only package" [ "$(grep -c 'mdbtools\|libclang-dev' "$STUB/calls")" = 0 ]
check "run: what runs the program" has "$(cat "$STUB/calls")" "wine64"
fresh yes
run_install run
check "32-bit host: i386 architecture added" [ "$(calls 'dpkg --add-architecture i386')" = 1 ]
check "32-bit host: wine32:i386 installed" grep -qx 'wine32:i386' "$STUB/installed"
check "32-bit host: nothing else of i386 asked for" [ "$(grep -o '[^ ]*:i386' "$STUB/calls" | sort -u)" = "wine32:i386" ]
fresh yes; export QALOMIR_ARCH=x86_64
run_install run
check "QALOMIR_ARCH=x86_64: no i386 package" [ "$(grep -c ':i386' "$STUB/calls")" = 0 ]
unset QALOMIR_ARCH

# A host that executes 32-bit programs where wine32:i386 cannot be installed: the rest
# installs, the architecture is taken back, and the x86_64 build runs, saying why.
fresh yes; echo 'wine32:i386' >"$STUB/broken"
run_install run
check "no wine32: exit 0" [ "$rc" = 0 ]
check "no wine32: the rest installed" grep -qx wine64 "$STUB/installed"
check "no wine32: says so" has "$out" "install-deps: wine32:i386 could not be installed: Unable to correct problems"
check "no wine32: architecture taken back" [ "$(calls 'dpkg --remove-architecture i386')" = 1 ]
line=$(PATH="$work/bin:$PATH" bash -c '. "$1/scripts/architectures"; qalomir_run_line "$(qalomir_run_arch)"' _ "$top")
check "no wine32: the run line" [ "$line" = "Qalomir runs as the x86_64 build (dist-x64/qalomir.exe): i686 not run: wine32:i386 could not be installed: Unable to correct problems, you have held broken packages.: libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable" ]
refusal=$(PATH="$work/bin:$PATH" QALOMIR_ARCH=i686 bash -c '. "$1/scripts/architectures"; qalomir_run_arch' _ "$top" 2>&1); status=$?
check "no wine32: QALOMIR_ARCH=i686 fails" [ "$status" != 0 ]
check "no wine32: QALOMIR_ARCH=i686 says why" has "$refusal" "i686 Windows programs cannot run here: wine32:i386 could not be installed: Unable to correct problems"
# Within the hour the next command does not try again, and says the same.
: >"$STUB/calls"
run_install run
check "no wine32: not tried again at once" [ "$(grep -c ':i386' "$STUB/calls")" = 0 ]

# Nothing missing: no apt at all.
fresh no
run_install; : >"$STUB/calls"; run_install
check "nothing missing: no apt-get" [ ! -s "$STUB/calls" ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# The end-to-end tests' check of their commands: a missing command fails the
# test and names the Debian package to install, and a command that the
# installer does not know fails even where it happens to be installed.
E2E_DISPLAY=none source "$(dirname "$0")/lib.sh"
empty=$(mktemp -d)
at_exit 'rm -rf "$empty"'

# expect_need WANT_RC WANT_TEXT [PATH] COMMAND: `need COMMAND` in a subshell.
expect_need() {
    local rc=0 out
    out=$(PATH=${3:-$PATH} need "$4" 2>&1) || rc=$?
    [[ $rc -eq $1 ]] || fail "need $4: exit code $rc, want $1 ($out)"
    [[ "$out" == *"$2"* ]] || fail "need $4: said '$out', want '$2'"
}

expect_need 1 "missing command 'xprop': install the Debian package 'x11-utils'" "$empty" xprop
expect_need 1 "command 'surely-no-such-tool' is in no package set" "" surely-no-such-tool
expect_need 0 "" "" make
echo "ok: missing and unknown commands named, known ones pass"

# The installer's sets are its own: an exported variable named like a set
# neither adds a set (that would install its packages as root) nor lends a
# command a package.
expect_sets() { # WANT_RC WANT_TEXT VAR=VALUE ARG...: install-deps with VAR exported
    local rc=0 out want_rc=$1 want=$2 var=$3
    shift 3
    out=$(env "$var" "$BASH" "$E2E_ROOT/scripts/install-deps" "$@" 2>&1) || rc=$?
    [[ $rc -eq $want_rc && "$out" == *"$want"* ]] ||
        fail "install-deps $* with $var exported: exit code $rc, said '$out', want $want_rc and '$want'"
}
expect_sets 2 "usage:" evil_packages=make --evil
expect_sets 1 "no package known" evil_commands=surely-no-such-tool:evil-package --package-of surely-no-such-tool
echo "ok: exported look-alikes add no set"

#!/usr/bin/env bash
# scripts/check-fresh-debian against a commit that turns on its host: its
# `make test` tries, as the newcomer and as root through sudo, to write a
# marker into a host folder anyone may write to and to read a host file
# anyone may read, straight, through every /proc/<pid>/root and cwd (pid 1
# included), and by a chroot escape. The check must fail the commit (its
# make test fails on purpose) with no marker on the host, the file unread and
# no mount left; and --inside must refuse to start outside its namespace.
# Then a commit whose tests run on: the check, killed with SIGKILL, must take
# every process of the container with it and leave no mount (the next run
# removes the layer it leaves).
# Root or sudo; uses the cached root (built on the first run).
set -euo pipefail
# As root: killing a sudo would not reach the check it started.
[[ $(id -u) -eq 0 ]] || exec sudo -- "$0" "$@"
repo=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

host=$(mktemp -d /tmp/duobrik-host.XXXXXX)
clone=$(mktemp -d)
out=$(mktemp)
trap 'rm -rf "$host" "$clone" "$out"' EXIT
chmod 0777 "$host"
secret=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
echo "$secret" >"$host/secret"
chmod 0644 "$host/secret"

git clone -q "$repo" "$clone/duobrik"
cd "$clone/duobrik"
cat >hostile.sh <<EOF
host=$host
who=\$1
mkdir -p "\$host" && echo "\$who" >"\$host/marker-\$who"
cat "\$host/secret"
for r in /proc/[0-9]*/root /proc/[0-9]*/cwd; do
    cat "\$r\$host/secret"
    echo "\$who" >"\$r\$host/marker-\$who-proc"
done
if [[ \$who == root ]]; then
    perl -e 'my (\$s, \$m); mkdir "/escape"; chroot "/escape" or die "chroot: \$!";
        chdir ".." for 1 .. 64; chroot "." or die "chroot: \$!";
        open(\$s, "<", "\$ARGV[0]/secret") ? print <\$s> : print "escape: no secret: \$!\n";
        open(\$m, ">", "\$ARGV[0]/marker-escape") ? print \$m "escaped\n" : print "escape: no marker: \$!\n"' "\$host"
    mknod /disk b 8 0 && mount /disk /mnt
fi
echo "hostile: tried as \$who"
exit 0
EOF
printf 'test:\n\tbash hostile.sh newcomer\n\tsudo bash hostile.sh root\n\texit 1\n' >Makefile
git add hostile.sh Makefile
git -c user.name=hostile -c user.email=hostile@invalid commit -q -m "Tests that reach for the host"

rc=0
"$repo/scripts/check-fresh-debian" --repo "$clone/duobrik" HEAD >"$out" 2>&1 || rc=$?
log=$(sed -n 's/.*(all output in \(.*\))$/\1/p' "$out")
[[ -n "$log" ]] && rm -f "$log"
((rc != 0)) || fail "the hostile commit passed: $(cat "$out")"
grep -q 'hostile: tried as newcomer' "$out" || fail "the newcomer's attempts did not run: $(cat "$out")"
grep -q 'hostile: tried as root' "$out" || fail "root's attempts did not run: $(cat "$out")"
! grep -q "$secret" "$out" || fail "the host file was read from inside the root"
[[ "$(ls -A "$host")" == secret ]] || fail "written on the host: $(ls -A "$host")"
! grep -q duobrik /proc/self/mountinfo || fail "mounts left: $(grep duobrik /proc/self/mountinfo)"
echo "ok: a hostile commit's tests neither wrote nor read outside the root"

rc=0
inside=$("$repo/scripts/check-fresh-debian" --inside "$host" /nonexistent /nonexistent 1 0 2>&1) || rc=$?
[[ $rc -eq 2 && "$inside" == *"runs only in the mount namespace"* ]] ||
    fail "--inside in this namespace: exit code $rc, said '$inside'"
! grep -q "$host" /proc/self/mountinfo || fail "--inside mounted in this namespace"
echo "ok: --inside refuses to run outside its namespace"

# The uid outside of root inside, from the script itself.
ns_base=$(sed -n 's/^ns_base=\([0-9]*\)$/\1/p' "$repo/scripts/check-fresh-debian")
container_pids() { ps -e -o pid=,uid=,comm= | awk -v base="$ns_base" -v comm="${1:-}" '
    $2 >= base && $2 < base + 65536 && (comm == "" || $3 == comm) { print $1 }'; }
poll() { # poll WHAT CMD...: 60 s at most
    local what=$1 end=$((SECONDS + 60))
    shift
    until "$@"; do
        ((SECONDS < end)) || fail "no $what within 60 s"
        sleep 0.2
    done
}
[[ -z "$(container_pids)" ]] || fail "a container runs already: $(container_pids)"
printf 'test:\n\tsleep 600\n' >Makefile
git -c user.name=hostile -c user.email=hostile@invalid commit -q -am "Tests that never end"
"$repo/scripts/check-fresh-debian" --repo "$clone/duobrik" HEAD >/dev/null 2>&1 &
check=$!
testing() { [[ -n "$(container_pids sleep)" ]]; }
poll "make test running in the container" testing
kill -KILL "$check"
{ wait "$check"; } 2>/dev/null || true
gone() { [[ -z "$(container_pids)" ]]; }
poll "end of the container's processes after SIGKILL" gone
! grep -q duobrik /proc/self/mountinfo || fail "mounts left after SIGKILL"
echo "ok: SIGKILL ends the container and leaves no mount"

#!/bin/sh
# Runs one command as kolvenv's tests need it: in the sandbox directory, laid out as a user's
# world, with the sandbox's environment and nothing else, no input, and the output and errors
# written to the files out and err of the sandbox. Exits with the command's status.
#
#   kolvenv-sandbox.sh SANDBOX [VARIABLE=VALUE...] COMMAND [ARGS...]
#
# Two options may stand anywhere after SANDBOX: --gone runs the command in a working directory
# that has been removed; --full gives it a standard output that cannot be written (a full disk).
# The variables are set after the
# sandbox's own (HOME=., TMPDIR=tmp, PATH=inst/bin:/usr/bin:/bin, and an ASAN_OPTIONS that lets a
# library preloaded into a sanitizer build come before the sanitizer's runtime) and so override
# them. The sandbox holds the user's own preferences file, which the command must leave as it
# was: when it does not, the script says so on the command's standard error.

set -e
cd "$1"
shift
# The user's preferences file is named by the login (the script stops here without one).
own="$PWD/kolv_$(id -un).ini"
printf '# the user'\''s own\nPathList = extra\nOther = 1\n' >"$own"
cp "$own" .own

# A temporary directory; the installation (a directory among its programs, its Python
# directory); a directory outside it for a program; a lock directory for the database m.kdb;
# homes for the doctor: one without a preferences file, one whose preferences file cannot be
# created (its name links into a missing directory), one where a directory stands in its place.
mkdir -p tmp inst/bin/adir inst/Linux_ix86/Python other/bin m.lck fresh dangling
ln -s missing/kolv.ini "dangling/${own##*/}"
mkdir -p "unreadable/${own##*/}"
# A directory whose mode lets not even its owner write to it.
mkdir -m 500 ro
# The installation's program (not empty: a search skips an empty file), and a program outside
# it that no one may run.
echo >inst/bin/prog
chmod 755 inst/bin/prog
echo >other/bin/plain

# No input; the output and errors to files.
exec </dev/null >out 2>err

for word; do
    shift
    case $word in
    --full) exec >/dev/full ;;
    --gone) mkdir gone && cd gone && rmdir ../gone ;;
    *) set -- "$@" "$word" ;;
    esac
done

env -i HOME=. TMPDIR=tmp PATH=inst/bin:/usr/bin:/bin \
    ASAN_OPTIONS=verify_asan_link_order=0 "$@" && status=0 || status=$?
# An emulator that runs a 32-bit build (qemu-i386) meets the preload in its own loader too, and
# says so; that notice is not the command's.
sed -i '/^ERROR: ld.so: object .* cannot be preloaded (wrong ELF class: ELFCLASS32): ignored.$/d' "${own%/*}/err"
cmp -s "$own" "${own%/*}/.own" || echo "the command changed the user's preferences file" >&2
exit "$status"

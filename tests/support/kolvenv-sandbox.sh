#!/bin/sh
# Runs one command as kolvenv's tests need it: in the sandbox directory, laid out as a user's
# world, with the sandbox's environment and nothing else, no input, and the output and errors
# written to the files out and err of the sandbox. Exits with the command's status.
#
#   kolvenv-sandbox.sh SANDBOX [--gone | --full | --merged] [VARIABLE=VALUE...] COMMAND [ARGS...]
#
# --gone runs the command in a working directory that has been removed; --full gives it a
# standard output that cannot be written (a full disk); --merged writes its errors to out as well,
# in the order they come. The variables are set after the sandbox's own (HOME=., TMPDIR=tmp,
# PATH=inst/bin:/usr/bin:/bin, and an ASAN_OPTIONS that lets a library preloaded into a sanitizer
# build come before the sanitizer's runtime) and so override them.
# The layout below is made where it is missing; a run may add to it (the doctor creates a missing
# preferences file in fresh/). The user's preferences file, which the test writes in the sandbox
# itself, is no part of it.

set -e
cd "$1"
shift

# A temporary directory, and a directory whose mode lets not even its owner write to it.
mkdir -p tmp
mkdir -p -m 500 ro
# The installation: its program (not empty: a search skips an empty file), a directory among
# its programs, its Python directory.
mkdir -p inst/bin/adir inst/Linux_ix86/Python
echo >inst/bin/prog
chmod 755 inst/bin/prog
# A file outside the installation that no one may run.
mkdir -p other/bin
echo >other/bin/plain
# A lock directory for the database m.kdb, a lock file for f.kdb.
mkdir -p m.lck
touch f.lck
# Homes for the doctor: one without a preferences file, one where a directory stands in its
# place.
mkdir -p fresh
mkdir -p "unreadable/kolv_$(id -un).ini"
# A home whose preferences file cannot be created: its name links into a missing directory.
mkdir -p dangling
ln -sf missing/kolv.ini "dangling/kolv_$(id -un).ini"

# No input; the output and errors to files.
exec </dev/null >out 2>err

if [ "$1" = --merged ]; then
    shift
    exec 2>&1
fi
if [ "$1" = --full ]; then
    shift
    exec >/dev/full
fi
if [ "$1" = --gone ]; then
    shift
    mkdir gone
    cd gone
    rmdir ../gone
fi

exec env -i HOME=. TMPDIR=tmp PATH=inst/bin:/usr/bin:/bin \
    ASAN_OPTIONS=verify_asan_link_order=0 "$@"

#!/usr/bin/env bash
# Sources kolvenv's bash completion script ($1) and checks what it offers for
# the last of a few command lines' words. Any mismatch fails the run.
set -e
source "$1"
check() {  # EXPECTED WORD...
    COMP_WORDS=(kolvenv "${@:2}")
    COMP_CWORD=$(($# - 1))
    _kolvenv
    echo "kolvenv ${*:2}| offers '${COMPREPLY[*]}', expected '$1'"
    [ "${COMPREPLY[*]}" = "$1" ]
}
check 'path python' p
check '--help --program --json' doctor -
check --lines path --l
check '' rand --seed ''
check --version --v

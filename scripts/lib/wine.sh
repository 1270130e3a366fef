# What the scripts that run Wine share, for machines where Wine runs under an emulator
# (qemu-i386, which scripts/setup.sh registers where the kernel runs no 32-bit programs).
# There a Wine program takes tens of seconds to start, and a new Wine prefix minutes.
# Sourced, not run.

# Read only by qemu-i386: the guest address space that the launcher gives Wine too
# (packaging/tagwright, which says why).
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x81000000}

# Runs COMMAND every tenth of a second until it succeeds, for at most LIMIT seconds; gives up
# saying what it waited for, and for how long. A wait ends as soon as its event comes, so a
# fast machine never waits long: the bound only decides when to give up, and is sized for
# an emulated Wine.
#   wait_for LIMIT WHAT COMMAND [ARGUMENTS...]
wait_for() {
    local limit=$1 what=$2
    local deadline=$((SECONDS + limit))
    shift 2
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "gave up after $limit s waiting for $what" >&2
            return 1
        fi
        sleep 0.1
    done
}

# Waits up to LIMIT seconds for the launcher (packaging/tagwright), whose output goes to LOG
# and whose process is PID, to say that it starts the program; fails at once where it has
# ended without.
#   launcher_started LIMIT LOG PID
launcher_started() {
    wait_for "$1" "the launcher to start tagwright.exe" started_or_ended "$2" "$3" &&
        grep -aq "^Starting tagwright.exe" "$2"
}
started_or_ended() {
    grep -aq "^Starting tagwright.exe" "$1" || ! kill -0 "$2" 2>/dev/null
}

# Ends at once every process that SELECTOR picks (pkill's and ps's -s SESSION or -u USER),
# and waits until none is left: a Wine program that is still starting when its wineserver
# ends outlives it, and starts a server of its own.
#   end_processes WHAT SELECTOR VALUE
end_processes() {
    local what=$1
    shift
    pkill -KILL "$@" || true
    wait_for 60 "$what to end" processes_gone "$@"
}
# A zombie has ended, though no one has reaped it yet.
processes_gone() {
    ! ps -o stat= "$@" | grep -qv '^Z'
}

# Whether qemu-i386 runs this machine's 32-bit programs, and so Wine: its programs then run
# many times slower, and figures measured under it are not comparable with a native one's.
wine_emulated() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [[ -f $entry ]] && grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^interpreter .*qemu-i386' "$entry" && return 0
    done
    return 1
}

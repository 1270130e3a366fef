# What the release scripts share: the version, the release's time and its checksum line.
# Sourced, not run.

# The time of the last commit, in seconds since 1970, unless SOURCE_DATE_EPOCH is set: every
# time stamp in a release is this one, so that two builds of one commit are alike byte for
# byte, wherever their clones lie.
source_date_epoch() {
    local root=$1
    if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$root" log -1 --format=%ct
    fi
}

# Puts FILE's line into SHA256SUMS beside it, in sha256sum's own format, in place of an older
# line for the same name, so that `sha256sum -c SHA256SUMS` in that folder checks the release.
record_sha256() {
    local file=$1
    local folder name sums
    folder=$(dirname "$file") name=$(basename "$file")
    sums=$folder/SHA256SUMS
    {
        # A line is 64 hexadecimal digits, two blanks and the name.
        [[ ! -f $sums ]] || awk -v name="$name" 'substr($0, 67) != name' "$sums"
        (cd "$folder" && sha256sum "$name")
    } | sort -k2 >"$sums.new"
    mv "$sums.new" "$sums"
}

# The project's version, as CMakeLists.txt's project() gives it.
project_version() {
    local root=$1
    sed -n 's/^project(Tagwright VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt"
}

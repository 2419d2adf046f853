# Sourced by .ci/run and scripts/lib/fresh-root.bash.

# failed_tests LOG: from a scripts/test log, the output of each test that
# failed (what ctest --output-on-failure printed under it) and ctest's list
# of them; if no test failed, something else did: the last lines.
failed_tests() {
    local log=$1
    if grep -q 'The following tests FAILED:' "$log"; then
        awk '
            /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / { show = ($0 !~ /Passed/) }
            /^ +Start +[0-9]+: / { show = 0 }
            /^[0-9]+% tests passed/ { show = ($1 != "100%") }
            /^== / { print; next }
            show
        ' "$log"
    else
        tail -n 60 "$log"
    fi
}

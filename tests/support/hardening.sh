# hardening-check as every Debian program passes it. Left out: control-flow protection, as
# Debian's C runtime objects carry no IBT marking, so no program linked on Debian shows it;
# and branch protection, arm64's, which Debian 13's tool asks of every architecture.
# hardening_report PROGRAM...: nothing when all pass; else the tool's report, and status 1.
hardening_report() {
    local skip=--nocfprotection report
    hardening-check --help 2>&1 | grep -q -- --nobranchprotection && skip="$skip --nobranchprotection"
    report=$(hardening-check $skip "$@" 2>&1) || { echo "$report"; return 1; }
}

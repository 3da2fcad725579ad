# Sourced by the headless Chromium tests: a scratch folder, current until the
# script ends and removed then; Chromium's command line; and
# expect COUNT PATTERN WHAT, which counts PATTERN in dom.html.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
chrome=(chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking
        --user-data-dir="$work/profile")
failed=0
expect() {
  local n
  n=$(grep -o -- "$2" dom.html | wc -l || true)  # no match must report, not end the script
  if [ "$n" -ne "$1" ]; then echo "FAIL: $3: found $n, expected $1"; failed=1; fi
}

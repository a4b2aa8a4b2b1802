# Shared by the end-to-end scripts (sourced): check() runs a command and
# counts it passed when it exits with the expected code and prints the
# expected text; the script reports passes and failures at its end.
failures=0 passes=0
check() {  # check NAME EXPECTED_CODE EXPECTED_TEXT -- command...
  local name=$1 code=$2 text=$3; shift 4
  local out rc
  out=$("$@" 2>&1); rc=$?
  if [ "$rc" -ne "$code" ] || ! grep -qF -- "$text" <<<"$out"; then
    echo "FAIL: $name (exit $rc, wanted $code, looking for: $text)"; echo "$out"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

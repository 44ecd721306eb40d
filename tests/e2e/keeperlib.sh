# Shared pieces of the clipboard keeper's end-to-end tests: copying a wheel
# pixel, counting keepers, and the sanitizers' findings. Source it after
# lib.sh, with RESOURCES naming the folder of the program's pictures.

# In a sanitized build, findings go to files the tests check at their end:
# the keeper's own error stream is /dev/null.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$E2E_TMP/sanitizer"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}print_stacktrace=1:log_path=$E2E_TMP/sanitizer"

WHEEL="$RESOURCES/colourwheel.png"
PICTURE_X=6 PICTURE_Y=6
READOUT_X=230 READOUT_Y=259

# copy X Y: clicks wheel pixel (X, Y) and waits until the clipboard holds
# its colour, which it leaves in COLOUR.
copy() {
    COLOUR=$(picture_pixel "$WHEEL" "$1" "$2")
    xdotool mousemove "$((WIN_X + PICTURE_X + $1))" "$((WIN_Y + PICTURE_Y + $2))"
    poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$COLOUR" || fail "no preview of wheel pixel ($1, $2)"
    xdotool click 1
    poll 10 clipboard_is "$COLOUR" || fail "clipboard holds '$(clipboard)' after a click, expected $COLOUR"
}

keeper_count_is() { [ "$(keepers | wc -l)" -eq "$1" ]; }

no_findings() { ! compgen -G "$E2E_TMP/sanitizer.*" >/dev/null; }

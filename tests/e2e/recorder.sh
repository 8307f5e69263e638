#!/bin/sh
# Start program of the native end-to-end tests: records its arguments, each
# followed by a NUL byte, in the file named by RECORDER_OUT.
out=${RECORDER_OUT:?}
printf '%s\0' "$0" "$@" > "$out.part" && mv "$out.part" "$out"

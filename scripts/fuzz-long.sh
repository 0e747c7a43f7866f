#!/usr/bin/env bash
# The long fuzzing run: every target for 600 seconds.
exec "$(dirname "$0")/fuzz.sh" 600

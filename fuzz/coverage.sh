#!/bin/sh
# Prints the coverage of a libFuzzer log: from the seeds, then at the end.
grep -m1 -o 'INITED cov: [0-9]*' "$1" | grep -o '[0-9]*$'
grep -o '^#[0-9]*.*cov: [0-9]*' "$1" | tail -n1 | grep -o '[0-9]*$'

#!/bin/sh
# carro given more than its memory holds (an endless stream, an address space of 300 MB): it says so
# and ends with exit code 2, never with an abort.
carro=$1
said=$( (ulimit -v 300000; head -c 1000000000 /dev/zero | "$carro" info --dict /dev/stdin) 2>&1 )
code=$?
echo "$said"
[ "$code" -eq 2 ] || { echo "exit code $code, expected 2"; exit 1; }
[ "$said" = "carro: недостаточно памяти" ] || { echo "unexpected output"; exit 1; }
